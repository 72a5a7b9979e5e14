#include "CMouse.h"
#include "Steps.h"

#include <QCursor>
#include <QGuiApplication>

namespace vexal {

namespace {

int32_t& CurrentShape()
{
    static int32_t shape = vbDefault;
    return shape;
}

Qt::CursorShape QtShape(int32_t shape)
{
    switch (shape) {
    case vbCrosshair: return Qt::CrossCursor;
    case vbIbeam: return Qt::IBeamCursor;
    case vbSizePointer:
    case vbSizeAll: return Qt::SizeAllCursor;
    case vbSizeNESW: return Qt::SizeBDiagCursor;
    case vbSizeNS: return Qt::SizeVerCursor;
    case vbSizeNWSE: return Qt::SizeFDiagCursor;
    case vbSizeWE: return Qt::SizeHorCursor;
    case vbUpArrow: return Qt::UpArrowCursor;
    case vbHourglass: return Qt::WaitCursor;
    case vbNoDrop: return Qt::ForbiddenCursor;
    case vbArrowHourglass: return Qt::BusyCursor;
    case vbArrowQuestion: return Qt::WhatsThisCursor;
    default: return Qt::ArrowCursor;
    }
}

bool HaveGuiApp() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }

} // namespace

int32_t MousePointer() { return CurrentShape(); }

void SetMousePointer(int32_t shape)
{
    const int32_t previous = CurrentShape();
    CurrentShape() = shape;
    if (!HaveGuiApp())
        return;
    // One override cursor at most stands for the application's pointer.
    if (shape == vbDefault) {
        if (previous != vbDefault)
            while (QGuiApplication::overrideCursor())
                QGuiApplication::restoreOverrideCursor();
    } else if (previous == vbDefault || !QGuiApplication::overrideCursor()) {
        QGuiApplication::setOverrideCursor(QCursor(QtShape(shape)));
    } else {
        QGuiApplication::changeOverrideCursor(QCursor(QtShape(shape)));
    }
}

CMouse::~CMouse()
{
    if (!saved_)
        return;
    // Restoring the pointer never fails a procedure's end.
    SkipStep([&] { SetMousePointer(savedPointer_); });
}

void CMouse::SetPointer(int32_t pointer)
{
    if (!saved_) {
        savedPointer_ = MousePointer();
        saved_ = true;
    }
    // The pointer shows when the message loop next runs; running it here would let clicks and
    // timers in the middle of whatever procedure set the pointer.
    SetMousePointer(pointer);
}

} // namespace vexal
