#pragma once
// The main window's rebar (cReBar1): bands side by side, wrapping into rows, each holding
// one child window with an optional text and key. A band narrower than its child shows a
// chevron; pressing it raises ChevronPushed with the band's key. The rows it needs follow
// its children, so a larger font asks for more height: its host reads RowsHeight and
// LeastRowsHeight, and hears of a change as a layout request.
#include <QString>
#include <QWidget>

#include <vector>

class QLabel;
class QToolButton;

namespace vexal {

class ReBarBand;

class ReBar : public QWidget {
    Q_OBJECT
public:
    explicit ReBar(QWidget* parent = nullptr);

    void AddBand(QWidget* child, const QString& text = QString(), const QString& key = QString());
    // Releases every band; the children are kept (handed back to the rebar's parent, hidden).
    void RemoveAllBands();
    int BandCount() const { return static_cast<int>(bands_.size()); }
    QString BandText(int band) const;
    QString BandKey(int band) const;
    QWidget* BandChild(int band) const;
    // The band's chevron is shown (its child does not fit).
    bool BandHasChevron(int band) const;
    // Lays the bands out again (after a child changed its size).
    void Relayout();
    // The height of the rows the bands take at a width: with the room above and below each
    // row's children, and the least, where every child is whole but the rows have no room.
    int RowsHeight(int width) const;
    int LeastRowsHeight(int width) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void ChevronPushed(const QString& key, const QPoint& globalPos);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Row {
        std::size_t first, end;   // the bands [first, end)
        int height;               // with the padding
    };
    std::vector<Row> Rows(int width) const;

    std::vector<ReBarBand*> bands_;
    int rowsHeight_ = 0;
    int leastRowsHeight_ = 0;
};

} // namespace vexal
