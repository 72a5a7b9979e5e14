#pragma once
// GCommonDialog: the layer between the dialog object (cCommonDialog) and Qt's dialogs. Each
// operation takes plain in/out arguments, runs its dialog, hands the results back and keeps
// in APIReturn how the dialog ended. Asked for a hook, it holds the event sink only while
// that dialog is open and passes the dialog's open, close and file dialog messages to it.
// It keeps the Color dialog's sixteen custom colours.
#include "CommonDialog.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

class QPrinter;
class QWidget;

namespace vexal {

// What hears a hooked dialog: each callback is handed the open dialog. ConfirmOK answers
// false to keep a file dialog open after OK.
class DialogEventSink {
public:
    virtual void InitDialog(QWidget* hDlg) = 0;
    virtual void FileChange(QWidget* hDlg) = 0;
    virtual void FolderChange(QWidget* hDlg) = 0;
    virtual void TypeChange(QWidget* hDlg) = 0;
    virtual bool ConfirmOK() = 0;
    virtual void DialogClose() = 0;

protected:
    ~DialogEventSink() = default;
};

class GCommonDialog {
public:
    // How the last dialog ended: 1 confirmed, 0 cancelled. Every operation starts it at 0;
    // the page set-up operation leaves it 0 whatever the user does. Qt's dialogs give no
    // other value and no extended error code.
    int32_t APIReturn() const { return apiReturn_; }
    // The sink of the hooked dialog that is open; nullptr between dialogs.
    const DialogEventSink* EventSink() const { return sink_; }

    // Each operation answers true when the dialog was confirmed; Hook with an EventSink
    // hooks the dialog. A cancelled file dialog empties Filename, FileTitle and Filter and
    // leaves Flags 0 and FilterIndex -1.
    bool VBGetOpenFileName(std::string& Filename, std::string& FileTitle, bool FileMustExist, bool MultiSelect,
                           bool& ReadOnly, bool HideReadOnly, std::string& Filter, int32_t& FilterIndex,
                           const std::string& InitDir, const std::string& DlgTitle, const std::string& DefaultExt,
                           QWidget* Owner, int32_t& Flags, bool Hook, DialogEventSink* EventSink);
    bool VBGetSaveFileName(std::string& Filename, std::string& FileTitle, bool OverWritePrompt, std::string& Filter,
                           int32_t& FilterIndex, const std::string& InitDir, const std::string& DlgTitle,
                           const std::string& DefaultExt, QWidget* Owner, int32_t& Flags, bool Hook,
                           DialogEventSink* EventSink);
    // Color (BGR) is -1 after a cancel. The dialog shows and changes the custom colours.
    bool VBChooseColor(int32_t& Color, bool AnyColor, bool FullOpen, bool DisableFullOpen, QWidget* Owner, bool Hook,
                       DialogEventSink* EventSink);
    // The custom colours (BGR), the system colours 0 to 15 until changed; an index outside
    // 0..15 reads -1 and sets nothing.
    int32_t CustomColor(int index);
    void SetCustomColor(int index, int32_t color);
    // CurFont takes the choice on OK and Color comes back as given (Qt's font dialog has no
    // colour); PrinterDC -1 stands for no printer.
    bool VBChooseFont(DialogFont& CurFont, int32_t& PrinterDC, QWidget* Owner, int32_t& Color, int32_t MinSize,
                      int32_t MaxSize, int32_t& Flags, bool Hook, DialogEventSink* EventSink);
    // The Print dialog (the Print Setup dialog with PD_PRINTSETUP in Flags) for a printer,
    // which takes the chosen printer, copies, paper and orientation; on OK the page range and
    // copies come back. A cancel leaves the printer and the arguments as they were.
    bool VBPrintDlg(QPrinter& Printer, int32_t& FromPage, int32_t& ToPage, int32_t& Copies, QWidget* Owner,
                    int32_t Flags, bool Hook, DialogEventSink* EventSink);
    // The page set-up dialog for a printer, which takes the paper, orientation and margins on
    // OK. The four Disable switches disable those parts of the dialog (Qt's dialog offers no
    // printer to choose at all). Margins are in inches, or millimetres when Units is not 0; the
    // dialog starts from the given margins (all 0: the printer's own) and lets none go below
    // its minimum (the larger of the given one and the printer's). Every margin and minimum
    // stays on the page: a minimum the page cannot hold beside the opposite margin is cut to
    // what it can. On OK the margins come back as chosen, the minimum margins as given or as
    // cut (both to the dialog's thousandths of an inch or hundredths of a millimetre),
    // PaperSize the paper's DMPAPER number (256 for one of no such number, as A10),
    // Orientation 1 portrait or 2 landscape, PrintQuality the printer's dots per inch. A
    // cancel changes none of them and leaves the printer as it was.
    bool VBPageSetupDlg2(QWidget* Owner, bool DisableMargins, bool DisableOrientation, bool DisablePaper,
                         bool DisablePrinter, float& LeftMargin, float& MinLeftMargin, float& RightMargin,
                         float& MinRightMargin, float& TopMargin, float& MinTopMargin, float& BottomMargin,
                         float& MinBottomMargin, int32_t& PaperSize, int32_t& Orientation, int32_t& PrintQuality,
                         int32_t Units, QPrinter& Printer, bool Hook, DialogEventSink* EventSink);
    // The same with the margins in whole inches or millimetres, rounded on the way back.
    bool VBPageSetupDlg(QWidget* Owner, bool DisableMargins, bool DisableOrientation, bool DisablePaper,
                        bool DisablePrinter, int32_t& LeftMargin, int32_t& MinLeftMargin, int32_t& RightMargin,
                        int32_t& MinRightMargin, int32_t& TopMargin, int32_t& MinTopMargin, int32_t& BottomMargin,
                        int32_t& MinBottomMargin, int32_t& PaperSize, int32_t& Orientation, int32_t& PrintQuality,
                        int32_t Units, QPrinter& Printer, bool Hook, DialogEventSink* EventSink);

private:
    class Hooked;
    std::array<int32_t, 16>& CustomColors();
    int32_t apiReturn_ = 0;
    DialogEventSink* sink_ = nullptr;
    std::optional<std::array<int32_t, 16>> customColors_;
};

} // namespace vexal
