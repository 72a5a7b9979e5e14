#include "TextsShownWhole.h"

#include "Grid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QTabBar>
#include <QTextDocument>
#include <QToolButton>

#include <algorithm>

namespace vexal::test {

QString ShownText(QString text)
{
    text.replace("&&", "\x01");
    text.remove('&');
    text.replace("\x01", "&");
    return text;
}

namespace {

// The width the text's ink takes from where it starts: a last glyph's blank side bearing
// may be clipped without the user missing anything.
int InkWidth(const QFontMetrics& fm, const QString& text)
{
    const QRect ink = fm.tightBoundingRect(text);
    return std::max(0, ink.right() + 1);
}

// The room a line needs so that its ink stays inside where its alignment puts it: a text
// placed against the right edge starts its trailing blanks' width further left, so its
// first letter is the one cut when the room is short.
int AlignedInkWidth(const QFontMetrics& fm, const QString& line, Qt::Alignment alignment)
{
    const QRect ink = fm.tightBoundingRect(line);
    if (ink.isEmpty())
        return 0;
    const int advance = fm.horizontalAdvance(line);
    if (alignment & Qt::AlignRight)
        return advance - ink.left();
    if (alignment & Qt::AlignHCenter)
        return std::max(advance - 2 * ink.left(), 2 * (ink.right() + 1) - advance);
    return ink.right() + 1 - std::min(0, ink.left());
}

// Where a text stands inside the window, to tell whether it runs into its neighbour; the
// blank is the gap a reader needs between two words in its face.
struct PlacedText {
    const QWidget* control;
    QString text;
    QRect area;
    int blank;
};

class TextCheck {
public:
    explicit TextCheck(QWidget* root) : root_(root) {}

    std::vector<TextFault> Run()
    {
        for (QWidget* w : root_->findChildren<QWidget*>()) {
            if (w->window() != root_->window() || !w->isVisibleTo(root_) || w->width() <= 0 || w->height() <= 0 ||
                w->visibleRegion().boundingRect().isEmpty())
                continue;
            if (auto* grid = qobject_cast<Grid*>(w))
                CheckGrid(grid);
            else if (auto* label = qobject_cast<QLabel*>(w))
                CheckLabel(label);
            else if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w))
                CheckOption(static_cast<QAbstractButton*>(w));
            else if (auto* button = qobject_cast<QPushButton*>(w))
                CheckButton(button);
            else if (auto* tool = qobject_cast<QToolButton*>(w))
                CheckToolButton(tool);
            else if (auto* box = qobject_cast<QGroupBox*>(w))
                CheckFrame(box);
            else if (auto* tabs = qobject_cast<QTabBar*>(w))
                CheckTabs(tabs);
            else if (auto* bar = qobject_cast<QMenuBar*>(w))
                CheckMenuBar(bar);
            else if (auto* list = qobject_cast<QComboBox*>(w))
                CheckList(list);
            else if (auto* edit = qobject_cast<QLineEdit*>(w))
                CheckBox(edit);
        }
        CheckNeighbours();
        return faults_;
    }

private:
    static std::string Name(const QWidget* w, const QString& text)
    {
        // A list's own box is named by its list.
        if (auto* list = qobject_cast<const QComboBox*>(w->parentWidget()); list && list->lineEdit() == w)
            w = list;
        const QString name = w->objectName().isEmpty() ? QString(w->metaObject()->className()) : w->objectName();
        return (name + " \"" + text + "\"").toStdString();
    }

    void Fits(const QWidget* w, const QString& text, int needed, int room)
    {
        if (needed > room)
            faults_.push_back({Name(w, text), "cut off: needs " + std::to_string(needed) + " px, has " +
                                                  std::to_string(room)});
    }

    void Place(const QWidget* w, const QString& text, const QRect& area)
    {
        const QRect shown = area.intersected(w->rect());
        if (!shown.isEmpty())
            placed_.push_back({w, text, QRect(w->mapTo(root_, shown.topLeft()), shown.size()),
                               QFontMetrics(w->font()).horizontalAdvance(QLatin1Char(' '))});
    }

    void CheckLabel(QLabel* label)
    {
        if (label->text().isEmpty() || label->pixmap().cacheKey() != QPixmap().cacheKey() ||
            Qt::mightBeRichText(label->text()))
            return;
        const QString text = label->buddy() ? ShownText(label->text()) : label->text();
        const QRect room = label->contentsRect();
        const QFontMetrics fm(label->font());
        const int flags = static_cast<int>(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
        // Measured from the top: lines centred on an empty rectangle round an odd height up.
        const int measure = (flags & ~static_cast<int>(Qt::AlignVertical_Mask)) | Qt::AlignTop;
        const QRect needed = fm.boundingRect(label->wordWrap() ? room : QRect(0, 0, QWIDGETSIZE_MAX, QWIDGETSIZE_MAX),
                                             measure, text);
        if (!label->wordWrap()) {
            int ink = 0;
            for (const QString& line : text.split('\n'))
                ink = std::max(ink, AlignedInkWidth(fm, line, label->alignment()));
            Fits(label, text, ink, room.width());
        } else
            Fits(label, text, needed.width(), room.width());
        Fits(label, text, needed.height(), room.height());
        Place(label, text, fm.boundingRect(room, flags, text));
    }

    void CheckOption(QAbstractButton* button)
    {
        if (button->text().isEmpty())
            return;
        QStyleOptionButton opt;
        opt.initFrom(button);
        opt.text = button->text();
        const bool check = qobject_cast<QCheckBox*>(button) != nullptr;
        const QRect contents = button->style()->subElementRect(
            check ? QStyle::SE_CheckBoxContents : QStyle::SE_RadioButtonContents, &opt, button);
        const QString text = ShownText(button->text());
        const QFontMetrics fm(button->font());
        Fits(button, text, InkWidth(fm, text), contents.width());
        Place(button, text, QStyle::alignedRect(button->layoutDirection(), Qt::AlignLeft | Qt::AlignVCenter,
                                                QSize(fm.horizontalAdvance(text), fm.height()), contents));
    }

    void CheckButton(QPushButton* button)
    {
        if (button->text().isEmpty())
            return;
        const QString text = ShownText(button->text());
        Fits(button, text, QFontMetrics(button->font()).horizontalAdvance(text) + 4, button->width());
    }

    // What of a control its window shows: the part its parents' rectangles leave, less what
    // a parent's mask hides (a bar band shows only the buttons that fit before its chevron).
    QRect ShownPart(QWidget* w) const
    {
        QRegion shown = w->visibleRegion();
        for (QWidget* a = w; a && a != root_->window(); a = a->parentWidget())
            if (!a->mask().isEmpty())
                shown &= a->mask().translated(-w->mapTo(a, QPoint(0, 0)));
        return shown.boundingRect();
    }

    // A toolbar's button with a caption shows it whole only where its bar shows the whole
    // button (a band lower or narrower than the button cuts it); a button that shows only a
    // caption needs room for the caption's ink.
    void CheckToolButton(QToolButton* button)
    {
        const bool picture = !button->icon().isNull();
        if (button->text().isEmpty() || (picture && button->toolButtonStyle() == Qt::ToolButtonIconOnly))
            return;
        const QRect shown = ShownPart(button);
        if (shown.isEmpty())
            return;
        const QString text = ShownText(button->text());
        if (!picture || button->toolButtonStyle() == Qt::ToolButtonTextOnly) {
            Fits(button, text, InkWidth(QFontMetrics(button->font()), text) + 4, shown.width());
            return;
        }
        const QSize needed = button->sizeHint();
        Fits(button, text, needed.width(), shown.width());
        if (needed.height() > shown.height())
            faults_.push_back({Name(button, text), "cut off: needs " + std::to_string(needed.height()) +
                                                       " px high, has " + std::to_string(shown.height())});
    }

    void CheckFrame(QGroupBox* box)
    {
        if (box->title().isEmpty())
            return;
        const QString text = ShownText(box->title());
        Fits(box, text, InkWidth(QFontMetrics(box->font()), text) + 8, box->width());
    }

    void CheckTabs(QTabBar* tabs)
    {
        const QFontMetrics fm(tabs->font());
        for (int i = 0; i < tabs->count(); ++i) {
            const QString text = ShownText(tabs->tabText(i));
            Fits(tabs, text, InkWidth(fm, text), tabs->tabRect(i).width() - 4);
        }
    }

    void CheckMenuBar(QMenuBar* bar)
    {
        const QFontMetrics fm(bar->font());
        for (QAction* a : bar->actions()) {
            if (!a->isVisible() || a->isSeparator() || a->text().isEmpty())
                continue;
            const QString text = ShownText(a->text());
            const QRect r = bar->actionGeometry(a);
            Fits(bar, text, InkWidth(fm, text), r.isValid() ? r.width() : 0);
        }
    }

    // A list shows the item a user chooses in the field left of its arrow, or, when one can
    // type into it, in its own box: every item must fit there, not only the one chosen now
    // (a list filled with short texts first, or showing "None", hides its long items until
    // the user picks one). The list is named once, by its widest item that does not fit.
    void CheckList(QComboBox* list)
    {
        QLineEdit* box = list->lineEdit();
        const QFontMetrics fm(box ? box->font() : list->font());
        int room = 0;
        if (box) {
            room = BoxRoom(box);
        } else {
            QStyleOptionComboBox opt;
            opt.initFrom(list);
            opt.editable = false;
            opt.currentText = list->currentText();
            const QRect field =
                list->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, list);
            // The style draws the text one pixel in from each side of that field.
            room = field.width() - 2;
        }
        QStringList texts;
        for (int i = 0; i < list->count(); ++i)
            texts << list->itemText(i);
        if (!list->isEditable() && !texts.contains(list->currentText()))
            texts << list->currentText();
        QString widest;
        int widestNeeds = 0;
        int cut = 0;
        for (const QString& text : texts) {
            if (text.isEmpty())
                continue;
            const int n = box ? BoxNeeds(fm, text) : InkWidth(fm, text);
            if (n <= room)
                continue;
            ++cut;
            if (n > widestNeeds) {
                widestNeeds = n;
                widest = text;
            }
        }
        if (cut > 0)
            faults_.push_back({Name(list, widest), "cut off: needs " + std::to_string(widestNeeds) + " px, has " +
                                                       std::to_string(room) + " (" + std::to_string(cut) + " of " +
                                                       std::to_string(texts.size()) + " items cut)"});
    }

    // The room a box gives its text: what its frame and margins leave, less the two pixels it
    // keeps on each side of its text.
    static int BoxRoom(QLineEdit* edit)
    {
        QStyleOptionFrame opt;
        opt.initFrom(edit);
        opt.rect = edit->rect();
        opt.lineWidth = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, edit) : 0;
        opt.midLineWidth = 0;
        opt.state |= QStyle::State_Sunken;
        const QRect contents =
            edit->style()->subElementRect(QStyle::SE_LineEditContents, &opt, edit).marginsRemoved(edit->textMargins());
        return contents.width() - 4;
    }

    // A box's text and the caret after it.
    static int BoxNeeds(const QFontMetrics& fm, const QString& text) { return fm.horizontalAdvance(text) + 1; }

    // A box scrolls a text longer than its room: what the user sees is cut.
    void CheckBox(QLineEdit* edit)
    {
        const QString text = edit->displayText();
        if (text.isEmpty())
            return;
        // A list's box showing one of its items is measured with the list's items.
        if (auto* list = qobject_cast<const QComboBox*>(edit->parentWidget());
            list && list->lineEdit() == edit && list->findText(text, Qt::MatchExactly) >= 0)
            return;
        Fits(edit, text, BoxNeeds(QFontMetrics(edit->font()), text), BoxRoom(edit));
    }

    // A column's room is its width, or what of it the grid's view shows where the column
    // starts inside the view and runs under its edge (a scroll bar, the frame).
    static int ColumnRoom(const Grid* grid, int c)
    {
        const int left = grid->columnViewportPosition(c - 1);
        const int shown = grid->viewport()->width() - left;
        return left >= 0 && left < grid->viewport()->width() ? std::min(grid->ColumnWidth(c), shown)
                                                             : grid->ColumnWidth(c);
    }

    void CheckGrid(Grid* grid)
    {
        if (grid->Header()) {
            const QFontMetrics fm(grid->horizontalHeader()->font());
            for (int c = 1; c <= grid->Cols(); ++c) {
                if (!grid->ColumnVisible(c) || grid->ColumnWidth(c) <= 0)
                    continue;
                const QString text = grid->ColumnHeader(c);
                Fits(grid, "heading " + text, fm.horizontalAdvance(text) + 6, ColumnRoom(grid, c));
            }
        }
        // The style's margin on each side of a cell's text, and the grid line.
        const int margin = 2 * (grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1) + 1;
        const int line = grid->showGrid() ? 1 : 0;
        for (int r = 1; r <= grid->Rows(); ++r) {
            if (!grid->RowVisible(r))
                continue;
            // The row's highest text, with the grid line under it: a lower row cuts its
            // descenders (or its tops).
            int high = 0;
            QString highText;
            for (int c = 1; c <= grid->Cols(); ++c) {
                const QString text = grid->CellFormattedText(r, c);
                if (text.isEmpty() || !grid->ColumnVisible(c) || grid->ColumnWidth(c) <= 0)
                    continue;
                const QFontMetrics fm(grid->CellFont(r, c));
                Fits(grid, "cell " + text, fm.horizontalAdvance(text) + margin, ColumnRoom(grid, c));
                if (fm.height() + line > high) {
                    high = fm.height() + line;
                    highText = text;
                }
            }
            if (high > grid->RowHeight(r))
                faults_.push_back({Name(grid, "row " + QString::number(r) + " " + highText),
                                   "cut off: needs " + std::to_string(high) + " px high, has " +
                                       std::to_string(grid->RowHeight(r))});
        }
        CheckLastRow(grid);
    }

    // A row the view cuts at its bottom is read whole by scrolling, unless it is the grid's
    // only row or the window has room for it: the room left free under the grid would hold
    // the whole row.
    void CheckLastRow(Grid* grid)
    {
        const int view = grid->viewport()->height();
        for (int r = 1; r <= grid->Rows(); ++r) {
            const int top = grid->rowViewportPosition(r - 1);
            const int cut = top + grid->RowHeight(r) - view;
            if (!grid->RowVisible(r) || top < 0 || top >= view || cut <= 0)
                continue;
            const QWidget* parent = grid->parentWidget();
            const QRect below(grid->x(), grid->geometry().bottom() + 1, grid->width(),
                              parent->height() - grid->geometry().bottom() - 1);
            int free = below.height();
            for (const QWidget* other : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                if (other != grid && other->isVisible() && other->geometry().intersects(below))
                    free = std::min(free, other->y() - below.top());
            if (grid->Rows() == 1 || free >= grid->RowHeight(r))
                faults_.push_back({Name(grid, "row " + QString::number(r) + " " + grid->CellFormattedText(r, 1)),
                                   "cut off by the grid's bottom: " + std::to_string(cut) + " px of it hidden, " +
                                       std::to_string(std::max(0, free)) + " px free below the grid"});
        }
    }

    // Two texts on one line need a blank between them, or they read as one.
    void CheckNeighbours()
    {
        for (std::size_t i = 0; i < placed_.size(); ++i)
            for (std::size_t k = i + 1; k < placed_.size(); ++k) {
                const PlacedText& a = placed_[i].area.left() <= placed_[k].area.left() ? placed_[i] : placed_[k];
                const PlacedText& b = &a == &placed_[i] ? placed_[k] : placed_[i];
                const bool sameLines =
                    std::min(a.area.bottom(), b.area.bottom()) >= std::max(a.area.top(), b.area.top());
                if (!sameLines)
                    continue;
                const int gap = b.area.left() - a.area.right() - 1;
                const int blank = std::min(a.blank, b.blank);
                if (gap < blank)
                    faults_.push_back({Name(a.control, a.text),
                                       "runs into " + Name(b.control, b.text) + ": " + std::to_string(gap) +
                                           " px between them, a blank is " + std::to_string(blank)});
            }
    }

    QWidget* root_;
    std::vector<TextFault> faults_;
    std::vector<PlacedText> placed_;
};

} // namespace

std::vector<TextFault> TextsNotShownWhole(QWidget* root) { return TextCheck(root).Run(); }

} // namespace vexal::test
