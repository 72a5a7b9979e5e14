// The consensus set kept through the Predictions window's file box, and the printed consensus
// and range reports, on generated seasons. Printouts go to a PDF file and are read back as text.
#include "ConsensusReports.h"
#include "FormulaFile.h"
#include "PermissionOverride.h"
#include "PopupMenu.h"
#include "Predict.h"
#include "PredictionsTestSupport.h"
#include "PrinterCanvas.h"
#include "ProgramEngineHost.h"
#include "RangeReports.h"
#include "RecordFile.h"
#include "ReportPrintouts.h"
#include "TSPredict.h"
#include "Teams.h"
#include "VbError.h"

#include <QDropEvent>
#include <QGroupBox>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>

#include <map>
#include <optional>
#include <regex>
#include <sstream>

namespace vexal::test {
namespace {

const char* const NoPlayLine = "0,98,99,1,50,50,4,50,50,0,4,0,0,0,0,0,0,0,99,99\r\n";
const char* const TightLine = "2,3,9,1.1,60,40,3,40,60,0,5,0,0,0,0,0,0,0,0,0\r\n";

std::vector<std::string> Words(const std::string& line)
{
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;)
        words.push_back(w);
    return words;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The words of the printed line that begins with `label`.
std::vector<std::string> PrintedRow(const std::string& text, const std::string& label)
{
    for (const std::string& line : Lines(text)) {
        const auto words = Words(line);
        if (!words.empty() && words[0] == label)
            return words;
    }
    return {};
}

std::string OneSpaced(const std::string& text) { return std::regex_replace(text, std::regex("\\s+"), " "); }

class ConsensusSetUpTest : public PredictionsTest {
protected:
    // The picks a formula file makes in the current week, from an engine of the test's own.
    std::array<std::string, 17> PicksOf(const std::string& line, bool totals)
    {
        const Formula saved = App().CurrentFormula;
        Formula& f = App().CurrentFormula;
        f.fill(0);
        ApplyFormulaFileNumbers(ParseFormulaFileNumbers(line), f);
        f[fsCurrentWeek] = saved[fsCurrentWeek];
        f[fsTotalsMode] = totals ? 1.0f : 0.0f;
        if (f[fsLineStart] == 0 && f[fsLineEnd] == 0)
            f[fsLineStart] = f[fsLineEnd] = 99;
        std::array<std::string, 17> picks;
        TSPredict engine{ProgramEngineHost()};
        engine.Weekly = [&](WeeklyTableArray& table) {
            for (int g = 0; g < 17; ++g) {
                try {
                    picks[g] = TeamAbbrev3(static_cast<int>(CellNumber(table[g][0])), 0, 0);
                } catch (const VbError&) {
                }
            }
        };
        std::array<float, 24> filters{};
        engine.TestFormulas({.Low = f, .High = f, .Filters = filters});
        App().CurrentFormula = saved;
        return picks;
    }
    // Each game's play bands for a formula line, from an engine of the test's own.
    std::vector<predict::RangeItems> LimitsOf(const std::string& line, bool totals)
    {
        const Formula saved = App().CurrentFormula;
        Formula& f = App().CurrentFormula;
        ApplyFormulaFileNumbers(ParseFormulaFileNumbers(line), f);
        f[fsCurrentWeek] = saved[fsCurrentWeek];
        f[fsTotalsMode] = totals ? 1.0f : 0.0f;
        if (f[fsLineStart] == 0 && f[fsLineEnd] == 0)
            f[fsLineStart] = f[fsLineEnd] = 99;
        std::vector<predict::RangeItems> limits;
        TSPredict engine{ProgramEngineHost()};
        engine.Weekly = [&](WeeklyTableArray& table) {
            for (int g = 0; g < 17; ++g)
                limits.push_back(predict::RangeLimitsOf(static_cast<float>(CellNumber(table[g][2])),
                                                        static_cast<float>(CellNumber(table[g][3])), f[fsMinDiff],
                                                        f[fsMaxDiff], totals));
        };
        std::array<float, 24> filters{};
        engine.TestFormulas({.Low = f, .High = f, .Filters = filters});
        App().CurrentFormula = saved;
        return limits;
    }

    void ChooseReport(int number)
    {
        PopupMenu::SetChooser([number](const std::vector<PopupMenu::Item>&) { return number; });
    }
    void TearDown() override
    {
        PopupMenu::SetChooser({});
        PredictionsTest::TearDown();
    }

    static void Select(QListWidget* list, const std::vector<std::string>& names)
    {
        list->clearSelection();
        for (const std::string& name : names) {
            const auto found = list->findItems(QString::fromStdString(name), Qt::MatchExactly);
            ASSERT_EQ(found.size(), 1) << name;
            found[0]->setSelected(true);
        }
    }
    // Drops what the list named `source` drags onto `target`, as the mouse does at the end of a drag.
    static void Drop(QListWidget* target, const QString& source)
    {
        QMimeData data;
        data.setData("application/x-vexal-file-list", source.toUtf8());
        const QPoint at = target->viewport()->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target->viewport(), &enter);
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target->viewport(), &drop);
    }
    static std::vector<std::string> Listed(QListWidget* list)
    {
        std::vector<std::string> names;
        for (int i = 0; i < list->count(); ++i)
            names.push_back(list->item(i)->text().toStdString());
        return names;
    }
    bool InFolder(const std::string& relative) const { return std::filesystem::exists(folder / relative); }
};

TEST_F(ConsensusSetUpTest, FileBoxAddsAndRemovesFormulasOfTheCurrentSet)
{
    for (const char* name : {"Alpha.fla", "Beta.fla", "Gamma.fla"})
        folder.Write(name, DefaultFormulaLine);
    ChooseWeek(12, 2024);
    PredictWindow& w = OpenPredictions();
    auto* box = Control<QGroupBox>(&w, "fraFileBox");
    auto* file1 = Control<QListWidget>(&w, "File1");
    auto* file2 = Control<QListWidget>(&w, "File2");
    EXPECT_TRUE(box->isHidden());
    QAction* setUp = Action(&w, "SUConsensus");
    ASSERT_TRUE(setUp->isEnabled());
    setUp->trigger();
    EXPECT_FALSE(box->isHidden());
    EXPECT_EQ(box->y(), w.grid()->y());
    EXPECT_EQ(Listed(file2), (std::vector<std::string>{"Alpha.fla", "Beta.fla", "default.fla", "Gamma.fla"}));
    EXPECT_TRUE(Listed(file1).empty());

    // What a drag out of the program list carries names that list.
    Select(file2, {"Alpha.fla", "Gamma.fla"});
    std::unique_ptr<QMimeData> dragged(file2->model()->mimeData(file2->selectionModel()->selectedIndexes()));
    ASSERT_NE(dragged, nullptr);
    EXPECT_EQ(dragged->data("application/x-vexal-file-list"), QByteArray("File2"));

    // A drop from anywhere else, or from the list itself, changes nothing.
    Drop(file1, "File1");
    Drop(file1, "Grid");
    EXPECT_TRUE(Listed(file1).empty());
    Drop(file1, "File2");
    EXPECT_EQ(Listed(file1), (std::vector<std::string>{"Alpha.fla", "Gamma.fla"}));
    EXPECT_EQ(folder.Read("Consensus/Alpha.fla"), DefaultFormulaLine);
    EXPECT_FALSE(InFolder("ConsensusOU/Alpha.fla"));

    // A copy the folder will not give up is named with the cause and stays in the set.
    Select(file1, {"Gamma.fla"});
    {
        const RemoveFault kept;
        Drop(file2, "File1");
    }
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, RemoveFailure(folder / "Consensus/Gamma.fla", "permission denied"));
    EXPECT_EQ(Listed(file1), (std::vector<std::string>{"Alpha.fla", "Gamma.fla"}));
    messages.shown.clear();

    // Taken back out of the set: the copy goes, the formula file stays.
    Select(file1, {"Gamma.fla"});
    Drop(file2, "File1");
    EXPECT_EQ(Listed(file1), (std::vector<std::string>{"Alpha.fla"}));
    EXPECT_FALSE(InFolder("Consensus/Gamma.fla"));
    EXPECT_TRUE(InFolder("Gamma.fla"));
    EXPECT_EQ(Listed(file2), (std::vector<std::string>{"Alpha.fla", "Beta.fla", "default.fla", "Gamma.fla"}));

    // With the totals box ticked the totals set is the one shown and kept.
    Control<QCheckBox>(&w, "chkOu")->setChecked(true);
    EXPECT_TRUE(Listed(file1).empty());
    Select(file2, {"Beta.fla"});
    Drop(file1, "File2");
    EXPECT_EQ(Listed(file1), (std::vector<std::string>{"Beta.fla"}));
    EXPECT_TRUE(InFolder("ConsensusOU/Beta.fla"));
    EXPECT_FALSE(InFolder("Consensus/Beta.fla"));
    Select(file1, {"Beta.fla"});
    Drop(file2, "File1");
    EXPECT_FALSE(InFolder("ConsensusOU/Beta.fla"));
    EXPECT_TRUE(InFolder("Consensus/Alpha.fla"));

    Control<QPushButton>(&w, "CmdClose")->click();
    EXPECT_TRUE(box->isHidden());

    // A formula file written by another window meanwhile is listed when the box opens again.
    folder.Write("Delta.fla", DefaultFormulaLine);
    setUp->trigger();
    EXPECT_EQ(Listed(file2), (std::vector<std::string>{"Alpha.fla", "Beta.fla", "default.fla", "Delta.fla", "Gamma.fla"}));
    Control<QPushButton>(&w, "CmdClose")->click();

    // "Save &Formulas" clicked twice keeps its mark.
    QAction* save = Action(&w, "sFomulas");
    const bool before = save->isChecked();
    save->trigger();
    save->trigger();
    EXPECT_EQ(save->isChecked(), before);
    EXPECT_TRUE(messages.shown.empty());
}

// A set made through the box, and a file copied into its folder by hand while the window is
// open, give the same picks on the page, on paper and from each formula run alone.
TEST_F(ConsensusSetUpTest, ViewAndPrintConsensusAgreeWithEachFormulaRunAlone)
{
    const std::vector<std::pair<std::string, std::string>> files = {
        {"Good12.fla", DefaultFormulaLine}, {"NoPlay.fla", NoPlayLine}, {"Tight.fla", TightLine}};
    for (const auto& [name, line] : files)
        folder.Write(name, line);
    ChooseWeek(12, 2024);
    PredictWindow& w = OpenPredictions();
    Action(&w, "SUConsensus")->trigger();
    Select(Control<QListWidget>(&w, "File2"), {"Good12.fla", "NoPlay.fla"});
    Drop(Control<QListWidget>(&w, "File1"), "File2");
    folder.Write("Consensus/Tight.fla", TightLine);
    const Formula before = App().CurrentFormula;

    ChooseReport(1);
    Control<QPushButton>(&w, "cmdConsensus")->click();
    const std::string page = folder.Read("user/Consensus.htm");

    const auto pdf = folder / "consensus.pdf";
    PrintTo(pdf);
    ChooseReport(2);
    Control<QPushButton>(&w, "cmdConsensus")->click();
    EXPECT_EQ(App().CurrentFormula, before);
    const std::string text = PdfText(pdf);
    ASSERT_FALSE(text.empty());
    EXPECT_NE(OneSpaced(text).find("Vexal Sides Consensus Report for " + OneSpaced(w.WeekText()) +
                                   " - Printed:" + ReportDate()),
              std::string::npos)
        << text;

    const int slot = CurrentSlot();
    const int games = GamesOfWeek(slot);
    ASSERT_GT(games, 0);
    // The three header lines: away teams, "@" home teams, the lines.
    std::vector<std::string> away, home, numbers;
    for (int g = 0; g < games; ++g) {
        away.push_back(TeamAbbrev3(Season().Game(slot, g, gfAwayTeam), 0, 0));
        home.push_back("@" + TeamAbbrev3(Season().Game(slot, g, gfHomeTeam), 0, 0));
        numbers.push_back(vb::Trim(vb::StrSingle(Season().Spread(slot, g))));
    }
    bool sawAway = false, sawHome = false, sawNumbers = false;
    for (const std::string& line : Lines(text)) {
        const auto words = Words(line);
        sawAway |= words == away;
        sawHome |= words == home;
        sawNumbers |= words == numbers;
    }
    EXPECT_TRUE(sawAway && sawHome && sawNumbers) << text;

    bool somePick = false;
    for (const auto& [name, line] : files) {
        const std::string label = name.substr(0, name.find('.'));
        const auto picks = PicksOf(line, false);
        std::vector<std::string> expected{label};
        std::string cells;
        for (int g = 0; g < games; ++g) {
            if (!vb::Trim(picks[g]).empty())
                expected.push_back(picks[g]);
            cells += ">\r\n" + (picks[g].empty() ? std::string("   ") : picks[g]) + "\r\n<";
        }
        somePick |= expected.size() > 1;
        EXPECT_EQ(PrintedRow(text, label), expected) << text;
        // The page's row shows the same picks in the same order.
        const std::size_t row = page.find("<B>\r\n" + label + "\r\n</B>");
        ASSERT_NE(row, std::string::npos) << label;
        std::string pageCells;
        std::size_t at = page.find("</TD>", row);
        for (int g = 0; g < games; ++g) {
            const std::size_t open = page.find("Color=#000000>\r\n", at);
            const std::size_t close = page.find("\r\n</FONT>", open);
            ASSERT_NE(close, std::string::npos);
            std::string body = page.substr(open + 16, close - open - 16);
            body = std::regex_replace(body, std::regex("&nbsp;"), " ");
            body = std::regex_replace(body, std::regex("^[\r\n]+|[\r\n]+$"), "");
            pageCells += ">\r\n" + body + "\r\n<";
            at = close;
        }
        EXPECT_EQ(pageCells, cells) << label;
    }
    EXPECT_TRUE(somePick);
    EXPECT_EQ(PrintedRow(text, "NoPlay"), std::vector<std::string>{"NoPlay"});
}

TEST_F(ConsensusSetUpTest, CancelledPrintDialogPrintsNothing)
{
    folder.Write("Good12.fla", DefaultFormulaLine);
    folder.Write("Consensus/Good12.fla", DefaultFormulaLine);
    ChooseWeek(12, 2024);
    PredictWindow& w = OpenPredictions();
    const Formula before = App().CurrentFormula;
    const auto pdf = folder / "cancelled.pdf";
    for (int report : {2, 5}) {
        PrintTo(pdf, false);
        ChooseReport(report);
        Control<QPushButton>(&w, "cmdConsensus")->click();
        EXPECT_FALSE(std::filesystem::exists(pdf)) << report;
        EXPECT_EQ(App().CurrentFormula, before);
    }
    EXPECT_TRUE(messages.shown.empty());
}

// A printer that cannot be opened ends the printed consensus and range reports with a
// message, never in silence, and the formula is the editor's again.
TEST_F(ConsensusSetUpTest, PrintThatFailsSaysSo)
{
    folder.Write("Good12.fla", DefaultFormulaLine);
    folder.Write("Consensus/Good12.fla", DefaultFormulaLine);
    ChooseWeek(12, 2024);
    PredictWindow& w = OpenPredictions();
    const Formula before = App().CurrentFormula;
    const auto pdf = folder / "no such folder" / "report.pdf";
    for (int report : {2, 5}) {
        messages.shown.clear();
        PrintTo(pdf);
        ChooseReport(report);
        Control<QPushButton>(&w, "cmdConsensus")->click();
        EXPECT_FALSE(std::filesystem::exists(pdf)) << report;
        EXPECT_EQ(App().CurrentFormula, before);
        ASSERT_EQ(messages.shown.size(), 1u) << report;
        EXPECT_EQ(messages.shown[0].text, "Printer error");
    }
}

// A formula file whose name an older system wrote in Windows-1252 (not UTF-8) is listed by its
// characters; the set takes that very file, and the report runs it.
TEST_F(ConsensusSetUpTest, ANameThatIsNotUtf8IsListedByItsCharactersAndItsFileIsRun)
{
    const std::string bytes = "Sch\xF6n.fla";
    folder.Write(bytes, TightLine);
    ChooseWeek(12, 2024);
    PredictWindow& w = OpenPredictions();
    auto* file1 = Control<QListWidget>(&w, "File1");
    auto* file2 = Control<QListWidget>(&w, "File2");
    Action(&w, "SUConsensus")->trigger();
    EXPECT_EQ(Listed(file2), (std::vector<std::string>{"default.fla", "Sch\u00F6n.fla"}));
    Select(file2, {"Sch\u00F6n.fla"});
    Drop(file1, "File2");
    EXPECT_EQ(Listed(file1), (std::vector<std::string>{"Sch\u00F6n.fla"}));
    EXPECT_EQ(folder.Read("Consensus/" + bytes), TightLine);
    messages.shown.clear();
    ChooseReport(4);
    Control<QPushButton>(&w, "cmdConsensus")->click();
    EXPECT_TRUE(messages.shown.empty()) << messages.shown[0].text;
    const std::string page = folder.Read("user/RangeReport.htm");
    EXPECT_NE(page.find("Sch\u00F6n.fla"), std::string::npos) << page;
    Select(file1, {"Sch\u00F6n.fla"});
    Drop(file2, "File1");
    EXPECT_TRUE(Listed(file1).empty());
    EXPECT_FALSE(InFolder("Consensus/" + bytes));
    EXPECT_TRUE(InFolder(bytes));
}

// A formula of the set whose file in the program folder gives no formula (gone since it was
// added to the set, unreadable, cut short, holding a byte no text holds) is named once in the
// one message each report gives, and no report has a row, block or sentence for it: every page
// and printout is, byte for byte, the one written for the set without it, so the formulas
// around it keep theirs whatever it was.
TEST_F(ConsensusSetUpTest, AFormulaOfTheSetThatGivesNoFormulaIsNamedOnceAndHasNoRow)
{
    folder.Write("Good12.fla", DefaultFormulaLine);
    folder.Write("Tight.fla", TightLine);
    folder.Write("Consensus/Good12.fla", DefaultFormulaLine);
    folder.Write("Consensus/Tight.fla", TightLine);
    ChooseWeek(12, 2024);
    PredictWindow& w = OpenPredictions();
    struct Report {
        int entry;          // of the report menu
        const char* page;   // in the user folder; nullptr: printed
    };
    const Report reports[] = {{1, "Consensus.htm"}, {2, nullptr}, {3, "AllConsensus.htm"}, {4, "RangeReport.htm"},
                              {5, nullptr}};
    const auto pdf = folder / "report.pdf";
    auto produce = [&](const Report& r) {
        messages.shown.clear();
        std::filesystem::remove(pdf);
        if (!r.page)
            PrintTo(pdf);
        ChooseReport(r.entry);
        Control<QPushButton>(&w, "cmdConsensus")->click();
        return r.page ? folder.Read(std::string("user/") + r.page) : PdfText(pdf);
    };
    std::map<int, std::string> without;
    for (const Report& r : reports) {
        without[r.entry] = produce(r);
        EXPECT_TRUE(messages.shown.empty()) << r.entry;
        EXPECT_NE(without[r.entry].find("Tight"), std::string::npos) << r.entry;
    }

    // Mid.fla joins the set between the two; whole, it has its row in every report.
    const char* const midLine = "1,2,10,1,40,60,2,60,40,0,3,0,0,0,0,0,0,0,99,99\r\n";
    const std::filesystem::path mid = folder / "Mid.fla";
    folder.Write("Mid.fla", midLine);
    folder.Write("Consensus/Mid.fla", midLine);
    Action(&w, "SUConsensus")->trigger();
    for (const Report& r : reports) {
        EXPECT_NE(produce(r).find("Mid"), std::string::npos) << r.entry;
        EXPECT_TRUE(messages.shown.empty()) << r.entry;
    }

    enum class Spoil { Gone, Unreadable, Cut, Garbage };
    struct Case {
        const char* name;
        Spoil spoil;
        std::string named;
    };
    const std::string damaged = "62 - Input past end of file\r\n There was an error using the formula Mid.fla you "
                                "should load and re-save this formula to make sure it is correct.";
    const Case cases[] = {
        {"gone", Spoil::Gone, mid.string() + " was not found. It was left out of the report."},
        {"unreadable", Spoil::Unreadable,
         mid.string() + " could not be read: " + ReasonOfError(EACCES) + ". It was left out of the report."},
        {"cut", Spoil::Cut, damaged},
        {"a byte no text holds", Spoil::Garbage, damaged},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        folder.Write("Mid.fla", midLine);
        // Root reads a file whatever its modes: the report is run as any other user.
        std::optional<PermissionOverrideDropped> asAnyUser;
        switch (c.spoil) {
        case Spoil::Gone: std::filesystem::remove(mid); break;
        case Spoil::Unreadable:
            std::filesystem::permissions(mid, std::filesystem::perms::none);
            asAnyUser.emplace();
            break;
        case Spoil::Cut: folder.Write("Mid.fla", "1,2,10,1,40,60,2,60,40,0,3,0,0,0\r\n"); break;
        case Spoil::Garbage: folder.Write("Mid.fla", "1,2,1\x01" "0,1,40,60,2,60,40,0,3,0,0,0,0,0,0,0,99,99\r\n"); break;
        }
        for (const Report& r : reports) {
            const std::string text = produce(r);
            ASSERT_EQ(messages.shown.size(), 1u) << r.entry;
            EXPECT_EQ(messages.shown[0].text, c.named) << r.entry;
            EXPECT_TRUE(text == without[r.entry]) << "report " << r.entry << " is not the one without Mid.fla";
        }
        asAnyUser.reset();
        if (c.spoil == Spoil::Unreadable)
            std::filesystem::permissions(mid, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    }
}

TEST_F(ConsensusSetUpTest, PrintRangeGivesASentencePerGameForEveryFormula)
{
    for (const bool totals : {false, true}) {
        SCOPED_TRACE(totals);
        const std::string set = totals ? "ConsensusOU/" : "Consensus/";
        folder.Write("Good12.fla", DefaultFormulaLine);
        folder.Write("Tight.fla", TightLine);
        folder.Write(set + "Good12.fla", DefaultFormulaLine);
        folder.Write(set + "Tight.fla", TightLine);
        ChooseWeek(12, 2024);
        PredictWindow& w = OpenPredictions();
        Control<QCheckBox>(&w, "chkOu")->setChecked(totals);
        const Formula before = App().CurrentFormula;
        const auto pdf = folder / (totals ? "range-ou.pdf" : "range.pdf");
        PrintTo(pdf);
        ChooseReport(5);
        Control<QPushButton>(&w, "cmdConsensus")->click();
        EXPECT_EQ(App().CurrentFormula, before);
        const std::string text = OneSpaced(PdfText(pdf));
        ASSERT_FALSE(text.empty());
        EXPECT_NE(text.find("Vexal Range Report for " + OneSpaced(w.WeekText()) + " - Printed:" + ReportDate() +
                            " - Page 1"),
                  std::string::npos)
            << text;
        const int slot = CurrentSlot();
        const int games = GamesOfWeek(slot);
        std::size_t at = 0;
        for (const auto& [name, line] : std::vector<std::pair<std::string, std::string>>{
                 {"Good12.fla", DefaultFormulaLine}, {"Tight.fla", TightLine}}) {
            const std::size_t using_ = text.find("Using " + name + ", the following will result in a play:", at);
            ASSERT_NE(using_, std::string::npos) << name << "\n" << text;
            at = using_;
            const auto limits = LimitsOf(line, totals);
            for (int g = 0; g < games; ++g) {
                const std::string a = TeamName(Season().Game(slot, g, gfAwayTeam), 0, NameStyleAsShown);
                const std::string h = TeamName(Season().Game(slot, g, gfHomeTeam), 0, NameStyleAsShown);
                const auto& r = limits[static_cast<std::size_t>(g)];
                auto n = [](float v) { return RangeNumberText(v); };
                const std::string sentence =
                    totals ? "In " + a + "/" + h + " play UNDER between " + n(r.item1) + " and " + n(r.item2) +
                                 " and play OVER between " + n(r.item5) + " and " + n(r.item4)
                           : "If the line is " + n(r.item1) + " to " + n(r.item2) + " then play " + a + " if it's " +
                                 n(r.item4) + " to " + n(r.item5) + " then play " + h;
                const std::size_t found = text.find(OneSpaced(sentence), at);
                ASSERT_NE(found, std::string::npos) << sentence << "\n" << text;
                at = found;
            }
        }
        UnloadWindow("PREDICT");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        std::filesystem::remove_all(folder / set);
        std::filesystem::create_directories(folder / set);
    }
}

// However wide the print face, the consensus table keeps every text whole and on the page: the
// columns widen, and a table too wide for the page prints smaller.
TEST(ConsensusPrintout, ColumnsFollowTheWidthOfTheirFaces)
{
    TempFolder folder;
    ConsensusPrintout report;
    report.heading = "Vexal Sides Consensus Report for Wk 12 of 2024 - Printed:12-01-2024";
    const char* const teams[] = {"NYG", "DAL", "PHI", "WAS", "CHI", "DET", "GNB", "MIN",
                                 "ATL", "CAR", "NOR", "TAM", "ARI", "LAR", "SFO", "SEA"};
    for (int g = 0; g < 16; ++g) {
        report.away.push_back(teams[g]);
        report.home.push_back(std::string("@") + teams[(g + 5) % 16]);
        report.numbers.push_back(g % 2 ? "-13.5" : "10.5");
    }
    ConsensusPrintRow row{"AVeryLongFormulaName2024", {}};
    for (int g = 0; g < 16; ++g)
        row.picks[static_cast<std::size_t>(g)] = teams[(g * 3) % 16];
    report.rows.push_back(row);

    for (const int spacing : {100, 170}) {
        SCOPED_TRACE(spacing);
        const auto pdf = folder / ("wide" + std::to_string(spacing) + ".pdf");
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf.string()));
        PrinterCanvas canvas(printer);
        QFont font;
        font.setLetterSpacing(QFont::PercentageSpacing, spacing);
        canvas.SetFont(font);
        ASSERT_TRUE(canvas.Begin());
        PrintConsensusReport(canvas, report);
        canvas.EndDoc();
        const std::string text = PdfText(pdf);
        // Letter-spaced text comes back with blanks between the letters: compare the letters.
        auto words = [&](const std::vector<std::string>& expected) {
            std::string joined;
            for (const std::string& w : expected)
                joined += w;
            for (const std::string& line : Lines(text))
                if (std::regex_replace(line, std::regex("\\s+"), "") == joined)
                    return true;
            return false;
        };
        EXPECT_TRUE(words(report.away)) << text;
        EXPECT_TRUE(words(report.home)) << text;
        EXPECT_TRUE(words(report.numbers)) << text;
        std::vector<std::string> printed{row.label};
        for (int g = 0; g < 16; ++g)
            printed.push_back(row.picks[static_cast<std::size_t>(g)]);
        EXPECT_TRUE(words(printed)) << text;
    }
}

TEST(RangePrintText, SentencesForSidesAndTotals)
{
    std::array<std::array<float, 17>, 6> limits{};
    limits[1][0] = 4.95f;
    limits[2][0] = -1.95f;
    limits[4][0] = 11.05f;
    limits[5][0] = 17.95f;
    const RangeGame game{"Dallas", "N.Y. Giants"};
    EXPECT_EQ(RangeSentence(game, limits, 0, false),
              "If the line is 4.95 to -1.95 then play Dallas if it's 11.05 to 17.95 then play N.Y. Giants");
    EXPECT_EQ(RangeSentence(game, limits, 0, true),
              "In Dallas/N.Y. Giants play UNDER between 4.95 and -1.95 and play OVER between 17.95 and 11.05");
    EXPECT_EQ(RangePrintHeading("Wk 3 of 2024", "12-01-2024", 2), "Vexal Range Report for Wk 3 of 2024 - Printed:12-01-2024 - Page 2");
    const RangePrintBlock block = RangePrintBlockOf("a.fla", {game, game}, limits, false);
    EXPECT_EQ(block.fileName, "a.fla");
    EXPECT_EQ(block.sentences.size(), 2u);
}

} // namespace
} // namespace vexal::test
