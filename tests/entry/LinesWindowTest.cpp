// The Enter Lines window: the week's lines, edited in the grid, and the line files.
#include "EntryTestSupport.h"

#include "FileChecks.h"
#include "WaitFor.h"

#include <QClipboard>
#include <QItemSelectionModel>
#include <QMetaEnum>
#include <QTest>

#include <algorithm>
#include <optional>
#include <utility>

namespace vexal::test {
namespace {

class LinesWindowTest : public EntryTest {
protected:
    LinesWindow& Open() { return OpenView<LinesWindow>("lines"); }
};

TEST_F(LinesWindowTest, ShowsTheChosenWeeksGamesAndLines)
{
    ChooseWeek(5, 2024);
    LinesWindow& w = Open();
    EXPECT_EQ(w.windowTitle().toStdString(), "Enter Lines");
    for (const char* name : {"cboLines", "cmdAddNewLines", "cmdDelete", "Grid1", "txtEdit", "flLines", "Command1"})
        EXPECT_NE(w.findChild<QWidget*>(name), nullptr) << name;
    for (const char* name : {"Print", "HTMLP", "Export", "exit", "Hlp"})
        EXPECT_NE(w.findChild<QAction*>(name), nullptr) << name;
    EXPECT_EQ(Control<QComboBox>(&w, "cboLines")->currentText().toStdString(), "Default");

    Grid& g = *w.grid();
    EXPECT_EQ(g.ColumnHeader(1).toStdString(), "Home Team");
    EXPECT_EQ(g.ColumnHeader(3).toStdString(), "O / U");
    const auto games = WeekGames(2024, 5);
    ASSERT_EQ(g.Rows(), static_cast<int>(games.size()));
    for (std::size_t i = 0; i < games.size(); ++i) {
        const int row = static_cast<int>(i) + 1;
        EXPECT_EQ(g.CellFormattedText(row, 1).toStdString(), TeamName(games[i].HomeTeam, 0, 3));
        EXPECT_EQ(g.CellFormattedText(row, 4).toStdString(), TeamName(games[i].AwayTeam, 0, 3));
        EXPECT_DOUBLE_EQ(g.CellText(row, 2).toDouble(), games[i].LineValue());
        EXPECT_DOUBLE_EQ(g.CellText(row, 3).toDouble(), games[i].TotalValue());
        EXPECT_EQ(g.CellBackColor(row, 1), row % 2 == 1 ? App().ThemeBackColor : 0xFFFFFF);
    }
    EXPECT_EQ(Season().WeekFirstRecord, FirstRecordOf(2024, 5));
    EXPECT_EQ(Season().NextWeekFirstRecord, FirstRecordOf(2024, 6));
}

TEST_F(LinesWindowTest, TypedSpreadIsWrittenIntoTheSeasonFileAndTheArrays)
{
    ChooseWeek(3, 2024);
    LinesWindow& w = Open();
    Grid& g = *w.grid();
    // The second game's spread shows -3.
    g.SetCellText(2, 2, -3.0);
    g.SetSelection(2, 2);
    g.setFocus();
    Key(&g, Qt::Key_7, "7");
    QLineEdit* edit = w.editor();
    ASSERT_TRUE(edit->isVisible());
    EXPECT_EQ(edit->text().toStdString(), "7-3");
    EXPECT_EQ(edit->selectedText().toStdString(), "-3");
    Type(edit, ".5");
    EXPECT_EQ(edit->text().toStdString(), "7.5");
    Key(edit, Qt::Key_Return, "\r");
    EXPECT_FALSE(edit->isVisible());
    EXPECT_DOUBLE_EQ(g.CellText(2, 2).toDouble(), 7.5);

    const auto all = ReadSeasonFile(folder / "2024.nfl");
    const int record = FirstRecordOf(2024, 3) + 1;
    EXPECT_EQ(all[static_cast<std::size_t>(record - 1)].Line, 75000);
    EXPECT_FLOAT_EQ(Season().Spread(Slot(), 1), 7.5f);
    // Every row of the week was written back as shown.
    EXPECT_FLOAT_EQ(Season().Total(Slot(), 0), static_cast<float>(all[static_cast<std::size_t>(record - 2)].TotalValue()));
}

TEST_F(LinesWindowTest, EditorFiltersKeysAndEscapeCommitsWhileLeavingCancels)
{
    ChooseWeek(2, 2024);
    LinesWindow& w = Open();
    Grid& g = *w.grid();
    g.SetSelection(1, 3);
    g.setFocus();
    Key(&g, Qt::Key_F2);
    QLineEdit* edit = w.editor();
    ASSERT_TRUE(edit->isVisible());
    EXPECT_EQ(edit->selectedText(), g.CellFormattedText(1, 3));
    edit->clear();
    Type(edit, "4x +1a.5");
    EXPECT_EQ(edit->text().toStdString(), "41.5");
    Key(edit, Qt::Key_Backspace, "\b");
    EXPECT_EQ(edit->text().toStdString(), "41.");
    Key(edit, Qt::Key_Escape, "\x1b");
    EXPECT_DOUBLE_EQ(g.CellText(1, 3).toDouble(), 41.0);
    EXPECT_FLOAT_EQ(Season().Total(Slot(), 0), 41.0f);

    // An edit left by losing the focus is dropped.
    g.SetSelection(1, 2);
    const QVariant before = g.CellText(1, 2);
    Key(&g, Qt::Key_9, "9");
    ASSERT_TRUE(edit->isVisible());
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(edit, &out);
    EXPECT_FALSE(edit->isVisible());
    EXPECT_EQ(g.CellText(1, 2), before);
}

TEST_F(LinesWindowTest, EmptySpreadStoresZeroAndNonNumberChangesNothing)
{
    ChooseWeek(4, 2024);
    LinesWindow& w = Open();
    Grid& g = *w.grid();
    g.SetSelection(1, 2);
    Key(&g, Qt::Key_F2);
    w.editor()->clear();
    Key(w.editor(), Qt::Key_Return, "\r");
    const int record = FirstRecordOf(2024, 4);
    EXPECT_EQ(ReadSeasonFile(folder / "2024.nfl")[static_cast<std::size_t>(record - 1)].Line, 0);
    EXPECT_FLOAT_EQ(Season().Spread(Slot(), 0), 0.0f);

    const std::string before = ReadFile(folder / "2024.nfl");
    g.SetSelection(2, 2);
    Key(&g, Qt::Key_Minus, "-");
    w.editor()->setSelection(1, 100);
    w.editor()->del();
    Key(w.editor(), Qt::Key_Return, "\r");
    EXPECT_EQ(ReadFile(folder / "2024.nfl"), before);
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_NE(messages.shown.back().text.find("is not a number"), std::string::npos);
}

TEST_F(LinesWindowTest, TeamCellsPassTheSelectionToASpreadCell)
{
    ChooseWeek(2, 2024);
    LinesWindow& w = Open();
    Grid& g = *w.grid();
    const int rows = g.Rows();
    ASSERT_GT(rows, 2);
    g.SetSelection(2, 1);
    EXPECT_EQ(g.SelectedRow(), 2);
    EXPECT_EQ(g.SelectedCol(), 2);
    g.SetSelection(2, 4);
    EXPECT_EQ(g.SelectedRow(), 3);
    EXPECT_EQ(g.SelectedCol(), 2);
    g.SetSelection(rows, 4);
    EXPECT_EQ(g.SelectedRow(), 1);
    EXPECT_EQ(g.SelectedCol(), 2);
    g.SetSelection(2, 3);
    EXPECT_EQ(g.SelectedCol(), 3);
}

// A cell of the grid; a row below 1 counts back from the last row (0 is the last).
struct Cell {
    int row = 0;
    int col = 0;
    bool operator==(const Cell&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Cell& c) { return out << "(" << c.row << ", " << c.col << ")"; }

// One key pressed on the control that has the focus (or a click on a cell), and the cell
// highlighted afterwards; Editing: the key went into the open cell editor.
struct Stroke {
    Qt::Key key = Qt::Key_unknown;
    Cell then;
    Cell clicked;        // with Qt::Key_unknown: the cell clicked
};
constexpr Cell Editing{};
Stroke Press(Qt::Key key, Cell then = Editing) { return {key, then, {}}; }
Stroke ClickOn(Cell cell, Cell then) { return {Qt::Key_unknown, then, cell}; }

struct GridKeysCase {
    const char* name;
    Cell start;
    std::vector<Stroke> strokes;
    // When the keys edit the start cell: its value shown before, and the value it holds after
    // (in the grid and in the season file).
    std::optional<double> shownBefore = std::nullopt;
    std::optional<double> stored = std::nullopt;
};

// The keys and clicks a user moves through the grid with, and types lines with: after each, the
// highlighted cell is the grid's current cell, the one the next typed key edits; a typed key
// replaces the cell's value.
TEST_F(LinesWindowTest, TheHighlightedCellIsTheCellTheKeysEdit)
{
    const GridKeysCase cases[] = {
        {"Right from a total onto the away team goes to the next game's line", {7, 3}, {Press(Qt::Key_Right, {8, 2})}},
        {"Up, End and Left", {8, 2}, {Press(Qt::Key_Up, {7, 2}), Press(Qt::Key_End, {8, 2}), Press(Qt::Key_Left, {8, 2})}},
        {"Home goes to the game's line", {5, 3}, {Press(Qt::Key_Home, {5, 2})}},
        {"Left and Right between line and total", {5, 2},
         {Press(Qt::Key_Right, {5, 3}), Press(Qt::Key_Left, {5, 2}), Press(Qt::Key_Left, {5, 2})}},
        {"Down and Up", {2, 3}, {Press(Qt::Key_Down, {3, 3}), Press(Qt::Key_Up, {2, 3}), Press(Qt::Key_Up, {1, 3})}},
        {"Right on the last game's total goes to the first game's line", {0, 3}, {Press(Qt::Key_Right, {1, 2})}},
        {"End on the last game goes to the first game's line", {0, 2}, {Press(Qt::Key_End, {1, 2})}},
        {"Down on the last game stays", {0, 2}, {Press(Qt::Key_Down, {0, 2})}},
        {"Tab from a total goes to the next game's line", {4, 3}, {Press(Qt::Key_Tab, {5, 2})}},
        {"a click on a home team goes to its line", {4, 3}, {ClickOn({6, 1}, {6, 2})}},
        {"a click on an away team goes to the next game's line", {4, 3}, {ClickOn({6, 4}, {7, 2})}},
        {"3 Return stores 3", {3, 2}, {Press(Qt::Key_3), Press(Qt::Key_Return, {3, 3})}, 6.5, 3.0},
        {"3 4 Return stores 34", {3, 3}, {Press(Qt::Key_3), Press(Qt::Key_4), Press(Qt::Key_Return, {4, 2})}, 41.5, 34.0},
        {"3 Tab stores 3", {3, 2}, {Press(Qt::Key_3), Press(Qt::Key_Tab, {3, 3})}, -6.5, 3.0},
        {"a minus and Return turns the line round", {3, 2}, {Press(Qt::Key_Minus), Press(Qt::Key_Return, {3, 3})}, 6.5,
         -6.5},
        {"3, Right, 5 and Return keep what is shown", {3, 2},
         {Press(Qt::Key_3), Press(Qt::Key_Right), Press(Qt::Key_5), Press(Qt::Key_Return, {3, 3})}, 7.0, 375.0},
        {"3, Right and Return store what the box shows", {3, 2},
         {Press(Qt::Key_3), Press(Qt::Key_Right), Press(Qt::Key_Return, {3, 3})}, 7.0, 37.0},
    };

    ChooseWeek(12, 2024);
    LinesWindow& w = Open();
    Grid& g = *w.grid();
    const int rows = g.Rows();
    ASSERT_GE(rows, 8);
    QWidget* window = w.window();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(WaitFor([&] { return window->isActiveWindow(); }));
    const int firstRecord = FirstRecordOf(2024, 12);
    auto place = [rows](Cell c) { return Cell{c.row < 1 ? rows + c.row : c.row, c.col}; };
    auto highlighted = [&g] {
        const QModelIndexList shown = g.selectionModel()->selectedIndexes();
        return shown.size() == 1 ? Cell{shown[0].row() + 1, shown[0].column() + 1} : Cell{-1, -1};
    };
    auto current = [&g] { return Cell{g.SelectedRow(), g.SelectedCol()}; };

    for (const GridKeysCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Cell start = place(c.start);
        g.setFocus();
        g.SetSelection(start.row, start.col);
        ASSERT_EQ(highlighted(), start);
        if (c.shownBefore)
            g.SetCellText(start.row, start.col, *c.shownBefore);
        const std::string before = ReadFile(folder / "2024.nfl");
        bool editing = false;
        for (const Stroke& stroke : c.strokes) {
            SCOPED_TRACE(QMetaEnum::fromType<Qt::Key>().valueToKey(stroke.key));
            if (stroke.key == Qt::Key_unknown) {
                const Cell on = place(stroke.clicked);
                QTest::mouseClick(g.viewport(), Qt::LeftButton, {},
                                  g.visualRect(g.model()->index(on.row - 1, on.col - 1)).center());
            } else {
                QTest::keyClick(QApplication::focusWidget(), stroke.key);
            }
            if (stroke.then == Editing) {
                ASSERT_TRUE(w.editor()->isVisible());
                editing = true;
                continue;
            }
            // A key that ends an edit moves on as a Tab does, once the key has been handled.
            if (std::exchange(editing, false)) {
                ASSERT_TRUE(WaitFor([&] { return g.hasFocus() && current() != start; }));
            }
            EXPECT_EQ(current(), place(stroke.then));
            EXPECT_EQ(highlighted(), current());
            // The next key typed edits the highlighted cell.
            QTest::keyClick(&g, Qt::Key_9);
            ASSERT_TRUE(w.editor()->isVisible());
            EXPECT_EQ((Cell{g.EditRow(), g.EditCol()}), highlighted());
            g.setFocus();
            ASSERT_FALSE(w.editor()->isVisible());
        }
        if (!c.stored)
            continue;
        EXPECT_DOUBLE_EQ(g.CellText(start.row, start.col).toDouble(), *c.stored);
        EXPECT_FLOAT_EQ(start.col == 2 ? Season().Spread(Slot(), start.row - 1) : Season().Total(Slot(), start.row - 1),
                        static_cast<float>(*c.stored));
        // The edited game's spread or total and nothing else changes in the file.
        std::string expected = before;
        const std::size_t at = static_cast<std::size_t>(firstRecord + start.row - 2) * GameRecord::Size;
        GameRecord game = GameRecord::Decode(reinterpret_cast<const uint8_t*>(expected.data()) + at);
        (start.col == 2 ? game.Line : game.Total) = static_cast<int64_t>(*c.stored * 10000);
        game.Encode(reinterpret_cast<uint8_t*>(expected.data()) + at);
        const std::string after = ReadFile(folder / "2024.nfl");
        ASSERT_EQ(after.size(), expected.size());
        const auto differs = std::mismatch(after.begin(), after.end(), expected.begin());
        EXPECT_EQ(differs.first - after.begin(), static_cast<std::ptrdiff_t>(after.size())) << "the first byte that differs";
    }
    window->hide();
}

// A message over the window (a paste the cell refuses) takes the focus from the cell editor
// for a while: the edit stays open, and the typing goes on where it was.
TEST_F(LinesWindowTest, AMessageOverTheWindowLeavesTheEditOpen)
{
    auto owned = std::make_unique<FocusTakingMessages>();
    FocusTakingMessages& shown = *owned;
    InstallMessages(std::move(owned));
    ChooseWeek(3, 2024);
    LinesWindow& w = Open();
    QWidget* window = w.window();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(WaitFor([&] { return window->isActiveWindow(); }));
    Grid& g = *w.grid();
    g.SetSelection(2, 2);
    g.setFocus();
    QTest::keyClick(&g, Qt::Key_F2);
    QLineEdit* edit = w.editor();
    ASSERT_TRUE(edit->isVisible());
    QApplication::clipboard()->setText("1x5");
    edit->paste();
    ASSERT_TRUE(WaitFor([&] { return !shown.shown.empty() && window->isActiveWindow(); }));
    EXPECT_EQ(shown.shown[0].text, "Please type a number, such as -3.5 or 44, with \".\" as the decimal point.");
    ASSERT_TRUE(edit->isVisible());
    ASSERT_TRUE(edit->hasFocus());
    edit->selectAll();
    QTest::keyClicks(edit, "4.5");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_DOUBLE_EQ(g.CellText(2, 2).toDouble(), 4.5);
    EXPECT_EQ(ReadSeasonFile(folder / "2024.nfl")[static_cast<std::size_t>(FirstRecordOf(2024, 3))].Line, 45000);
    window->hide();
}

// The loaded lines of the week are the grid's after a commit, every row of it, though the line
// file chosen holds other lines than the arrays were loaded with. A line file that pairs gives
// every row to its game; one whose week's first two records hold each other's games (an old
// copy) leaves those games the lines they had, as a new start does.
TEST_F(LinesWindowTest, AfterACommitTheLoadedLinesAreTheGrids)
{
    ChooseWeek(6, 2024);
    const std::vector<GameRecord> games = ReadSeasonFile(folder / "2024.nfl");
    const auto first = static_cast<std::size_t>(FirstRecordOf(2024, 6) - 1);
    for (const bool paired : {true, false}) {
        SCOPED_TRACE(paired ? "paired" : "first two swapped");
        std::vector<GameRecord> order = games;
        if (!paired)
            std::swap(order[first], order[first + 1]);
        std::string mine;
        for (const GameRecord& game : order) {
            LineRecord r = LineRecord::FromGame(game);
            r.Line += 10000;
            r.Total += 20000;
            mine.append(reinterpret_cast<const char*>(r.Encode().data()), LineRecord::Size);
        }
        folder.Write("Mine.L24", mine);
        LinesWindow& w = Open();
        auto* list = Control<QComboBox>(&w, "cboLines");
        list->setCurrentIndex(list->findText(paired ? "Mine" : "Default"));
        list->setCurrentIndex(list->findText("Mine"));
        Grid& g = *w.grid();
        const float before[2][2] = {{Season().Spread(Slot(), 0), Season().Total(Slot(), 0)},
                                    {Season().Spread(Slot(), 1), Season().Total(Slot(), 1)}};
        g.SetSelection(3, 2);
        Key(&g, Qt::Key_3, "3");
        Key(w.editor(), Qt::Key_Return, "\r");
        for (int row = 1; row <= g.Rows(); ++row)
            for (const int col : {2, 3})
                EXPECT_FLOAT_EQ(col == 2 ? Season().Spread(Slot(), row - 1) : Season().Total(Slot(), row - 1),
                                paired || row > 2 ? g.CellText(row, col).toFloat() : before[row - 1][col - 2])
                    << row << ", " << col;
    }
}

TEST_F(LinesWindowTest, NewLineFileIsUsedAndEditedInsteadOfTheSeasonFile)
{
    ChooseWeek(6, 2024);
    LinesWindow& w = Open();
    messages.inputs.push_back("MyLines");
    Control<QPushButton>(&w, "cmdAddNewLines")->click();
    ASSERT_TRUE(std::filesystem::exists(folder / "MyLines.L24"));
    const auto games = ReadSeasonFile(folder / "2024.nfl");
    std::string expected;
    for (const GameRecord& g : games) {
        const auto r = LineRecord::FromGame(g).Encode();
        expected.append(reinterpret_cast<const char*>(r.data()), r.size());
    }
    EXPECT_EQ(ReadFile(folder / "MyLines.L24"), expected);
    EXPECT_EQ(messages.shown.back().text, "New Line File Created");
    EXPECT_EQ(messages.shown.back().title, "File created");
    EXPECT_EQ(messages.shown.back().buttons, vbInformation);

    auto* list = Control<QComboBox>(&w, "cboLines");
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->currentText().toStdString(), "Default");
    list->setCurrentIndex(1);
    EXPECT_EQ(GetSetting("Preference", "LineFile", ""), "MyLines");

    const std::string seasonBefore = ReadFile(folder / "2024.nfl");
    Grid& g = *w.grid();
    g.SetSelection(1, 2);
    Key(&g, Qt::Key_F2);
    w.editor()->setText("-6.5");
    Key(w.editor(), Qt::Key_Tab, "\t");
    EXPECT_EQ(ReadFile(folder / "2024.nfl"), seasonBefore);
    const std::string lines = ReadFile(folder / "MyLines.L24");
    const int record = FirstRecordOf(2024, 6);
    const auto changed = LineRecord::Decode(reinterpret_cast<const uint8_t*>(lines.data()) + (record - 1) * 21);
    EXPECT_EQ(changed.Line, -65000);
    EXPECT_FLOAT_EQ(Season().Spread(Slot(), 0), -6.5f);

    // The same name again replaces the file without a question.
    messages.inputs.push_back("MyLines");
    Control<QPushButton>(&w, "cmdAddNewLines")->click();
    EXPECT_EQ(ReadFile(folder / "MyLines.L24"), expected);

    // Copied from a system that writes the suffix in small letters: the file listed is the
    // file chosen, shown and written, and a new file of its name replaces it under its name.
    std::filesystem::rename(folder / "MyLines.L24", folder / "MyLines.l24");
    w.RefreshFileList();
    ASSERT_EQ(list->count(), 2);
    list->setCurrentIndex(list->findText("MyLines"));
    g.SetSelection(1, 2);
    Key(&g, Qt::Key_F2);
    w.editor()->setText("-2.5");
    Key(w.editor(), Qt::Key_Tab, "\t");
    EXPECT_EQ(list->currentText().toStdString(), "MyLines");
    EXPECT_EQ(GetSetting("Preference", "LineFile", ""), "MyLines");
    EXPECT_EQ(ReadFile(folder / "2024.nfl"), seasonBefore);
    const std::string copied = ReadFile(folder / "MyLines.l24");
    ASSERT_EQ(copied.size(), expected.size());
    EXPECT_EQ(LineRecord::Decode(reinterpret_cast<const uint8_t*>(copied.data()) + (record - 1) * 21).Line, -25000);
    EXPECT_EQ(g.CellFormattedText(1, 2).toStdString(), "-2.5");
    messages.inputs.push_back("MyLines");
    Control<QPushButton>(&w, "cmdAddNewLines")->click();
    EXPECT_EQ(ReadFile(folder / "MyLines.l24"), expected);
    EXPECT_FALSE(std::filesystem::exists(folder / "MyLines.L24"));
}

TEST_F(LinesWindowTest, NameIsAskedForAndBadOrEmptyNamesWriteNothing)
{
    LinesWindow& w = Open();
    messages.inputs.push_back("");
    Control<QPushButton>(&w, "cmdAddNewLines")->click();
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_EQ(messages.shown.back().kind, "InputBox");
    EXPECT_EQ(messages.shown.back().text, "Please enter a name for this line file");
    EXPECT_EQ(messages.shown.back().title, "Enter a Filename");
    EXPECT_EQ(messages.shown.back().defaultText, "MyLines");
    for (const char* bad : {"../evil", "a/b", "Default"}) {
        messages.inputs.push_back(bad);
        Control<QPushButton>(&w, "cmdAddNewLines")->click();
        EXPECT_EQ(messages.shown.back().title, "Enter a Filename") << bad;
        EXPECT_EQ(messages.shown.back().buttons, vbCritical) << bad;
    }
    EXPECT_TRUE(ListLineFiles(folder.Path(), 2024).empty());
    EXPECT_FALSE(std::filesystem::exists(folder.Path().parent_path() / "evil.L24"));
}

TEST_F(LinesWindowTest, ASeasonFileThatCannotBeReadOrALineFileThatCannotBeWrittenIsNamedWithItsCause)
{
    // The season file fails once the window is open: it cannot be opened, its read fails after
    // the open, or a folder stands in its place; or the new line file cannot be written: the
    // disk fills, or a folder stands in its place. The message names the file that failed and
    // why, and nothing is written.
    LinesWindow& w = Open();
    const std::filesystem::path season = folder / "2024.nfl";
    const std::string before = ReadFile(season);
    const std::filesystem::path lineFile = folder / "Mine.L24";
    enum class Damage { Unreadable, ReadFails, Folder, DiskFull, LineFileFolder };
    for (const Damage damage :
         {Damage::Unreadable, Damage::ReadFails, Damage::Folder, Damage::DiskFull, Damage::LineFileFolder}) {
        std::optional<ReadFault> unreadable;
        std::optional<ReadErrorFault> failingRead;
        std::optional<WriteFault> full;
        std::string words;
        switch (damage) {
        case Damage::Unreadable:
            unreadable.emplace(season);
            words = season.string() + " could not be read: permission denied.";
            break;
        case Damage::ReadFails:
            failingRead.emplace(season, before.size() / 2);
            words = season.string() + " could not be read: the disk reported an input/output error.";
            break;
        case Damage::Folder:
            std::filesystem::rename(season, folder / "2024.kept");
            std::filesystem::create_directory(season);
            words = season.string() + " is a folder, not a file.";
            break;
        case Damage::DiskFull:
            full.emplace(100, lineFile);
            words = lineFile.string() + " could not be written: the disk is full.";
            break;
        case Damage::LineFileFolder:
            std::filesystem::create_directory(lineFile);
            words = lineFile.string() + " could not be written: a folder of that name is in the way.";
            break;
        }
        SCOPED_TRACE(words);
        messages.shown.clear();
        messages.inputs.push_back("Mine");
        Control<QPushButton>(&w, "cmdAddNewLines")->click();
        ASSERT_EQ(messages.shown.size(), 2u); // the name asked for, then the one message
        EXPECT_EQ(messages.shown[1].text, words + " The line file Mine was not created.");
        EXPECT_EQ(messages.shown[1].title, "File not created");
        EXPECT_EQ(messages.shown[1].buttons, vbCritical);
        if (damage == Damage::LineFileFolder) {
            EXPECT_TRUE(std::filesystem::is_directory(lineFile)) << "the folder in the way is left as it was";
            std::filesystem::remove(lineFile);
        }
        EXPECT_FALSE(std::filesystem::exists(lineFile));
        if (damage == Damage::Folder) {
            std::filesystem::remove(season);
            std::filesystem::rename(folder / "2024.kept", season);
        }
    }
    EXPECT_EQ(ReadFile(season), before);
    EXPECT_TRUE(ListLineFiles(folder.Path(), 2024).empty());
}

TEST_F(LinesWindowTest, NoLineFilesForPreviousSeasons)
{
    ASSERT_TRUE(SelectSeason(2023));
    LinesWindow& w = Open();
    messages.inputs.push_back("Old");
    Control<QPushButton>(&w, "cmdAddNewLines")->click();
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_EQ(messages.shown.back().title, "Can't create previous");
    EXPECT_EQ(messages.shown.back().text,
              "You can not create line files for previous years\r\nPlease select 2024 for the year and try again");
    EXPECT_EQ(messages.shown.back().buttons, vbCritical);
    EXPECT_TRUE(ListLineFiles(folder.Path(), 23).empty());
    EXPECT_TRUE(ListLineFiles(folder.Path(), 2023).empty());
}

TEST_F(LinesWindowTest, ListSelectsTheRememberedNameAndFallsBackForOldWeeks)
{
    for (const char* name : {"Alpha.L24", "Beta.L24", "Gamma.L24"})
        ASSERT_TRUE(CreateLineFile(folder / "2024.nfl", folder / name));
    folder.Write("Alpha.L23", "");
    SaveSetting("Preference", "LineFile", "Alpha");
    ChooseWeek(2, 2023);
    LinesWindow& w = Open();
    auto* list = Control<QComboBox>(&w, "cboLines");
    ASSERT_EQ(list->count(), 4);
    EXPECT_EQ(list->itemText(1).toStdString(), "Alpha");
    EXPECT_EQ(list->itemText(3).toStdString(), "Gamma");
    // A week of 2023 cannot use Alpha: the notice, then the season file's lines.
    ASSERT_FALSE(notices->empty());
    EXPECT_EQ(notices->back().text, "Only default lines can be used for previous seasons");
    EXPECT_EQ(notices->back().title, "Previous Season");
    EXPECT_EQ(notices->back().number, 4);
    EXPECT_EQ(notices->back().calls, (std::vector<std::string>{"Text", "Title", "Number", "Owner", "Show"}));
    EXPECT_EQ(list->currentText().toStdString(), "Default");
    EXPECT_EQ(GetSetting("Preference", "LineFile", ""), "Default");
    EXPECT_EQ(w.grid()->Rows(), static_cast<int>(WeekGames(2023, 2).size()));

    // In a 2024 week the remembered name is chosen again on refresh.
    ChooseWeek(2, 2024);
    w.RefreshFileList();
    EXPECT_EQ(list->currentText().toStdString(), "Alpha");
}

TEST_F(LinesWindowTest, DeletingReportsEachCase)
{
    ASSERT_TRUE(CreateLineFile(folder / "2024.nfl", folder / "Mine.L24"));
    ChooseWeek(1, 2024);
    LinesWindow& w = Open();
    auto* list = Control<QComboBox>(&w, "cboLines");
    auto* del = Control<QPushButton>(&w, "cmdDelete");
    del->click();
    EXPECT_EQ(messages.shown.back().text, "The default line file can not be deleted");
    EXPECT_EQ(messages.shown.back().title, "Can not delete");
    list->setCurrentIndex(1);
    EXPECT_EQ(list->currentText().toStdString(), "Mine");
    std::filesystem::remove(folder / "Mine.L24");
    del->click();
    EXPECT_EQ(messages.shown.back().text, "File now found");
    ASSERT_TRUE(CreateLineFile(folder / "2024.nfl", folder / "Mine.L24"));
    w.RefreshFileList();
    list->setCurrentIndex(1);
    {
        const RemoveFault refused(folder / "Mine.L24");   // a folder the user cannot write
        del->click();
    }
    EXPECT_EQ(messages.shown.back().text, (folder / "Mine.L24").string() + " could not be deleted: permission denied.");
    EXPECT_EQ(list->itemText(1).toStdString(), "Mine");
    list->setCurrentIndex(1);
    del->click();
    EXPECT_EQ(messages.shown.back().text, "Line File Deleted");
    EXPECT_EQ(messages.shown.back().title, "File deleted");
    EXPECT_FALSE(std::filesystem::exists(folder / "Mine.L24"));
    EXPECT_EQ(list->count(), 1);
}

TEST_F(LinesWindowTest, ExportWritesThePageIntoTheUserFolder)
{
    ChooseWeek(7, 2024);
    LinesWindow& w = Open();
    w.findChild<QAction*>("Export")->trigger();
    const std::string page = ReadFile(App().UserFolder / "VexalLines.htm");
    EXPECT_NE(page.find("Vexal Lines for Wk 7 of 2024"), std::string::npos);
    EXPECT_NE(page.find("These Statistics are being brought to you by: <A HREF='"), std::string::npos);
    EXPECT_NE(page.find("'> Vexal </A>"), std::string::npos);
    EXPECT_NE(page.find("\r\n"), std::string::npos);
    EXPECT_NE(page.find(TeamName(WeekGames(2024, 7)[0].HomeTeam, 0, 3)), std::string::npos);
}

} // namespace
} // namespace vexal::test
