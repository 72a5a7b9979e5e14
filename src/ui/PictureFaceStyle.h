#pragma once
// The style of a graphical button: the application's style draws the button, then its face
// shows the picture of its Button brush (a brush with a pattern); pressed, the picture is
// shaded. Styles draw a face in the brush's colour and leave its pattern out.
#include <QProxyStyle>

namespace vexal {

class PictureFaceStyle : public QProxyStyle {
public:
    // The one instance every graphical button shares; it lives as long as the program.
    static PictureFaceStyle* Shared();
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
};

} // namespace vexal
