#pragma once
// cCommonDialog: the dialog object a window sets up, shows (Open, Save As, Color, Print, page
// set-up) and reads back. Results overwrite the input properties, also after a cancel. A
// cancel with CancelError set raises VbError 20001 "User selected cancel.". With HookDialog
// set, every dialog tells the listener when it opens (handing it the dialog, which the
// listener may centre or measure) and when it closes; the file dialogs also tell it of their
// selection, folder and type changes and ask it before they take OK.
// The help engine's members (ShowHelp, SetHelpPosition) have no engine here.
#include "GCommonDialog.h"

#include <QFont>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QPrinter;
class QWidget;

namespace vexal {

inline constexpr int32_t CommonDialogCancelled = 20001;

class cCommonDialog final : public DialogEventSink {
public:
    bool CancelError = false;
    std::string Filename;
    std::string Filter;
    int32_t FilterIndex = 1;
    int32_t Color = 0;
    int32_t Copies = 0;      // after a confirmed Print dialog
    std::string DefaultExt;
    std::string DialogTitle;
    int32_t Flags = 0;
    int32_t FontColor = 0;   // kept only
    int32_t FromPage = 0;
    int32_t ToPage = 0;
    int32_t Min = 0;         // kept only
    int32_t Max = 0;         // kept only
    int32_t MaxFileSize = 0; // kept only
    bool PrinterDefault = false; // kept only
    std::string FileTitle;
    std::string InitDir;
    QWidget* hwnd = nullptr; // owner window; nullptr for none
    // The printer the Print and page set-up dialogs update; nullptr: the program's current one.
    QPrinter* Object = nullptr;
    bool HookDialog = false;

    // The font and its attributes; the font starts as the application's.
    const QFont& Font();
    void SetFont(const QFont& font) { font_ = font; }
    std::string FontName();
    void SetFontName(const std::string& name);
    int32_t FontSize();   // whole points
    void SetFontSize(int32_t points);
    bool FontBold();
    void SetFontBold(bool on);
    bool FontItalic();
    void SetFontItalic(bool on);
    bool FontStrikethru();
    void SetFontStrikethru(bool on);
    bool FontUnderline();
    void SetFontUnderline(bool on);

    // The sixteen custom colours of the Color dialog (BGR), the system colours 0 to 15 until
    // changed; an index outside 0..15 reads -1 and sets nothing.
    int32_t CustomColor(int index);
    void SetCustomColor(int index, int32_t color);

    // Listener events; each handed the dialog while it is open (the hook's handle).
    std::function<void(QWidget*)> OnInitDialog;
    std::function<void(QWidget*)> OnFileChange;
    std::function<void(QWidget*)> OnFolderChange;
    std::function<void(QWidget*)> OnTypeChange;
    std::function<void(bool& cancel)> OnConfirmOK;
    std::function<void()> OnDialogClose;

    void ShowOpen();
    void ShowSave();
    // Reads CC_ANYCOLOR, CC_FULLOPEN and CC_PREVENTFULLOPEN of Flags; a system colour in Color
    // is shown as the colour it stands for.
    void ShowColor();
    // A cancel is never reported: the settings stay as they were.
    void ShowPrinter();
    // Paper, orientation and margins of the printer; true when confirmed. Reads
    // PSD_DISABLEMARGINS, PSD_DISABLEORIENTATION, PSD_DISABLEPAPER and PSD_DISABLEPRINTER of Flags.
    bool ShowPageSetup();

    // The dialog layer the settings are handed to: it keeps how the last dialog ended.
    GCommonDialog& Layer();

    // The hook's callbacks: each raises the listener's event of the same name.
    void InitDialog(QWidget* hDlg) override;
    void FileChange(QWidget* hDlg) override;
    void FolderChange(QWidget* hDlg) override;
    void TypeChange(QWidget* hDlg) override;
    void DialogClose() override;
    // The listener's answer to OK: true when the dialog may close.
    bool ConfirmOK() override;
    // Splits Filename into its folder and names (a multiple selection is NUL-separated).
    void ParseMultiFileName(std::string& sDir, std::vector<std::string>& sFiles, int32_t& iFileCount) const;
    // Moves the dialog's window to the middle of another window, or of the desktop's work area
    // when centreTo is nullptr; its size stays.
    void CentreDialog(QWidget* hDlg, QWidget* centreTo) const;
    // The dialog window's screen position and size in pixels.
    void GetDialogSize(QWidget* hDlg, int32_t& left, int32_t& top, int32_t& width, int32_t& height) const;

private:
    void ReportCancel();
    std::optional<QFont> font_;
    std::optional<GCommonDialog> layer_;
};

} // namespace vexal
