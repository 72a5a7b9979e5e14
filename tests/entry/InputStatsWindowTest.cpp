// The Input Stats window: one game's fields shown, edited and written when a field is left;
// navigation; the box-score printout.
#include "PdfText.h"
#include "BoxScore.h"
#include "EntryTestSupport.h"
#include "InputStatsWindow.h"
#include "PrintDialog.h"
#include "TestFonts.h"
#include "WaitFor.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QPageSize>
#include <QPrinter>
#include <QTest>

#include <cstdio>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace vexal::test {
namespace {


class InputStatsTest : public EntryTest {
protected:
    void TearDown() override
    {
        UnloadWindow("FORM2");
        InstallPrintDialogRunner({});
        ResetCurrentPrinter();
        EntryTest::TearDown();
    }
    InputStatsWindow& Open() { return OpenView<InputStatsWindow>("FORM2"); }
    static void Leave(QWidget* w)
    {
        QFocusEvent out(QEvent::FocusOut);
        QApplication::sendEvent(w, &out);
    }
    void Edit(InputStatsWindow& w, int index, const QString& text)
    {
        w.txtData(index)->setText(text);
        Leave(w.txtData(index));
    }
    GameRecord Record(int record) const
    {
        return ReadSeasonFile(folder / "2024.nfl")[static_cast<std::size_t>(record - 1)];
    }
};

TEST_F(InputStatsTest, ShowsTheWeeksFirstGame)
{
    ChooseWeek(5, 2024);
    InputStatsWindow& w = Open();
    EXPECT_EQ(w.windowTitle().toStdString(), "Input Stats");
    for (const char* name : {"cmdFirst", "cmdPrev", "cmdNext", "cmdLast", "cboAway", "cboHome", "cboSurface",
                             "Command1", "Command2", "txtData_0", "txtData_38"})
        EXPECT_NE(w.findChild<QWidget*>(name), nullptr) << name;
    for (const char* name : {"mnuPrint", "mnuFirst", "mnuPrev", "mnuNext", "mnuLast", "mnuHelp"})
        EXPECT_NE(w.findChild<QAction*>(name), nullptr) << name;
    const GameRecord g = WeekGames(2024, 5).front();
    EXPECT_EQ(Control<QComboBox>(&w, "cboHome")->currentText().toStdString(), TeamName(g.HomeTeam, 0, 3));
    EXPECT_EQ(Control<QComboBox>(&w, "cboAway")->currentText().toStdString(), TeamName(g.AwayTeam, 0, 3));
    EXPECT_EQ(Control<QComboBox>(&w, "cboAway")->count(), 32);
    EXPECT_EQ(Control<QComboBox>(&w, "cboSurface")->count(), 4);
    EXPECT_EQ(Control<QComboBox>(&w, "cboSurface")->currentIndex(), g.Surface);
    EXPECT_EQ(w.txtData(0)->text().toStdString(), vb::FormatDate(g.GameDate, "m/d/yyyy"));
    EXPECT_EQ(w.txtData(1)->text().toStdString(), vb::CStr(g.LineValue()));
    EXPECT_EQ(w.txtData(20)->text().toStdString(), std::to_string(g.HomeScore));
    EXPECT_EQ(w.txtData(23)->text().toStdString(), std::to_string(g.HomeStats.RushYds));
    EXPECT_EQ(w.txtData(35)->text().toStdString(), vb::Format(g.HomeStats.TOPMin, "00"));
    EXPECT_EQ(w.txtData(5)->property("Tag").toString().toStdString(), "ARA");
}

TEST_F(InputStatsTest, LeavingAFieldSavesTheGameIntoTheFileAndTheArrays)
{
    ChooseWeek(3, 2024);
    InputStatsWindow& w = Open();
    const int record = FirstRecordOf(2024, 3);
    const std::string before = ReadFile(folder / "2024.nfl");
    Control<QPushButton>(&w, "cmdNext")->click();
    ASSERT_EQ(Season().CurrentGame, 1);
    w.txtData(3)->setText("24");
    w.txtData(20)->setText("17");
    w.txtData(22)->setText("12");
    Edit(w, 1, "-3.5");
    const GameRecord g = Record(record + 1);
    EXPECT_EQ(g.AwayScore, 24);
    EXPECT_EQ(g.HomeScore, 17);
    EXPECT_EQ(g.HomeStats.RushAtt, 12);
    EXPECT_EQ(g.Line, -35000);
    EXPECT_EQ(Season().Game(Slot(), 1, gfAwayScore), 24);
    EXPECT_EQ(Season().Game(Slot(), 1, gfHomeScore), 17);
    EXPECT_EQ(Season().Game(Slot(), 1, gfHomeRushAtt), 12);
    EXPECT_FLOAT_EQ(Season().Spread(Slot(), 1), -3.5f);
    // Only that record changed.
    const std::string after = ReadFile(folder / "2024.nfl");
    const std::size_t at = static_cast<std::size_t>(record) * 159;
    EXPECT_EQ(after.substr(0, at), before.substr(0, at));
    EXPECT_EQ(after.substr(at + 159), before.substr(at + 159));
    EXPECT_EQ(after.substr(at + 76, 83), before.substr(at + 76, 83));   // factors and comment

    // Both scores 0: the game is not played again.
    w.txtData(3)->setText("0");
    Edit(w, 20, "0");
    EXPECT_EQ(Season().Game(Slot(), 1, gfAwayScore), -1);
    EXPECT_EQ(Season().Game(Slot(), 1, gfHomeScore), -1);
}

TEST_F(InputStatsTest, ValueThatDoesNotFitIsRefusedWithAMessage)
{
    ChooseWeek(3, 2024);
    InputStatsWindow& w = Open();
    const std::string before = ReadFile(folder / "2024.nfl");
    Edit(w, 5, "300");
    EXPECT_EQ(ReadFile(folder / "2024.nfl"), before);
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_NE(messages.shown.back().text.find("(0 to 255)"), std::string::npos);
}

TEST_F(InputStatsTest, FilterAndDateCheck)
{
    ChooseWeek(3, 2024);
    InputStatsWindow& w = Open();
    // A count takes digits: a letter and "/" are dropped, its "-" and "." refused with the message.
    QLineEdit* rush = w.txtData(5);
    rush->clear();
    Type(rush, "1a/-.2");
    EXPECT_EQ(rush->text().toStdString(), "12");
    QCoreApplication::processEvents();
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown.back().text, "Please type a whole number of 0 or more, such as 3 or 44.");
    rush->setText("21");
    QLineEdit* date = w.txtData(0);
    date->clear();
    Type(date, "13/45/2024");
    EXPECT_EQ(date->text().toStdString(), "13/45/2024");
    const std::string before = ReadFile(folder / "2024.nfl");
    Leave(date);
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_EQ(messages.shown.back().text, "Date must be in the format MM/DD/YYYY");
    EXPECT_EQ(ReadFile(folder / "2024.nfl"), before);
    Key(date, Qt::Key_Return, "\r");   // Enter is swallowed (it becomes a Tab)
    EXPECT_EQ(date->text().toStdString(), "13/45/2024");
    date->setText("10/13/2024");
    Leave(date);
    EXPECT_DOUBLE_EQ(Record(FirstRecordOf(2024, 3)).GameDate, vb::DateSerial(2024, 10, 13));
}

// A wrong date is named once, however the user leaves the date box: the message takes the focus
// from the control the user went to, and that control's leaving neither saves nor names it again.
TEST_F(InputStatsTest, AWrongDateIsNamedOnce)
{
    auto owned = std::make_unique<FocusTakingMessages>();
    FocusTakingMessages& shown = *owned;
    InstallMessages(std::move(owned));
    ChooseWeek(3, 2024);
    InputStatsWindow& w = Open();
    QWidget* window = w.window();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(WaitFor([&] { return window->isActiveWindow(); }));
    QLineEdit* date = w.txtData(0);
    const QString stored = date->text();
    const std::string before = ReadFile(folder / "2024.nfl");

    struct Case {
        const char* leaving;
        Qt::Key key;        // pressed in the date box; Qt::Key_unknown: a click on `clicked`
        QWidget* clicked;
    };
    const Case cases[] = {
        {"Tab", Qt::Key_Tab, nullptr},
        {"Enter", Qt::Key_Return, nullptr},
        {"a click on the spread", Qt::Key_unknown, w.txtData(1)},
        {"a click on the home score", Qt::Key_unknown, w.txtData(20)},
    };
    for (const bool backBeforeReturn : {true, false})
    for (const Case& c : cases) {
        SCOPED_TRACE(c.leaving);
        SCOPED_TRACE(backBeforeReturn ? "the window active again before the message returns" : "and after");
        shown.backBeforeReturn = backBeforeReturn;
        shown.shown.clear();
        date->setFocus();
        ASSERT_TRUE(WaitFor([&] { return date->hasFocus(); }));
        date->selectAll();
        QTest::keyClicks(date, "99/99/2025");
        ASSERT_EQ(date->text().toStdString(), "99/99/2025");
        if (c.key == Qt::Key_unknown)
            QTest::mouseClick(c.clicked, Qt::LeftButton);
        else
            QTest::keyClick(date, c.key);
        // Enter moves on as a Tab does, once the key has been handled.
        ASSERT_TRUE(WaitFor([&] { return !shown.shown.empty() && date->hasFocus() && window->isActiveWindow(); }));
        EXPECT_EQ(shown.shown.size(), 1u);
        EXPECT_EQ(shown.shown[0].text, "Date must be in the format MM/DD/YYYY");
        EXPECT_EQ(ReadFile(folder / "2024.nfl"), before);
        date->setText(stored);
    }
    window->hide();
}

TEST_F(InputStatsTest, NavigationStaysInTheWeekAndRefreshReturnsToTheFirstGame)
{
    ChooseWeek(4, 2024);
    InputStatsWindow& w = Open();
    const auto games = WeekGames(2024, 4);
    Control<QPushButton>(&w, "cmdPrev")->click();
    EXPECT_EQ(Season().CurrentGame, 0);
    Control<QPushButton>(&w, "cmdLast")->click();
    EXPECT_EQ(Season().CurrentGame, static_cast<int>(games.size()) - 1);
    Control<QPushButton>(&w, "cmdNext")->click();
    EXPECT_EQ(Season().CurrentGame, static_cast<int>(games.size()) - 1);
    EXPECT_EQ(Control<QComboBox>(&w, "cboHome")->currentText().toStdString(), TeamName(games.back().HomeTeam, 0, 3));
    w.findChild<QAction*>("mnuFirst")->trigger();
    EXPECT_EQ(Season().CurrentGame, 0);
    Control<QPushButton>(&w, "cmdLast")->click();
    ChooseWeek(6, 2024);
    Control<QPushButton>(&w, "Command2")->click();
    EXPECT_EQ(Season().CurrentGame, 0);
    EXPECT_EQ(Control<QComboBox>(&w, "cboHome")->currentText().toStdString(),
              TeamName(WeekGames(2024, 6).front().HomeTeam, 0, 3));

    // The last week of the file reaches its last record.
    const auto all = ReadSeasonFile(folder / "2024.nfl");
    ChooseWeek(all.back().Week, 2024);
    Control<QPushButton>(&w, "Command2")->click();
    Control<QPushButton>(&w, "cmdLast")->click();
    EXPECT_EQ(Season().WeekFirstRecord + Season().CurrentGame, static_cast<int>(all.size()));
}

TEST_F(InputStatsTest, LinesGoToTheLineFileInUse)
{
    ASSERT_TRUE(CreateLineFile(folder / "2024.nfl", folder / "Mine.L24"));
    SaveSetting("Preference", "LineFile", "Mine");
    ChooseWeek(2, 2024);
    InputStatsWindow& w = Open();
    const int record = FirstRecordOf(2024, 2);
    const GameRecord stored = Record(record);
    Edit(w, 2, "51.5");
    EXPECT_EQ(Record(record).Total, stored.Total);
    const std::string lines = ReadFile(folder / "Mine.L24");
    EXPECT_EQ(LineRecord::Decode(reinterpret_cast<const uint8_t*>(lines.data()) + (record - 1) * 21).Total, 515000);
    EXPECT_FLOAT_EQ(Season().Total(Slot(), 0), 51.5f);
    Control<QPushButton>(&w, "Command1")->click();
    EXPECT_EQ(w.txtData(2)->text().toStdString(), "51.5");
    // Another home team chosen: the line record takes it, and stays the game's line.
    auto* home = Control<QComboBox>(&w, "cboHome");
    const int other = home->currentIndex() == 0 ? 1 : 0;
    home->setCurrentIndex(other);
    emit home->activated(other);
    const GameRecord changed = Record(record);
    ASSERT_NE(changed.HomeTeam, stored.HomeTeam);
    const std::string followed = ReadFile(folder / "Mine.L24");
    EXPECT_TRUE(LineRecord::Decode(reinterpret_cast<const uint8_t*>(followed.data()) + (record - 1) * 21).IsLineOf(changed));
    Control<QPushButton>(&w, "Command1")->click();
    EXPECT_EQ(w.txtData(2)->text().toStdString(), "51.5");
}

// The words of the printout's heading line, as pdftotext lays the page out.
std::vector<std::string> HeadingWords(const std::string& text)
{
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.find("OU/PL") == std::string::npos)
            continue;
        std::istringstream words(line);
        std::vector<std::string> found;
        for (std::string word; words >> word;)
            found.push_back(word);
        return found;
    }
    return {};
}

TEST_F(InputStatsTest, PrintsTheWeeksBoxScores)
{
    // Every heading and every column is on the page, in the pinned test font, in whatever face
    // the machine gives for the printout's own font, and on a narrow page.
    struct Case {
        const char* name;
        bool systemFonts;
        QPageSize::PageSizeId page;
    };
    const Case cases[] = {{"pinned font", false, QPageSize::Letter},
                          {"machine fonts", true, QPageSize::Letter},
                          {"narrow page", false, QPageSize::A5}};
    std::vector<std::string> headings;
    for (const BoxScoreColumn& c : BoxScoreTable())
        headings.emplace_back(c.heading);
    ASSERT_EQ(headings.back(), "T.O.P.");

    ChooseWeek(5, 2024);
    InputStatsWindow& w = Open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::optional<SystemFonts> machine;
        if (c.systemFonts)
            machine.emplace();
        const auto pdf = folder / (std::string(c.name) + ".pdf");
        bool confirm = false;
        InstallPrintDialogRunner([&](QPrinter& printer, int&, int&) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(QString::fromStdString(pdf.string()));
            printer.setPageSize(QPageSize(c.page));
            return confirm;
        });
        w.findChild<QAction*>("mnuPrint")->trigger();
        EXPECT_FALSE(std::filesystem::exists(pdf));   // a cancelled dialog prints nothing
        confirm = true;
        w.findChild<QAction*>("mnuPrint")->trigger();
        const std::string text = PdfText(pdf);
        EXPECT_NE(text.find("Vexal Statistics"), std::string::npos);
        EXPECT_NE(text.find("Boxscores for Wk 5 of 2024"), std::string::npos);
        EXPECT_EQ(HeadingWords(text), headings) << text;
        for (const GameRecord& g : WeekGames(2024, 5)) {
            EXPECT_NE(text.find(TeamName(g.AwayTeam, 0, 3)), std::string::npos);
            EXPECT_NE(text.find(AwayBoxScoreRow(g)[17]), std::string::npos);
            EXPECT_NE(text.find(HomeBoxScoreRow(g)[17]), std::string::npos);
        }
        ResetCurrentPrinter();
    }
}

} // namespace
} // namespace vexal::test
