#include "Grid.h"

#include "FittingFace.h"
#include "ReadableText.h"

#include "Screen.h"
#include "VbConvert.h"

#include <QFontMetrics>
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <utility>

namespace vexal {

namespace {

// Per-cell state kept in the item beside what Qt draws.
enum CellRole : int {
    ValueRole = Qt::UserRole + 1,
    FlagsRole,
    ForeRole,
    BackRole,
    IconRole,
    HasFontRole,
};
// Per-row state kept in the (hidden) vertical header item.
enum RowRole : int {
    RowKeyRole = Qt::UserRole + 1,
    RowHeightRole,
};

bool IsNumber(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Float:
    case QMetaType::Double:
        return true;
    default:
        return false;
    }
}

bool IsEmpty(const QVariant& v) { return !v.isValid() || v.isNull(); }

double NumericOf(const QVariant& v)
{
    if (IsNumber(v))
        return v.toDouble();
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? -1.0 : 0.0;
    return vb::Val(v.toString().toStdString());
}

Qt::Alignment AlignmentOfFlags(int flags)
{
    Qt::Alignment a;
    if (flags & DtRight)
        a = Qt::AlignRight;
    else if (flags & DtCenter)
        a = Qt::AlignHCenter;
    else
        a = Qt::AlignLeft;
    a |= (flags & DtBottom) ? Qt::AlignBottom : Qt::AlignVCenter;
    return a;
}

// The text colour shown on a background: the cells of a grid share a few pairs of colours,
// so each pair's search is made once.
QColor ReadableOn(const QColor& fore, const QColor& back, bool ownColor)
{
    struct Pair {
        QColor fore, back;
        bool ownColor;
        QColor readable;
    };
    static std::vector<Pair> known;
    for (const Pair& p : known)
        if (p.fore == fore && p.back == back && p.ownColor == ownColor)
            return p.readable;
    const QColor readable = ownColor ? NearestReadableColor(fore, {back}, ReadableCellColorContrast)
                                     : NearestReadableColor(fore, {back});
    if (known.size() >= 64)
        known.erase(known.begin());
    known.push_back({fore, back, ownColor, readable});
    return readable;
}

Qt::Alignment AlignmentOfHeader(int align)
{
    switch (align) {
    case HdrAlignCentre: return Qt::AlignHCenter | Qt::AlignVCenter;
    case HdrAlignRight: return Qt::AlignRight | Qt::AlignVCenter;
    default: return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

} // namespace

// ---- GridSortObject ---------------------------------------------------------------------

void GridSortObject::Clear() { keys_.clear(); }

GridSortObject::Key& GridSortObject::At(int key)
{
    if (key < 1)
        key = 1;
    if (static_cast<int>(keys_.size()) < key)
        keys_.resize(static_cast<size_t>(key));
    return keys_[static_cast<size_t>(key - 1)];
}

void GridSortObject::SetSortColumn(int key, int column) { At(key).column = column; }
void GridSortObject::SetSortOrder(int key, int order) { At(key).order = order; }
void GridSortObject::SetSortType(int key, int type) { At(key).type = type; }

int GridSortObject::SortColumn(int key) const
{
    return key >= 1 && key <= Count() ? keys_[static_cast<size_t>(key - 1)].column : 0;
}
int GridSortObject::SortOrder(int key) const
{
    return key >= 1 && key <= Count() ? keys_[static_cast<size_t>(key - 1)].order : SortNone;
}
int GridSortObject::SortType(int key) const
{
    return key >= 1 && key <= Count() ? keys_[static_cast<size_t>(key - 1)].type : SortString;
}

// ---- Grid -------------------------------------------------------------------------------

Grid::Grid(QWidget* parent)
    : QTableWidget(parent),
      backColor_(SystemColorValue(ColorWindow)),
      foreColor_(SystemColorValue(ColorWindowText))
{
    // The grid never edits or sorts by itself: views start their own editor on RequestEdit
    // and sort through SortObject, so rows stay where the views put them.
    setSortingEnabled(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    // The headings are measured in the cells' face (FitColumnsToText) and show in it: the
    // header takes the grid's face now and with every change (see changeEvent), not the
    // desktop's own face for headers.
    horizontalHeader()->setFont(font());

    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int logical) {
        if (logical >= 0)
            emit ColumnClick(logical + 1);
    });
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int logical, int, int newSize) {
        if (logical >= 0 && logical < static_cast<int>(columns_.size()) && newSize > 0 && !isColumnHidden(logical))
            columns_[static_cast<size_t>(logical)].width = newSize;
    });
    connect(this, &QTableWidget::currentCellChanged, this, [this](int row, int col, int, int) {
        if (quietSelection_ || row < 0 || col < 0)
            return;
        if (moving_ > 0)
            movedWhileMoving_ = true;
        else
            emit SelectionChange(row + 1, col + 1);
    });
    connect(this, &QTableWidget::cellClicked, this, [this](int row, int col) { emit CellClick(row + 1, col + 1); });

    ApplyGridColors();
}

Grid::~Grid() = default;

// ---- Columns ----------------------------------------------------------------------------

int Grid::AddColumn(const QString& key, const QString& header, int alignment, int icon, int width, bool visible,
                    bool fixedWidth, const QString& insertBeforeKey, bool includeInSelect, const QString& format)
{
    int at = Cols(); // 0-based position of the new column
    if (!insertBeforeKey.isEmpty()) {
        const int before = ColumnIndex(insertBeforeKey);
        if (before > 0)
            at = before - 1;
    }
    ColumnInfo info;
    info.key = key;
    info.format = format;
    info.align = alignment;
    info.icon = icon;
    info.fixedWidth = fixedWidth;
    info.includeInSelect = includeInSelect;
    info.width = width >= 0 ? width : 64;
    columns_.insert(columns_.begin() + at, info);
    insertColumn(at);
    setHorizontalHeaderItem(at, new QTableWidgetItem(header));
    ApplyHeader(at + 1);
    ResizeColumn(at, info.width);
    horizontalHeader()->setSectionResizeMode(at, fixedWidth ? QHeaderView::Fixed : QHeaderView::Interactive);
    setColumnHidden(at, !visible);
    return at + 1;
}

void Grid::RemoveColumn(int col)
{
    if (!ValidColumn(col))
        return;
    removeColumn(col - 1);
    columns_.erase(columns_.begin() + (col - 1));
}

int Grid::Cols() const { return columnCount(); }

QString Grid::ColumnKey(int col) const
{
    return ValidColumn(col) ? columns_[static_cast<size_t>(col - 1)].key : QString();
}

void Grid::SetColumnKey(int col, const QString& key)
{
    if (ValidColumn(col))
        columns_[static_cast<size_t>(col - 1)].key = key;
}

int Grid::ColumnIndex(const QString& key) const
{
    for (size_t i = 0; i < columns_.size(); ++i)
        if (columns_[i].key == key)
            return static_cast<int>(i) + 1;
    return 0;
}

QString Grid::ColumnHeader(int col) const
{
    if (!ValidColumn(col))
        return QString();
    const QTableWidgetItem* h = horizontalHeaderItem(col - 1);
    return h ? h->text() : QString();
}

QString Grid::ColumnHeader(const QString& key) const { return ColumnHeader(ColumnIndex(key)); }

void Grid::SetColumnHeader(int col, const QString& header)
{
    if (!ValidColumn(col))
        return;
    if (QTableWidgetItem* h = horizontalHeaderItem(col - 1))
        h->setText(header);
    else
        setHorizontalHeaderItem(col - 1, new QTableWidgetItem(header));
    ApplyHeader(col);
}

int Grid::ColumnAlign(int col) const
{
    return ValidColumn(col) ? columns_[static_cast<size_t>(col - 1)].align : HdrAlignLeft;
}

void Grid::SetColumnAlign(int col, int alignment)
{
    if (!ValidColumn(col))
        return;
    columns_[static_cast<size_t>(col - 1)].align = alignment;
    ApplyHeader(col);
}

void Grid::FitColumnsToText(std::initializer_list<int> give)
{
    constexpr int Padding = 12;
    // Each text is measured once in each face: the columns repeat their numbers, and shaping
    // a text costs far more than finding its width again. A cell shows the text its value was
    // last rendered to, in the column's format.
    struct Face {
        QFont font;
        QFontMetrics metrics;
        QHash<QString, int> widths;
    };
    std::vector<Face> faces;
    auto widthIn = [&faces](const QFont& f, const QString& text) {
        auto face = std::find_if(faces.begin(), faces.end(), [&f](const Face& x) { return x.font == f; });
        if (face == faces.end())
            face = faces.insert(faces.end(), Face{f, QFontMetrics(f), {}});
        auto known = face->widths.constFind(text);
        if (known != face->widths.constEnd())
            return *known;
        const int width = face->metrics.horizontalAdvance(text);
        face->widths.insert(text, width);
        return width;
    };
    QFont bold = font();
    bold.setBold(true);
    std::vector<int> needed(static_cast<std::size_t>(Cols() + 1), 0);
    for (int c = 1; c <= Cols(); ++c) {
        if (!ColumnVisible(c))
            continue;
        int widest = 0;
        if (Header())
            widest = widthIn(bold, ColumnHeader(c));
        for (int r = 1; r <= Rows(); ++r) {
            const QTableWidgetItem* it = item(r - 1, c - 1);
            if (!it)
                continue;
            const QString text = it->data(Qt::DisplayRole).toString();
            if (!text.isEmpty())
                widest = std::max(widest, widthIn(it->data(HasFontRole).toBool() ? it->font() : font(), text));
        }
        needed[static_cast<std::size_t>(c)] = widest + Padding;
        if (ColumnWidth(c) < widest + Padding)
            SetColumnWidth(c, widest + Padding);
    }
    int excess = ShownColumnsWidth() - RoomForColumns();
    for (int c : give) {
        if (excess <= 0 || c > Cols())
            break;
        const int spare = ColumnWidth(c) - needed[static_cast<std::size_t>(c)];
        const int take = std::min(spare, excess);
        if (take > 0) {
            SetColumnWidth(c, ColumnWidth(c) - take);
            excess -= take;
        }
    }
}

int Grid::ShownColumnsWidth() const
{
    int sum = 0;
    for (int c = 1; c <= Cols(); ++c)
        if (ColumnVisible(c))
            sum += ColumnWidth(c);
    return sum;
}

int Grid::ShownRowsHeight() const
{
    int sum = 0;
    for (int r = 1; r <= Rows(); ++r)
        if (RowVisible(r))
            sum += RowHeight(r);
    return sum;
}

int Grid::WholeRowsHeight() const
{
    const QHeaderView* heading = horizontalHeader();
    return 2 * frameWidth() + (heading->isHidden() ? 0 : heading->sizeHint().height()) + ShownRowsHeight();
}

void Grid::FitTextToView(const QFont& face, std::initializer_list<int> give)
{
    auto total = [this] { return ShownColumnsWidth(); };
    auto showIn = [this](const QFont& f) {
        setFont(f);
        for (int r = 1; r <= Rows(); ++r)
            for (int c = 1; c <= Cols(); ++c)
                if (CellHasFont(r, c)) {
                    QFont own = f;
                    own.setBold(CellFont(r, c).bold());
                    SetCellFont(r, c, own);
                }
    };
    // The room is the one the columns have in `face`, which is laid out first in the columns'
    // widths as they are; a smaller face starts them again from their texts.
    int room = 0;
    bool laid = false;
    qreal laidOut = 0;
    auto fits = [&](const QFont& f) {
        showIn(f);
        if (laid)
            for (int c = 1; c <= Cols(); ++c)
                if (ColumnVisible(c))
                    SetColumnWidth(c, 1);
        FitColumnsToText(give);
        if (!laid)
            room = RoomForColumns();
        laid = true;
        laidOut = f.pointSizeF();
        return total() <= room || total() <= 0;
    };
    // Three quarters of the face at most, and of the face the windows are laid out for when a
    // desktop's larger face is given.
    const QFont shown = FittingFace(face, 0.75 * std::min(face.pointSizeF(), DesignFontPoints), fits);
    if (!laid || shown.pointSizeF() != laidOut)
        fits(shown);
}

QSize Grid::RoomForCells() const
{
    // Taken from the grid's own size and its headers' wishes: a grid not yet shown has not
    // laid out its view.
    QSize room = contentsRect().size();
    if (!horizontalHeader()->isHidden())
        room.rheight() -= horizontalHeader()->sizeHint().height();
    if (!verticalHeader()->isHidden())
        room.rwidth() -= verticalHeader()->sizeHint().width();
    return room;
}

int Grid::RoomForColumns() const
{
    const QSize full = RoomForCells();
    int rows = 0;
    for (int r = 1; r <= Rows(); ++r)
        rows += isRowHidden(r - 1) ? 0 : rowHeight(r - 1);
    if (rows <= full.height() || verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOff)
        return full.width();
    return full.width() - style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
}

void Grid::FillView(std::initializer_list<int> widen)
{
    if (Rows() > 0) {
        const int line = QFontMetrics(font()).height() + 4;
        const int height = RoomForCells().height();
        const int share = std::max(line, height / Rows());
        // The pixels left over go one each to the first rows, leaving no band below.
        const int over = share * Rows() < height ? height - share * Rows() : 0;
        for (int r = 1; r <= Rows(); ++r)
            SetRowHeight(r, share + (r <= over ? 1 : 0));
    }
    int spare = RoomForColumns() - ShownColumnsWidth();
    if (widen.size() == 0 || spare <= 0)
        return;
    int left = static_cast<int>(widen.size());
    for (int c : widen) {
        const int more = spare / left--;
        if (c >= 1 && c <= Cols())
            SetColumnWidth(c, ColumnWidth(c) + more);
        spare -= more;
    }
}

int Grid::ColumnWidth(int col) const
{
    if (!ValidColumn(col))
        return 0;
    return isColumnHidden(col - 1) ? columns_[static_cast<size_t>(col - 1)].width : columnWidth(col - 1);
}

void Grid::SetColumnWidth(int col, int pixels)
{
    if (!ValidColumn(col) || pixels < 0)
        return;
    columns_[static_cast<size_t>(col - 1)].width = pixels;
    if (!isColumnHidden(col - 1))
        ResizeColumn(col - 1, pixels);
}

double Grid::ColumnWidthTwips(int col) const { return ColumnWidth(col) * Screen::TwipsPerPixelX(); }

void Grid::SetColumnWidthTwips(int col, double twips) { SetColumnWidth(col, Screen::TwipsToPixelsX(twips)); }

bool Grid::ColumnVisible(int col) const { return ValidColumn(col) && !isColumnHidden(col - 1); }

void Grid::SetColumnVisible(int col, bool visible)
{
    if (!ValidColumn(col) || visible == ColumnVisible(col))
        return;
    // Showing restores Qt's own memory of the width; ours may have changed while hidden.
    const int width = columns_[static_cast<size_t>(col - 1)].width;
    setColumnHidden(col - 1, !visible);
    if (visible) {
        columns_[static_cast<size_t>(col - 1)].width = width;
        ResizeColumn(col - 1, width);
    }
}

QString Grid::ColumnFormat(int col) const
{
    return ValidColumn(col) ? columns_[static_cast<size_t>(col - 1)].format : QString();
}

void Grid::SetColumnFormat(int col, const QString& format)
{
    if (!ValidColumn(col))
        return;
    columns_[static_cast<size_t>(col - 1)].format = format;
    for (int r = 0; r < rowCount(); ++r)
        if (QTableWidgetItem* it = item(r, col - 1))
            RenderCell(it, col);
}

bool Grid::ColumnFixedWidth(int col) const
{
    return ValidColumn(col) && columns_[static_cast<size_t>(col - 1)].fixedWidth;
}

void Grid::SetColumnFixedWidth(int col, bool fixed)
{
    if (!ValidColumn(col))
        return;
    columns_[static_cast<size_t>(col - 1)].fixedWidth = fixed;
    horizontalHeader()->setSectionResizeMode(col - 1, fixed ? QHeaderView::Fixed : QHeaderView::Interactive);
}

int Grid::ColumnIcon(int col) const
{
    return ValidColumn(col) ? columns_[static_cast<size_t>(col - 1)].icon : -1;
}

void Grid::SetColumnIcon(int col, int icon)
{
    if (!ValidColumn(col))
        return;
    columns_[static_cast<size_t>(col - 1)].icon = icon;
    ApplyHeader(col);
}

int Grid::ColumnOrder(int col) const
{
    return ValidColumn(col) ? horizontalHeader()->visualIndex(col - 1) + 1 : 0;
}

void Grid::SetColumnOrder(int col, int position)
{
    if (!ValidColumn(col) || position < 1 || position > Cols())
        return;
    horizontalHeader()->moveSection(horizontalHeader()->visualIndex(col - 1), position - 1);
}

int Grid::ColumnAtPosition(int position) const
{
    if (position < 1 || position > Cols())
        return 0;
    return horizontalHeader()->logicalIndex(position - 1) + 1;
}

bool Grid::Header() const { return !horizontalHeader()->isHidden(); }

void Grid::SetHeader(bool shown) { horizontalHeader()->setVisible(shown); }

void Grid::ApplyHeader(int col)
{
    QTableWidgetItem* h = horizontalHeaderItem(col - 1);
    if (!h)
        return;
    const ColumnInfo& info = columns_[static_cast<size_t>(col - 1)];
    h->setTextAlignment(AlignmentOfHeader(info.align));
    if (info.icon >= 0 && info.icon < icons_.size())
        h->setIcon(icons_[info.icon]);
    else
        h->setIcon(QIcon());
}

// ---- Rows -------------------------------------------------------------------------------

int Grid::AddRow(int insertBefore, const QVariant& key, bool visible, int height)
{
    int at = rowCount();
    if (insertBefore >= 1 && insertBefore <= rowCount())
        at = insertBefore - 1;
    insertRow(at);
    auto* rowItem = new QTableWidgetItem();
    rowItem->setData(RowKeyRole, key);
    setVerticalHeaderItem(at, rowItem);
    const int h = height >= 0 ? height : DefaultRowHeight();
    rowItem->setData(RowHeightRole, h);
    ResizeRow(at, h);
    setRowHidden(at, !visible);
    return at + 1;
}

void Grid::RemoveRow(int row)
{
    if (ValidRow(row))
        removeRow(row - 1);
}

int Grid::Rows() const { return rowCount(); }

void Grid::SetRows(int count)
{
    if (count < 0)
        count = 0;
    while (rowCount() > count)
        removeRow(rowCount() - 1);
    while (rowCount() < count)
        AddRow();
}

QVariant Grid::RowKey(int row) const
{
    if (!ValidRow(row))
        return QVariant();
    const QTableWidgetItem* h = verticalHeaderItem(row - 1);
    return h ? h->data(RowKeyRole) : QVariant();
}

void Grid::SetRowKey(int row, const QVariant& key)
{
    if (!ValidRow(row))
        return;
    QTableWidgetItem* h = verticalHeaderItem(row - 1);
    if (!h) {
        h = new QTableWidgetItem();
        setVerticalHeaderItem(row - 1, h);
    }
    h->setData(RowKeyRole, key);
}

int Grid::RowHeight(int row) const
{
    if (!ValidRow(row))
        return 0;
    if (isRowHidden(row - 1))
        return std::max(AskedRowHeight(row), RowTextHeight(row));
    return rowHeight(row - 1);
}

int Grid::AskedRowHeight(int row) const
{
    const QTableWidgetItem* h = ValidRow(row) ? verticalHeaderItem(row - 1) : nullptr;
    return h && h->data(RowHeightRole).isValid() ? h->data(RowHeightRole).toInt() : DefaultRowHeight();
}

int Grid::RowTextHeight(int row) const
{
    if (!ValidRow(row))
        return 0;
    // A cell's text is drawn in the row less the grid line, centred on its face's ascent and
    // descent: a lower row cuts its descenders.
    auto faceHeight = [](const QFont& f) { return static_cast<int>(std::ceil(QFontMetricsF(f).height())); };
    int high = faceHeight(font());
    for (int c = 0; c < columnCount(); ++c)
        if (const QTableWidgetItem* it = item(row - 1, c); it && it->data(HasFontRole).toBool())
            high = std::max(high, faceHeight(it->font()));
    return high + (showGrid() ? 1 : 0);
}

void Grid::HoldRowTexts()
{
    for (int r = 0; r < rowCount(); ++r)
        if (!isRowHidden(r))
            ResizeRow(r, AskedRowHeight(r + 1));
}

void Grid::SetRowHeight(int row, int pixels)
{
    if (!ValidRow(row) || pixels < 0)
        return;
    QTableWidgetItem* h = verticalHeaderItem(row - 1);
    if (!h) {
        h = new QTableWidgetItem();
        setVerticalHeaderItem(row - 1, h);
    }
    h->setData(RowHeightRole, pixels);
    if (!isRowHidden(row - 1))
        ResizeRow(row - 1, pixels);
}

double Grid::RowHeightTwips(int row) const { return RowHeight(row) * Screen::TwipsPerPixelY(); }

bool Grid::RowVisible(int row) const { return ValidRow(row) && !isRowHidden(row - 1); }

void Grid::SetRowVisible(int row, bool visible)
{
    if (!ValidRow(row) || visible == RowVisible(row))
        return;
    const int h = RowHeight(row);
    setRowHidden(row - 1, !visible);
    if (visible)
        ResizeRow(row - 1, h);
}

int Grid::DefaultRowHeight() const { return verticalHeader()->defaultSectionSize(); }

void Grid::SetDefaultRowHeight(int pixels)
{
    if (pixels > 0)
        verticalHeader()->setDefaultSectionSize(pixels);
}

void Grid::Clear(bool columnsToo)
{
    inEdit_ = false;
    quietSelection_ = true;
    setRowCount(0);
    if (columnsToo) {
        setColumnCount(0);
        columns_.clear();
    }
    quietSelection_ = false;
}

// ---- Cells ------------------------------------------------------------------------------

bool Grid::ValidCell(int row, int col) const { return ValidRow(row) && ValidColumn(col); }

QTableWidgetItem* Grid::Item(int row, int col) const { return ValidCell(row, col) ? item(row - 1, col - 1) : nullptr; }

QTableWidgetItem* Grid::ItemToChange(int row, int col, bool* fresh)
{
    *fresh = false;
    if (row < 1 || !ValidColumn(col))
        return nullptr;
    while (rowCount() < row)
        AddRow();
    if (QTableWidgetItem* it = item(row - 1, col - 1))
        return it;
    auto* it = new QTableWidgetItem();
    it->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    it->setData(FlagsRole, DtDefaultCell);
    it->setData(IconRole, -1);
    *fresh = true;
    return it;
}

void Grid::FinishChange(QTableWidgetItem* it, int row, int col, bool fresh, bool render)
{
    if (render)
        RenderCell(it, col);
    if (fresh)
        setItem(row - 1, col - 1, it);
}

QString Grid::DisplayText(const QVariant& value, const QString& format) const
{
    if (IsEmpty(value))
        return QString();
    if (IsNumber(value)) {
        const double v = value.toDouble();
        if (!format.isEmpty())
            return QString::fromStdString(vb::Format(v, format.toStdString()));
        if (value.typeId() == QMetaType::Float)
            return QString::fromStdString(vb::CStrSingle(value.toFloat()));
        if (value.typeId() == QMetaType::Double)
            return QString::fromStdString(vb::CStr(v));
        return value.toString();
    }
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    return value.toString();
}

void Grid::RenderCell(QTableWidgetItem* it, int col) const
{
    const QVariant value = it->data(ValueRole);
    it->setData(Qt::DisplayRole, DisplayText(value, ColumnFormat(col)));
    it->setData(Qt::TextAlignmentRole, static_cast<int>(AlignmentOfFlags(it->data(FlagsRole).toInt())));
    const QVariant fore = it->data(ForeRole);
    if (fore.isValid() && fore.toInt() != GridNoColor)
        it->setData(Qt::ForegroundRole, QBrush(Shade(fore.toInt())));
    else
        it->setData(Qt::ForegroundRole, QVariant());
    const QVariant stored = it->data(BackRole);
    const int32_t back = stored.isValid() ? Shown(stored.toInt()) : GridNoColor;
    if (back != GridNoColor)
        it->setData(Qt::BackgroundRole, QBrush(Shade(back)));
    else
        it->setData(Qt::BackgroundRole, QVariant());
    // The cell's text is drawn readable on its own background: a colour that is not gives
    // way to the nearest one that is (the cell keeps its colour for printing and export).
    const bool ownBack = back != GridNoColor;
    const QColor shownBack = ownBack ? Shade(back)
                                     : (picture_.isNull() ? Shade(backColor_) : QColor());
    const bool ownFore = fore.isValid() && fore.toInt() != GridNoColor;
    const QColor wantedFore = ownFore ? Shade(fore.toInt()) : Shade(foreColor_);
    if (shownBack.isValid() && wantedFore.isValid()) {
        const QColor readable = ReadableOn(wantedFore, shownBack, ownFore);
        if (readable != wantedFore)
            it->setData(Qt::ForegroundRole, QBrush(readable));
    }
    const int icon = it->data(IconRole).isValid() ? it->data(IconRole).toInt() : -1;
    if (icon >= 0 && icon < icons_.size())
        it->setData(Qt::DecorationRole, icons_[icon]);
    else
        it->setData(Qt::DecorationRole, QVariant());
}

void Grid::SetCell(int row, int col, const QVariant& value, int textFlags, int icon, int32_t backColor,
                   int32_t foreColor, const QFont* font)
{
    bool fresh = false;
    QTableWidgetItem* it = ItemToChange(row, col, &fresh);
    if (!it)
        return;
    it->setData(ValueRole, value);
    it->setData(FlagsRole, textFlags);
    it->setData(IconRole, icon);
    it->setData(BackRole, backColor);
    it->setData(ForeRole, foreColor);
    if (font) {
        it->setFont(*font);
        it->setData(HasFontRole, true);
    } else {
        it->setData(Qt::FontRole, QVariant());
        it->setData(HasFontRole, false);
    }
    FinishChange(it, row, col, fresh, true);
    if (font && RowVisible(row) && rowHeight(row - 1) < RowTextHeight(row))
        ResizeRow(row - 1, AskedRowHeight(row));
}

QVariant Grid::CellText(int row, int col) const
{
    const QTableWidgetItem* it = Item(row, col);
    return it ? it->data(ValueRole) : QVariant();
}

void Grid::SetCellText(int row, int col, const QVariant& value)
{
    bool fresh = false;
    if (QTableWidgetItem* it = ItemToChange(row, col, &fresh)) {
        it->setData(ValueRole, value);
        FinishChange(it, row, col, fresh, true);
    }
}

QString Grid::CellFormattedText(int row, int col) const
{
    const QTableWidgetItem* it = Item(row, col);
    return it ? DisplayText(it->data(ValueRole), ColumnFormat(col)) : QString();
}

int Grid::CellTextFlags(int row, int col) const
{
    const QTableWidgetItem* it = Item(row, col);
    return it ? it->data(FlagsRole).toInt() : DtDefaultCell;
}

void Grid::SetCellTextFlags(int row, int col, int textFlags)
{
    bool fresh = false;
    if (QTableWidgetItem* it = ItemToChange(row, col, &fresh)) {
        it->setData(FlagsRole, textFlags);
        FinishChange(it, row, col, fresh, true);
    }
}

Qt::Alignment Grid::CellAlignment(int row, int col) const { return AlignmentOfFlags(CellTextFlags(row, col)); }

int32_t Grid::CellForeColor(int row, int col) const
{
    const QTableWidgetItem* it = Item(row, col);
    if (!it)
        return GridNoColor;
    const QVariant v = it->data(ForeRole);
    return v.isValid() ? v.toInt() : GridNoColor;
}

void Grid::SetCellForeColor(int row, int col, int32_t color)
{
    bool fresh = false;
    if (QTableWidgetItem* it = ItemToChange(row, col, &fresh)) {
        it->setData(ForeRole, color);
        FinishChange(it, row, col, fresh, true);
    }
}

int32_t Grid::CellBackColor(int row, int col) const
{
    const QTableWidgetItem* it = Item(row, col);
    if (!it)
        return GridNoColor;
    const QVariant v = it->data(BackRole);
    return v.isValid() ? Shown(v.toInt()) : GridNoColor;
}

void Grid::SetCellBackColor(int row, int col, int32_t color)
{
    bool fresh = false;
    if (QTableWidgetItem* it = ItemToChange(row, col, &fresh)) {
        it->setData(BackRole, color);
        FinishChange(it, row, col, fresh, true);
    }
}

QColor Grid::CellForeQColor(int row, int col) const
{
    const int32_t c = CellForeColor(row, col);
    return Shade(c != GridNoColor ? c : foreColor_);
}

QColor Grid::CellBackQColor(int row, int col) const
{
    const int32_t c = CellBackColor(row, col);
    if (c != GridNoColor)
        return Shade(c);
    return picture_.isNull() ? Shade(backColor_) : QColor();
}

QFont Grid::CellFont(int row, int col) const
{
    const QTableWidgetItem* it = Item(row, col);
    return it && it->data(HasFontRole).toBool() ? it->font() : font();
}

void Grid::SetCellFont(int row, int col, const QFont& f)
{
    bool fresh = false;
    if (QTableWidgetItem* it = ItemToChange(row, col, &fresh)) {
        it->setFont(f);
        it->setData(HasFontRole, true);
        FinishChange(it, row, col, fresh, false);
        if (RowVisible(row) && rowHeight(row - 1) < RowTextHeight(row))
            ResizeRow(row - 1, AskedRowHeight(row));
    }
}

bool Grid::CellHasFont(int row, int col) const
{
    const QTableWidgetItem* it = Item(row, col);
    return it && it->data(HasFontRole).toBool();
}

int Grid::CellIcon(int row, int col) const
{
    const QTableWidgetItem* it = Item(row, col);
    return it && it->data(IconRole).isValid() ? it->data(IconRole).toInt() : -1;
}

void Grid::SetCellIcon(int row, int col, int icon)
{
    bool fresh = false;
    if (QTableWidgetItem* it = ItemToChange(row, col, &fresh)) {
        it->setData(IconRole, icon);
        FinishChange(it, row, col, fresh, true);
    }
}

QRect Grid::CellBoundary(int row, int col) const
{
    if (!ValidCell(row, col) || isRowHidden(row - 1) || isColumnHidden(col - 1))
        return QRect();
    // The whole cell, grid line included, so an editor placed over it covers it.
    const QRect r(columnViewportPosition(col - 1), rowViewportPosition(row - 1), columnWidth(col - 1),
                  rowHeight(row - 1));
    return r.translated(viewport()->geometry().topLeft());
}

// ---- Grid-wide look ---------------------------------------------------------------------

// The grid is a surface of the program's own colours (its rows' colours, its white
// background): a system colour it is given is the one of the desktop those colours go
// with, so that what lies beyond its cells, an empty row and an uncoloured cell show the
// same background as on a light desktop, with the text that goes with it.
QColor Grid::Shade(int32_t color) const { return TranslateColor(color, DesignPalette()); }

QColor Grid::BackQColor() const { return Shade(backColor_); }

QColor Grid::ForeQColor() const { return Shade(foreColor_); }

void Grid::changeEvent(QEvent* event)
{
    QTableWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        if (horizontalHeader()->font() != font())
            horizontalHeader()->setFont(font());
        HoldRowTexts();
    }
    // The desktop turned dark or light: the system colours are those of the other palette.
    if (event->type() != QEvent::PaletteChange || shadedDark_ == DesktopIsDark())
        return;
    ApplyGridColors();
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c)
            if (QTableWidgetItem* it = item(r, c))
                RenderCell(it, c + 1);
}

void Grid::ApplyGridColors()
{
    // The grid's own text and background are set together, the text readable on it.
    shadedDark_ = DesktopIsDark();
    const QColor back = Shade(backColor_);
    SetTextAndBackground(this, TextSurface::Box, Shade(foreColor_), back.isValid() ? QBrush(back) : QBrush());
    // With a picture the viewport must not fill itself: the picture is painted instead.
    viewport()->setAutoFillBackground(picture_.isNull());
    viewport()->update();
}

int32_t Grid::BackColor() const { return backColor_; }

void Grid::SetBackColor(int32_t color)
{
    backColor_ = color;
    ApplyGridColors();
}

int32_t Grid::ForeColor() const { return foreColor_; }

void Grid::SetForeColor(int32_t color)
{
    foreColor_ = color;
    ApplyGridColors();
}

void Grid::SetThemeBackColor(int32_t color)
{
    if (color == themeBack_)
        return;
    themeBack_ = color;
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c)
            if (QTableWidgetItem* it = item(r, c); it && it->data(BackRole).toInt() == GridThemeBack)
                RenderCell(it, c + 1);
}

void Grid::SetBackgroundPicture(const QPixmap& picture)
{
    picture_ = picture;
    ApplyGridColors();
}

bool Grid::SetBackgroundPictureFile(const QString& path)
{
    QPixmap pm;
    if (!pm.load(path))
        return false;
    SetBackgroundPicture(pm);
    return true;
}

QPixmap Grid::BackgroundPicture() const { return picture_; }

void Grid::ClearBackgroundPicture() { SetBackgroundPicture(QPixmap()); }

void Grid::SetImageList(const QList<QIcon>& icons)
{
    icons_ = icons;
    for (int c = 1; c <= Cols(); ++c) {
        ApplyHeader(c);
        for (int r = 0; r < rowCount(); ++r)
            if (QTableWidgetItem* it = item(r, c - 1))
                RenderCell(it, c);
    }
}

QList<QIcon> Grid::ImageList() const { return icons_; }

// ---- Drawing ----------------------------------------------------------------------------

bool Grid::Redraw() const { return redraw_; }

void Grid::SetRedraw(bool on)
{
    if (on == redraw_)
        return;
    redraw_ = on;
    setUpdatesEnabled(on);
    if (on) {
        if (std::exchange(geometryPending_, false))
            updateGeometries();
        viewport()->update();
    }
}

// While the grid is being filled with redraw off, a resized row or column only changes the
// header: the table's own reaction to the header's signal is a deferred repaint that would
// land after the grid is shown and paint it whole a second time. Turning redraw on lays the
// grid out and paints it once.
void Grid::ResizeRow(int row, int pixels)
{
    pixels = std::max(pixels, RowTextHeight(row + 1));
    if (redraw_ || rowHeight(row) == pixels) {
        setRowHeight(row, pixels);
        return;
    }
    const QSignalBlocker quiet(verticalHeader());
    setRowHeight(row, pixels);
    geometryPending_ = true;
}

void Grid::ResizeColumn(int col, int pixels)
{
    if (redraw_ || columnWidth(col) == pixels) {
        setColumnWidth(col, pixels);
        return;
    }
    const QSignalBlocker quiet(horizontalHeader());
    setColumnWidth(col, pixels);
    geometryPending_ = true;
}

void Grid::Refresh()
{
    updateGeometries();
    viewport()->update();
}

void Grid::paintEvent(QPaintEvent* event)
{
    if (!picture_.isNull()) {
        QPainter p(viewport());
        // Tiled from the top-left of the grid's content, so it scrolls with the cells.
        const QPoint origin(-horizontalOffset(), -verticalOffset());
        p.drawTiledPixmap(viewport()->rect(), picture_, -origin);
    }
    QTableWidget::paintEvent(event);
}

// ---- Sorting ----------------------------------------------------------------------------

int Grid::CompareCells(int rowA, int rowB, const GridSortObject::Key& key) const
{
    const QVariant a = CellText(rowA, key.column);
    const QVariant b = CellText(rowB, key.column);
    const bool ea = IsEmpty(a);
    const bool eb = IsEmpty(b);
    // Empty cells come before every value in ascending order.
    if (ea || eb)
        return ea == eb ? 0 : (ea ? -1 : 1);
    if (key.type == SortNumeric) {
        const double x = NumericOf(a);
        const double y = NumericOf(b);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    const QString x = DisplayText(a, ColumnFormat(key.column));
    const QString y = DisplayText(b, ColumnFormat(key.column));
    const int c = QString::compare(x, y, key.type == SortStringNoCase ? Qt::CaseInsensitive : Qt::CaseSensitive);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

void Grid::Sort()
{
    std::vector<GridSortObject::Key> keys;
    for (const auto& k : sort_.Keys())
        if (ValidColumn(k.column) && (k.order == SortAscending || k.order == SortDescending))
            keys.push_back(k);
    const int n = rowCount();
    if (keys.empty() || n < 2)
        return;

    std::vector<int> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), 1);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        for (const auto& k : keys) {
            int c = CompareCells(a, b, k);
            if (k.order == SortDescending)
                c = -c;
            if (c != 0)
                return c < 0;
        }
        return false;
    });
    bool moved = false;
    for (int i = 0; i < n; ++i)
        if (order[static_cast<size_t>(i)] != i + 1)
            moved = true;
    if (!moved)
        return;

    // Take every row out whole (cells, row item, height, visibility) and put it back in order.
    struct RowState {
        std::vector<QTableWidgetItem*> cells;
        QTableWidgetItem* rowItem = nullptr;
        int height = 0;
        bool hidden = false;
    };
    const int cols = columnCount();
    std::vector<RowState> saved(static_cast<size_t>(n));
    const int currentData = currentRow(); // the selection follows its row
    const int currentCol = currentColumn();
    quietSelection_ = true;
    for (int r = 0; r < n; ++r) {
        RowState& s = saved[static_cast<size_t>(r)];
        s.height = AskedRowHeight(r + 1);
        s.hidden = isRowHidden(r);
        s.rowItem = takeVerticalHeaderItem(r);
        s.cells.resize(static_cast<size_t>(cols));
        for (int c = 0; c < cols; ++c)
            s.cells[static_cast<size_t>(c)] = takeItem(r, c);
    }
    int newCurrent = -1;
    for (int r = 0; r < n; ++r) {
        const int from = order[static_cast<size_t>(r)] - 1;
        RowState& s = saved[static_cast<size_t>(from)];
        if (from == currentData)
            newCurrent = r;
        for (int c = 0; c < cols; ++c)
            if (s.cells[static_cast<size_t>(c)])
                setItem(r, c, s.cells[static_cast<size_t>(c)]);
        if (s.rowItem)
            setVerticalHeaderItem(r, s.rowItem);
        setRowHidden(r, s.hidden);
        if (!s.hidden)
            ResizeRow(r, s.height);
    }
    if (newCurrent >= 0 && currentCol >= 0)
        setCurrentCell(newCurrent, currentCol);
    quietSelection_ = false;
}

// ---- Selection and editing --------------------------------------------------------------

// Holds SelectionChange while the table handles a key or a mouse event: the table makes the
// new cell current first and highlights it afterwards, so a view that moved the current cell on
// from inside the change would leave the highlight behind on the cell it moved away from.
// Once the event is handled, the change is told with the cell then current.
class Grid::SettledMove {
public:
    explicit SettledMove(Grid& grid) : grid_(grid) { ++grid_.moving_; }
    ~SettledMove()
    {
        if (--grid_.moving_ > 0 || !std::exchange(grid_.movedWhileMoving_, false))
            return;
        if (grid_.currentRow() >= 0 && grid_.currentColumn() >= 0)
            emit grid_.SelectionChange(grid_.currentRow() + 1, grid_.currentColumn() + 1);
    }
    SettledMove(const SettledMove&) = delete;
    SettledMove& operator=(const SettledMove&) = delete;

private:
    Grid& grid_;
};

int Grid::SelectedRow() const { return currentRow() + 1; }

int Grid::SelectedCol() const { return currentColumn() + 1; }

void Grid::SetSelectedRow(int row)
{
    if (ValidRow(row))
        setCurrentCell(row - 1, std::max(currentColumn(), 0));
}

void Grid::SetSelectedCol(int col)
{
    if (ValidColumn(col))
        setCurrentCell(std::max(currentRow(), 0), col - 1);
}

void Grid::SetSelection(int row, int col)
{
    if (ValidCell(row, col))
        setCurrentCell(row - 1, col - 1);
}

bool Grid::StartEdit(int row, int col, int keyAscii)
{
    if (!editable_ || inEdit_ || !ValidCell(row, col))
        return false;
    inEdit_ = true;
    editRow_ = row;
    editCol_ = col;
    bool cancel = false;
    emit RequestEdit(row, col, keyAscii, cancel);
    if (cancel) {
        inEdit_ = false;
        return false;
    }
    return true;
}

void Grid::EndEdit()
{
    if (!inEdit_)
        return;
    inEdit_ = false;
    emit EditEnded(false);
}

void Grid::CancelEdit()
{
    if (!inEdit_)
        return;
    inEdit_ = false;
    emit EditEnded(true);
}

void Grid::keyPressEvent(QKeyEvent* event)
{
    if (editable_ && !inEdit_ && currentRow() >= 0 && currentColumn() >= 0) {
        int key = -1;
        if (event->key() == Qt::Key_F2) {
            key = 0;
        } else {
            const QString text = event->text();
            if (!text.isEmpty() && text.at(0).unicode() >= 32 && text.at(0).unicode() != 127
                && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
                key = text.at(0).unicode() < 256 ? text.at(0).unicode() : '?';
        }
        if (key >= 0 && StartEdit(currentRow() + 1, currentColumn() + 1, key)) {
            event->accept();
            return;
        }
    }
    const SettledMove settled(*this);
    QTableWidget::keyPressEvent(event);
}

void Grid::mousePressEvent(QMouseEvent* event)
{
    int button = 0;
    switch (event->button()) {
    case Qt::LeftButton: button = 1; break;
    case Qt::RightButton: button = 2; break;
    case Qt::MiddleButton: button = 4; break;
    default: break;
    }
    int shift = 0;
    if (event->modifiers() & Qt::ShiftModifier)
        shift |= 1;
    if (event->modifiers() & Qt::ControlModifier)
        shift |= 2;
    if (event->modifiers() & Qt::AltModifier)
        shift |= 4;
    const QPoint p = event->position().toPoint() + viewport()->geometry().topLeft();
    {
        const SettledMove settled(*this);
        QTableWidget::mousePressEvent(event);
    }
    emit MouseDown(button, shift, p.x(), p.y());
}

void Grid::mouseMoveEvent(QMouseEvent* event)
{
    const SettledMove settled(*this);
    QTableWidget::mouseMoveEvent(event);
}

void Grid::mouseReleaseEvent(QMouseEvent* event)
{
    const SettledMove settled(*this);
    QTableWidget::mouseReleaseEvent(event);
}

void Grid::focusInEvent(QFocusEvent* event)
{
    const SettledMove settled(*this);
    QTableWidget::focusInEvent(event);
}

void Grid::mouseDoubleClickEvent(QMouseEvent* event)
{
    {
        const SettledMove settled(*this);
        QTableWidget::mouseDoubleClickEvent(event);
    }
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid())
        return;
    emit DblClick(index.row() + 1, index.column() + 1);
    if (editable_)
        StartEdit(index.row() + 1, index.column() + 1, 0);
}

} // namespace vexal
