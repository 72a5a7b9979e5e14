// The three data-entry windows inside the whole program, as a user switches between them and
// the other views: what they write into the season file, what they show and report when the
// file refuses a write, and how soon the other views see an edit.
#include "AppState.h"
#include "FileChecks.h"
#include "GameRecord.h"
#include "Grid.h"
#include "Host.h"
#include "ProgramTestSupport.h"
#include "ProgramViews.h"
#include "RecordFile.h"
#include "LinesWindow.h"
#include "Main.h"
#include "MsgBox.h"
#include "OtherFactorsWindow.h"
#include "InputStatsWindow.h"
#include "SampleSeasons.h"
#include "SeasonData.h"
#include "SeasonLoader.h"
#include "Splash.h"
#include "StatsWindow.h"
#include "Teams.h"
#include "TempFolder.h"
#include "VbConvert.h"
#include "VexalApp.h"
#include "WeekRange.h"
#include "Windows.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolBar>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QWindow>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <functional>
#include <optional>

namespace vexal::test {
namespace {

using program::Key;
using program::Type;
using program::LeaveFocus;

// A season record as raw bytes, so that "unchanged" means byte for byte.
using Bytes = std::string;

class EntryInProgram : public StartedProgramTest {
protected:
    void SetUp() override
    {
        StartedProgramTest::SetUp();
        if (HasFatalFailure())
            return;
        main = TheMain();
        ASSERT_NE(main, nullptr);
    }
    // A view opened from its toolbar button, as the user opens it.
    QWidget* Open(const char* window) { return OpenView(main, window); }
    void ChooseWeek(int week) { ASSERT_TRUE(ChooseWeekIn(main, week)); }
    std::filesystem::path SeasonFile() const { return program / "2024.nfl"; }
    std::vector<Bytes> Records() const
    {
        const std::string all = ReadFile(SeasonFile());
        std::vector<Bytes> records;
        for (std::size_t at = 0; at + GameRecord::Size <= all.size(); at += GameRecord::Size)
            records.push_back(all.substr(at, GameRecord::Size));
        return records;
    }
    int FirstRecordOf(int week) const
    {
        const auto all = ReadSeasonFile(SeasonFile());
        for (std::size_t i = 0; i < all.size(); ++i)
            if (all[i].Week == week)
                return static_cast<int>(i) + 1;
        return 0;
    }
    static int Slot() { return static_cast<int>(App().CurrentFormula[fsCurrentWeek]) - 1; }
    bool Reported(const char* word) const
    {
        for (const auto& m : messages->shown)
            if (m.text.find(word) != std::string::npos || m.title.find(word) != std::string::npos)
                return true;
        return false;
    }

    Main* main = nullptr;
};

// One step of a user's way through the windows.
struct Step {
    const char* open = nullptr;   // a view opened from its button
    const char* click = nullptr;  // a control of the active view clicked
    const char* box = nullptr;    // a box of the active view given the focus and typed into
    const char* text = nullptr;
};

TEST_F(EntryInProgram, SwitchingViewsChangesOnlyTheRecordsEdited)
{
    constexpr int Week = 18;
    struct Edit {
        int game;                     // of the week, from 0
        std::size_t offset;           // in the record
        std::string bytes;            // what it holds afterwards
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
        std::vector<Edit> edits;
    };
    const Case cases[] = {
        {"next game then other factors",
         {{"FORM2"}, {nullptr, "cmdNext"}, {"INJURIES"}, {"FORM6"}, {"FORM2"}, {"FORM1"}},
         {}},
        {"every view in turn",
         {{"lines"}, {"PREDICT"}, {"FORM2"}, {nullptr, "cmdLast"}, {"INJURIES"}, {nullptr, "cmdNext"}, {"FORM6"},
          {"lines"}, {"FORM1"}, {"INJURIES"}, {"FORM2"}, {"PREDICT"}},
         {}},
        {"a score typed, then a level clicked, each window closed by the next",
         {{"FORM2"}, {nullptr, "cmdNext"}, {nullptr, nullptr, "txtData_3", "41"}, {"INJURIES"},
          {nullptr, "cmdNext"}, {nullptr, "cmdNext"}, {nullptr, "inja3d_2"}, {"FORM1"}, {"FORM2"}, {"lines"}},
         {{1, 31, std::string(1, '\x29')}, {2, 76, std::string("\xfd\xff", 2)}}},
    };
    ChooseWeek(Week);
    const int first = FirstRecordOf(Week);
    ASSERT_GT(first, 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Open("FORM1");
        ChooseWeek(Week);
        std::vector<Bytes> expected = Records();
        for (const Edit& e : c.edits)
            expected[static_cast<std::size_t>(first - 1 + e.game)].replace(e.offset, e.bytes.size(), e.bytes);
        for (const Step& s : c.steps) {
            if (s.open) {
                ASSERT_NE(Open(s.open), nullptr);
            }
            QWidget* view = ActiveView();
            ASSERT_NE(view, nullptr);
            if (s.click) {
                auto* b = view->findChild<QPushButton*>(s.click);
                ASSERT_NE(b, nullptr) << s.click;
                b->setFocus();
                b->click();
                Pump();
            }
            if (s.box) {
                auto* box = view->findChild<QLineEdit*>(s.box);
                ASSERT_NE(box, nullptr) << s.box;
                box->setFocus();
                box->selectAll();
                Type(box, s.text);
            }
        }
        Open("FORM1");
        const std::vector<Bytes> now = Records();
        ASSERT_EQ(now.size(), expected.size());
        for (std::size_t r = 0; r < now.size(); ++r)
            EXPECT_EQ(now[r], expected[r]) << "record " << r + 1;
        for (const auto& m : messages->shown)
            ADD_FAILURE() << m.text;
        messages->shown.clear();
    }
}

// Where a save must fail after the window showed its game: the season file replaced by a
// folder, a disk that fails at the first byte written to it, one that takes the bytes but
// fails the wait for them, the save's own read of the record failing, or its open refused.
// Each failure is named as what happened: the file once, and its own cause.
enum class Refusal { FolderInTheWay, FailingDisk, FailingSync, FailingRead, OpenRefused };

struct RefusalCase {
    Refusal how;
    const char* name;
    std::string cause;   // what the one message says after the file's name
};

const std::vector<RefusalCase>& RefusalCases()
{
    static const std::vector<RefusalCase> cases = {
        {Refusal::FolderInTheWay, "a folder in the way", ReasonOfError(EISDIR)},
        {Refusal::FailingDisk, "a failing disk", "it could not be written: " + ReasonOfError(ENOSPC)},
        // Enter Lines waits once for its rows and says the disk's cause alone.
        {Refusal::FailingSync, "a failed wait for the disk", ReasonOfError(EIO)},
        {Refusal::FailingRead, "the save's read failing", "it could not be read: " + ReasonOfError(EIO)},
        {Refusal::OpenRefused, "the save's open refused", "it could not be read: " + ReasonOfError(EACCES)},
    };
    return cases;
}

class WriteRefused {
public:
    WriteRefused(const std::filesystem::path& file, Refusal how) : file_(file), how_(how)
    {
        namespace fs = std::filesystem;
        switch (how) {
        case Refusal::FolderInTheWay:
            fs::rename(file_, Aside());
            fs::create_directory(file_);
            break;
        case Refusal::FailingDisk: fault_.emplace(0, file_); break;
        case Refusal::FailingSync: fault_.emplace(WriteFault::AtSync, file_); break;
        case Refusal::FailingRead: failingRead_.emplace(file_); break;
        case Refusal::OpenRefused: refusedOpen_.emplace(file_); break;
        }
    }
    ~WriteRefused()
    {
        namespace fs = std::filesystem;
        std::error_code ec;
        if (how_ == Refusal::FolderInTheWay) {
            fs::remove_all(file_, ec);
            fs::rename(Aside(), file_, ec);
        }
    }

private:
    std::filesystem::path Aside() const { return file_.parent_path() / "aside.bin"; }
    std::filesystem::path file_;
    Refusal how_;
    std::optional<WriteFault> fault_;
    std::optional<ReadErrorFault> failingRead_;
    std::optional<ReadFault> refusedOpen_;
};

TEST_F(EntryInProgram, ARefusedWriteIsReportedAndTheStoredValueStaysOnShow)
{
    constexpr int Week = 6;
    ChooseWeek(Week);
    const int first = FirstRecordOf(Week);
    ASSERT_GT(first, 0);
    const std::string before = ReadFile(SeasonFile());
    // The one message: the file named once, the failure's own cause, never a guess.
    auto expectNamed = [&](const RefusalCase& c) {
        ASSERT_EQ(messages->shown.size(), 1u);
        const std::string& text = messages->shown[0].text;
        const std::string file = SeasonFile().string();
        const std::size_t at = text.find(file);
        ASSERT_NE(at, std::string::npos) << text;
        EXPECT_EQ(text.find(file, at + file.size()), std::string::npos) << "named twice: " << text;
        EXPECT_NE(text.find(": " + c.cause + "."), std::string::npos) << text;
        EXPECT_EQ(text.find(ReasonOfError(0)), std::string::npos) << text;
    };
    for (const RefusalCase& c : RefusalCases()) {
        SCOPED_TRACE(c.name);
        const Refusal how = c.how;
        const std::vector<int16_t> games = Season().SeasonGames;
        const std::vector<float> lines = Season().SeasonLines;
        // A disk that fails the wait of one put fails it for the window's own put: it says so.
        const std::string putCause = how == Refusal::FailingSync ? "it could not be written to the disk: " + c.cause : c.cause;
        const RefusalCase put{how, c.name, putCause};

        // Input Stats: a typed away score.
        {
            auto* w = qobject_cast<InputStatsWindow*>(Open("FORM2"));
            ASSERT_NE(w, nullptr);
            QLineEdit* score = w->txtData(3);
            const QString stored = score->text();
            messages->shown.clear();
            {
                WriteRefused refused(SeasonFile(), how);
                score->setText(stored == "41" ? "42" : "41");
                LeaveFocus(score);
            }
            expectNamed(put);
            EXPECT_EQ(score->text(), stored);
            LeaveFocus(score);
            EXPECT_EQ(messages->shown.size(), 1u) << "the restored value is no edit";
        }
        // Other Factors: a level clicked.
        {
            auto* w = qobject_cast<OtherFactorsWindow*>(Open("INJURIES"));
            ASSERT_NE(w, nullptr);
            const int16_t stored = w->FactorValue(OtherFactorsWindow::Weather);
            QPushButton* level = w->LevelButton(OtherFactorsWindow::Weather, OtherFactorsWindow::Home, 4);
            messages->shown.clear();
            {
                WriteRefused refused(SeasonFile(), how);
                level->click();
                LeaveFocus(level);
            }
            expectNamed(put);
            EXPECT_EQ(w->FactorValue(OtherFactorsWindow::Weather), stored);
            EXPECT_EQ(w->Pressed(OtherFactorsWindow::Weather, OtherFactorsWindow::Home, 4), stored == 5);

            auto* comment = w->findChild<QLineEdit*>("txtComment");
            const QString shown = comment->text();
            messages->shown.clear();
            {
                WriteRefused refused(SeasonFile(), how);
                comment->setText("Snow expected");
                LeaveFocus(comment);
            }
            expectNamed(put);
            EXPECT_EQ(comment->text(), shown);
        }
        // Enter Lines: a spread typed into the grid.
        {
            auto* w = qobject_cast<LinesWindow*>(Open("lines"));
            ASSERT_NE(w, nullptr);
            Grid& g = *w->grid();
            ASSERT_GT(g.Rows(), 1);
            const double stored = g.CellText(2, 2).toDouble();
            messages->shown.clear();
            {
                WriteRefused refused(SeasonFile(), how);
                g.SetSelection(2, 2);
                g.setFocus();
                Key(&g, Qt::Key_9, "9");
                QLineEdit* edit = w->editor();
                ASSERT_TRUE(edit->isVisible());
                edit->setText("9.5");
                Key(edit, Qt::Key_Return, "\r");
            }
            expectNamed(c);
            EXPECT_DOUBLE_EQ(g.CellText(2, 2).toDouble(), stored);
        }
        Open("FORM1");
        EXPECT_EQ(ReadFile(SeasonFile()), before);
        EXPECT_EQ(Season().SeasonGames, games);
        EXPECT_EQ(Season().SeasonLines, lines);
        EXPECT_FALSE(Reported("successfully"));
        EXPECT_FALSE(Reported("Completed"));
    }
}

// A season file that opens but whose read fails, or that cannot be opened at all, while a
// data-entry window shows a game of it.
enum class ReadRefusal { Open, AfterOpen };

class ReadRefused {
public:
    ReadRefused(const std::filesystem::path& file, ReadRefusal how)
    {
        if (how == ReadRefusal::Open)
            open_.emplace(file);
        else
            read_.emplace(file);
    }

private:
    std::optional<ReadFault> open_;
    std::optional<ReadErrorFault> read_;
};

TEST_F(EntryInProgram, ASeasonFileThatCannotBeReadIsNamedOnceAndNoGameStaysOnShow)
{
    // What each window shows of the week's first game, and the control that moves on in it.
    struct Case {
        const char* view;
        std::function<bool(QWidget*)> showsAGame;
        const char* next;
    };
    const Case cases[] = {
        {"INJURIES", [](QWidget* w) { return !w->findChild<QLabel*>("lblHome")->text().isEmpty(); }, "cmdNext"},
        {"FORM2", [](QWidget* w) { return w->findChild<QComboBox*>("cboHome")->currentText() != "Home Team"; },
         "cmdNext"},
        {"lines",
         [](QWidget* w) {
             const Grid& g = *qobject_cast<LinesWindow*>(w)->grid();
             return g.Rows() >= 1 && !g.CellFormattedText(1, 1).isEmpty();
         },
         nullptr},
    };
    const std::string before = ReadFile(SeasonFile());
    for (const Case& c : cases)
        for (ReadRefusal how : {ReadRefusal::Open, ReadRefusal::AfterOpen}) {
            SCOPED_TRACE(std::string(c.view) + (how == ReadRefusal::Open ? ", the open refused" : ", a read failing"));
            ChooseWeek(6);
            QWidget* view = Open(c.view);
            ASSERT_NE(view, nullptr);
            ASSERT_TRUE(c.showsAGame(view));
            // Each case as in a program run of its own: what an earlier case named is forgotten.
            ForgetReportedFiles();
            messages->shown.clear();
            {
                ReadRefused refused(SeasonFile(), how);
                ChooseWeek(7);
                ASSERT_EQ(messages->shown.size(), 1u);
                const std::string& text = messages->shown[0].text;
                EXPECT_NE(text.find(SeasonFile().string()), std::string::npos) << text;
                EXPECT_NE(text.find(how == ReadRefusal::Open ? "permission denied" : "input/output error"),
                          std::string::npos)
                    << text;
                EXPECT_FALSE(c.showsAGame(view)) << "the game of the week before stays on show";
                // Named once, not at every refresh or step through the week.
                ChooseWeek(8);
                if (c.next)
                    view->findChild<QPushButton*>(c.next)->click();
                Pump();
                EXPECT_EQ(messages->shown.size(), 1u);
            }
            ChooseWeek(7);
            EXPECT_TRUE(c.showsAGame(view));
            EXPECT_EQ(messages->shown.size(), 1u);
            Open("FORM1");
        }
    EXPECT_EQ(ReadFile(SeasonFile()), before);
}

// Enter Lines waits for the disk once for the rows it wrote; a disk that fails then is named
// with the file, once.
TEST_F(EntryInProgram, EnterLinesReportsAFailedWaitForTheDisk)
{
    ChooseWeek(6);
    auto* w = qobject_cast<LinesWindow*>(Open("lines"));
    ASSERT_NE(w, nullptr);
    Grid& g = *w->grid();
    ASSERT_GT(g.Rows(), 1);
    messages->shown.clear();
    {
        WriteFault fault(WriteFault::AtSync, SeasonFile());
        g.SetSelection(2, 2);
        g.setFocus();
        Key(&g, Qt::Key_9, "9");
        QLineEdit* edit = w->editor();
        ASSERT_TRUE(edit->isVisible());
        edit->setText("9.5");
        Key(edit, Qt::Key_Return, "\r");
    }
    ASSERT_EQ(messages->shown.size(), 1u);
    EXPECT_EQ(messages->shown[0].text,
              "The lines could not be saved in " + SeasonFile().string() + ": " + ReasonOfError(EIO) + ".");
    EXPECT_EQ(messages->shown[0].title, "Lines not saved");
}

// A season file may lack a week, as 1987 lacks week 3: each item of the week list is the week
// it names in every window, and an edit reaches that week's game and nothing else.
TEST_F(EntryInProgram, AWeekTheSeasonFileLacksTakesNoEditIntoAnotherWeek)
{
    const std::pair<int, int> cases[] = {{1, 2}, {3, 4}, {3, 5}, {3, 22}, {22, 21}};   // week lacking, week edited
    auto lines = [](QWidget* w) { return qobject_cast<LinesWindow*>(w); };
    // What a window shows as the week's first home team, the edit made there and the bytes it
    // writes into that game's record.
    const std::tuple<const char*, std::function<QString(QWidget*)>, std::function<void(QWidget*)>, std::size_t, Bytes>
        windows[] = {
            {"FORM2", [](QWidget* w) { return w->findChild<QComboBox*>("cboHome")->currentText(); },
             [](QWidget* w) {
                 auto* box = w->findChild<QLineEdit*>("txtData_3");
                 box->setFocus();
                 box->selectAll();
                 Type(box, "41");
             },
             31, "\x29"},
            {"INJURIES", [](QWidget* w) { return w->findChild<QLabel*>("lblHome")->text(); },
             [](QWidget* w) { w->findChild<QPushButton*>("inja3d_2")->click(); }, 76, Bytes("\xfd\xff", 2)},
            {"lines", [&](QWidget* w) { return lines(w)->grid()->CellFormattedText(1, 1); },
             [&](QWidget* w) {
                 lines(w)->grid()->SetSelection(1, 2);
                 lines(w)->grid()->setFocus();
                 Key(lines(w)->grid(), Qt::Key_7, "7");
                 Key(lines(w)->editor(), Qt::Key_Return, "\r");
             },
             14, Bytes("\x70\x11\x01\x00\x00\x00\x00\x00", 8)},
        };
    const std::string whole = ReadFile(SeasonFile());
    for (const auto& [lacking, week] : cases) {
        SCOPED_TRACE(testing::Message() << "week " << lacking << " lacking, week " << week);
        Open("FORM1");
        std::string file;
        for (std::size_t at = 0; at + GameRecord::Size <= whole.size(); at += GameRecord::Size)
            if (static_cast<uint8_t>(whole[at + 2]) != lacking)
                file += whole.substr(at, GameRecord::Size);
        program.Write("2024.nfl", file);
        ASSERT_TRUE(SelectSeason(2024));
        ASSERT_FALSE(ChooseWeekIn(main, lacking));
        for (const auto& [view, home, edit, offset, bytes] : windows) {
            SCOPED_TRACE(view);
            ChooseWeek(week);
            const auto first = static_cast<std::size_t>(FirstRecordOf(week) - 1);
            std::vector<Bytes> expected = Records();
            expected[first].replace(offset, bytes.size(), bytes);
            QWidget* shown = Open(view);
            ASSERT_NE(shown, nullptr);
            const int team = ReadSeasonFile(SeasonFile())[first].HomeTeam;
            EXPECT_EQ(home(shown).toStdString(), TeamName(team, 0, NameStyleAsShown));
            edit(shown);
            Open("FORM1");
            EXPECT_EQ(Records(), expected);
            // The loaded games are the file's, as a new load reads them.
            const auto loaded = std::pair(Season().SeasonGames, Season().SeasonLines);
            ASSERT_TRUE(SelectSeason(2024));
            EXPECT_TRUE(std::pair(Season().SeasonGames, Season().SeasonLines) == loaded);
        }
    }
    EXPECT_TRUE(messages->shown.empty());
}

// Another program takes the activation while a box is being typed in: nothing is saved, and
// back in the window the box is as it was, caret and all; Enter Lines' cell editor stays open
// on its cell, and Return stores what was typed.
TEST_F(EntryInProgram, ASwitchToAnotherProgramAndBackLeavesTheBoxAsItWas)
{
    const std::pair<const char*, std::function<QLineEdit*(QWidget*)>> cases[] = {
        {"FORM2", [](QWidget* w) { return w->findChild<QLineEdit*>("txtData_3"); }},
        {"INJURIES", [](QWidget* w) { return w->findChild<QLineEdit*>("txtComment"); }},
        {"lines", [](QWidget* w) {
             Grid& g = *qobject_cast<LinesWindow*>(w)->grid();
             g.SetSelection(1, 2);
             g.setFocus();
             Key(&g, Qt::Key_F2, QString());
             return qobject_cast<LinesWindow*>(w)->editor();
         }},
    };
    ChooseWeek(6);
    QWidget* window = main->window();
    for (const auto& [view, boxOf] : cases) {
        SCOPED_TRACE(view);
        window->activateWindow();
        ASSERT_TRUE(WaitFor([&] { return window->isActiveWindow(); }));
        QLineEdit* box = boxOf(Open(view));
        ASSERT_NE(box, nullptr);
        box->setFocus();
        ASSERT_TRUE(WaitFor([&] { return box->hasFocus(); }));
        Pump();
        box->selectAll();
        Type(box, "41");
        box->setCursorPosition(1);
        const std::string before = ReadFile(SeasonFile());
        // A window that is none of the program's widgets takes the activation, as another
        // program's does; the view's frame loses it with the program and gets it back, as on X11.
        auto* frame = qobject_cast<QMdiSubWindow*>(ActiveView()->parentWidget());
        ASSERT_NE(frame, nullptr);
        {
            QWindow other;
            other.show();
            other.requestActivate();
            ASSERT_TRUE(WaitFor([&] { return !window->isActiveWindow(); }));
            frame->mdiArea()->setActiveSubWindow(nullptr);
        }
        frame->mdiArea()->setActiveSubWindow(frame);
        window->activateWindow();
        ASSERT_TRUE(WaitFor([&] { return window->isActiveWindow() && box->hasFocus() && box->isVisible(); }));
        Pump();
        EXPECT_TRUE(ReadFile(SeasonFile()) == before) << "the switch saved the box";
        EXPECT_EQ(std::tuple(box->text().toStdString(), box->cursorPosition(), box->hasSelectedText()),
                  std::tuple("41", 1, false));
        if (qobject_cast<LinesWindow*>(ActiveView())) {
            Key(box, Qt::Key_Return, "\r");
            EXPECT_EQ(ReadSeasonFile(SeasonFile())[static_cast<std::size_t>(FirstRecordOf(6) - 1)].Line, 410000);
        }
        Open("FORM1");
    }
}

TEST_F(EntryInProgram, TypedPossessionTimeShowsAtOnceInTheStatistics)
{
    // The week's first home team, on the sheet of the week after, whose averages take in
    // the edited game.
    constexpr int Week = 5;
    ChooseWeek(Week);
    const int first = FirstRecordOf(Week);
    const GameRecord game = ReadSeasonFile(SeasonFile())[static_cast<std::size_t>(first - 1)];
    const QString team = QString::fromStdString(TeamName(game.HomeTeam, 0, NameStyleAsShown));
    auto topOnSheet = [&]() -> std::string {
        auto* stats = qobject_cast<StatsWindow*>(Open("FORM6"));
        EXPECT_NE(stats, nullptr);
        if (!stats)
            return {};
        const Grid& g = *stats->grdStats();
        for (int r = 1; r <= g.Rows(); ++r)
            if (g.CellFormattedText(r, 1) == team)
                return g.CellFormattedText(r, 17).toStdString();
        return {};
    };
    ChooseWeek(Week + 1);
    const std::string before = topOnSheet();
    ASSERT_FALSE(before.empty()) << team.toStdString() << " has no row on the sheet";

    ChooseWeek(Week);
    auto* w = qobject_cast<InputStatsWindow*>(Open("FORM2"));
    ASSERT_NE(w, nullptr);
    const int newMinutes = game.HomeStats.TOPMin == 44 ? 14 : 44;
    w->txtData(35)->setText(QString::number(newMinutes));
    LeaveFocus(w->txtData(35));
    w->txtData(36)->setText("05");
    LeaveFocus(w->txtData(36));
    EXPECT_EQ(Season().Game(Slot(), 0, gfHomeTOP), newMinutes * 60 + 5);

    ChooseWeek(Week + 1);
    const std::string after = topOnSheet();
    EXPECT_NE(after, before);
    // What a fresh load of the season file shows.
    Open("FORM1");
    ASSERT_TRUE(SelectSeason(2024));
    ChooseWeek(Week + 1);
    EXPECT_EQ(topOnSheet(), after);
    EXPECT_TRUE(messages->shown.empty());
}

} // namespace
} // namespace vexal::test
