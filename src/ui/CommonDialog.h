#pragma once
// The program's file and font dialogs (open, save, font) as plain functions with in/out
// arguments, shown over Qt's dialogs. Tests install a script that answers in place of
// the dialog; with no script the real dialog runs modally.
#include "DialogHooks.h"

#include <QFont>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class QWidget;

namespace vexal {

// Flag values the callers pass, named as the dialogs name them.
enum : int32_t {
    OFN_READONLY = 0x1,
    OFN_OVERWRITEPROMPT = 0x2,
    OFN_HIDEREADONLY = 0x4,
    OFN_ENABLEHOOK = 0x20,
    OFN_ENABLETEMPLATE = 0x40,
    OFN_ALLOWMULTISELECT = 0x200,
    OFN_FILEMUSTEXIST = 0x1000,
    OFN_EXPLORER = 0x80000,
    CF_SCREENFONTS = 0x1,
    CF_PRINTERFONTS = 0x2,
    CF_ENABLEHOOK = 0x8,
    CF_ENABLETEMPLATE = 0x10,
    CF_INITTOLOGFONTSTRUCT = 0x40,
    CF_EFFECTS = 0x100,
    CF_APPLY = 0x200,
    CF_LIMITSIZE = 0x2000,
    CC_RGBINIT = 0x1,
    CC_FULLOPEN = 0x2,
    CC_PREVENTFULLOPEN = 0x4,
    CC_ENABLEHOOK = 0x10,
    CC_ENABLETEMPLATE = 0x20,
    CC_SOLIDCOLOR = 0x80,
    CC_ANYCOLOR = 0x100,
};

// The font a font dialog starts from and returns.
struct DialogFont {
    std::string name = "Courier New";
    float size = 8.25f; // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;
    int16_t weight = 400;
};

// What a file dialog is asked to show; the script (or the user) answers with a FileAnswer.
struct FileRequest {
    bool save = false;
    std::string fileName;
    std::string title;
    std::string initDir;
    std::string defaultExt;
    std::vector<std::pair<std::string, std::string>> filters; // description, pattern
    int32_t filterIndex = 1;
    int32_t flags = 0;
    QWidget* owner = nullptr;
    const DialogHooks* hooks = nullptr; // set when the owner hooks the dialog
};
struct FileAnswer {
    bool ok = false;         // false: cancelled
    std::string fileName;    // the chosen path; several paths of a multiple selection are separated by NULs
    int32_t filterIndex = 1; // 1-based
    bool readOnly = false;   // the read-only box left ticked
};

struct FontRequest {
    DialogFont font;
    int32_t color = 0; // BGR
    int32_t minSize = 0;
    int32_t maxSize = 0;
    int32_t flags = 0;
    QWidget* owner = nullptr;
    const DialogHooks* hooks = nullptr; // set when the owner hooks the dialog
};
struct FontAnswer {
    bool ok = false;
    DialogFont font;
    int32_t color = 0;
};

struct ColorRequest {
    int32_t color = 0;  // BGR; -1 for none
    int32_t flags = 0;  // CC_RGBINIT, CC_ANYCOLOR or CC_SOLIDCOLOR, CC_FULLOPEN, CC_PREVENTFULLOPEN, CC_ENABLEHOOK
    QWidget* owner = nullptr;
    std::array<int32_t, 16>* customColors = nullptr; // shown, and changed in place
    const DialogHooks* hooks = nullptr;              // set when the owner hooks the dialog
};
struct ColorAnswer {
    bool ok = false;
    int32_t color = 0;
};

// Scripts that answer instead of showing a dialog; an empty function shows the real one.
struct DialogScripts {
    std::function<FileAnswer(const FileRequest&)> file;
    std::function<FontAnswer(const FontRequest&)> font;
    std::function<ColorAnswer(const ColorRequest&)> color;
};
void SetDialogScripts(DialogScripts scripts);
DialogScripts& CurrentDialogScripts();

// Splits a "|"- (or ":"-) separated filter into description and pattern pairs; a lone
// description gets an empty pattern.
std::vector<std::pair<std::string, std::string>> SplitFilter(const std::string& filter);
// The chosen pair as description, NUL, pattern; empty for an index outside the list.
std::string ChosenFilter(const std::string& filter, int32_t filterIndex);
// The name without its folder.
std::string FileTitleOf(const std::string& path);
// LOGFONT height of a font size on a screen of so many twips per pixel.
int32_t LogFontHeight(float points, double twipsPerPixelY);

// Owner nullptr stands for the owner -1 (no owner window).
bool ShowOpenDialog(std::string& fileName, std::string& fileTitle, bool fileMustExist, bool multiSelect,
                    bool& readOnly, bool hideReadOnly, std::string& filter, int32_t& filterIndex,
                    const std::string& initDir, const std::string& title, const std::string& defaultExt,
                    QWidget* owner, int32_t& flags, const DialogHooks* hooks = nullptr);
bool ShowSaveDialog(std::string& fileName, std::string& fileTitle, bool overwritePrompt, std::string& filter,
                    int32_t& filterIndex, const std::string& initDir, const std::string& title,
                    const std::string& defaultExt, QWidget* owner, int32_t& flags,
                    const DialogHooks* hooks = nullptr);
// With hooks the dialog carries CF_ENABLEHOOK and its owner hears it open and close.
bool ShowFontDialog(DialogFont& font, int32_t& printerDevice, QWidget* owner, int32_t& color, int32_t minSize,
                    int32_t maxSize, int32_t& flags, const DialogHooks* hooks = nullptr);
// The colour dialog of the dialog object, starting from color (BGR, -1 for none); true with the
// chosen colour when confirmed, else color is -1. The caller's own flags are not handed on:
// the dialog's flags come from the three choices (and CC_ENABLEHOOK with hooks). With
// disableFullOpen the part that defines new colours is not shown. The sixteen custom colours
// (BGR, -1 for none) are offered and come back as the user left them, also after a cancel.
bool ShowColorDialog(int32_t& color, bool anyColor, bool fullOpen, bool disableFullOpen, QWidget* owner,
                     std::array<int32_t, 16>* customColors = nullptr, const DialogHooks* hooks = nullptr);

} // namespace vexal
