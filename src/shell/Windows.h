#pragma once
// The program's windows by name. Each window exists once; a subsystem registers the
// factory of each of its windows at start-up, and everyone else reaches a window through
// here by its name (its objectName), one of the constants of WindowNames.h.
#include "WindowNames.h"

#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class QMainWindow;

namespace vexal {

// A factory makes the window (not shown). Child views are put into the main window's
// MDI area by the shell; other windows are top-level windows owned by the main window.
// A later registration under the same name replaces the earlier one. A window with an
// invokable Form_Load() gets it called right after it is registered as loaded: its load
// handler can then find itself by name.
using WindowFactory = std::function<QWidget*(QWidget* owner)>;
enum class WindowKind { ChildView, Modeless, Modal };
void RegisterWindow(const std::string& name, WindowKind kind, WindowFactory factory);
bool IsWindowRegistered(const std::string& name);

// The loaded window of that name, or nullptr.
QWidget* FindWindow(const std::string& name);
// The window of that name, loaded (hidden) when it is not: as reading a control of an
// unloaded window loads it.
QWidget* LoadWindow(const std::string& name);
// Unloads (closes and destroys) the window when it is loaded. The window's close event is
// its unload handler: it saves its settings there, and may refuse by ignoring the event
// (then false is returned and the window stays loaded).
bool UnloadWindow(const std::string& name);
// The main window, or nullptr before it exists.
QMainWindow* MainWindow();

// Loads the window when needed and shows it: a child view becomes visible and the active
// view of the main window (showing the main window too); a top-level window is shown
// modeless.
QWidget* ShowWindow(const std::string& name);
// Loads the window and shows it modal, owned by the main window; returns when it closes.
// While a long run yields it returns at once and the window opens when the run has returned.
void ShowModal(const std::string& name);
// The names of the loaded windows, in load order (the window collection).
std::vector<std::string> LoadedWindowNames();
// The main window's active child view (the last one activated), or nullptr.
QWidget* ActiveView();

// Reads the formula, lets the message loop run and presses the active view's refresh
// button. refreshAll also refreshes the views that recompute only on a full refresh.
// While a long run yields, the refresh is held back and runs once the run has returned.
void RefreshActiveView(bool refreshAll);
// The formula editor installs the procedure that rebuilds CurrentFormula from its controls.
// Until then only the current week (slot 13) is taken from the week selector.
void SetReadFormulaProcedure(std::function<void()> readFormula);
// Rebuilds CurrentFormula through the installed procedure.
void ReadFormula();
// Hides the formula editor, when it is loaded, before a page opens in the browser.
void HideFormulaEditor();

// Called once the main window is gone (the program quits its event loop there).
void SetProgramEndHandler(std::function<void()> handler);

// Unloads every window in the fixed order (Enter Lines, Predictions, Test Formula,
// Statistics, Other Factors, Power Ratings, Standings, Input Stats, splash, main window),
// which ends the program. Deferred while a long run yields (EndProgramWhenIdle).
void UnloadAllForms();
// Ends the program with `end` now when nothing is running; while work yields, asks a test
// that is running to stop (a run may last for hours) and ends it once the work has returned.
void EndProgramWhenIdle(std::function<void()> end);

// True while a load, a test or a prediction yields to the message loop: commands that
// would destroy or re-enter it (view switches, season and week changes, Exit) are refused or
// held back until it returns; closing a window it may use waits for its return, closing the
// document viewer does not.
bool IsBusy();
// Marks a long run for its lifetime.
class BusyScope {
public:
    BusyScope();
    ~BusyScope();
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;
};
// Runs the action now when nothing is running, else once the running work has returned.
void RunWhenIdle(std::function<void()> action);
// What cannot be done while a run or load yields is shown unavailable meanwhile: changed is
// called with true when such work starts (at once when it is going already) and with false
// when it has returned, for as long as receiver lives. A window disables its commands there.
void OnBusyChanged(QObject* receiver, std::function<void(bool busy)> changed);

// The command that refreshes a view (its refresh button's click), registered by the view
// itself; the application's refresh calls it for the active view. Forgotten when the view
// is destroyed.
void SetViewRefresh(QWidget* view, std::function<void()> refresh);

// The control of a view that takes the theme picture (its grid or breakdown pane),
// registered by the view itself; nullptr for a view that has none.
void SetViewPicture(QWidget* view, QWidget* control);
QWidget* ViewPicture(const QWidget* view);

// What a view shows in the theme's colours besides its background (its grid's cells in the
// theme's colour, its progress bar), shown again by a procedure the view registers itself:
// after a change of theme, UpDateBackground runs it for every loaded view, so that nothing
// open keeps the old theme's colours.
void SetViewThemeColors(QWidget* view, std::function<void()> showThemeColors);
void ShowThemeColorsInViews();

} // namespace vexal
