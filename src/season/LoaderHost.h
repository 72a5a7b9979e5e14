#pragma once
// What the season loader, the week selector and the stat import need of the windows
// around them: the splash's progress bar, the notice pop-up, the busy cursor, the week
// selector's display and the refresh of the active view. GUI-free: the main window
// installs a host that forwards to its widgets; until then (and in GUI-free tests)
// every call does nothing.
#include <cstdint>
#include <memory>
#include <string>

namespace vexal {

// The small non-modal notice that closes when clicked or after a while. Callers set its
// text, title, number and owner, in that order, and then show it.
class NoticePopup {
public:
    virtual ~NoticePopup() = default;
    virtual void SetText(const std::string& text) = 0;
    virtual void SetTitle(const std::string& title) = 0;
    virtual void SetNumber(int32_t number) = 0;
    // The owner window by its name ("Main" for the main window).
    virtual void SetOwner(const std::string& windowName) = 0;
    virtual void Show() = 0;
};

class LoaderHost {
public:
    virtual ~LoaderHost() = default;

    // The splash window `opening` and its progress bar `ProgBar1`.
    virtual bool SplashVisible() { return false; }
    virtual void ShowSplash() {}
    virtual void SetProgress(int32_t value, const std::string& caption) { (void)value, (void)caption; }
    virtual void CloseSplash() {}
    // The caption of the active window: the loader closes the splash only while it or the
    // main window ("Vexal") is the active window.
    virtual std::string ActiveWindowCaption() { return "Vexal"; }

    // A fresh notice pop-up; nullptr shows nothing.
    virtual std::unique_ptr<NoticePopup> CreateNotice() { return nullptr; }

    // The hourglass for the length of a season choice.
    virtual void BeginBusyCursor() {}
    virtual void EndBusyCursor() {}
    // True while a season choice runs (it yields to the message loop): the shell refuses
    // view switches, season and week changes and Exit meanwhile.
    virtual void SetBusy(bool busy) { (void)busy; }

    // The week selector cboWeek shows Season().WeekItems with Season().WeekListIndex
    // selected; these tell it that the list or the selection changed.
    virtual void WeekListChanged() {}
    virtual void WeekSelectionChanged() {}

    // RefreshActiveView of the shell.
    virtual void RefreshActiveView(bool refreshAll) { (void)refreshAll; }
};

// The installed host (one that does nothing until another is installed).
LoaderHost& TheLoaderHost();
void InstallLoaderHost(std::unique_ptr<LoaderHost> host);

} // namespace vexal
