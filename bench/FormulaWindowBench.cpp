// A whole back-test as the user starts it: the Test Formula window (offscreen) over 3 and 41
// generated seasons, every week tested, a grid of 112 500 combinations; from the click on
// Start until the window is idle again, with its progress display and message loop running;
// on every core and, for 41 seasons, on one, with the memory each run takes at its peak.
#include "AppState.h"
#include "FormulaEditor.h"
#include "FormulaTestWindow.h"
#include "FormulaWindows.h"
#include "Host.h"
#include "MsgBox.h"
#include "SampleSeasons.h"
#include "SeasonData.h"
#include "SeasonLoader.h"
#include "SettingsStore.h"
#include "SmokeRun.h"
#include "StandIns.h"
#include "Windows.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QPushButton>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <malloc.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

using namespace vexal;

// A program folder of generated seasons ending with 2024, removed when the object goes.
class SampleProgram {
public:
    explicit SampleProgram(int seasons)
    {
        folder_ = std::filesystem::temp_directory_path() /
                  ("vexal-window-bench-" + std::to_string(::getpid()) + "-" + std::to_string(seasons));
        std::filesystem::create_directories(folder_ / "user");
        samplegen::SampleOptions options;
        options.Seed = 20240905;
        options.FromYear = 2024 - seasons + 1;
        options.ToYear = 2024;
        std::string error;
        ok_ = samplegen::WriteSampleSeasons(folder_, options, &error);
        std::ofstream(folder_ / "default.fla") << "3,0,99,1,50,50,4,50,50,0,4,0,0,0,0,0,0,0,99,99\r\n";
    }
    ~SampleProgram()
    {
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }
    bool Ok() const { return ok_; }
    const std::filesystem::path& Folder() const { return folder_; }

private:
    std::filesystem::path folder_;
    bool ok_ = false;
};

void Set(QWidget& w, const char* name, const QString& text)
{
    if (auto* box = w.findChild<QLineEdit*>(name))
        box->setText(text);
}

// Rolling 3..5, home field 0..4, minimum difference 0..4, maximum 10..13, offense and rushing
// 40..60, turnovers 0..2, multiplier 0.8..1.2, typed into the range boxes as the user does. A
// smoke run types one rolling window of 80 combinations.
void TypeTheGrid(FormulaTestWindow& w)
{
    const bool smoke = bench::SmokeRun();
    Set(w, "txtrola_0", "3");
    Set(w, "txtrola_1", smoke ? "3" : "5");
    Set(w, "Text1_3", "0");
    Set(w, "Text2_3", smoke ? "1" : "4");
    Set(w, "Text1_1", "0");
    Set(w, "Text2_1", smoke ? "1" : "4");
    Set(w, "Text1_2", "10");
    Set(w, "Text2_2", smoke ? "11" : "13");
    Set(w, "Text1_4", smoke ? "50" : "40");
    Set(w, "Text2_4", smoke ? "50" : "60");
    Set(w, "Text1_5", smoke ? "50" : "60");
    Set(w, "Text2_5", smoke ? "50" : "40");
    Set(w, "Text1_6", smoke ? "50" : "40");
    Set(w, "Text2_6", smoke ? "50" : "60");
    Set(w, "Text1_7", smoke ? "50" : "60");
    Set(w, "Text2_7", smoke ? "50" : "40");
    Set(w, "Text1_8", "0");
    Set(w, "Text2_8", smoke ? "1" : "2");
    Set(w, "Text1_9", "0.8");
    Set(w, "Text2_9", "1.2");
    auto* first = w.findChild<QComboBox*>("CboStartWeek");
    auto* last = w.findChild<QComboBox*>("CboEndWeek");
    if (first && last) {
        first->setCurrentIndex(0);
        last->setCurrentIndex(last->count() - 1);
    }
}

// The process's resident memory now and at its peak since ResetPeakMemory, in MB (0 where the
// system does not tell).
double StatusMegabytes(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0)
            return std::strtod(line.c_str() + key.size(), nullptr) / 1024;
    return 0;
}
// Freed heap memory goes back to the system first, so that a run's growth is what it takes
// from the system, not what earlier runs left free in the heap for it.
void ResetPeakMemory()
{
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
}

// seasons: the generated seasons loaded; workers: the engine's threads, 0 for every core.
// "peak MB" is the process's resident peak during the runs, "peak growth MB" its rise over
// what was resident when they began (the seasons loaded and the window open).
void BM_FormulaWindowRun(benchmark::State& state)
{
    const int seasons = static_cast<int>(state.range(0));
    const int workers = static_cast<int>(state.range(1));
    InstallSettings(std::make_unique<MemorySettings>());
    InstallScriptedMessages();
    // The program's yield: the message loop runs whenever the run lets it.
    SetDoEventsHook([] { QCoreApplication::processEvents(); });
    ResetApp();
    ResetSeason();
    ResetSeasonLoader();
    SampleProgram program(seasons);
    if (!program.Ok()) {
        state.SkipWithError("the sample seasons could not be made");
        return;
    }
    SetProgramFolder(program.Folder());
    App().UserFolder = program.Folder() / "user";
    std::ofstream(program.Folder() / "Vexal.ini") << "[Vexal]\r\nYear to Load=" << seasons << "\r\n";
    if (!SelectSeason(2024) || static_cast<int>(Season().SeasonFirstWeek.size()) < seasons) {
        state.SkipWithError("the sample seasons could not be loaded");
        return;
    }
    RegisterWindow("Main", WindowKind::Modeless, [](QWidget*) -> QWidget* {
        auto* main = new QMainWindow;
        main->setCentralWidget(new QMdiArea(main));
        main->resize(1000, 700);
        return main;
    });
    LoadWindow("Main");
    RegisterStandInWindows();
    RegisterFormulaWindows();
    RegisterFormulaTestWindow();
    FormulaEditor::Get();
    ReadFormula();
    auto* w = qobject_cast<FormulaTestWindow*>(ShowWindow("frmTest"));
    if (!w) {
        state.SkipWithError("the Test Formula window did not open");
        return;
    }
    QCoreApplication::processEvents();
    auto* start = w->findChild<QPushButton*>("cmdStart");
    w->TSPredict1().SetWorkerCount(workers);

    ResetPeakMemory();
    const double residentBefore = StatusMegabytes("VmRSS");
    double combinations = 0;
    double games = 0;
    for (auto _ : state) {
        TypeTheGrid(*w);
        start->click();
        while (w->Armed() || w->Running())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        combinations += static_cast<double>(w->TSPredict1().CombinationsDone());
        games += static_cast<double>(w->TSPredict1().GameEvaluations());
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["combinations"] = combinations / runs;
    state.counters["game evaluations/s"] = benchmark::Counter(games, benchmark::Counter::kIsRate);
    const double peak = StatusMegabytes("VmHWM");
    state.counters["peak MB"] = peak;
    state.counters["peak growth MB"] = peak > residentBefore ? peak - residentBefore : 0;

    UnloadWindow("frmTest");
    UnloadWindow("frmFormula");
    UnloadWindow("Main");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ResetSeasonLoader();
    ResetSeason();
    ResetApp();
    SetProgramFolder({});
    SetDoEventsHook({});
}
BENCHMARK(BM_FormulaWindowRun)
    ->ArgNames({"seasons", "workers"})
    ->Args({3, 0})
    ->Args({41, 0})
    ->Args({41, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
