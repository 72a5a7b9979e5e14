#include "InternetWindows.h"

#include "DownloadWindow.h"
#include "WindowNames.h"
#include "Windows.h"

namespace vexal {

void RegisterInternetWindows()
{
    RegisterWindow(WindowName::StatsDownload, WindowKind::Modal, [](QWidget* owner) { return new DownloadWindow(owner); });
}

} // namespace vexal
