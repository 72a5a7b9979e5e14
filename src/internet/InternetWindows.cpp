#include "InternetWindows.h"

#include "DownloadWindow.h"
#include "Windows.h"

namespace vexal {

void RegisterInternetWindows()
{
    RegisterWindow("frmDownload", WindowKind::Modal, [](QWidget* owner) { return new DownloadWindow(owner); });
}

} // namespace vexal
