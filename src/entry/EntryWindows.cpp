#include "EntryWindows.h"

#include "InputStatsWindow.h"
#include "LinesWindow.h"
#include "OtherFactorsWindow.h"
#include "Windows.h"

namespace vexal {

void RegisterEntryWindows()
{
    RegisterWindow("lines", WindowKind::ChildView, [](QWidget*) { return new LinesWindow(); });
    RegisterWindow("FORM2", WindowKind::ChildView, [](QWidget*) { return new InputStatsWindow(); });
    RegisterWindow("INJURIES", WindowKind::ChildView, [](QWidget*) { return new OtherFactorsWindow(); });
}

} // namespace vexal
