#include "PictureFaceStyle.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyleOption>

namespace vexal {

PictureFaceStyle* PictureFaceStyle::Shared()
{
    // Never freed: a style must outlive every widget that uses it, to the program's end.
    static auto* style = new PictureFaceStyle;
    return style;
}

void PictureFaceStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                     const QWidget* widget) const
{
    QProxyStyle::drawPrimitive(element, option, painter, widget);
    const QBrush& face = option->palette.button();
    if (element != PE_PanelButtonCommand || face.style() != Qt::TexturePattern || face.texture().isNull())
        return;
    // Inside the frame the style drew, which stays as it is.
    const QRectF inside = QRectF(option->rect).adjusted(2, 2, -2, -2);
    if (inside.isEmpty())
        return;
    QPainterPath clip;
    clip.addRoundedRect(inside, 1.5, 1.5);
    painter->save();
    painter->setClipPath(clip, Qt::IntersectClip);
    painter->drawTiledPixmap(inside, face.texture());
    if (option->state & (State_Sunken | State_On))
        painter->fillPath(clip, QColor(0, 0, 0, 48));
    painter->restore();
}

} // namespace vexal
