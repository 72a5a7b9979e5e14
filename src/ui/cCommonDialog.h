#pragma once
// cCommonDialog: the dialog object a window sets up, shows (Open, Save As, Color) and reads
// back. Results overwrite the input properties, also after a cancel. A cancel with
// CancelError set raises VbError 20001 "User selected cancel.".
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace vexal {

inline constexpr int32_t CommonDialogCancelled = 20001;

class cCommonDialog {
public:
    bool CancelError = false;
    std::string Filename;
    std::string Filter;
    int32_t FilterIndex = 1;
    int32_t Color = 0;
    std::string DefaultExt;
    std::string DialogTitle;
    int32_t Flags = 0;
    std::string FileTitle;
    std::string InitDir;
    QWidget* hwnd = nullptr; // owner window; nullptr for none

    // Listener events.
    std::function<void(bool& cancel)> OnConfirmOK;

    void ShowOpen();
    void ShowSave();
    void ShowColor();
    // The listener's answer to OK: true when the dialog may close.
    bool ConfirmOK();
    // Splits Filename into its folder and names (a multiple selection is NUL-separated).
    void ParseMultiFileName(std::string& sDir, std::vector<std::string>& sFiles, int32_t& iFileCount) const;

private:
    void ReportCancel();
};

} // namespace vexal
