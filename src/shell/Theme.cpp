#include "Theme.h"

#include "AppState.h"
#include "Grid.h"
#include "Host.h"
#include "ReadableText.h"
#include "Screen.h"
#include "SettingsStore.h"
#include "SharedProcs.h"
#include "Steps.h"
#include "VbConvert.h"
#include "VbError.h"
#include "WindowNames.h"
#include "Windows.h"
#include "cBackGround.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QPixmap>
#include <QPointer>

#include <memory>

namespace vexal {

namespace {

struct NamedColors {
    const char* name;
    int32_t fore;
    int32_t back;
};

constexpr NamedColors ThemeTable[] = {
    {"ari", 0x000080, 0x00FFFF}, {"atl", 0x000000, 0xE0E0FF}, {"bal", 0x800000, 0x00E0E0},
    {"buf", 0xC00000, 0x0000FF}, {"car", 0x000000, 0xF0D000}, {"chi", 0x800000, 0x0080FF},
    {"cin", 0x000000, 0x0080FF}, {"dal", 0x800000, 0xE0E0E0}, {"den", 0x0080FF, 0xC00000},
    {"det", 0x800000, 0xE0E0E0}, {"gb", 0x008000, 0x00FFFF},  {"hou", 0x000000, 0x0000FF},
    {"ind", 0x800000, 0xFFFFFF}, {"jak", 0x000000, 0xC0C000}, {"kc", 0x0000FF, 0xFFFFFF},
    {"mia", 0x808000, 0x0080FF}, {"min", 0xC000B0, 0x00FFFF}, {"ne", 0x800000, 0x0000FF},
    {"no", 0x000000, 0x00E0E0},  {"nyg", 0x800000, 0x0000FF}, {"nyj", 0x008000, 0xFFFFFF},
    {"oak", 0x000000, 0xE0E0E0}, {"phi", 0x008000, 0xE0E0E0}, {"pit", 0x000000, 0x00FFFF},
    {"sd", 0x800000, 0x00FFFF},  {"sea", 0x800000, 0xE0FFE0}, {"sf", 0x000080, 0x00E0E0},
    {"stl", 0xC00000, 0x00FFFF}, {"tb", 0x000080, 0xC0C0C0},  {"ten", 0xC00000, 0x0000FF},
    {"was", 0x000080, 0x00FFFF},
};
constexpr ThemeColors ProductColors{0x800000, 0xFFFFC0};

struct ThemedView {
    const char* caption;
    const char* shortCaption;
};

constexpr ThemedView ViewTable[] = {
    {"Vexal - [Standings]", "Standings"},
    {"Vexal - [Enter Lines]", "Enter Lines"},
    {"Vexal - [Statistics]", "Statistics"},
    {"Vexal - [Input Stats]", "Input Stats"},
    {"Vexal - [Predictions]", "Predictions"},
    {"Vexal - [Power Ratings / Strength of Schedule]", "Power Ratings / Strength of Schedule"},
    {"Vexal - [Other Factors]", "Other Factors"},
    {"Vexal - [Test Formula]", "Test Formula"},
};

const ThemedView* FindView(const std::string& caption)
{
    for (const auto& v : ViewTable)
        if (caption == v.caption || caption == v.shortCaption)
            return &v;
    return nullptr;
}

// The gradients: one painter for the views and one for the formula editor, so that each
// keeps its own background while the other is painted.
std::unique_ptr<cBackGround>& ViewPainter()
{
    static std::unique_ptr<cBackGround> painter;
    return painter;
}
std::unique_ptr<cBackGround>& EditorPainter()
{
    static std::unique_ptr<cBackGround> painter;
    return painter;
}
cBackGround& Painter(std::unique_ptr<cBackGround>& slot)
{
    if (!slot)
        slot = std::make_unique<cBackGround>();
    return *slot;
}

// A window that loses its theme loses its gradient too, so its plain colour shows.
void LetGo(std::unique_ptr<cBackGround>& slot, QWidget* window)
{
    if (slot && slot->Attached() && slot->Window() == window)
        slot->Detach();
}

// After its gradient is let go of: the window is filled with the colour.
void SetBackColor(QWidget* w, int32_t color) { SetWindowBackColor(w, color); }

int32_t BackColorOf(const QWidget* w) { return ColorValue(w->palette().color(QPalette::Window)); }

void SetForeColor(QWidget* w, int32_t color)
{
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, TranslateColor(color));
    w->setPalette(p);
}

void SetPicture(QWidget* control, const QPixmap& picture)
{
    if (auto* grid = qobject_cast<Grid*>(control)) {
        grid->SetBackgroundPicture(picture);
        return;
    }
    if (auto* area = qobject_cast<QAbstractScrollArea*>(control)) {
        // The box's text is set with its picture, readable on it.
        SetSurfaceBackground(area, TextSurface::Box, QBrush(picture));
        area->viewport()->setAutoFillBackground(true);
    }
}

// The form the screen shows as active: a modal window, the active window, or the main
// window while the program is not in front; the main window stands for its active view.
QWidget* ScreenActiveForm()
{
    QWidget* form = QApplication::activeModalWidget();
    if (!form)
        form = QApplication::activeWindow();
    QMainWindow* main = MainWindow();
    if (!form && main && main->isVisible())
        form = main;
    if (form && form == main) {
        if (QWidget* view = ActiveView())
            return view;
    }
    return form;
}

} // namespace

ThemeColors ThemeColorsFor(const std::string& themeName)
{
    for (const auto& t : ThemeTable)
        if (themeName == t.name)
            return {t.fore, t.back};
    return ProductColors;
}

std::string ThemeNameFor(const std::string& theme)
{
    if (!theme.empty())
        return vb::LCase(theme);
    return vb::LCase(GetSetting(pref::Theme));
}

void ApplyTheme(const std::string& theme)
{
    AppState& app = App();
    app.ThemeName = ThemeNameFor(theme);
    const ThemeColors colors = ThemeColorsFor(app.ThemeName);
    app.ThemeForeColor = colors.fore;
    app.ThemeBackColor = colors.back;
    if (app.ThemeName == "def" || app.ThemeName.empty())
        app.ThemePicture.clear();
    else
        app.ThemePicture = ProgramFile("images/" + app.ThemeName + ".gif").string();
}

bool IsThemedView(const std::string& caption) { return FindView(caption) != nullptr; }

void UpDateBackground(const std::string& theme)
{
    AppState& app = App();
    app.ThemeName = ThemeNameFor(theme);
    const bool themed = !app.ThemeName.empty();

    // The active view. With no active form yet (start-up), the main window is shown and
    // asked once more; after that the step is left out.
    QPointer<QWidget> view;
    try {
        QWidget* form = ScreenActiveForm();
        if (!form) {
            // A shown main window counts as the active form at once; nothing needs to run.
            if (QMainWindow* main = MainWindow())
                main->show();
            form = ScreenActiveForm();
        }
        if (!form)
            throw VbError::Of(VbError::ObjectNotSet);
        if (IsThemedView(form->windowTitle().toStdString()))
            view = form;
    } catch (const std::exception&) {
        view = nullptr;
    }

    if (view) {
        SkipStep([&] {
            if (themed) {
                Painter(ViewPainter()).GradientForm(view, app.ThemeBackColor, app.ThemeForeColor, 2, true);
            } else {
                LetGo(ViewPainter(), view);
                SetBackColor(view, app.ThemeForeColor);
            }
        });
        SkipStep([&] {
            QWidget* control = ViewPicture(view);
            if (!control || app.ThemePicture.empty() || !FileExists(app.ThemePicture))
                return;
            QPixmap picture(QString::fromStdString(app.ThemePicture));
            if (picture.isNull())
                return;
            SetPicture(control, picture);
        });
    }

    // The formula editor, whatever is active (addressing it loads it, hidden).
    SkipStep([&] {
        QWidget* editor = LoadWindow(WindowName::FormulaEditor);
        if (!editor)
            return;
        if (themed) {
            Painter(EditorPainter()).GradientForm(editor, app.ThemeForeColor, app.ThemeBackColor, 2, true);
        } else {
            LetGo(EditorPainter(), editor);
            if (BackColorOf(editor) != app.ThemeForeColor)
                SetBackColor(editor, app.ThemeForeColor);
        }
    });

    if (view && !themed) {
        SkipStep([&] {
            for (QLabel* label : view->findChildren<QLabel*>())
                SetForeColor(label, 0xFFFFFF);
            SetForeColor(view, 0xFFFFFF);
        });
    }

    // What the open views show in the theme's colours follows the theme too.
    ShowThemeColorsInViews();

    // Whatever the theme, the captions stay readable on what is now behind them.
    SkipStep([&] { KeepTextReadable(view); });
    SkipStep([&] { KeepTextReadable(FindWindow(WindowName::FormulaEditor)); });
}

void ReleaseBackgrounds()
{
    ViewPainter().reset();
    EditorPainter().reset();
}

} // namespace vexal
