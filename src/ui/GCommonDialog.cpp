#include "GCommonDialog.h"

#include "PrintDialog.h"
#include "Screen.h"

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

bool GCommonDialog::VBPageSetupDlg(QPrinter& Printer, QWidget* Owner, bool Hook, DialogEventSink* EventSink)
{
    // APIReturn stays 0: the page set-up dialog's outcome is the answer alone.
    Hooked hooked(*this, Hook, EventSink);
    return ShowPageSetupDialogFor(Printer, Owner, hooked.Hooks());
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
