#include "cCommonDialog.h"

#include "CommonDialog.h"
#include "PrintDialog.h"
#include "Screen.h"
#include "VbError.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>

namespace vexal {

namespace {
const char* const Source = "Vexal.cCommonDialog";

// The window a hook's handle stands for: the dialog's own top-level window.
QWidget* DialogWindow(QWidget* hDlg) { return hDlg ? hDlg->window() : nullptr; }
} // namespace

// The hooks handed to the dialog layer: each raises the object's event.
struct cCommonDialog::Hooks {
    DialogHooks layer;
    explicit Hooks(cCommonDialog& d)
    {
        layer.initDialog = [&d](QWidget* w) { if (d.OnInitDialog) d.OnInitDialog(w); };
        layer.fileChange = [&d](QWidget* w) { if (d.OnFileChange) d.OnFileChange(w); };
        layer.folderChange = [&d](QWidget* w) { if (d.OnFolderChange) d.OnFolderChange(w); };
        layer.typeChange = [&d](QWidget* w) { if (d.OnTypeChange) d.OnTypeChange(w); };
        layer.confirmOK = [&d] { return d.ConfirmOK(); };
        layer.dialogClose = [&d] { if (d.OnDialogClose) d.OnDialogClose(); };
    }
};

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
    const Hooks hooks(*this);
    if (!ShowOpenDialog(Filename, FileTitle, mustExist, multi, readOnly, hideReadOnly, Filter, FilterIndex, InitDir,
                        DialogTitle, DefaultExt, hwnd, Flags, HookDialog ? &hooks.layer : nullptr))
        ReportCancel();
}

void cCommonDialog::ShowSave()
{
    const bool prompt = (Flags & OFN_OVERWRITEPROMPT) == OFN_OVERWRITEPROMPT;
    const Hooks hooks(*this);
    if (!ShowSaveDialog(Filename, FileTitle, prompt, Filter, FilterIndex, InitDir, DialogTitle, DefaultExt, hwnd,
                        Flags, HookDialog ? &hooks.layer : nullptr)) {
        FilterIndex = -1;
        ReportCancel();
    }
}

void cCommonDialog::ShowColor()
{
    // A system colour is handed over as the colour it stands for now; one that stands for
    // none as -1.
    bool known = true;
    const QColor shown = TranslateColor(Color, &known);
    int32_t color = known && shown.isValid() ? ColorValue(shown) : -1;
    const bool anyColor = (Flags & CC_ANYCOLOR) == CC_ANYCOLOR;
    const bool fullOpen = (Flags & CC_FULLOPEN) == CC_FULLOPEN;
    const bool noFullOpen = (Flags & CC_PREVENTFULLOPEN) == CC_PREVENTFULLOPEN;
    const Hooks hooks(*this);
    if (!ShowColorDialog(color, anyColor, fullOpen, noFullOpen, hwnd, &CustomColors(),
                         HookDialog ? &hooks.layer : nullptr)) {
        ReportCancel();
        return;
    }
    Color = color;
}

void cCommonDialog::ShowPrinter()
{
    QPrinter& printer = Object ? *Object : CurrentPrinter();
    int from = FromPage;
    int to = ToPage;
    if (!ShowPrintDialogFor(printer, from, to, Flags, hwnd))
        return;
    FromPage = from;
    ToPage = to;
    Copies = printer.copyCount();
}

bool cCommonDialog::ShowPageSetup()
{
    return ShowPageSetupDialogFor(Object ? *Object : CurrentPrinter(), hwnd);
}

const QFont& cCommonDialog::Font()
{
    if (!font_)
        font_ = QApplication::font();
    return *font_;
}

std::string cCommonDialog::FontName() { return Font().family().toStdString(); }
void cCommonDialog::SetFontName(const std::string& name)
{
    Font();
    font_->setFamily(QString::fromStdString(name));
}
int32_t cCommonDialog::FontSize() { return static_cast<int32_t>(Font().pointSizeF() + 0.5); }
void cCommonDialog::SetFontSize(int32_t points)
{
    Font();
    if (points > 0)
        font_->setPointSize(points);
}
bool cCommonDialog::FontBold() { return Font().bold(); }
void cCommonDialog::SetFontBold(bool on)
{
    Font();
    font_->setBold(on);
}
bool cCommonDialog::FontItalic() { return Font().italic(); }
void cCommonDialog::SetFontItalic(bool on)
{
    Font();
    font_->setItalic(on);
}
bool cCommonDialog::FontStrikethru() { return Font().strikeOut(); }
void cCommonDialog::SetFontStrikethru(bool on)
{
    Font();
    font_->setStrikeOut(on);
}
bool cCommonDialog::FontUnderline() { return Font().underline(); }
void cCommonDialog::SetFontUnderline(bool on)
{
    Font();
    font_->setUnderline(on);
}

std::array<int32_t, 16>& cCommonDialog::CustomColors()
{
    // Filled on first use with the system colours of the indexes 0 to 15.
    if (!customColors_) {
        customColors_.emplace();
        for (int i = 0; i < 16; ++i)
            (*customColors_)[static_cast<std::size_t>(i)] = ColorValue(SystemColor(i));
    }
    return *customColors_;
}

int32_t cCommonDialog::CustomColor(int index)
{
    return index >= 0 && index < 16 ? CustomColors()[static_cast<std::size_t>(index)] : -1;
}

void cCommonDialog::SetCustomColor(int index, int32_t color)
{
    if (index >= 0 && index < 16)
        CustomColors()[static_cast<std::size_t>(index)] = color;
}

void cCommonDialog::CentreDialog(QWidget* hDlg, QWidget* centreTo) const
{
    QWidget* w = DialogWindow(hDlg);
    if (!w)
        return;
    QRect target;
    if (centreTo)
        target = centreTo->window() == centreTo ? centreTo->frameGeometry()
                                                : QRect(centreTo->mapToGlobal(QPoint(0, 0)), centreTo->size());
    else if (const QScreen* screen = w->screen() ? w->screen() : QGuiApplication::primaryScreen())
        target = screen->availableGeometry();
    if (target.right() <= 0 || target.bottom() <= 0)
        return;
    const QRect frame = w->frameGeometry();
    w->move(target.left() + (target.width() - frame.width()) / 2, target.top() + (target.height() - frame.height()) / 2);
}

void cCommonDialog::GetDialogSize(QWidget* hDlg, int32_t& left, int32_t& top, int32_t& width, int32_t& height) const
{
    QWidget* w = DialogWindow(hDlg);
    if (!w)
        return;
    const QRect frame = w->frameGeometry();
    left = frame.left();
    top = frame.top();
    width = frame.width();
    height = frame.height();
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
