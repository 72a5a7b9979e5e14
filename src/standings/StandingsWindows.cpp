#include "StandingsWindows.h"

#include "PowerWindow.h"
#include "StandingsWindow.h"
#include "Windows.h"

namespace vexal {

void RegisterStandingsWindows()
{
    RegisterWindow("FORM1", WindowKind::ChildView, [](QWidget*) { return new StandingsWindow(); });
    RegisterWindow("Power", WindowKind::ChildView, [](QWidget*) { return new PowerWindow(); });
}

} // namespace vexal
