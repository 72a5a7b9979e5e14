#include "GCommonDialog.h"

#include "PrintDialog.h"
#include "Screen.h"
#include "VbConvert.h"

#include <QPageLayout>
#include <QPrinter>

namespace vexal {

// One dialog operation: APIReturn starts at 0, and with a hook the sink is held until the
// operation returns. The dialog's hook passes each message to the sink while it is held.
class GCommonDialog::Hooked {
public:
    Hooked(GCommonDialog& layer, bool hook, DialogEventSink* sink) : layer_(layer)
    {
        layer_.apiReturn_ = 0;
        if (!hook || !sink)
            return;
        layer_.sink_ = sink;
        GCommonDialog* g = &layer_;
        relay_.initDialog = [g](QWidget* w) { if (g->sink_) g->sink_->InitDialog(w); };
        relay_.fileChange = [g](QWidget* w) { if (g->sink_) g->sink_->FileChange(w); };
        relay_.folderChange = [g](QWidget* w) { if (g->sink_) g->sink_->FolderChange(w); };
        relay_.typeChange = [g](QWidget* w) { if (g->sink_) g->sink_->TypeChange(w); };
        relay_.confirmOK = [g] { return g->sink_ ? g->sink_->ConfirmOK() : true; };
        relay_.dialogClose = [g] { if (g->sink_) g->sink_->DialogClose(); };
        installed_ = true;
    }
    ~Hooked() { layer_.sink_ = nullptr; }
    Hooked(const Hooked&) = delete;
    Hooked& operator=(const Hooked&) = delete;

    const DialogHooks* Hooks() const { return installed_ ? &relay_ : nullptr; }
    void Ended(bool confirmed) { layer_.apiReturn_ = confirmed ? 1 : 0; }

private:
    GCommonDialog& layer_;
    DialogHooks relay_;
    bool installed_ = false;
};

bool GCommonDialog::VBGetOpenFileName(std::string& Filename, std::string& FileTitle, bool FileMustExist,
                                      bool MultiSelect, bool& ReadOnly, bool HideReadOnly, std::string& Filter,
                                      int32_t& FilterIndex, const std::string& InitDir, const std::string& DlgTitle,
                                      const std::string& DefaultExt, QWidget* Owner, int32_t& Flags, bool Hook,
                                      DialogEventSink* EventSink)
{
    Hooked hooked(*this, Hook, EventSink);
    const bool ok = ShowOpenDialog(Filename, FileTitle, FileMustExist, MultiSelect, ReadOnly, HideReadOnly, Filter,
                                   FilterIndex, InitDir, DlgTitle, DefaultExt, Owner, Flags, hooked.Hooks());
    hooked.Ended(ok);
    return ok;
}

bool GCommonDialog::VBGetSaveFileName(std::string& Filename, std::string& FileTitle, bool OverWritePrompt,
                                      std::string& Filter, int32_t& FilterIndex, const std::string& InitDir,
                                      const std::string& DlgTitle, const std::string& DefaultExt, QWidget* Owner,
                                      int32_t& Flags, bool Hook, DialogEventSink* EventSink)
{
    Hooked hooked(*this, Hook, EventSink);
    const bool ok = ShowSaveDialog(Filename, FileTitle, OverWritePrompt, Filter, FilterIndex, InitDir, DlgTitle,
                                   DefaultExt, Owner, Flags, hooked.Hooks());
    // Open and save dialogs of the dialog object both end a cancel with the index -1.
    if (!ok)
        FilterIndex = -1;
    hooked.Ended(ok);
    return ok;
}

bool GCommonDialog::VBChooseColor(int32_t& Color, bool AnyColor, bool FullOpen, bool DisableFullOpen,
                                  QWidget* Owner, bool Hook, DialogEventSink* EventSink)
{
    Hooked hooked(*this, Hook, EventSink);
    const bool ok =
        ShowColorDialog(Color, AnyColor, FullOpen, DisableFullOpen, Owner, &CustomColors(), hooked.Hooks());
    hooked.Ended(ok);
    return ok;
}

bool GCommonDialog::VBChooseFont(DialogFont& CurFont, int32_t& PrinterDC, QWidget* Owner, int32_t& Color,
                                 int32_t MinSize, int32_t MaxSize, int32_t& Flags, bool Hook,
                                 DialogEventSink* EventSink)
{
    Hooked hooked(*this, Hook, EventSink);
    const bool ok = ShowFontDialog(CurFont, PrinterDC, Owner, Color, MinSize, MaxSize, Flags, hooked.Hooks());
    hooked.Ended(ok);
    return ok;
}

bool GCommonDialog::VBPrintDlg(QPrinter& Printer, int32_t& FromPage, int32_t& ToPage, int32_t& Copies,
                               QWidget* Owner, int32_t Flags, bool Hook, DialogEventSink* EventSink)
{
    Hooked hooked(*this, Hook, EventSink);
    int from = FromPage;
    int to = ToPage;
    const bool ok = ShowPrintDialogFor(Printer, from, to, Flags, Owner, hooked.Hooks());
    hooked.Ended(ok);
    if (ok) {
        FromPage = from;
        ToPage = to;
        Copies = Printer.copyCount();
    }
    return ok;
}

bool GCommonDialog::VBPageSetupDlg2(QWidget* Owner, bool DisableMargins, bool DisableOrientation,
                                   bool DisablePaper, bool DisablePrinter, float& LeftMargin, float& MinLeftMargin,
                                   float& RightMargin, float& MinRightMargin, float& TopMargin, float& MinTopMargin,
                                   float& BottomMargin, float& MinBottomMargin, int32_t& PaperSize,
                                   int32_t& Orientation, int32_t& PrintQuality, int32_t Units, QPrinter& Printer,
                                   bool Hook, DialogEventSink* EventSink)
{
    // APIReturn stays 0: the page set-up dialog's outcome is the answer alone.
    Hooked hooked(*this, Hook, EventSink);
    PageSetupRequest request;
    request.flags = (DisableMargins ? PSD_DISABLEMARGINS : 0) | (DisableOrientation ? PSD_DISABLEORIENTATION : 0) |
                    (DisablePaper ? PSD_DISABLEPAPER : 0) | (DisablePrinter ? PSD_DISABLEPRINTER : 0) |
                    (Units != 0 ? PSD_INHUNDREDTHSOFMILLIMETERS : PSD_INTHOUSANDTHSOFINCHES) |
                    (hooked.Hooks() ? PSD_ENABLEPAGESETUPHOOK : 0);
    const double factor = Units != 0 ? 100.0 : 1000.0;
    const auto in = [factor](float margin) { return vb::CLng(static_cast<double>(margin) * factor); };
    request.margins = QMargins(in(LeftMargin), in(TopMargin), in(RightMargin), in(BottomMargin));
    request.minMargins = QMargins(in(MinLeftMargin), in(MinTopMargin), in(MinRightMargin), in(MinBottomMargin));
    if (!ShowPageSetupDialogFor(Printer, request, Owner, hooked.Hooks()))
        return false;
    const auto out = [factor](int value) { return static_cast<float>(value / factor); };
    LeftMargin = out(request.margins.left());
    TopMargin = out(request.margins.top());
    RightMargin = out(request.margins.right());
    BottomMargin = out(request.margins.bottom());
    MinLeftMargin = out(request.minMargins.left());
    MinTopMargin = out(request.minMargins.top());
    MinRightMargin = out(request.minMargins.right());
    MinBottomMargin = out(request.minMargins.bottom());
    const QPageLayout layout = Printer.pageLayout();
    // A paper with no DMPAPER number of its own (A10, a custom size) is DMPAPER_USER.
    constexpr int32_t UserPaper = 256;
    const int32_t paper = layout.pageSize().windowsId();
    PaperSize = paper > 0 ? paper : UserPaper;
    Orientation = layout.orientation() == QPageLayout::Landscape ? 2 : 1;
    PrintQuality = Printer.resolution();
    return true;
}

bool GCommonDialog::VBPageSetupDlg(QWidget* Owner, bool DisableMargins, bool DisableOrientation, bool DisablePaper,
                                   bool DisablePrinter, int32_t& LeftMargin, int32_t& MinLeftMargin,
                                   int32_t& RightMargin, int32_t& MinRightMargin, int32_t& TopMargin,
                                   int32_t& MinTopMargin, int32_t& BottomMargin, int32_t& MinBottomMargin,
                                   int32_t& PaperSize, int32_t& Orientation, int32_t& PrintQuality, int32_t Units,
                                   QPrinter& Printer, bool Hook, DialogEventSink* EventSink)
{
    float margins[8] = {static_cast<float>(LeftMargin), static_cast<float>(MinLeftMargin),
                        static_cast<float>(RightMargin), static_cast<float>(MinRightMargin),
                        static_cast<float>(TopMargin), static_cast<float>(MinTopMargin),
                        static_cast<float>(BottomMargin), static_cast<float>(MinBottomMargin)};
    if (!VBPageSetupDlg2(Owner, DisableMargins, DisableOrientation, DisablePaper, DisablePrinter, margins[0],
                         margins[1], margins[2], margins[3], margins[4], margins[5], margins[6], margins[7], PaperSize,
                         Orientation, PrintQuality, Units, Printer, Hook, EventSink))
        return false;
    int32_t* const back[8] = {&LeftMargin, &MinLeftMargin, &RightMargin, &MinRightMargin,
                              &TopMargin,  &MinTopMargin,  &BottomMargin, &MinBottomMargin};
    for (int i = 0; i < 8; ++i)
        *back[i] = vb::CLng(margins[i]);
    return true;
}

std::array<int32_t, 16>& GCommonDialog::CustomColors()
{
    // Filled on first use with the system colours of the indexes 0 to 15.
    if (!customColors_) {
        customColors_.emplace();
        for (int i = 0; i < 16; ++i)
            (*customColors_)[static_cast<std::size_t>(i)] = ColorValue(SystemColor(i));
    }
    return *customColors_;
}

int32_t GCommonDialog::CustomColor(int index)
{
    return index >= 0 && index < 16 ? CustomColors()[static_cast<std::size_t>(index)] : -1;
}

void GCommonDialog::SetCustomColor(int index, int32_t color)
{
    if (index >= 0 && index < 16)
        CustomColors()[static_cast<std::size_t>(index)] = color;
}

} // namespace vexal
