#include "StatisticsWindows.h"

#include "StatsWindow.h"
#include "Windows.h"

namespace vexal {

void RegisterStatisticsWindows()
{
    RegisterWindow("FORM6", WindowKind::ChildView, [](QWidget*) { return new StatsWindow(); });
}

} // namespace vexal
