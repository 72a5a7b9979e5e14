#include "LeavingControl.h"

#include <QApplication>
#include <QFocusEvent>
#include <QPointer>
#include <QWidget>

#include <algorithm>
#include <iterator>
#include <vector>

namespace vexal {

namespace {
// The boxes that refuse to be left, latest last.
std::vector<const QWidget*>& Refusing()
{
    static std::vector<const QWidget*> boxes;
    return boxes;
}

// The control that had the focus when another window took the activation without the control
// being left: its focus coming back is no entering.
QPointer<const QWidget>& Kept()
{
    static QPointer<const QWidget> control;
    return control;
}

bool Left(const QWidget* control, const QFocusEvent* event)
{
    if (event->reason() != Qt::ActiveWindowFocusReason)
        return true;
    // Another program took the activation: the focus went to no control of ours.
    if (!QApplication::activeWindow())
        return false;
    const QWidget* modal = QApplication::activeModalWidget();
    return !modal || (control && modal == control->window());
}
} // namespace

bool LeavesControl(const QWidget* control, const QEvent* event)
{
    if (!event || event->type() != QEvent::FocusOut)
        return false;
    for (const QWidget* refusing : Refusing())
        if (refusing != control)
            return false;
    const bool left = Left(control, static_cast<const QFocusEvent*>(event));
    if (!left)
        Kept() = control;
    else if (Kept() == control)
        Kept() = nullptr;
    return left;
}

bool EntersControl(const QWidget* control, const QEvent* event)
{
    if (!event || event->type() != QEvent::FocusIn)
        return false;
    const bool back = control && Kept() == control &&
                      static_cast<const QFocusEvent*>(event)->reason() == Qt::ActiveWindowFocusReason;
    if (Kept() == control)
        Kept() = nullptr;
    return !back;
}

LeaveRefused::LeaveRefused(const QWidget* refusing) : refusing_(refusing) { Refusing().push_back(refusing); }

LeaveRefused::~LeaveRefused()
{
    auto& boxes = Refusing();
    const auto it = std::find(boxes.rbegin(), boxes.rend(), refusing_);
    if (it != boxes.rend())
        boxes.erase(std::next(it).base());
}

} // namespace vexal
