#include "LeavingControl.h"

#include <QApplication>
#include <QFocusEvent>
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
} // namespace

bool LeavesControl(const QWidget* control, const QEvent* event)
{
    if (!event || event->type() != QEvent::FocusOut)
        return false;
    for (const QWidget* refusing : Refusing())
        if (refusing != control)
            return false;
    if (static_cast<const QFocusEvent*>(event)->reason() != Qt::ActiveWindowFocusReason)
        return true;
    const QWidget* modal = QApplication::activeModalWidget();
    return !modal || (control && modal == control->window());
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
