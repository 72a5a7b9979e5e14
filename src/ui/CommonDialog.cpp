#include "CommonDialog.h"


#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QPushButton>

#include <cmath>

namespace vexal {

namespace {

QString Q8(const std::string& s) { return QString::fromStdString(s); }

QColor ColorOf(int32_t bgr)
{
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}
int32_t BgrOf(const QColor& c) { return c.red() | (c.green() << 8) | (c.blue() << 16); }

// Qt's name filter "Description (pattern)" for one pair; patterns separated by ";" in the
// pair become blanks as Qt expects. A lone pattern ("*.24") filters by itself.
QString QtFilter(const std::pair<std::string, std::string>& f)
{
    QString pattern = Q8(f.second);
    if (pattern.isEmpty() && f.first.find_first_of("*?") != std::string::npos)
        pattern = Q8(f.first);
    pattern.replace(';', ' ');
    return Q8(f.first) + " (" + (pattern.isEmpty() ? QString("*") : pattern) + ")";
}

// A file dialog that asks its hook before it takes OK.
class HookedFileDialog : public QFileDialog {
public:
    HookedFileDialog(QWidget* owner, const QString& title, const QString& folder, const DialogHooks* hooks)
        : QFileDialog(owner, title, folder), hooks_(hooks)
    {
    }
    void accept() override
    {
        if (hooks_ && hooks_->confirmOK && !hooks_->confirmOK())
            return;
        QFileDialog::accept();
    }

private:
    const DialogHooks* hooks_;
};

FileAnswer RunFileDialog(const FileRequest& r)
{
    if (CurrentDialogScripts().file)
        return CurrentDialogScripts().file(r);
    HookedFileDialog dialog(r.owner, Q8(r.title), Q8(r.initDir), r.hooks);
    QStringList filters;
    for (const auto& f : r.filters)
        filters << QtFilter(f);
    dialog.setNameFilters(filters);
    if (r.filterIndex >= 1 && r.filterIndex <= filters.size())
        dialog.selectNameFilter(filters[r.filterIndex - 1]);
    dialog.setAcceptMode(r.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (!r.save)
        dialog.setFileMode((r.flags & OFN_ALLOWMULTISELECT) ? QFileDialog::ExistingFiles
                           : (r.flags & OFN_FILEMUSTEXIST)  ? QFileDialog::ExistingFile
                                                            : QFileDialog::AnyFile);
    if (r.save && !(r.flags & OFN_OVERWRITEPROMPT))
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDefaultSuffix(Q8(r.defaultExt));
    if (!r.fileName.empty())
        dialog.selectFile(Q8(r.fileName));
    if (const DialogHooks* h = r.hooks) {
        // The hook is heard from the program's own dialog, not a desktop one.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        if (h->fileChange)
            QObject::connect(&dialog, &QFileDialog::currentChanged, &dialog, [h, &dialog] { h->fileChange(&dialog); });
        if (h->folderChange)
            QObject::connect(&dialog, &QFileDialog::directoryEntered, &dialog,
                             [h, &dialog] { h->folderChange(&dialog); });
        if (h->typeChange)
            QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [h, &dialog] { h->typeChange(&dialog); });
        ConnectOpenAndClose(dialog, h);
    }
    FileAnswer a;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return a;
    a.ok = true;
    a.fileName = dialog.selectedFiles().join(QChar(0)).toStdString();
    a.filterIndex = static_cast<int32_t>(filters.indexOf(dialog.selectedNameFilter())) + 1;
    if (a.filterIndex < 1)
        a.filterIndex = r.filterIndex;
    a.readOnly = (r.flags & OFN_READONLY) != 0;
    return a;
}

// The part of Qt's colour dialog that defines new colours: the spectrum, the luminance bar,
// the number boxes and the buttons that take a colour from them or from the screen. Without
// it the dialog offers the basic and the custom colours only.
void HideColorDefinition(QColorDialog& dialog)
{
    for (QWidget* w : dialog.findChildren<QWidget*>()) {
        const QString kind = QString::fromLatin1(w->metaObject()->className());
        const bool definition = kind.endsWith("ColorPicker") || kind.endsWith("ColorLuminancePicker") ||
                                kind.endsWith("ColorShower");
        // The dialog's own push buttons ("Add to Custom Colors", "Pick Screen Color"); OK and
        // Cancel sit in the button box.
        const bool ownButton = qobject_cast<QPushButton*>(w) && w->parentWidget() == &dialog;
        if (definition || ownButton)
            w->hide();
    }
    dialog.adjustSize();
}

ColorAnswer RunColorDialog(const ColorRequest& r)
{
    // The program's own dialog, so that the flags and the hook reach it. Qt's dialog has no
    // half-open state: unless full opening is prevented it opens full. Every colour of a
    // true-colour screen is solid, so CC_SOLIDCOLOR and CC_ANYCOLOR offer the same.
    QColorDialog dialog(r.owner);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (r.customColors)
        for (int i = 0; i < 16; ++i) {
            const int32_t c = (*r.customColors)[static_cast<std::size_t>(i)];
            QColorDialog::setCustomColor(i, c < 0 ? QColor(Qt::white) : ColorOf(c));
        }
    if ((r.flags & CC_RGBINIT) && r.color >= 0)
        dialog.setCurrentColor(ColorOf(r.color));
    if (r.flags & CC_PREVENTFULLOPEN)
        HideColorDefinition(dialog);
    ConnectOpenAndClose(dialog, r.hooks);
    ColorAnswer a;
    if (dialog.exec() == QDialog::Accepted && dialog.selectedColor().isValid())
        a = ColorAnswer{true, BgrOf(dialog.selectedColor())};
    // The dialog changes the custom colours in place, whether it is confirmed or not.
    if (r.customColors)
        for (int i = 0; i < 16; ++i)
            (*r.customColors)[static_cast<std::size_t>(i)] = BgrOf(QColorDialog::customColor(i));
    return a;
}

FontAnswer RunFontDialog(const FontRequest& r)
{
    QFont initial(Q8(r.font.name));
    initial.setPointSizeF(r.font.size);
    initial.setBold(r.font.bold);
    initial.setItalic(r.font.italic);
    initial.setUnderline(r.font.underline);
    initial.setStrikeOut(r.font.strikethrough);
    QFontDialog dialog(initial, r.owner);
    // A hooked dialog is heard from the program's own dialog, not a desktop one.
    if (r.hooks)
        dialog.setOption(QFontDialog::DontUseNativeDialog);
    ConnectOpenAndClose(dialog, r.hooks);
    FontAnswer a;
    if (dialog.exec() != QDialog::Accepted)
        return a;
    const QFont chosen = dialog.selectedFont();
    a.ok = true;
    a.font.name = chosen.family().toStdString();
    a.font.size = static_cast<float>(chosen.pointSizeF());
    a.font.bold = chosen.bold();
    a.font.italic = chosen.italic();
    a.font.underline = chosen.underline();
    a.font.strikethrough = chosen.strikeOut();
    a.font.weight = static_cast<int16_t>(chosen.bold() ? 700 : 400);
    a.color = r.color;
    return a;
}

} // namespace

DialogScripts& CurrentDialogScripts()
{
    static DialogScripts scripts;
    return scripts;
}

void SetDialogScripts(DialogScripts scripts) { CurrentDialogScripts() = std::move(scripts); }

std::vector<std::pair<std::string, std::string>> SplitFilter(const std::string& filter)
{
    std::vector<std::string> items;
    std::string item;
    for (char c : filter) {
        if (c == '|' || c == ':') {
            items.push_back(item);
            item.clear();
        } else {
            item += c;
        }
    }
    if (!item.empty() || !items.empty())
        items.push_back(item);
    std::vector<std::pair<std::string, std::string>> pairs;
    for (std::size_t i = 0; i < items.size(); i += 2)
        pairs.emplace_back(items[i], i + 1 < items.size() ? items[i + 1] : std::string());
    return pairs;
}

std::string ChosenFilter(const std::string& filter, int32_t filterIndex)
{
    const auto pairs = SplitFilter(filter);
    if (filterIndex < 1 || static_cast<std::size_t>(filterIndex) > pairs.size())
        return {};
    const auto& p = pairs[static_cast<std::size_t>(filterIndex - 1)];
    return p.first + std::string(1, '\0') + p.second;
}

std::string FileTitleOf(const std::string& path)
{
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

int32_t LogFontHeight(float points, double twipsPerPixelY)
{
    return static_cast<int32_t>(-std::nearbyint(static_cast<double>(points) * 20.0 / twipsPerPixelY));
}

bool ShowOpenDialog(std::string& fileName, std::string& fileTitle, bool fileMustExist, bool multiSelect,
                    bool& readOnly, bool hideReadOnly, std::string& filter, int32_t& filterIndex,
                    const std::string& initDir, const std::string& title, const std::string& defaultExt,
                    QWidget* owner, int32_t& flags, const DialogHooks* hooks)
{
    FileRequest r;
    r.hooks = hooks;
    r.flags = flags & ~(OFN_ENABLEHOOK | OFN_ENABLETEMPLATE);
    if (fileMustExist)
        r.flags |= OFN_FILEMUSTEXIST;
    if (multiSelect)
        r.flags |= OFN_ALLOWMULTISELECT;
    if (readOnly)
        r.flags |= OFN_READONLY;
    if (hideReadOnly)
        r.flags |= OFN_HIDEREADONLY;
    r.fileName = fileName;
    r.title = title;
    r.initDir = initDir;
    r.defaultExt = defaultExt;
    r.filters = SplitFilter(filter);
    r.filterIndex = filterIndex;
    r.owner = owner;
    const FileAnswer a = RunFileDialog(r);
    if (!a.ok) {
        fileName.clear();
        fileTitle.clear();
        filter.clear();
        flags = 0;
        filterIndex = -1;
        return false;
    }
    std::vector<std::string> chosen;
    for (std::size_t from = 0;;) {
        const auto nul = a.fileName.find('\0', from);
        chosen.push_back(a.fileName.substr(from, nul == std::string::npos ? std::string::npos : nul - from));
        if (nul == std::string::npos)
            break;
        from = nul + 1;
    }
    if (multiSelect && chosen.size() > 1) {
        // Several files: the folder, then each name, each followed by a NUL, and one more NUL,
        // as ParseMultiFileName reads it. The file title stays as it was.
        const std::string first = chosen.front();
        const auto slash = first.find_last_of("/\\");
        fileName = slash == std::string::npos ? std::string() : first.substr(0, slash == 0 ? 1 : slash);
        fileName += '\0';
        for (const std::string& f : chosen) {
            fileName += FileTitleOf(f);
            fileName += '\0';
        }
        fileName += '\0';
    } else {
        fileName = chosen.front();
        fileTitle = FileTitleOf(fileName);
    }
    filter = ChosenFilter(filter, a.filterIndex);
    filterIndex = a.filterIndex;
    flags = r.flags & ~OFN_READONLY;
    if (a.readOnly) {
        flags |= OFN_READONLY;
        readOnly = true;
    }
    return true;
}

bool ShowSaveDialog(std::string& fileName, std::string& fileTitle, bool overwritePrompt, std::string& filter,
                    int32_t& filterIndex, const std::string& initDir, const std::string& title,
                    const std::string& defaultExt, QWidget* owner, int32_t& flags, const DialogHooks* hooks)
{
    FileRequest r;
    r.hooks = hooks;
    r.save = true;
    r.flags = (flags & ~(OFN_ENABLEHOOK | OFN_ENABLETEMPLATE)) | OFN_HIDEREADONLY;
    if (overwritePrompt)
        r.flags |= OFN_OVERWRITEPROMPT;
    r.fileName = fileName;
    r.title = title;
    r.initDir = initDir;
    r.defaultExt = defaultExt;
    r.filters = SplitFilter(filter);
    r.filterIndex = filterIndex;
    r.owner = owner;
    const FileAnswer a = RunFileDialog(r);
    if (!a.ok) {
        fileName.clear();
        fileTitle.clear();
        filter.clear();
        flags = 0;
        filterIndex = 0;
        return false;
    }
    fileName = a.fileName;
    fileTitle = FileTitleOf(a.fileName);
    filter = ChosenFilter(filter, a.filterIndex);
    filterIndex = a.filterIndex;
    flags = r.flags;
    return true;
}

bool ShowFontDialog(DialogFont& font, int32_t& printerDevice, QWidget* owner, int32_t& color, int32_t minSize,
                    int32_t maxSize, int32_t& flags, const DialogHooks* hooks)
{
    // There is no printer device context here: a device only decides which fonts are offered.
    if (printerDevice == -1)
        printerDevice = 0;
    else
        flags |= CF_PRINTERFONTS;
    if (!(flags & CF_PRINTERFONTS))
        flags |= CF_SCREENFONTS;
    if (color != 0)
        flags |= CF_EFFECTS;
    if (minSize != 0 || maxSize != 0)
        flags |= CF_LIMITSIZE;
    flags = (flags & ~(CF_ENABLEHOOK | CF_ENABLETEMPLATE | CF_APPLY)) | CF_INITTOLOGFONTSTRUCT;

    FontRequest r{font, color, minSize, maxSize, flags | (hooks ? CF_ENABLEHOOK : 0), owner, hooks};
    const FontAnswer a = CurrentDialogScripts().font ? CurrentDialogScripts().font(r) : RunFontDialog(r);
    if (!a.ok)
        return false;
    DialogFont chosen = a.font;
    // Sizes travel in tenths of a point.
    chosen.size = static_cast<float>(std::nearbyint(chosen.size * 10.0f)) / 10.0f;
    if (r.flags & CF_LIMITSIZE) {
        if (minSize > 0 && chosen.size < static_cast<float>(minSize))
            chosen.size = static_cast<float>(minSize);
        if (maxSize > 0 && chosen.size > static_cast<float>(maxSize))
            chosen.size = static_cast<float>(maxSize);
    }
    font = chosen;
    color = a.color;
    return true;
}

bool ShowColorDialog(int32_t& color, bool anyColor, bool fullOpen, bool disableFullOpen, QWidget* owner,
                     std::array<int32_t, 16>* customColors, const DialogHooks* hooks)
{
    ColorRequest r;
    r.color = color;
    r.flags = CC_RGBINIT | (anyColor ? CC_ANYCOLOR : CC_SOLIDCOLOR) | (fullOpen ? CC_FULLOPEN : 0) |
              (disableFullOpen ? CC_PREVENTFULLOPEN : 0) | (hooks ? CC_ENABLEHOOK : 0);
    r.owner = owner;
    r.customColors = customColors;
    r.hooks = hooks;
    const ColorAnswer a = CurrentDialogScripts().color ? CurrentDialogScripts().color(r) : RunColorDialog(r);
    if (!a.ok) {
        color = -1;
        return false;
    }
    color = a.color;
    return true;
}

} // namespace vexal
