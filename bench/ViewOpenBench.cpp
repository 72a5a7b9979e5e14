// Opening each view as the user does, and choosing a season, from its toolbar button in the whole program (offscreen)
// with 41 generated seasons loaded: from the click until the program is idle again. Each
// iteration first goes back to another view, so that every open starts from a closed view;
// only the open is timed. Read the CPU time (of the whole process): it is what the program
// spends, whatever else runs on the machine.
#include "AppState.h"
#include "Host.h"
#include "Main.h"
#include "SampleSeasons.h"
#include "SmokeRun.h"
#include "SeasonLoader.h"
#include "Splash.h"
#include "VbConvert.h"
#include "VexalApp.h"
#include "Windows.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>
#include <QToolBar>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>

namespace {

using namespace vexal;

// 41 seasons; the suite's smoke run opens the views on 3.
int Seasons() { return bench::SmokeRun() ? 3 : 41; }

void Pump()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

bool WaitFor(const std::function<bool()>& done)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > 60000)
            return false;
        Pump();
        QThread::msleep(1);
    }
    return true;
}

// The whole program on a folder of 41 generated seasons ending with 2024, all of them loaded,
// started once for every benchmark and left running.
class Program {
public:
    static Program& Get()
    {
        static Program program;
        return program;
    }
    bool Ok() const { return ok_; }

private:
    Program()
    {
        folder_ = std::filesystem::temp_directory_path() / ("vexal-view-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_ / "home");
        setenv("HOME", (folder_ / "home").c_str(), 1);
        samplegen::SampleOptions options;
        options.Seed = 11;
        options.FromYear = 2024 - Seasons() + 1;
        options.ToYear = 2024;
        std::string error;
        if (!samplegen::WriteSampleSeasons(folder_, options, &error))
            return;
        std::ofstream(folder_ / "Vexal.ini") << "[Vexal]\r\nYear to Load=" << Seasons() << "\r\n";
        SetProgramFolder(folder_);
        ResetSeasonLoader();
        SetTodayProvider([] { return vb::DateSerial(2024, 11, 5); });
        SetDoEventsHook([] { QCoreApplication::processEvents(); });
        QApplication::setQuitOnLastWindowClosed(false);
        RegisterAllWindows();
        StartVexal();
        ok_ = WaitFor([] { return TheMain() && FindWindow("FORM1") && !FindWindow("opening") && !IsBusy(); });
    }
    ~Program()
    {
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }

    std::filesystem::path folder_;
    bool ok_ = false;
};

void Press(const char* toolbar, int button)
{
    TheMain()->findChild<QToolBar*>(toolbar)->actions().at(button)->trigger();
    WaitFor([] { return !IsBusy(); });
    Pump();
}

// Closes the modal window of the given name once it has been drawn: its first paint goes
// through, and the close is handled after it. A window that is not drawn within a minute is
// closed all the same, and Drawn() says so.
class CloseWhenDrawn : public QObject {
public:
    explicit CloseWhenDrawn(const char* name) : name_(name)
    {
        qApp->installEventFilter(this);
        QTimer::singleShot(60000, this, [this] {
            if (QWidget* w = FindWindow(name_))
                w->close();
        });
    }
    ~CloseWhenDrawn() override { qApp->removeEventFilter(this); }
    bool Drawn() const { return drawn_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!drawn_ && event->type() == QEvent::Paint && watched->isWidgetType() &&
            watched->objectName() == QLatin1String(name_)) {
            drawn_ = true;
            QTimer::singleShot(0, static_cast<QWidget*>(watched), &QWidget::close);
        }
        return false;
    }

private:
    const char* name_;
    bool drawn_ = false;
};

struct View {
    const char* toolbar;
    int button;
    const char* window;
};

void OpenView(benchmark::State& state, View view)
{
    if (!Program::Get().Ok()) {
        state.SkipWithError("the program did not start on the sample seasons");
        return;
    }
    // Another view first, so that this one opens afresh; Standings itself goes from Lines.
    const View away = std::string(view.window) == "FORM1" ? View{"cToolbar1", 2, "lines"}
                                                           : View{"cToolbar1", 0, "FORM1"};
    const bool modal = std::string(view.window) == "Singleg";
    for (auto _ : state) {
        state.PauseTiming();
        Press(away.toolbar, away.button);
        // The modal window is closed once it has been drawn: its open and first paint are
        // what is measured.
        std::optional<CloseWhenDrawn> closer;
        if (modal)
            closer.emplace(view.window);
        state.ResumeTiming();
        Press(view.toolbar, view.button);
        if (modal ? !closer->Drawn() : ActiveView() != FindWindow(view.window)) {
            state.SkipWithError(modal ? "the window was not drawn" : "the view did not open");
            return;
        }
    }
}

BENCHMARK_CAPTURE(OpenView, Standings, View{"cToolbar1", 0, "FORM1"})->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OpenView, EnterLines, View{"cToolbar1", 2, "lines"})->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OpenView, Predictions, View{"cToolbar1", 4, "PREDICT"})->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OpenView, Statistics, View{"cToolbar1", 6, "FORM6"})->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OpenView, TestFormula, View{"cToolbar1", 8, "frmTest"})->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OpenView, PowerRatings, View{"cToolbar1", 10, "Power"})->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OpenView, InputStats, View{"cToolbar2", 2, "FORM2"})->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OpenView, OtherFactors, View{"cToolbar2", 4, "INJURIES"})->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OpenView, SingleGame, View{"cToolbar2", 6, "Singleg"})->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

// Choosing a season in the toolbar's list as the user does: every season file up to it is
// read again, with the splash's progress shown. Each iteration first chooses the season
// before it, so only the load of the newest one is timed; compare it with loader_bench's
// headless load of the same number of seasons.
void ChooseSeason(benchmark::State& state)
{
    if (!Program::Get().Ok()) {
        state.SkipWithError("the program did not start on the sample seasons");
        return;
    }
    auto* years = TheMain()->findChild<QComboBox*>("cboYears");
    if (!years || years->count() < 2) {
        state.SkipWithError("the season list has fewer than two seasons");
        return;
    }
    const int newest = years->count() - 1;
    for (auto _ : state) {
        state.PauseTiming();
        years->setCurrentIndex(newest - 1);
        WaitFor([] { return !IsBusy(); });
        Pump();
        state.ResumeTiming();
        years->setCurrentIndex(newest);
        WaitFor([] { return !IsBusy(); });
        Pump();
    }
    state.counters["seasons"] = Seasons();
}
BENCHMARK(ChooseSeason)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

// The load alone inside the running program: every season file read again with the splash's
// progress, without the view's refresh that a choice in the list also brings. Compare it with
// loader_bench's headless load of the same number of seasons.
void LoadThroughSplash(benchmark::State& state)
{
    if (!Program::Get().Ok()) {
        state.SkipWithError("the program did not start on the sample seasons");
        return;
    }
    for (auto _ : state) {
        if (!SelectSeason(2024)) {
            state.SkipWithError("the load failed");
            return;
        }
        state.PauseTiming();
        WaitFor([] { return !IsBusy(); });
        Pump();
        state.ResumeTiming();
    }
    state.counters["seasons"] = Seasons();
}
BENCHMARK(LoadThroughSplash)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

} // namespace
