#include "cCommonDialog.h"

#include "CommonDialog.h"
#include "VbError.h"

namespace vexal {

namespace {
const char* const Source = "Vexal.cCommonDialog";
}

void cCommonDialog::ReportCancel()
{
    if (CancelError)
        throw VbError(CommonDialogCancelled, "User selected cancel.", Source);
}

void cCommonDialog::ShowOpen()
{
    if (FilterIndex == 0)
        FilterIndex = 1;
    bool readOnly = (Flags & OFN_READONLY) == OFN_READONLY;
    const bool mustExist = (Flags & OFN_FILEMUSTEXIST) == OFN_FILEMUSTEXIST;
    const bool multi = (Flags & OFN_ALLOWMULTISELECT) == OFN_ALLOWMULTISELECT;
    const bool hideReadOnly = (Flags & OFN_HIDEREADONLY) == OFN_HIDEREADONLY;
    if (!ShowOpenDialog(Filename, FileTitle, mustExist, multi, readOnly, hideReadOnly, Filter, FilterIndex, InitDir,
                        DialogTitle, DefaultExt, hwnd, Flags))
        ReportCancel();
}

void cCommonDialog::ShowSave()
{
    const bool prompt = (Flags & OFN_OVERWRITEPROMPT) == OFN_OVERWRITEPROMPT;
    if (!ShowSaveDialog(Filename, FileTitle, prompt, Filter, FilterIndex, InitDir, DialogTitle, DefaultExt, hwnd,
                        Flags)) {
        FilterIndex = -1;
        ReportCancel();
    }
}

void cCommonDialog::ShowColor()
{
    // A system colour (high bit set) has no fixed value here: the dialog starts from black.
    int32_t color = Color < 0 ? 0 : Color;
    const bool ok = ShowColorDialog(color, Flags, hwnd);
    if (!ok) {
        ReportCancel();
        return;
    }
    Color = color;
}

bool cCommonDialog::ConfirmOK()
{
    bool cancel = false;
    if (OnConfirmOK)
        OnConfirmOK(cancel);
    return !cancel;
}

void cCommonDialog::ParseMultiFileName(std::string& sDir, std::vector<std::string>& sFiles,
                                       int32_t& iFileCount) const
{
    const std::string pair(2, '\0');
    const auto end = Filename.find(pair);
    if (end != std::string::npos) {
        const std::string list = Filename.substr(0, end);
        std::size_t start = 0;
        while (true) {
            const auto nul = list.find('\0', start);
            const std::string item = list.substr(start, nul == std::string::npos ? std::string::npos : nul - start);
            if (sDir.empty() && iFileCount == 0) {
                sDir = item;
            } else {
                sFiles.push_back(item);
                ++iFileCount;
            }
            if (nul == std::string::npos)
                break;
            start = nul + 1;
        }
        return;
    }
    iFileCount = 1;
    const auto slash = Filename.find_last_of("/\\");
    if (slash != std::string::npos && slash >= 1) {
        sDir = Filename.substr(0, slash);
        sFiles.assign(1, Filename.substr(slash + 1));
    } else {
        sDir.clear();
        sFiles.assign(1, Filename);
    }
}

} // namespace vexal
