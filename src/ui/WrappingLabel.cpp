#include "WrappingLabel.h"

#include <QPainter>
#include <QStyle>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace vexal {

namespace {

// The width a label asks for before its layout gives it one: a short message's own width,
// never more than a line of this many average characters.
constexpr int PreferredChars = 30;

} // namespace

WrappingLabel::WrappingLabel(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    // A message from a server is shown as it came, never read as markup.
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

int WrappingLabel::TextWidth(int width) const
{
    const QMargins m = contentsMargins();
    return std::max(1, width - m.left() - m.right() - 2 * margin());
}

qreal WrappingLabel::LayOut(QTextLayout& layout, int textWidth) const
{
    QString shown = text();
    shown.replace(QLatin1Char('\n'), QChar::LineSeparator);
    layout.setText(shown);
    layout.setFont(font());
    QTextOption option(alignment());
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    qreal height = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(textWidth);
        line.setPosition(QPointF(0, height));
        height += line.height();
    }
    layout.endLayout();
    // An empty text still takes a line, as a label's does.
    return std::max(height, static_cast<qreal>(fontMetrics().height()));
}

int WrappingLabel::heightForWidth(int width) const
{
    QTextLayout layout;
    const QMargins m = contentsMargins();
    return static_cast<int>(std::ceil(LayOut(layout, TextWidth(width)))) + m.top() + m.bottom() + 2 * margin();
}

QSize WrappingLabel::sizeHint() const
{
    const QMargins m = contentsMargins();
    const int own = fontMetrics().horizontalAdvance(text()) + 1;
    const int width = std::min(own, PreferredChars * fontMetrics().averageCharWidth()) + m.left() + m.right() +
                      2 * margin();
    return {width, heightForWidth(width)};
}

QSize WrappingLabel::minimumSizeHint() const
{
    // Any width will do: the text wraps into it. One line is the least height.
    const QMargins m = contentsMargins();
    return {fontMetrics().averageCharWidth() + m.left() + m.right() + 2 * margin(),
            fontMetrics().height() + m.top() + m.bottom() + 2 * margin()};
}

void WrappingLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    drawFrame(&painter);
    const QRect room = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    QTextLayout layout;
    const qreal height = LayOut(layout, room.width());
    qreal top = room.top();
    if (alignment() & Qt::AlignVCenter)
        top += std::max<qreal>(0, (room.height() - height) / 2);
    else if (alignment() & Qt::AlignBottom)
        top += std::max<qreal>(0, room.height() - height);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()));
    layout.draw(&painter, QPointF(room.left(), top));
}

} // namespace vexal
