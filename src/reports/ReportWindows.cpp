// The report subsystem's windows: the document viewer.
#include "ReportWindows.h"

#include "RichEditWindow.h"
#include "WindowNames.h"
#include "Windows.h"

namespace vexal {

void RegisterReportWindows()
{
    RegisterWindow(WindowName::DocumentViewer, WindowKind::Modal,
                   [](QWidget* owner) -> QWidget* { return new RichEditWindow(owner); });
}

} // namespace vexal
