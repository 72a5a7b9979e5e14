#pragma once
// A label for a message of any length (a status line): its text wraps within the width its
// layout gives it, at word boundaries and, where one word is longer than a line (a path, an
// address), inside that word, so a long message never widens its window and is read whole.
// It asks its layout for the height its lines take at that width.
#include <QLabel>

class QTextLayout;

namespace vexal {

class WrappingLabel : public QLabel {
    Q_OBJECT
public:
    explicit WrappingLabel(const QString& text, QWidget* parent = nullptr);

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Lays the text out in lines of `textWidth` pixels; returns the height they take.
    qreal LayOut(QTextLayout& layout, int textWidth) const;
    int TextWidth(int width) const;
};

} // namespace vexal
