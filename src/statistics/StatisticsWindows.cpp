#include "StatisticsWindows.h"

#include "StatsWindow.h"
#include "WindowNames.h"
#include "Windows.h"

namespace vexal {

void RegisterStatisticsWindows()
{
    RegisterWindow(WindowName::Statistics, WindowKind::ChildView, [](QWidget*) { return new StatsWindow(); });
}

} // namespace vexal
