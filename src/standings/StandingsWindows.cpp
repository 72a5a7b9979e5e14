#include "StandingsWindows.h"

#include "PowerWindow.h"
#include "StandingsWindow.h"
#include "WindowNames.h"
#include "Windows.h"

namespace vexal {

void RegisterStandingsWindows()
{
    RegisterWindow(WindowName::Standings, WindowKind::ChildView, [](QWidget*) { return new StandingsWindow(); });
    RegisterWindow(WindowName::PowerRatings, WindowKind::ChildView, [](QWidget*) { return new PowerWindow(); });
}

} // namespace vexal
