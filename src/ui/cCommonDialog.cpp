#include "cCommonDialog.h"

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

GCommonDialog& cCommonDialog::Layer()
{
    if (!layer_)
        layer_.emplace();
    return *layer_;
}

void cCommonDialog::InitDialog(QWidget* hDlg)
{
    if (OnInitDialog)
        OnInitDialog(hDlg);
}
void cCommonDialog::FileChange(QWidget* hDlg)
{
    if (OnFileChange)
        OnFileChange(hDlg);
}
void cCommonDialog::FolderChange(QWidget* hDlg)
{
    if (OnFolderChange)
        OnFolderChange(hDlg);
}
void cCommonDialog::TypeChange(QWidget* hDlg)
{
    if (OnTypeChange)
        OnTypeChange(hDlg);
}
void cCommonDialog::DialogClose()
{
    if (OnDialogClose)
        OnDialogClose();
}

void cCommonDialog::ReportCancel()
{
    // The layer's dialogs end confirmed (1) or cancelled (0); they give no error of their own.
    if (CancelError && Layer().APIReturn() == 0)
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
    if (!Layer().VBGetOpenFileName(Filename, FileTitle, mustExist, multi, readOnly, hideReadOnly, Filter, FilterIndex,
                                   InitDir, DialogTitle, DefaultExt, hwnd, Flags, HookDialog, this))
        ReportCancel();
}

void cCommonDialog::ShowSave()
{
    const bool prompt = (Flags & OFN_OVERWRITEPROMPT) == OFN_OVERWRITEPROMPT;
    if (!Layer().VBGetSaveFileName(Filename, FileTitle, prompt, Filter, FilterIndex, InitDir, DialogTitle, DefaultExt,
                                   hwnd, Flags, HookDialog, this))
        ReportCancel();
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
    if (!Layer().VBChooseColor(color, anyColor, fullOpen, noFullOpen, hwnd, HookDialog, this)) {
        ReportCancel();
        return;
    }
    Color = color;
}

void cCommonDialog::ShowPrinter()
{
    QPrinter& printer = Object ? *Object : CurrentPrinter();
    Layer().VBPrintDlg(printer, FromPage, ToPage, Copies, hwnd, Flags, HookDialog, this);
}

bool cCommonDialog::ShowPageSetup()
{
    // The object keeps no margins of its own: the dialog starts from the printer's, and the
    // printer holds what the user chose.
    const auto has = [this](int32_t bit) { return (Flags & bit) == bit; };
    int32_t margin[8] = {};
    int32_t paperSize = 0, orientation = 0, printQuality = 0;
    return Layer().VBPageSetupDlg(hwnd, has(PSD_DISABLEMARGINS), has(PSD_DISABLEORIENTATION),
                                  has(PSD_DISABLEPAPER), has(PSD_DISABLEPRINTER), margin[0], margin[1], margin[2],
                                  margin[3], margin[4], margin[5], margin[6], margin[7], paperSize, orientation,
                                  printQuality, 0, Object ? *Object : CurrentPrinter(), HookDialog, this);
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

int32_t cCommonDialog::CustomColor(int index) { return Layer().CustomColor(index); }

void cCommonDialog::SetCustomColor(int index, int32_t color) { Layer().SetCustomColor(index, color); }

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
