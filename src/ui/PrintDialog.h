#pragma once
// The program's current printer and clsPrintDialog, the Print dialog shown before a
// printout. The dialog makes the printer the user chose current, with the chosen copies,
// duplex mode and orientation, for every later printout until it is shown again.
// With no printer installed, the current printer writes a PDF file instead.
#include "DialogHooks.h"

#include <QMargins>
#include <QPrinter>

#include <cstdint>
#include <filesystem>
#include <functional>

class QWidget;

namespace vexal {

// The printer every printout draws on, made on first use for the system's default printer.
QPrinter& CurrentPrinter();
// Forgets the current printer; the next use makes a new one (tests).
void ResetCurrentPrinter();
// True when the current printer writes a PDF file.
bool PrintsToFile();
// Where a printout goes when no printer is installed: $HOME/Vexal/Printout.pdf unless set.
std::filesystem::path DefaultPrintFile();
void SetDefaultPrintFile(const std::filesystem::path& pdf);

// Shows the dialog for the printer and answers true when the user confirmed; fromPage and
// toPage carry the page range in and out. The program uses the system's Print dialog;
// tests install a runner that answers as a user would (and may change the printer).
using PrintDialogRunner = std::function<bool(QPrinter& printer, int& fromPage, int& toPage)>;
// An empty runner restores the real dialog.
void InstallPrintDialogRunner(PrintDialogRunner runner);

// Print dialog flags, named as the dialogs name them.
enum : int32_t {
    PD_PAGENUMS = 0x2,
    PD_NOSELECTION = 0x4,
    PD_COLLATE = 0x10,
    PD_PRINTTOFILE = 0x20,
    PD_PRINTSETUP = 0x40,
    PD_ENABLEPRINTHOOK = 0x1000,
    PD_ENABLESETUPHOOK = 0x2000,
    PD_DISABLEPRINTTOFILE = 0x80000,
    PD_HIDEPRINTTOFILE = 0x100000,
};

// The Print dialog of the dialog object for a printer of its own (or the current one):
// options from the dialog flags (a page range only with PD_PAGENUMS, no selection with
// PD_NOSELECTION, no print-to-file box with PD_HIDEPRINTTOFILE, collated copies with
// PD_COLLATE). With PD_PRINTSETUP it is the Print Setup dialog: the printer, its paper and
// orientation, no pages to print. A cancel leaves the printer as it was. An installed runner
// answers instead. With hooks the owner hears the dialog open and close.
bool ShowPrintDialogFor(QPrinter& printer, int& fromPage, int& toPage, int32_t flags, QWidget* owner,
                        const DialogHooks* hooks = nullptr);
// Page set-up dialog flags, named as the dialogs name them.
enum : int32_t {
    PSD_INTHOUSANDTHSOFINCHES = 0x4,
    PSD_INHUNDREDTHSOFMILLIMETERS = 0x8,
    PSD_DISABLEMARGINS = 0x10,
    PSD_DISABLEPRINTER = 0x20,
    PSD_DISABLEORIENTATION = 0x100,
    PSD_DISABLEPAPER = 0x200,
    PSD_ENABLEPAGESETUPHOOK = 0x2000,
};

// What the page set-up dialog starts from and, when confirmed, gives back. Margins are whole
// thousandths of an inch, or hundredths of a millimetre with PSD_INHUNDREDTHSOFMILLIMETERS;
// the dialog shows them in inches or millimetres.
struct PageSetupRequest {
    int32_t flags = 0;
    QMargins margins;    // all 0: the printer's own margins
    QMargins minMargins; // raised to the printer's own where those are larger
};

// The page set-up dialog for a printer: paper, orientation and margins, which the printer
// takes on OK; a cancel changes nothing. PSD_DISABLEMARGINS, PSD_DISABLEORIENTATION and
// PSD_DISABLEPAPER disable those parts of the dialog and keep them as they were; Qt's page
// set-up dialog offers no printer to choose, so the printer stays whatever PSD_DISABLEPRINTER
// says. No margin comes back below its minimum or off the page: a minimum the page cannot hold
// beside the opposite margin is cut to what it can, and comes back so in minMargins. Tests
// install a runner that answers as a user would (and may change the printer); what the flags
// keep is kept from it too.
using PageSetupRunner = std::function<bool(QPrinter& printer)>;
void InstallPageSetupRunner(PageSetupRunner runner);
bool ShowPageSetupDialogFor(QPrinter& printer, PageSetupRequest& request, QWidget* owner,
                            const DialogHooks* hooks = nullptr);

// The error a cancelled dialog raises when CancelError is set.
inline constexpr int32_t PrintDialogCancelled = 32755;

class clsPrintDialog {
public:
    int32_t Flags() const { return flags_; }
    void Flags(int32_t flags) { flags_ = flags; }
    bool CancelError() const { return cancelError_; }
    void CancelError(bool on) { cancelError_ = on; }

    // True when the user confirmed. A cancel leaves the current printer and its settings as
    // they were, and raises VbError 32755 "Cancel." when CancelError is set, else answers false.
    bool ShowPrinter();

private:
    int32_t flags_ = 0;
    bool cancelError_ = false;
    int fromPage_ = 0;
    int toPage_ = 0;
    int minPage_ = 0;
    int maxPage_ = 0;
};

} // namespace vexal
