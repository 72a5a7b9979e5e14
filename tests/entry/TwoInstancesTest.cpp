// Two instances of the program on one program folder, as a user gets them by starting it twice:
// what one writes reaches only the game it means, and only the fields it changed, whatever the
// other wrote meanwhile. Instance A runs in this process; instance B is this test program
// started once more on the same folder, which starts the whole program there, does one thing
// in it as the user does (a stat import, a total typed in Enter Lines, an injury level clicked)
// and ends. Every record of the season file (and of the line file in use) is compared before
// and after.
#include "AppState.h"
#include "Clock.h"
#include "GameForm.h"
#include "GameRecord.h"
#include "GameWrite.h"
#include "Grid.h"
#include "Host.h"
#include "InputStatsWindow.h"
#include "LineFiles.h"
#include "LineRecord.h"
#include "LinesWindow.h"
#include "Main.h"
#include "MsgBox.h"
#include "OtherFactorsWindow.h"
#include "ProgramTestSupport.h"
#include "ProgramViews.h"
#include "SeasonData.h"
#include "SeasonLoader.h"
#include "SettingsStore.h"
#include "Splash.h"
#include "StatFileText.h"
#include "StatImport.h"
#include "TempFolder.h"
#include "VexalApp.h"
#include "WaitLimit.h"
#include "Windows.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace vexal::test {
namespace {

using program::Key;
using program::LeaveFocus;

// ---------------------------------------------------------------- instance B

// What instance B is asked to do, where, and where it reports the messages it showed.
constexpr const char* JobVariable = "VEXAL_SECOND_INSTANCE_JOB";
constexpr const char* FolderVariable = "VEXAL_SECOND_INSTANCE_FOLDER";
constexpr const char* ReportVariable = "VEXAL_SECOND_INSTANCE_REPORT";

// The moment both instances live at, as every test: Tuesday 5 November 2024, 10:30.
constexpr double TestNow = 45601.4375;

// The lines of the season files themselves, as the line-file list names them.
constexpr const char* DefaultLines = "Default";

// Types `text` into a cell of the Enter Lines grid and presses Enter, as the user does.
void TypeInGrid(LinesWindow& w, int row, int column, const std::string& text)
{
    Grid& g = *w.grid();
    g.SetSelection(row, column);
    g.setFocus();
    Key(&g, Qt::Key_9, "9");
    QLineEdit* edit = w.editor();
    edit->setText(QString::fromStdString(text));
    Key(edit, Qt::Key_Return, "\r");
}

// Steps from the week's first game to game `game` (from 0) with the view's Next button;
// Enter Lines shows the whole week.
bool StepToGame(QWidget* view, int game)
{
    if (qobject_cast<LinesWindow*>(view))
        return true;
    auto* next = view->findChild<QPushButton*>("cmdNext");
    if (!next)
        return false;
    for (int i = 0; i < game; ++i) {
        next->click();
        Pump();
    }
    return true;
}

// Instance B: the whole program started on `folder`, one job done as the user does it:
//   import <stat file>                                   the stat import of a file of the folder
//   lines <line file|Default> <week> <game> <column> <text>  a value typed into Enter Lines
//   factor <week> <game> <level>                         an injury level clicked in Other Factors
// The messages it showed go into `report`, one a line; anything that went wrong, too, with 1.
int RunJob(const std::string& job, const std::filesystem::path& folder, std::string& report)
{
    std::istringstream in(job);
    std::string what, lineFile = DefaultLines;
    in >> what;
    if (what == "lines")
        in >> lineFile;

    SetFixedClock(TestNow);
    InstallSettings(std::make_unique<MemorySettings>());
    InstallRecordingLauncher();
    ResetApp();
    ResetSeason();
    ScriptedMessages& messages = InstallScriptedMessages();
    SetProgramFolder(folder);
    ResetSeasonLoader();
    SetTodayProvider([] { return vb::DateSerial(2024, 11, 5); });
    SetDoEventsHook([] { QCoreApplication::processEvents(); });
    QApplication::setQuitOnLastWindowClosed(false);
    RegisterAllWindows();
    if (lineFile != DefaultLines)
        SaveSetting("Preference", "LineFile", lineFile);
    StartVexal();
    if (!WaitFor([] { return MainWindow() && FindWindow("FORM1") && !FindWindow("opening"); })) {
        report = "the program did not start\n";
        return 1;
    }
    Pump();
    Main* main = TheMain();
    auto fail = [&](const std::string& why) {
        report += why + "\n";
        return 1;
    };
    if (what == "import") {
        std::string file;
        in >> file;
        Import((folder / file).string());
    } else if (what == "lines") {
        int week = 0, game = 0, column = 0;
        std::string text;
        in >> week >> game >> column >> text;
        if (!ChooseWeekIn(main, week))
            return fail("no week " + std::to_string(week));
        auto* w = qobject_cast<LinesWindow*>(OpenView(main, "lines"));
        if (!w || w->grid()->Rows() <= game)
            return fail("Enter Lines shows no game " + std::to_string(game));
        TypeInGrid(*w, game + 1, column, text);
    } else if (what == "factor") {
        int week = 0, game = 0, level = 0;
        in >> week >> game >> level;
        if (!ChooseWeekIn(main, week))
            return fail("no week " + std::to_string(week));
        auto* w = qobject_cast<OtherFactorsWindow*>(OpenView(main, "INJURIES"));
        if (!w || !StepToGame(w, game))
            return fail("Other Factors shows no game " + std::to_string(game));
        QPushButton* button = w->LevelButton(OtherFactorsWindow::Injuries,
                                             level > 0 ? OtherFactorsWindow::Home : OtherFactorsWindow::Away,
                                             std::abs(level) - 1);
        button->setFocus();
        button->click();
        LeaveFocus(button);
    } else {
        return fail("no job " + what);
    }
    Pump();
    for (const RecordedMessage& m : messages.shown) {
        std::string text = m.title + ": " + m.text;
        std::replace(text.begin(), text.end(), '\n', '|');
        report += text + "\n";
    }
    return 0;
}

// Set in the test program started as instance B, whose test then only ends it.
bool RanAsSecondInstance = false;

// In the test program started as instance B, the job runs before any test; in every other
// start this does nothing. The report's first line is the job's status.
class SecondInstance : public ::testing::Environment {
public:
    void SetUp() override
    {
        const char* job = std::getenv(JobVariable);
        const char* folder = std::getenv(FolderVariable);
        const char* reportFile = std::getenv(ReportVariable);
        if (!job || !folder || !reportFile)
            return;
        RanAsSecondInstance = true;
        std::string report;
        const int status = RunJob(job, folder, report);
        std::ofstream out(reportFile, std::ios::binary | std::ios::trunc);
        out << status << "\n" << report;
    }
};

[[maybe_unused]] ::testing::Environment* const TheSecondInstance =
    ::testing::AddGlobalTestEnvironment(new SecondInstance);

// How instance B ended: by itself within the wait limit, with its job's status (its own exit
// status when that is not 0), the messages it showed and what it printed.
struct SecondRun {
    bool ended = false;
    int status = -1;
    std::string report;
    std::string output;
};

// Starts instance B on `folder` for `job` and waits for it to end; it reports into `report`.
SecondRun RunSecondInstance(const std::filesystem::path& folder, const std::string& job,
                            const std::filesystem::path& report)
{
    SecondRun run;
    std::error_code ec;
    std::filesystem::remove(report, ec);
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    // The test running now, so that the program started has a test to run and sets up its
    // environment: instance B's job, which ends it first.
    const std::string filter = std::string("--gtest_filter=") + info->test_suite_name() + "." + info->name();
    std::vector<std::string> args{"/proc/self/exe", filter};
    // B's environment is this run's without a job of ours or what chooses its tests or writes its
    // results (a sharded run's GTEST_SHARD_INDEX would leave it no test, so no job).
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string_view variable(*e);
        if (!variable.starts_with("GTEST_") && !variable.starts_with("VEXAL_SECOND_INSTANCE_"))
            env.emplace_back(*e);
    }
    env.push_back(std::string(JobVariable) + "=" + job);
    env.push_back(std::string(FolderVariable) + "=" + folder.string());
    env.push_back(std::string(ReportVariable) + "=" + report.string());
    std::vector<char*> argv, envp;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    int fds[2];
    if (pipe(fds) != 0)
        return run;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], 1);
        dup2(fds[1], 2);
        close(fds[0]);
        close(fds[1]);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    close(fds[1]);
    if (pid < 0) {
        close(fds[0]);
        return run;
    }
    // Until it closes its output by ending.
    QElapsedTimer waited;
    waited.start();
    pollfd p{fds[0], POLLIN, 0};
    bool closed = false;
    while (!closed && waited.elapsed() < StateWaitLimitMs) {
        if (poll(&p, 1, 100) <= 0)
            continue;
        char buf[4096];
        const ssize_t n = read(fds[0], buf, sizeof buf);
        if (n <= 0)
            closed = true;
        else
            run.output.append(buf, static_cast<std::size_t>(n));
    }
    close(fds[0]);
    if (!closed)
        kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    run.ended = closed && WIFEXITED(status);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(report, std::ios::binary);
    std::string jobStatus;
    if (!std::getline(in, jobStatus))
        run.status = -1; // no report: B did not do its job
    else if (run.status == 0)
        run.status = std::atoi(jobStatus.c_str());
    run.report.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    std::filesystem::remove(report, ec);
    return run;
}

// ---------------------------------------------------------------- the season both share

// The season file and the line file "Mine.L24", record by record.
struct Files {
    std::vector<GameRecord> season;
    std::vector<LineRecord> lines;
};

enum class In { SeasonFile, LineFile };

// Index of game `game` (from 0) of week `week` in the season's records; -1 for none.
int IndexOf(const Files& f, int week, int game)
{
    int seen = 0;
    for (std::size_t i = 0; i < f.season.size(); ++i)
        if (f.season[i].Week == week && seen++ == game)
            return static_cast<int>(i);
    return -1;
}

// The fields a stat import fills of a game with a result.
void TakeResults(GameRecord& to, const GameRecord& from)
{
    to.GameDate = from.GameDate;
    to.Surface = from.Surface;
    to.HomeScore = from.HomeScore;
    to.AwayScore = from.AwayScore;
    to.HomeStats = from.HomeStats;
    to.AwayStats = from.AwayStats;
}

// What the test prepared in the season before either instance started: a game of week 5 left
// out (`missing`, which belongs at index `missingAt`), week 10 unplayed (its results kept in
// `week10`), and a played game of week 3 whose corrected result a stat file brings.
struct Prepared {
    GameRecord missing;
    int missingAt = 0;
    GameRecord removed;           // week 21's first game, which a stat file removes
    std::vector<GameRecord> week10;
    int correctedGame = 1;        // of week 3
    GameRecord corrected;
};

using Effect = std::function<void(Files&, const Prepared&)>;

Effect Nothing()
{
    return [](Files&, const Prepared&) {};
}

// An insertion or removal is made in the line file too: an inserted game has no line there.
Effect InsertMissing()
{
    return [](Files& f, const Prepared& p) {
        f.season.insert(f.season.begin() + p.missingAt, p.missing);
        LineRecord line = LineRecord::FromGame(p.missing);
        line.Line = line.Total = 0;
        if (!f.lines.empty())
            f.lines.insert(f.lines.begin() + p.missingAt, line);
    };
}

Effect RemoveWeek21First()
{
    return [](Files& f, const Prepared&) {
        const int at = IndexOf(f, 21, 0);
        f.season.erase(f.season.begin() + at);
        if (!f.lines.empty())
            f.lines.erase(f.lines.begin() + at);
    };
}

Effect Week10Results()
{
    return [](Files& f, const Prepared& p) {
        for (std::size_t g = 0; g < p.week10.size(); ++g)
            TakeResults(f.season[static_cast<std::size_t>(IndexOf(f, 10, static_cast<int>(g)))], p.week10[g]);
    };
}

Effect CorrectedResult()
{
    return [](Files& f, const Prepared& p) {
        TakeResults(f.season[static_cast<std::size_t>(IndexOf(f, 3, p.correctedGame))], p.corrected);
    };
}

Effect Both(Effect first, Effect second)
{
    return [first, second](Files& f, const Prepared& p) {
        first(f, p);
        second(f, p);
    };
}

Effect SetLines(In in, int week, int game, std::optional<double> line, std::optional<double> total)
{
    return [=](Files& f, const Prepared&) {
        const auto i = static_cast<std::size_t>(IndexOf(f, week, game));
        if (in == In::LineFile) {
            if (line)
                f.lines[i].SetLine(*line);
            if (total)
                f.lines[i].SetTotal(*total);
            return;
        }
        if (line)
            f.season[i].SetLine(*line);
        if (total)
            f.season[i].SetTotal(*total);
    };
}

Effect SetInjury(int week, int game, int16_t level)
{
    return [=](Files& f, const Prepared&) {
        f.season[static_cast<std::size_t>(IndexOf(f, week, game))].Injuries = level;
    };
}

// ---------------------------------------------------------------- the cases

// What instance A changes, in the view it shows; Import: A imports a stat file itself, and
// instance B does its job while A's "Data present" question is open.
enum class Change { AwayScore, Line, Total, Injury, Import };

struct Case {
    const char* name;
    const char* lineFile;   // the lines in use in both instances
    const char* view;       // A's view (none for an import)
    int week;
    int game;               // the game A shows, of the week, from 0
    Change change;
    const char* text;       // what A types (the stat file A imports)
    const char* job;        // instance B's job
    Effect b;               // what B's job does to the files
    Effect a;               // what A's change then does to them
    bool refused;           // A's change is refused: named once, the week shown as the files hold it
    const char* click = nullptr;  // a button of A's view clicked after B's job, before the change
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

const std::vector<Case>& Cases()
{
    static const std::vector<Case> cases = {
        // An insertion moves every later record one down under A's window.
        {"InputStatsAwayScoreOverAMovedGame", DefaultLines, "FORM2", 6, 2, Change::AwayScore, "63",
         "import insert.24", InsertMissing(), Nothing(), true},
        {"EnterLinesLineOverAMovedGame", DefaultLines, "lines", 6, 2, Change::Line, "-13.5", "import insert.24",
         InsertMissing(), Nothing(), true},
        {"EnterLinesTotalOverAMovedGame", DefaultLines, "lines", 6, 2, Change::Total, "61.5", "import insert.24",
         InsertMissing(), Nothing(), true},
        {"OtherFactorsInjuryOverAMovedGame", DefaultLines, "INJURIES", 6, 2, Change::Injury, "6", "import insert.24",
         InsertMissing(), Nothing(), true},
        {"LineFileInputStatsLineOverAMovedGame", "Mine", "FORM2", 6, 2, Change::Line, "-13.5", "import insert.24",
         InsertMissing(), Nothing(), true},
        // A removal: the record shown lies past the end of the file now; the week shown again
        // has its game slots after its last game cleared.
        {"InputStatsAwayScorePastTheEndOfTheFile", DefaultLines, "FORM2", 22, 0, Change::AwayScore, "63",
         "import remove.24", RemoveWeek21First(), Nothing(), true},
        {"OtherFactorsInjuryAfterAGameOfItsWeekWasRemoved", "Mine", "INJURIES", 21, 1, Change::Injury, "6",
         "import remove.24", RemoveWeek21First(), Nothing(), true},
        // A game shown again after the insertion is the week's own, not the one now at its old record.
        {"InputStatsAwayScoreAfterGoingBackToAMovedWeeksFirstGame", DefaultLines, "FORM2", 6, 0, Change::AwayScore,
         "63", "import insert.24", InsertMissing(), [](Files& f, const Prepared&) {
             f.season[static_cast<std::size_t>(IndexOf(f, 6, 0))].AwayScore = 63;
         }, false, "cmdFirst"},
        // The results imported under A's window stay; the line A corrects goes in.
        {"InputStatsLineAfterTheWeeksResults", DefaultLines, "FORM2", 10, 2, Change::Line, "-13.5",
         "import week10.24", Week10Results(), SetLines(In::SeasonFile, 10, 2, -13.5, std::nullopt), false},
        {"LineFileInputStatsLineAfterTheWeeksResults", "Mine", "FORM2", 10, 2, Change::Line, "-13.5",
         "import week10.24", Week10Results(), SetLines(In::LineFile, 10, 2, -13.5, std::nullopt), false},
        // A score A types over one imported since A showed the game is refused.
        {"InputStatsAwayScoreOverAnImportedScore", DefaultLines, "FORM2", 10, 2, Change::AwayScore, "63",
         "import week10.24", Week10Results(), Nothing(), true},
        // Both in Enter Lines on one week.
        {"EnterLinesLineAfterTheOthersTotal", DefaultLines, "lines", 6, 3, Change::Line, "-13.5",
         "lines Default 6 3 3 29.5", SetLines(In::SeasonFile, 6, 3, std::nullopt, 29.5),
         SetLines(In::SeasonFile, 6, 3, -13.5, std::nullopt), false},
        {"EnterLinesTotalOverTheOthersTotal", DefaultLines, "lines", 6, 3, Change::Total, "61.5",
         "lines Default 6 3 3 29.5", SetLines(In::SeasonFile, 6, 3, std::nullopt, 29.5), Nothing(), true},
        // The other set the total to the value A types: nothing to refuse.
        {"EnterLinesTotalTheOtherSetToTheSame", DefaultLines, "lines", 6, 3, Change::Total, "29.5",
         "lines Default 6 3 3 29.5", SetLines(In::SeasonFile, 6, 3, std::nullopt, 29.5), Nothing(), false},
        {"LineFileEnterLinesLineAfterTheOthersTotal", "Mine", "lines", 6, 3, Change::Line, "-13.5",
         "lines Mine 6 3 3 29.5", SetLines(In::LineFile, 6, 3, std::nullopt, 29.5),
         SetLines(In::LineFile, 6, 3, -13.5, std::nullopt), false},
        {"LineFileEnterLinesTotalOverTheOthersTotal", "Mine", "lines", 6, 3, Change::Total, "61.5",
         "lines Mine 6 3 3 29.5", SetLines(In::LineFile, 6, 3, std::nullopt, 29.5), Nothing(), true},
        {"LineFileInputStatsLineAfterTheOthersTotal", "Mine", "FORM2", 6, 3, Change::Line, "-13.5",
         "lines Mine 6 3 3 29.5", SetLines(In::LineFile, 6, 3, std::nullopt, 29.5),
         SetLines(In::LineFile, 6, 3, -13.5, std::nullopt), false},
        // An import writes only its own fields, and inserts a game the file holds by then no more.
        {"ImportAfterAnInjuryLevelSavedWhileItAsked", DefaultLines, nullptr, 3, 1, Change::Import, "week3.24",
         "factor 3 1 6", SetInjury(3, 1, 6), CorrectedResult(), false},
        {"TwoImportsOfOneFileThatInsertsAGame", DefaultLines, nullptr, 3, 1, Change::Import, "both.24",
         "import both.24", Both(CorrectedResult(), InsertMissing()), Nothing(), false},
    };
    return cases;
}

// A message service that runs something while the import's "Data present" question is open.
class AskingMessages : public ScriptedMessages {
public:
    int32_t MsgBox(const std::string& text, int32_t buttons, const std::string& title) override
    {
        if (title == "Data present" && whileAsking) {
            const auto run = std::move(whileAsking);
            whileAsking = {};
            run();
        }
        return ScriptedMessages::MsgBox(text, buttons, title);
    }
    std::function<void()> whileAsking;
};

class TwoInstances : public WholeProgramTest, public ::testing::WithParamInterface<Case> {
protected:
    void SetUp() override
    {
        // Started as instance B, the job is done: the program ends as a test program ends.
        if (RanAsSecondInstance)
            GTEST_SKIP() << "instance B";
        WholeProgramTest::SetUp();
        if (HasFatalFailure())
            return;
        Prepare();
        if (HasFatalFailure())
            return;
        if (std::string(GetParam().lineFile) != DefaultLines) {
            std::string problem;
            ASSERT_TRUE(CreateLineFile(SeasonFile(), LineFile(), &problem)) << problem;
            SaveSetting("Preference", "LineFile", GetParam().lineFile);
        }
        auto asking = std::make_unique<AskingMessages>();
        messages = asking.get();
        InstallMessages(std::move(asking));
        StartVexal();
        ASSERT_TRUE(WaitFor([] { return MainWindow() && FindWindow("FORM1") && !FindWindow("opening"); }));
        Pump();
        main = TheMain();
        ASSERT_NE(main, nullptr);
    }

    std::filesystem::path SeasonFile() const { return program / "2024.nfl"; }
    std::filesystem::path LineFile() const { return program / "Mine.L24"; }

    // The season as generated, made into what the cases need, and the stat files they import.
    void Prepare()
    {
        std::vector<GameRecord> season = ReadSeasonFile(SeasonFile());
        Files f{season, {}};
        // The last game of week 5 goes; an import of insert.24 puts it back where it was.
        const int week5 = IndexOf(f, 5, 0);
        ASSERT_GE(week5, 0);
        int last = week5;
        while (IndexOf(f, 5, last - week5 + 1) >= 0)
            ++last;
        prepared.missing = season[static_cast<std::size_t>(last)];
        prepared.missingAt = last;
        season.erase(season.begin() + last);
        // Week 10 unplayed: no scores, no box scores.
        for (GameRecord& g : season)
            if (g.Week == 10) {
                prepared.week10.push_back(g);
                g.HomeScore = g.AwayScore = 0;
                g.HomeStats = {};
                g.AwayStats = {};
            }
        // A played game of week 3 whose result a stat file corrects.
        f.season = season;
        const int corrected = IndexOf(f, 3, prepared.correctedGame);
        ASSERT_GE(corrected, 0);
        prepared.corrected = season[static_cast<std::size_t>(corrected)];
        ASSERT_GT(prepared.corrected.HomeScore + prepared.corrected.AwayScore, 0);
        prepared.corrected.AwayScore = static_cast<uint8_t>(prepared.corrected.AwayScore + 3);
        prepared.corrected.HomeStats.RushYds = static_cast<int16_t>(prepared.corrected.HomeStats.RushYds + 7);
        ASSERT_EQ(prepared.corrected.Injuries, 0);

        std::string bytes;
        for (const GameRecord& g : season) {
            const auto r = g.Encode();
            bytes.append(reinterpret_cast<const char*>(r.data()), r.size());
        }
        WriteFile(SeasonFile(), bytes);

        std::string week10;
        for (const GameRecord& g : prepared.week10)
            week10 += StatLine(g);
        WriteFile(program / "week10.24", week10);
        WriteFile(program / "insert.24", StatLine(prepared.missing, ActionInsert));
        prepared.removed = season[static_cast<std::size_t>(IndexOf(f, 21, 0))];
        WriteFile(program / "remove.24", StatLine(prepared.removed, ActionRemove));
        WriteFile(program / "week3.24", StatLine(prepared.corrected));
        WriteFile(program / "both.24", StatLine(prepared.corrected) + StatLine(prepared.missing, ActionInsert));
    }

    static void WriteFile(const std::filesystem::path& file, const std::string& bytes)
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << bytes;
        ASSERT_TRUE(out.good()) << file;
    }

    Files Read() const
    {
        Files f;
        f.season = ReadSeasonFile(SeasonFile());
        if (std::filesystem::exists(LineFile())) {
            const std::string bytes = ReadFile(LineFile());
            for (std::size_t at = 0; at + LineRecord::Size <= bytes.size(); at += LineRecord::Size)
                f.lines.push_back(LineRecord::Decode(reinterpret_cast<const uint8_t*>(bytes.data()) + at));
        }
        return f;
    }

    // Every record of both files, byte for byte, as expected.
    void ExpectFiles(const Files& expected, const std::string& when) const
    {
        SCOPED_TRACE(when);
        const std::string season = ReadFile(SeasonFile());
        ASSERT_EQ(season.size(), expected.season.size() * GameRecord::Size);
        for (std::size_t r = 0; r < expected.season.size(); ++r) {
            const auto want = expected.season[r].Encode();
            EXPECT_EQ(season.substr(r * GameRecord::Size, GameRecord::Size),
                      std::string(reinterpret_cast<const char*>(want.data()), want.size()))
                << "season record " << r + 1;
        }
        if (expected.lines.empty())
            return;
        const std::string lines = ReadFile(LineFile());
        ASSERT_EQ(lines.size(), expected.lines.size() * LineRecord::Size);
        for (std::size_t r = 0; r < expected.lines.size(); ++r) {
            const auto want = expected.lines[r].Encode();
            EXPECT_EQ(lines.substr(r * LineRecord::Size, LineRecord::Size),
                      std::string(reinterpret_cast<const char*>(want.data()), want.size()))
                << "line record " << r + 1;
        }
    }

    // Instance B's job, done while A waits; the files afterwards as B's job leaves them.
    void RunB(const Case& c, const Files& expected)
    {
        const SecondRun b = RunSecondInstance(program.Path(), c.job, home.Path() / "instance-b.report");
        ASSERT_TRUE(b.ended) << b.output;
        ASSERT_EQ(b.status, 0) << b.report << b.output;
        const std::string job = c.job;
        if (job.rfind("import", 0) == 0) {
            const std::string games = job == "import week10.24" ? std::to_string(prepared.week10.size()) + " games"
                                      : job == "import both.24" ? "2 games"
                                                                 : "1 game";
            const std::string week = job == "import week10.24" ? "10" : job == "import both.24" ? "3"
                                     : job == "import remove.24" ? "21" : "5";
            const std::string asked =
                job == "import both.24" ? "Data present: This data appears to be present,|Should I import anyway?\n" : "";
            EXPECT_EQ(b.report, asked + "Import Complete!: Import of Week " + week + " Completed|" + games +
                                    " imported, 0 failed.\n");
        } else {
            EXPECT_EQ(b.report, "");
        }
        ExpectFiles(expected, "after instance B's job");
        ranB = true;
    }

    // What A's view shows of the value A changed, for game `game` of the week.
    static double Shown(QWidget* view, Change change, int game)
    {
        if (auto* w = qobject_cast<InputStatsWindow*>(view))
            return w->txtData(change == Change::AwayScore ? 3 : 1)->text().toDouble();
        if (auto* w = qobject_cast<LinesWindow*>(view))
            return w->grid()->CellText(game + 1, change == Change::Line ? 2 : 3).toDouble();
        if (auto* w = qobject_cast<OtherFactorsWindow*>(view))
            return w->FactorValue(OtherFactorsWindow::Injuries);
        ADD_FAILURE() << "no view";
        return 0;
    }

    // The same value as the files hold it.
    static double Stored(const Files& f, Change change, In in, int index)
    {
        const auto i = static_cast<std::size_t>(index);
        switch (change) {
        case Change::AwayScore: return f.season[i].AwayScore;
        case Change::Line: return in == In::LineFile ? f.lines[i].LineValue() : f.season[i].LineValue();
        case Change::Total: return in == In::LineFile ? f.lines[i].TotalValue() : f.season[i].TotalValue();
        case Change::Injury: return f.season[i].Injuries;
        case Change::Import: break;
        }
        return 0;
    }

    // A's change, made as the user makes it.
    void Make(QWidget* view, const Case& c)
    {
        if (auto* w = qobject_cast<InputStatsWindow*>(view)) {
            QLineEdit* box = w->txtData(c.change == Change::AwayScore ? 3 : 1);
            box->setFocus();
            box->setText(c.text);
            LeaveFocus(box);
        } else if (auto* w = qobject_cast<LinesWindow*>(view)) {
            TypeInGrid(*w, c.game + 1, c.change == Change::Line ? 2 : 3, c.text);
        } else if (auto* w = qobject_cast<OtherFactorsWindow*>(view)) {
            QPushButton* button =
                w->LevelButton(OtherFactorsWindow::Injuries, OtherFactorsWindow::Home, std::atoi(c.text) - 1);
            button->setFocus();
            button->click();
            LeaveFocus(button);
        }
        Pump();
    }

    // The loaded arrays of week `week` hold what the files hold of its games (of game `only`
    // alone when given) in `fields`, with their spreads and totals.
    void ExpectArraysOfWeek(const Files& f, int week, In in, std::initializer_list<int> fields, int only = -1) const
    {
        SCOPED_TRACE("the arrays of week " + std::to_string(week));
        const int slot = LoadedWeekSlot(2024, week);
        ASSERT_GE(slot, 0);
        SeasonData& s = Season();
        for (int g = 0, i = IndexOf(f, week, 0); i >= 0 && g < GamesPerWeekSlot; ++g, i = IndexOf(f, week, g)) {
            if (only >= 0 && g != only)
                continue;
            const GameRecord& r = f.season[static_cast<std::size_t>(i)];
            const auto stored = r.GameFields();
            for (const int field : fields)
                EXPECT_EQ(s.Game(slot, g, field), stored[static_cast<std::size_t>(field)])
                    << "game " << g << ", field " << field;
            const bool lineFile = in == In::LineFile;
            const float spread = lineFile ? f.lines[static_cast<std::size_t>(i)].LineSingle() : r.LineSingle();
            const float total = lineFile ? f.lines[static_cast<std::size_t>(i)].TotalSingle() : r.TotalSingle();
            EXPECT_EQ(s.Spread(slot, g), spread) << "game " << g;
            EXPECT_EQ(s.Total(slot, g), total) << "game " << g;
        }
        // The slots after the week's last game hold no game.
        const auto games = only >= 0 ? GamesPerWeekSlot : std::ranges::count(f.season, week, &GameRecord::Week);
        for (int g = static_cast<int>(games); g < GamesPerWeekSlot; ++g)
            for (int field = -1; field < FieldsPerGame; ++field)   // the spread, then each field
                EXPECT_EQ(field < 0 ? s.Spread(slot, g) : s.Game(slot, g, field), 0.0f) << g << ", " << field;
    }

    Main* main = nullptr;
    AskingMessages* messages = nullptr;
    Prepared prepared;
    bool ranB = false;
};

TEST_P(TwoInstances, AChangeReachesOnlyTheGameItMeansAndOnlyTheFieldsItChanged)
{
    const Case& c = GetParam();
    const In in = std::string(c.lineFile) == DefaultLines ? In::SeasonFile : In::LineFile;
    const Files before = Read();
    Files afterB = before;
    c.b(afterB, prepared);
    Files expected = afterB;
    c.a(expected, prepared);
    ASSERT_TRUE(ChooseWeekIn(main, c.week));

    if (c.change == Change::Import) {
        messages->whileAsking = [&] { RunB(c, afterB); };
        messages->shown.clear();
        Import((program / c.text).string());
        EXPECT_TRUE(ranB) << "no question was open for instance B";
        ExpectFiles(expected, "after A's import");
        const std::string games = std::string(c.text) == "both.24" ? "2 games" : "1 game";
        ASSERT_EQ(messages->shown.size(), 2u);
        EXPECT_EQ(messages->shown[0].title, "Data present");
        EXPECT_EQ(messages->shown[1].text, "Import of Week 3 Completed\n" + games + " imported, 0 failed.");
        // The games the import wrote show in the arrays as the file holds them.
        ExpectArraysOfWeek(expected, 3, in, {gfAwayTeam, gfHomeTeam, gfAwayScore, gfHomeScore}, prepared.correctedGame);
        if (std::string(c.text) == "both.24")
            ExpectArraysOfWeek(expected, 5, in, {gfAwayTeam, gfHomeTeam, gfAwayScore, gfHomeScore});
        return;
    }

    QWidget* view = OpenView(main, c.view);
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(StepToGame(view, c.game));
    const int shownIndex = IndexOf(before, c.week, c.game);
    ASSERT_GE(shownIndex, 0);
    const GameRecord shownGame = before.season[static_cast<std::size_t>(shownIndex)];
    const double typed = QString::fromLatin1(c.text).toDouble();
    ASSERT_EQ(Shown(view, c.change, c.game), Stored(before, c.change, in, shownIndex)) << "the game shown";
    ASSERT_NE(Shown(view, c.change, c.game), typed) << "a change that changes nothing";

    RunB(c, afterB);
    auto placeOf = [&](const Files& f) {   // where A's game is now, as the files hold it
        const auto at = std::ranges::find(f.season, GameKey::Of(shownGame), &GameKey::Of<GameRecord>);
        return at != f.season.end() ? static_cast<int>(at - f.season.begin()) : IndexOf(f, c.week, c.game);
    };
    if (c.refused) {
        ASSERT_NE(Stored(afterB, c.change, in, placeOf(afterB)), typed);
    }
    messages->shown.clear();
    if (c.click) {
        auto* button = view->findChild<QPushButton*>(c.click);
        ASSERT_NE(button, nullptr) << c.click;
        button->click();
        Pump();
    }
    Make(view, c);
    ExpectFiles(expected, "after A's change");

    if (!c.refused) {
        for (const RecordedMessage& m : messages->shown)
            ADD_FAILURE() << m.text;
        EXPECT_EQ(Shown(view, c.change, c.game), typed);
        // The game shows as saved, with what the other instance wrote into it meanwhile.
        if (auto* w = qobject_cast<InputStatsWindow*>(view)) {
            const int i = IndexOf(expected, c.week, c.game);
            const auto texts = GameTexts(expected.season[static_cast<std::size_t>(i)],
                                         Stored(expected, Change::Line, in, i), Stored(expected, Change::Total, in, i));
            for (int box = 0; box < GameTextCount; ++box)
                EXPECT_EQ(w->txtData(box)->text().toStdString(), texts[static_cast<std::size_t>(box)]) << "box " << box;
        }
        ExpectArraysOfWeek(expected, c.week, in, {gfAwayTeam, gfHomeTeam, gfAwayScore, gfHomeScore, gfInjury}, c.game);
        return;
    }
    // Named once: the file, what it holds now, and that the week shows as it holds it.
    ASSERT_EQ(messages->shown.size(), 1u);
    const std::string& text = messages->shown[0].text;
    const bool lines = c.change == Change::Line || c.change == Change::Total;
    const std::string file = in == In::LineFile && lines ? "Mine.L24" : "2024.nfl";
    EXPECT_EQ(text.rfind(file + " changed since the week was shown: ", 0), 0u) << text;
    EXPECT_NE(text.find(GameKey::Of(shownGame).Text()), std::string::npos) << text;
    EXPECT_EQ(text.find(file, file.size()), std::string::npos) << "named twice: " << text;
    EXPECT_TRUE(text.ends_with(". The week is shown as the file now holds it.")) << text;
    // The week as the files now hold it: on screen, in the arrays, and the same game on show.
    EXPECT_EQ(Shown(view, c.change, c.game), Stored(expected, c.change, in, placeOf(expected)));
    ExpectArraysOfWeek(expected, c.week, in, {gfAwayTeam, gfHomeTeam, gfAwayScore, gfHomeScore, gfInjury});
    // Nothing more is said or written as the user goes on.
    if (auto* w = qobject_cast<InputStatsWindow*>(view))
        LeaveFocus(w->txtData(3));
    Pump();
    EXPECT_EQ(messages->shown.size(), 1u);
    ExpectFiles(expected, "after the user went on");
}

INSTANTIATE_TEST_SUITE_P(EveryCase, TwoInstances, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

} // namespace
} // namespace vexal::test
