#include "ReBar.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLayout>
#include <QPainter>
#include <QResizeEvent>
#include <QToolButton>

#include <algorithm>
#include <vector>

namespace vexal {

namespace {
// Room above and below a band's child, when the bar has it.
constexpr int BandPadding = 4;
} // namespace

// One band: a grip, the band's text, the child and, when the child does not fit, a chevron.
class ReBarBand : public QWidget {
public:
    ReBarBand(QWidget* child, const QString& text, const QString& key, QWidget* parent)
        : QWidget(parent), child_(child), key_(key)
    {
        label_ = new QLabel(text, this);
        label_->setVisible(!text.isEmpty());
        chevron_ = new QToolButton(this);
        chevron_->setObjectName(key.isEmpty() ? QString("chevron") : key + "Chevron");
        chevron_->setText(QString::fromUtf8("\u00bb"));
        chevron_->setAutoRaise(true);
        chevron_->hide();
        child_->setParent(this);
        child_->show();
        // A child that asks for another size (a new font, its captions shown or hidden) has
        // the bar laid out again.
        child_->installEventFilter(this);
        QObject::connect(chevron_, &QToolButton::clicked, this, [this] {
            emit static_cast<ReBar*>(parentWidget())->ChevronPushed(
                key_, chevron_->mapToGlobal(QPoint(0, chevron_->height())));
        });
    }

    QWidget* Child() const { return child_; }
    QString Text() const { return label_->text(); }
    QString Key() const { return key_; }
    bool HasChevron() const { return !chevron_->isHidden(); }
    void SetText(const QString& text)
    {
        label_->setText(text);
        label_->setVisible(!text.isEmpty());
    }

    int Lead() const { return Grip + (label_->isVisible() ? label_->sizeHint().width() + 4 : 0); }
    int IdealWidth() const { return Lead() + ChildHint().width() + 4; }
    int MinimumWidth() const { return Lead() + ChevronWidth() + 4; }
    int IdealHeight() const { return std::max(ChildHint().height(), label_->sizeHint().height()) + BandPadding; }

    QWidget* Release()
    {
        QWidget* c = child_;
        child_ = nullptr;
        if (c) {
            c->removeEventFilter(this);
            c->clearMask();
        }
        return c;
    }

protected:
    void resizeEvent(QResizeEvent*) override { Arrange(); }
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::LayoutRequest)
            if (auto* bar = qobject_cast<ReBar*>(parentWidget()))
                bar->Relayout();
        return QWidget::event(event);
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // A child's new size hint reaches the band as a layout request when the band is shown;
        // a font change is heard before that, too.
        if (watched == child_ && (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange))
            QCoreApplication::postEvent(this, new QEvent(QEvent::LayoutRequest));
        return QWidget::eventFilter(watched, event);
    }
    void paintEvent(QPaintEvent*) override
    {
        // The grip: two etched lines at the band's left edge.
        QPainter p(this);
        const QColor dark = palette().color(QPalette::Dark);
        const QColor light = palette().color(QPalette::Light);
        p.setPen(dark);
        p.drawLine(2, 2, 2, height() - 3);
        p.setPen(light);
        p.drawLine(3, 2, 3, height() - 3);
    }

private:
    static constexpr int Grip = 8;
    // 14 pixels, or as wide as a larger font's "»" needs.
    int ChevronWidth() const
    {
        return std::max(14, chevron_->fontMetrics().horizontalAdvance(chevron_->text()) + 6);
    }

    QSize ChildHint() const
    {
        if (!child_)
            return {0, 0};
        QSize s = child_->sizeHint();
        return s.expandedTo(child_->minimumSizeHint());
    }

    void Arrange()
    {
        if (!child_)
            return;
        const int h = height();
        int x = Grip;
        if (label_->isVisible()) {
            QSize ls = label_->sizeHint();
            label_->setGeometry(x, (h - ls.height()) / 2, ls.width(), ls.height());
            x += ls.width() + 4;
        }
        const QSize cs = ChildHint();
        const int room = width() - x - 2;
        const bool fits = cs.width() <= room;
        // A child that does not fit keeps its size and is cut before the chevron.
        int childWidth = cs.width();
        if (fits && child_->sizePolicy().horizontalPolicy() & QSizePolicy::ExpandFlag)
            childWidth = room;
        child_->setGeometry(x, std::max(0, (h - cs.height()) / 2), childWidth, cs.height());
        chevron_->setVisible(!fits);
        if (fits) {
            child_->clearMask();
        } else {
            chevron_->setGeometry(width() - ChevronWidth(), 0, ChevronWidth(), h);
            chevron_->raise();
            CutBefore(width() - ChevronWidth() - x);
        }
    }

    // Shows of the child only the parts (a toolbar's buttons) that fit whole within `shown`
    // pixels of its left edge: a button half under the chevron would show half its caption,
    // and a click on it would reach a command the user cannot read. The chevron offers the rest.
    void CutBefore(int shown)
    {
        // The parts stand where the child's layout puts them at its size now.
        if (QLayout* layout = child_->layout())
            layout->setGeometry(child_->contentsRect());
        int cut = 0;
        bool parts = false;
        for (QWidget* part : child_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (part->isHidden() || part->isWindow())
                continue;
            parts = true;
            const int right = part->geometry().right() + 1;
            if (right <= shown)
                cut = std::max(cut, right);
        }
        if (!parts)
            cut = std::max(0, shown);
        child_->setMask(QRegion(0, 0, cut, child_->height()));
    }

    QWidget* child_;
    QString key_;
    QLabel* label_;
    QToolButton* chevron_;
};

ReBar::ReBar(QWidget* parent) : QWidget(parent) { setObjectName("cReBar1"); }

void ReBar::AddBand(QWidget* child, const QString& text, const QString& key)
{
    auto* band = new ReBarBand(child, text, key, this);
    band->setObjectName(key.isEmpty() ? child->objectName() + "Band" : key + "Band");
    bands_.push_back(band);
    band->show();
    Relayout();
}

void ReBar::RemoveAllBands()
{
    for (ReBarBand* band : bands_) {
        if (QWidget* child = band->Release()) {
            child->hide();
            child->setParent(parentWidget() ? parentWidget() : this);
        }
        band->hide();
        band->deleteLater();
    }
    bands_.clear();
    Relayout();
}

QString ReBar::BandText(int band) const { return band >= 0 && band < BandCount() ? bands_[band]->Text() : QString(); }
QString ReBar::BandKey(int band) const { return band >= 0 && band < BandCount() ? bands_[band]->Key() : QString(); }
QWidget* ReBar::BandChild(int band) const { return band >= 0 && band < BandCount() ? bands_[band]->Child() : nullptr; }
bool ReBar::BandHasChevron(int band) const { return band >= 0 && band < BandCount() && bands_[band]->HasChevron(); }

std::vector<ReBar::Row> ReBar::Rows(int width) const
{
    std::vector<Row> rows;
    std::size_t i = 0;
    while (i < bands_.size()) {
        // Fill one row: at least one band, more while their ideal widths fit.
        Row row{i, i + 1, bands_[i]->IdealHeight()};
        int used = bands_[i]->IdealWidth();
        ++i;
        while (i < bands_.size() && used + bands_[i]->IdealWidth() <= width) {
            used += bands_[i]->IdealWidth();
            row.height = std::max(row.height, bands_[i]->IdealHeight());
            ++i;
        }
        row.end = i;
        rows.push_back(row);
    }
    return rows;
}

int ReBar::RowsHeight(int width) const
{
    int height = 0;
    for (const Row& row : Rows(std::max(1, width)))
        height += row.height;
    return height;
}

int ReBar::LeastRowsHeight(int width) const
{
    const std::vector<Row> rows = Rows(std::max(1, width));
    int height = 0;
    for (const Row& row : rows)
        height += row.height - BandPadding;
    return height;
}

void ReBar::Relayout()
{
    const int width = std::max(1, this->width());
    std::vector<Row> rows = Rows(width);
    int ideal = 0;
    for (const Row& row : rows)
        ideal += row.height;
    const int least = ideal - BandPadding * static_cast<int>(rows.size());
    // In a bar held lower than its rows want, the rows give up the padding around their
    // children first, so that no band is cut at the bottom.
    int excess = height() > 0 ? ideal - height() : 0;
    for (std::size_t r = 0; r < rows.size() && excess > 0; ++r) {
        const int left = static_cast<int>(rows.size() - r);
        const int cut = std::min({BandPadding, excess, (excess + left - 1) / left});
        rows[r].height -= cut;
        excess -= cut;
    }
    int y = 0;
    for (const Row& row : rows) {
        int x = 0;
        for (std::size_t b = row.first; b < row.end; ++b) {
            // The row's last band takes what is left.
            int w = b + 1 == row.end ? std::max(width - x, bands_[b]->MinimumWidth()) : bands_[b]->IdealWidth();
            bands_[b]->setGeometry(x, y, w, row.height);
            x += w;
        }
        y += row.height;
    }
    if (ideal != rowsHeight_ || least != leastRowsHeight_) {
        rowsHeight_ = ideal;
        leastRowsHeight_ = least;
        updateGeometry();
    }
}

QSize ReBar::sizeHint() const
{
    int w = 0, h = 0;
    for (const ReBarBand* band : bands_) {
        w += band->IdealWidth();
        h = std::max(h, band->IdealHeight());
    }
    return {w, std::max(h, rowsHeight_)};
}

QSize ReBar::minimumSizeHint() const { return {0, rowsHeight_}; }

void ReBar::resizeEvent(QResizeEvent*) { Relayout(); }

} // namespace vexal
