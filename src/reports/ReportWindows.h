#pragma once
// Registers the document viewer "frmRichEdit" (modal) with the window registry.
namespace vexal {
void RegisterReportWindows();
}
