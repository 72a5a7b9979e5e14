#include "Windows.h"

#include "AppState.h"
#include "Host.h"
#include "Main.h"
#include "Steps.h"
#include "WindowNames.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QEventLoop>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QStyle>
#include <QTimer>

#include <algorithm>
#include <map>
#include <set>
#include <vector>

namespace vexal {

namespace {

struct Registration {
    WindowKind kind = WindowKind::Modeless;
    WindowFactory factory;
};

struct Loaded {
    std::string name;
    const QObject* key = nullptr;          // identity, still valid while the object is destroyed
    QPointer<QWidget> widget;
    QPointer<QMdiSubWindow> frame;         // the MDI frame of a child view
    WindowKind kind = WindowKind::Modeless;
};

struct Registry {
    std::map<std::string, Registration> factories;
    std::vector<Loaded> loaded;            // load order
    QPointer<QMdiSubWindow> lastActive;    // the active view, also while another window has the focus
    std::function<void()> readFormula;
    int busy = 0;
    int unloading = 0;                     // closes the program asks for itself
    std::vector<std::function<void()>> whenIdle;
    std::set<std::string> closesHeld;      // windows to unload once the run has returned
    std::function<void()> programEnd;
    bool refreshPending = false;
    bool refreshAllPending = false;
    std::vector<std::pair<QPointer<QObject>, std::function<void(bool)>>> busyWatchers;
};

Registry& R()
{
    static Registry registry;
    return registry;
}

Loaded* Find(const std::string& name)
{
    for (auto& l : R().loaded)
        if (l.name == name && l.widget)
            return &l;
    return nullptr;
}

void Forget(const QObject* key)
{
    auto& v = R().loaded;
    v.erase(std::remove_if(v.begin(), v.end(), [key](const Loaded& l) { return l.key == key; }), v.end());
}

// The windows no run reads or writes: they close at once, also while a run yields.
bool NoRunUses(const std::string& name) { return name == WindowName::DocumentViewer; }

// While a long run yields, a window it may use is not closed from under it: a close the
// program did not ask for (the frame's close button, a window closing itself) waits until the
// run has returned, and then unloads the window. The splash is exempt (it is the loader's
// progress display and closes on a click), and the main window holds its Exit back by itself.
class CloseGuard : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

bool CloseGuard::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Close || !IsBusy() || R().unloading != 0)
        return false;
    std::string name;
    for (const auto& l : R().loaded)
        if (l.key == watched || (l.frame && l.frame.data() == watched))
            name = l.name;
    if (name.empty() || NoRunUses(name))
        return false;
    event->ignore();
    if (R().closesHeld.insert(name).second)
        RunWhenIdle([name] {
            R().closesHeld.erase(name);
            UnloadWindow(name);
        });
    return true;
}

CloseGuard* Guard()
{
    static CloseGuard* guard = new CloseGuard;
    return guard;
}

void MainGone()
{
    if (R().programEnd) {
        auto end = R().programEnd;
        end();
    }
}

QMdiArea* MdiArea()
{
    QMainWindow* main = MainWindow();
    return main ? qobject_cast<QMdiArea*>(main->centralWidget()) : nullptr;
}

// One view is open at a time and fills the main window's client area (views lay out their
// grids by the main window's width), whatever size it gave itself at load: that size is where
// its own layout scales from.
void FillArea(QMdiSubWindow* frame)
{
    QMdiArea* mdi = frame ? frame->mdiArea() : nullptr;
    if (!mdi || frame->isMaximized() || frame->isMinimized())
        return;
    frame->setGeometry(QRect(QPoint(0, 0), mdi->viewport()->size()));
}

// Every open view follows the client area when the main window shrinks or grows.
class AreaFollower : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Resize)
            for (const Loaded& l : R().loaded)
                if (l.frame && l.frame->isVisible() && l.frame->mdiArea() &&
                    l.frame->mdiArea()->viewport() == watched)
                    FillArea(l.frame);
        return false;
    }
};

void FollowArea(QMdiArea* mdi)
{
    static AreaFollower* follower = new AreaFollower;
    mdi->viewport()->removeEventFilter(follower);
    mdi->viewport()->installEventFilter(follower);
}

} // namespace

void RegisterWindow(const std::string& name, WindowKind kind, WindowFactory factory)
{
    R().factories[name] = Registration{kind, std::move(factory)};
}

bool IsWindowRegistered(const std::string& name) { return R().factories.count(name) != 0; }

QWidget* FindWindow(const std::string& name)
{
    Loaded* l = Find(name);
    return l ? l->widget.data() : nullptr;
}

QMainWindow* MainWindow() { return qobject_cast<QMainWindow*>(FindWindow(WindowName::Main)); }

QWidget* LoadWindow(const std::string& name)
{
    if (QWidget* w = FindWindow(name))
        return w;
    auto it = R().factories.find(name);
    if (it == R().factories.end() || !it->second.factory)
        return nullptr;
    const WindowKind kind = it->second.kind;
    QWidget* owner = name == WindowName::Main ? nullptr : MainWindow();
    // Copy the factory: a window's constructor may register others.
    WindowFactory factory = it->second.factory;
    QWidget* w = factory(owner);
    if (!w)
        return nullptr;
    if (w->objectName().isEmpty())
        w->setObjectName(QString::fromStdString(name));

    Loaded entry;
    entry.name = name;
    entry.key = w;
    entry.widget = w;
    entry.kind = kind;

    QMdiArea* mdi = kind == WindowKind::ChildView ? MdiArea() : nullptr;
    if (mdi) {
        // A view that sized itself keeps its size inside its frame.
        const bool sized = w->testAttribute(Qt::WA_Resized);
        const QSize size = w->size();
        QMdiSubWindow* frame = mdi->addSubWindow(w);
        FollowArea(mdi);
        if (sized) {
            QStyle* style = frame->style();
            const int border = style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, frame);
            const int title = style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, frame);
            frame->resize(size + QSize(2 * border, title + border));
        }
        frame->setObjectName(QString::fromStdString(name) + "Frame");
        frame->setAttribute(Qt::WA_DeleteOnClose);
        frame->hide();
        entry.frame = frame;
    } else {
        if (owner && (w->parentWidget() != owner || !w->isWindow()))
            w->setParent(owner, w->windowFlags() | Qt::Window);
        w->setAttribute(Qt::WA_DeleteOnClose);
    }
    if (name != WindowName::Splash && name != WindowName::Main) {
        w->installEventFilter(Guard());
        if (entry.frame)
            entry.frame->installEventFilter(Guard());
    }
    // A window the user closes with its frame is unloaded like any other.
    QObject::connect(w, &QObject::destroyed, [key = static_cast<const QObject*>(w), main = name == WindowName::Main] {
        Forget(key);
        if (main)
            MainGone();
    });
    R().loaded.push_back(entry);
    // The load handler runs once the window is known by its name, so that it may reach
    // itself and others through here.
    if (w->metaObject()->indexOfMethod("Form_Load()") >= 0) {
        QPointer<QWidget> guard = w;
        QMetaObject::invokeMethod(w, "Form_Load", Qt::DirectConnection);
        if (!guard)
            return nullptr;
    }
    return w;
}

bool UnloadWindow(const std::string& name)
{
    Loaded* l = Find(name);
    if (!l)
        return true;
    QPointer<QWidget> w = l->widget;
    QPointer<QMdiSubWindow> frame = l->frame;
    const QObject* key = l->key;
    // The close event is the window's unload handler.
    ++R().unloading;
    const bool closed = w->close();
    --R().unloading;
    if (!closed && w)
        return false;
    Forget(key);
    if (frame) {
        frame->hide();
        if (QMdiArea* mdi = frame->mdiArea())
            mdi->removeSubWindow(frame);
        if (R().lastActive == frame)
            R().lastActive = nullptr;
        frame->deleteLater();
    } else if (w) {
        w->hide();
        // Deleted later: the window may be the one whose command is running now.
        w->deleteLater();
    }
    return true;
}

QWidget* ShowWindow(const std::string& name)
{
    QPointer<QWidget> w = LoadWindow(name);
    if (!w)
        return nullptr;
    Loaded* l = Find(name);
    if (l && l->frame) {
        // Showing a window can load further windows, which moves the entries: hold the frame
        // itself, never a pointer into the list, across anything that shows or activates.
        QPointer<QMdiSubWindow> frame = l->frame;
        QMainWindow* main = MainWindow();
        if (main && !main->isVisible())
            main->show();
        if (!frame || !w)
            return w;
        QMdiArea* mdi = frame->mdiArea();
        const bool firstShow = !frame->isVisible();
        // The view gets the client area's size before it is shown, so that what it lays out
        // when it is first activated is not scaled again by a resize right after.
        if (mdi && firstShow)
            FillArea(frame);
        w->show();
        if (frame)
            frame->show();
        if (frame && mdi)
            mdi->setActiveSubWindow(frame);
        if (frame)
            R().lastActive = frame;
    } else {
        w->show();
        w->raise();
        w->activateWindow();
    }
    return w;
}

void ShowModal(const std::string& name)
{
    if (IsBusy()) {
        // A modal window inside a run would hold the run's return until it closes, and the
        // run's guards would refuse what the user does in it: it opens once the run is over.
        RunWhenIdle([name] { ShowModal(name); });
        return;
    }
    QWidget* w = LoadWindow(name);
    if (!w)
        return;
    if (auto* dialog = qobject_cast<QDialog*>(w)) {
        dialog->setWindowModality(Qt::ApplicationModal);
        dialog->exec();
        return;
    }
    QPointer<QWidget> guard = w;
    w->setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    QObject::connect(w, &QObject::destroyed, &loop, &QEventLoop::quit);
    // A window that hides itself ends its modal show and stays loaded.
    struct HideWatcher : QObject {
        QEventLoop* loop;
        explicit HideWatcher(QEventLoop* l) : loop(l) {}
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Hide)
                loop->quit();
            return false;
        }
    } watcher(&loop);
    w->installEventFilter(&watcher);
    w->show();
    loop.exec();
    if (guard) {
        guard->removeEventFilter(&watcher);
        guard->setWindowModality(Qt::NonModal);
    }
}

std::vector<std::string> LoadedWindowNames()
{
    std::vector<std::string> names;
    for (const auto& l : R().loaded)
        if (l.widget)
            names.push_back(l.name);
    return names;
}

QWidget* ActiveView()
{
    QMdiArea* mdi = MdiArea();
    if (!mdi)
        return nullptr;
    QMdiSubWindow* frame = mdi->currentSubWindow();
    if (!frame && R().lastActive && R().lastActive->mdiArea() == mdi)
        frame = R().lastActive;
    if (!frame || !frame->isVisible())
        return nullptr;
    return frame->widget();
}

// ---------------------------------------------------------------- refresh

void SetProgramEndHandler(std::function<void()> handler) { R().programEnd = std::move(handler); }

void SetReadFormulaProcedure(std::function<void()> readFormula) { R().readFormula = std::move(readFormula); }

void ReadFormula()
{
    if (R().readFormula) {
        R().readFormula();
        return;
    }
    int index = -1;
    if (auto* main = qobject_cast<Main*>(MainWindow()))
        if (QComboBox* week = main->cboWeek())
            index = week->currentIndex();
    App().CurrentFormula[fsCurrentWeek] = static_cast<float>(index + 1);
}

void HideFormulaEditor()
{
    if (QWidget* editor = FindWindow(WindowName::FormulaEditor))
        editor->hide();
}

namespace {

struct RefreshRow {
    const char* caption;
    const char* shortCaption;
    bool always;
};

constexpr RefreshRow RefreshTable[] = {
    {"Vexal - [Standings]", "Standings", false},
    {"Vexal - [Enter Lines]", "Enter Lines", false},
    {"Vexal - [Statistics]", "Statistics", false},
    {"Vexal - [Input Stats]", "Input Stats", false},
    {"Vexal - [Predictions]", "Predictions", true},
    {"Vexal - [Power Ratings / Strength of Schedule]", "Power Ratings / Strength of Schedule", true},
    {"Vexal - [Other Factors]", "Other Factors", false},
    {"Vexal - [Test Formula]", "Test Formula", true},
};

void ShowMainAfterError()
{
    if (QMainWindow* main = MainWindow())
        main->show();
}

// What each view registers for the application: its refresh command and the control that
// takes the theme picture; forgotten when the view is destroyed.
struct ViewHooks {
    std::function<void()> refresh;
    QPointer<QWidget> picture;
    std::function<void()> themeColors;
};

std::map<const QWidget*, ViewHooks>& AllHooks()
{
    static std::map<const QWidget*, ViewHooks> hooks;
    return hooks;
}

ViewHooks& HooksOf(QWidget* view)
{
    const auto [it, added] = AllHooks().try_emplace(view);
    if (added)
        QObject::connect(view, &QObject::destroyed, [view] { AllHooks().erase(view); });
    return it->second;
}

const ViewHooks* FindHooks(const QWidget* view)
{
    const auto it = AllHooks().find(view);
    return it == AllHooks().end() ? nullptr : &it->second;
}

} // namespace

void SetViewRefresh(QWidget* view, std::function<void()> refresh)
{
    if (view)
        HooksOf(view).refresh = std::move(refresh);
}

void SetViewPicture(QWidget* view, QWidget* control)
{
    if (view)
        HooksOf(view).picture = control;
}

QWidget* ViewPicture(const QWidget* view)
{
    const ViewHooks* hooks = FindHooks(view);
    return hooks ? hooks->picture.data() : nullptr;
}

void SetViewThemeColors(QWidget* view, std::function<void()> showThemeColors)
{
    if (view)
        HooksOf(view).themeColors = std::move(showThemeColors);
}

void ShowThemeColorsInViews()
{
    std::vector<std::function<void()>> procedures;
    for (const auto& [view, hooks] : AllHooks())
        if (hooks.themeColors)
            procedures.push_back(hooks.themeColors);
    // Each view on its own: one that fails leaves the others to be shown.
    for (const auto& show : procedures)
        SkipStep(show);
}

namespace {

// A step of the refresh that fails shows the main window (it may still be hidden during
// start-up), then says what failed, and the refresh goes on.
template <class F>
void RefreshStep(F&& step)
{
    ReportStep([&] {
        try {
            step();
        } catch (const std::exception&) {
            ShowMainAfterError();
            throw;
        }
    });
}

void RefreshNow(bool refreshAll)
{
    RefreshStep([] { ReadFormula(); });
    // No message runs here: a refresh is called from focus and change handlers, and running
    // the loop inside them would deliver the rest of the click that moved the focus early.
    QPointer<QWidget> view = ActiveView();
    if (!view)
        return;
    const std::string caption = view->windowTitle().toStdString();
    for (const auto& row : RefreshTable) {
        if (caption != row.caption && caption != row.shortCaption)
            continue;
        if (!row.always && !refreshAll)
            return;
        RefreshStep([&] {
            if (const ViewHooks* hooks = FindHooks(view.data()); hooks && hooks->refresh)
                hooks->refresh();
        });
        return;
    }
}

void RunPendingRefresh()
{
    if (!R().refreshPending || IsBusy())
        return;
    const bool all = R().refreshAllPending;
    R().refreshPending = R().refreshAllPending = false;
    RefreshNow(all);
}

} // namespace

void RefreshActiveView(bool refreshAll)
{
    if (IsBusy()) {
        // Pressing a view's refresh button now would re-enter the run; do it once afterwards.
        const bool first = !R().refreshPending;
        R().refreshPending = true;
        R().refreshAllPending = R().refreshAllPending || refreshAll;
        if (first)
            RunWhenIdle(RunPendingRefresh);
        return;
    }
    RefreshNow(refreshAll);
}

// ---------------------------------------------------------------- shutdown

void UnloadAllForms()
{
    if (IsBusy()) {
        EndProgramWhenIdle(UnloadAllForms);
        return;
    }
    namespace w = WindowName;
    static const char* const order[] = {w::EnterLines,   w::Predictions, w::TestFormula, w::Statistics,
                                        w::OtherFactors, w::PowerRatings, w::Standings,  w::InputStats,
                                        w::Splash,       w::Main};
    for (const char* name : order)
        UnloadWindow(name);
}

// ---------------------------------------------------------------- busy

bool IsBusy() { return R().busy > 0; }

namespace {

void TellBusy(bool busy)
{
    auto& watchers = R().busyWatchers;
    watchers.erase(std::remove_if(watchers.begin(), watchers.end(), [](const auto& w) { return !w.first; }),
                   watchers.end());
    // A watcher may add others or end its receiver's life.
    const auto now = watchers;
    for (const auto& [receiver, changed] : now)
        if (receiver)
            changed(busy);
}

} // namespace

BusyScope::BusyScope()
{
    if (++R().busy == 1)
        TellBusy(true);
}

BusyScope::~BusyScope()
{
    if (--R().busy > 0)
        return;
    TellBusy(false);
    if (R().whenIdle.empty())
        return;
    // Run the held-back commands from the event loop, not inside the run's own unwinding.
    QTimer::singleShot(0, [] {
        if (IsBusy())
            return;
        auto actions = std::move(R().whenIdle);
        R().whenIdle.clear();
        for (auto& action : actions) {
            if (IsBusy()) {
                R().whenIdle.push_back(std::move(action));
                continue;
            }
            action();
        }
    });
}

void OnBusyChanged(QObject* receiver, std::function<void(bool busy)> changed)
{
    if (!receiver || !changed)
        return;
    R().busyWatchers.emplace_back(receiver, changed);
    if (IsBusy())
        changed(true);
}

void RunWhenIdle(std::function<void()> action)
{
    if (!IsBusy()) {
        action();
        return;
    }
    R().whenIdle.push_back(std::move(action));
}

void EndProgramWhenIdle(std::function<void()> end)
{
    if (IsBusy())
        App().StopTest = true;
    RunWhenIdle(std::move(end));
}

} // namespace vexal
