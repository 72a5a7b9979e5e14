// Formula files through the editor's own controls in a temporary program folder: listing,
// opening, saving (with the name rule and refused names) and deleting, with scripted
// message and input boxes.
#include "FormulaEditorTestSupport.h"

#include "CurrentFormula.h"
#include "DefaultFormula.h"
#include "FileChecks.h"
#include "PermissionOverride.h"
#include "FormulaFolder.h"
#include "RecordFile.h"
#include "SettingsStore.h"

#include <QLocale>

#include <filesystem>
#include <functional>
#include <optional>


namespace vexal::test {
namespace {

const char* const ExampleLine = "3,1,99,1,50,50,0,50,50,0,4,0,0,0,0,0,0,0,99,99\r\n";

std::vector<std::string> Items(QComboBox* box)
{
    std::vector<std::string> items;
    for (int i = 0; i < box->count(); ++i)
        items.push_back(box->itemText(i).toStdString());
    return items;
}

class FormulaFilesTest : public FormulaEditorTest {
protected:
    void Save(const std::string& answer)
    {
        Scripted().inputs.push_back(answer);
        Editor().findChild<QPushButton*>("cmdSave")->click();
    }
    void Delete(std::initializer_list<int32_t> answers)
    {
        for (int32_t a : answers)
            Scripted().answers.push_back(a);
        Editor().findChild<QPushButton*>("cmdDelete")->click();
    }
    bool Exists(const std::string& name) const { return std::filesystem::exists(folder / name); }
    // The example formula of the file format, typed into the editor.
    void TypeExample()
    {
        const char* values[9] = {"3", "1", "99", "50", "50", "50", "50", "4", "1"};
        for (int i = 0; i < 9; ++i)
            Enter(Box(i), values[i]);
        if (!Check("STD")->isChecked())
            Click(Check("STD"));
    }
};

TEST_F(FormulaFilesTest, SavedFormulaReadsBackAsTheSameTwentyFourSlots)
{
    Editor();
    const Formula original{-2.5f, 1.5f, 12, 65, 35, 42.5f, 57.5f, -1.25f, 1.1f, 6, 1, 1, 0, 5, 0, 0, 1, 1, 0, 0, 0, 1, 103.5f, 107};
    App().CurrentFormula = original;
    Editor().LoadFormula();
    Save("round");
    ASSERT_TRUE(Exists("round.fla"));
    EXPECT_EQ(folder.Read("round.fla"), "-2.5,1.5,12,1.1,65,35,6,57.5,42.5,1,-1.25,1,1,1,0,0,0,1,103.5,107\r\n");

    // Show something else, then open the saved file through the list.
    App().CurrentFormula = Formula{};
    App().CurrentFormula[fsLineStart] = App().CurrentFormula[fsLineEnd] = 99;
    Editor().LoadFormula();
    Editor().RefreshFileList();
    ResetRefreshes();
    Choose(Combo("Combo2"), "round.fla");
    EXPECT_EQ(Refreshes(), 1);
    EXPECT_EQ(App().CurrentFormulaFile, "round.fla");
    EXPECT_EQ(GetSetting("Formula", "Current"), "round.fla");
    EXPECT_EQ(App().CurrentFormula, original);   // slot 13 from the chosen week (index 4)
}

TEST_F(FormulaFilesTest, TheExampleFormulaIsWrittenByteForByte)
{
    TypeExample();
    Save("example");
    EXPECT_EQ(folder.Read("example.fla"), ExampleLine);
    ASSERT_EQ(Scripted().shown.size(), 2u);
    EXPECT_EQ(Scripted().shown[0].kind, "InputBox");
    EXPECT_EQ(Scripted().shown[0].text, "Please enter a filename");
    EXPECT_EQ(Scripted().shown[0].title, "Filename");
    EXPECT_EQ(Scripted().shown[1].text, "File saved");
    EXPECT_EQ(Scripted().shown[1].title, "File saved");
    EXPECT_EQ(Scripted().shown[1].buttons, vbExclamation);
}

TEST_F(FormulaFilesTest, NameRuleAndTheListAfterASave)
{
    folder.Write("Alpha.fla", ExampleLine);
    Editor();
    ASSERT_EQ(Combo("Combo2")->currentText(), "Alpha.fla");
    EXPECT_EQ(Scripted().shown.size(), 0u);
    Save("abc");
    Save("def.fla");
    Save("ghi.FLA");
    EXPECT_TRUE(Exists("abc.fla"));
    EXPECT_TRUE(Exists("def.fla"));
    EXPECT_TRUE(Exists("ghi.FLA.fla"));
    // The proposed name is the chosen one in lower case.
    EXPECT_EQ(Scripted().shown[0].defaultText, "alpha.fla");
    // Listed, not chosen: the current formula stays.
    EXPECT_EQ(Items(Combo("Combo2")), (std::vector<std::string>{"Alpha.fla", "abc.fla", "def.fla", "ghi.FLA.fla"}));
    EXPECT_EQ(Combo("Combo2")->currentText(), "Alpha.fla");
    EXPECT_EQ(App().CurrentFormulaFile, "Alpha.fla");
    EXPECT_EQ(GetSetting("Formula", "Current"), "Alpha.fla");

    // An empty answer (or Cancel) saves nothing and says nothing.
    const auto shown = Scripted().shown.size();
    Save("");
    EXPECT_EQ(Scripted().shown.size(), shown + 1);
    EXPECT_EQ(ListFormulaFiles(folder.Path()).size(), 4u);
}

TEST_F(FormulaFilesTest, ANameThatIsNoPlainFileNameIsRefused)
{
    Editor();
    for (const std::string bad : {"../escape", "sub/name", "back\\slash", "a:b", "what?", "star*", "pipe|",
                                  "quote\"", "<less", "tab\tname", "bell\x07", ".."}) {
        Scripted().shown.clear();
        Save(bad);
        ASSERT_EQ(Scripted().shown.size(), 2u) << bad;
        EXPECT_EQ(Scripted().shown[1].text, "You entered a bad filename, The formula was not saved!") << bad;
        EXPECT_EQ(Scripted().shown[1].title, "Bad Filename");
        EXPECT_EQ(Scripted().shown[1].buttons, vbExclamation);
    }
    EXPECT_TRUE(ListFormulaFiles(folder.Path()).empty());
    EXPECT_FALSE(std::filesystem::exists(folder.Path().parent_path() / "escape.fla"));
    EXPECT_EQ(Combo("Combo2")->count(), 0);
}

TEST_F(FormulaFilesTest, AGoodNameTheFolderRefusesSaysWhereAndWhy)
{
    Editor();
    struct Case {
        const char* name;
        std::function<void()> refuse;
        const char* reason;
        bool fileThere; // a file of the name is there before the save and stays as it was
    };
    namespace fs = std::filesystem;
    std::optional<WriteFault> fault;
    std::optional<PermissionOverrideDropped> asAnyUser;
    const Case cases[] = {
        {"taken", [&] { fs::create_directories(folder / "taken.fla"); }, "a folder of that name is in the way", false},
        {"full", [&] { fault.emplace(10, folder / "full.fla"); }, "the disk is full", false},
        // A default.fla its user made read-only, whoever runs the program.
        {"default",
         [&] {
             folder.Write("default.fla", ExampleLine);
             fs::permissions(folder / "default.fla", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
             asAnyUser.emplace();
         },
         "permission denied", true},
    };
    for (const Case& c : cases) {
        c.refuse();
        Scripted().shown.clear();
        Save(c.name);
        fault.reset();
        asAnyUser.reset();
        ASSERT_EQ(Scripted().shown.size(), 2u) << c.name;
        EXPECT_EQ(Scripted().shown[1].text, std::string("The formula ") + c.name + ".fla could not be saved in " +
                                                folder.Path().string() + ": " + c.reason + ".");
        EXPECT_EQ(Scripted().shown[1].title, "Formula not saved");
        if (c.fileThere)
            EXPECT_EQ(folder.Read(std::string(c.name) + ".fla"), ExampleLine) << c.name;
        else
            EXPECT_FALSE(fs::is_regular_file(folder / (std::string(c.name) + ".fla"))) << c.name;
    }
}

TEST_F(FormulaFilesTest, ShortAndMissingFilesOpenAsTheReadingRuleSays)
{
    folder.Write("short.fla", "3,1,99,1,50,50,4,50,50,1,4,1,1,1\r\n");
    folder.Write("full.fla", "3,1,99,1,50,50,0,50,50,0,4,0,0,0,1,0,10,0,45,50\r\n");
    Editor();
    Choose(Combo("Combo2"), "full.fla");
    ASSERT_TRUE(Check("chkOver")->isChecked());
    ASSERT_TRUE(Check("chkLines")->isChecked());
    App().CurrentFormula[fsTotalsMode] = 1;
    App().CurrentFormula[fsOtherFactors] = 1;

    Choose(Combo("Combo2"), "short.fla");
    for (const char* off : {"chkHome", "chkAway", "chkFav", "chkDog", "chkOver", "chkUnder", "chkLines"})
        EXPECT_FALSE(Check(off)->isChecked()) << off;
    EXPECT_TRUE(Check("SHA")->isChecked());
    EXPECT_TRUE(Check("ChkNoLine")->isChecked());
    EXPECT_EQ(Combo("Combo1")->currentText(), " 4 Weeks");
    const Formula shortOne{3, 1, 99, 50, 50, 50, 50, 4, 1, 4, 1, 1, 0, 5, 0, 0, 1, 1, 0, 0, 0, 0, 99, 99};
    EXPECT_EQ(App().CurrentFormula, shortOne);

    // A listed file that has gone: an all-zero formula and no message.
    std::filesystem::remove(folder / "full.fla");
    Scripted().shown.clear();
    Choose(Combo("Combo2"), "full.fla");
    EXPECT_TRUE(Scripted().shown.empty());
    EXPECT_EQ(Box(0)->text(), "0");
    EXPECT_EQ(Box(2)->text(), "0");
    EXPECT_TRUE(Check("STD")->isChecked());
    EXPECT_FALSE(Check("chkLines")->isChecked());
    EXPECT_EQ(App().CurrentFormula[fsTotalsMode], 0);
}

TEST_F(FormulaFilesTest, ListLeavesOutGoodAndBadFilesWhenAsked)
{
    for (const char* name : {"Good3.fla", "bad7.fla", "goodies.fla", "mygood.fla", "OU.FLA", "zeta.fla"})
        folder.Write(name, ExampleLine);
    folder.Write("notes.txt", "x");
    std::filesystem::create_directory(folder / "dir.fla");
    Editor();
    EXPECT_EQ(Items(Combo("Combo2")),
              (std::vector<std::string>{"bad7.fla", "Good3.fla", "goodies.fla", "mygood.fla", "OU.FLA", "zeta.fla"}));
    Choose(Combo("Combo2"), "zeta.fla");

    Check("chkExcludeBestWorst")->click();
    EXPECT_EQ(GetSetting("Formula", "GoodBad"), "1");
    EXPECT_EQ(Items(Combo("Combo2")), (std::vector<std::string>{"mygood.fla", "OU.FLA", "zeta.fla"}));
    EXPECT_EQ(Combo("Combo2")->currentText(), "zeta.fla");
    EXPECT_EQ(Control<QListWidget>("File1")->count(), 6);
}

TEST_F(FormulaFilesTest, TheRememberedFormulaOpensWhenTheEditorLoads)
{
    folder.Write("a.fla", ExampleLine);
    folder.Write("b.fla", "2,0,99,1,60,40,3,50,50,0,4,0,0,0,0,0,0,0,99,99\r\n");
    SaveSetting("Formula", "Current", "b.fla");
    Editor();
    EXPECT_EQ(Combo("Combo2")->currentText(), "b.fla");
    EXPECT_EQ(App().CurrentFormulaFile, "b.fla");
    EXPECT_EQ(Box(3)->text(), "60");
    EXPECT_EQ(Combo("Combo1")->currentText(), " 3 Weeks");
    EXPECT_EQ(App().CurrentFormula[fsOffense], 60);
}

// A default.fla that read well fails when the editor reads it again (its own reopening at
// load, a relisting after a run saved formulas, the Exclude Good/Bad click): the built-in
// formula then takes its place, and the file is named once with the disk's own cause.
TEST_F(FormulaFilesTest, ADefaultFormulaThatFailsWhenReadAgainIsNamedOnce)
{
    struct Case {
        const char* when;
        int wholeReads;                          // reads of the file that go through first
        std::function<void()> readAgain;
    };
    const Case cases[] = {
        {"the load's reopening", 1, [] {}},
        {"a relisting", 2, [this] { Editor().RefreshFileList(); }},
        {"the Exclude Good/Bad click", 2, [this] { Check("chkExcludeBestWorst")->click(); }},
    };
    const std::filesystem::path file = folder / DefaultFormulaName;
    folder.Write(DefaultFormulaName, "7,1,99,1,50,50,0,50,50,0,4,0,0,0,0,0,0,0,99,99\r\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.when);
        // Each case with an editor loaded afresh, in a run of the program of its own.
        UnloadWindow("frmFormula");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        InstallScriptedMessages();
        SaveSetting("Formula", "GoodBad", "0");
        {
            const ReadErrorFault failing(file, 0, c.wholeReads);
            Editor();
            if (c.wholeReads > 1) {
                EXPECT_EQ(Box(0)->text(), "7") << "the file read well at first";
            }
            c.readAgain();
            ASSERT_EQ(Scripted().shown.size(), 1u);
            EXPECT_EQ(Scripted().shown[0].text, ReadFailure(file, EIO) + " The built-in default formula is used instead.");
            EXPECT_EQ(Box(0)->text(), "3");
            EXPECT_EQ(App().CurrentFormula[fsHomeField], 3);
            // Read again while the disk still fails: named once, not at every read.
            Editor().RefreshFileList();
            EXPECT_EQ(Scripted().shown.size(), 1u);
        }
        // Whole again: the file's own formula, and a later failure would be news.
        Editor().RefreshFileList();
        EXPECT_EQ(Box(0)->text(), "7");
        EXPECT_EQ(Scripted().shown.size(), 1u);
    }
}

TEST_F(FormulaFilesTest, DeleteOneFileOrAllGoodOnes)
{
    for (const char* name : {"alpha.fla", "good12.fla", "Good3.fla", "bad7.fla"})
        folder.Write(name, ExampleLine);
    Editor();

    // No: nothing happens.
    Choose(Combo("Combo2"), "alpha.fla");
    Delete({vbNo});
    EXPECT_TRUE(Exists("alpha.fla"));
    EXPECT_EQ(Scripted().shown.back().text, "Are you sure you want to delete alpha.fla ?");
    EXPECT_EQ(Scripted().shown.back().title, "Delete?");
    EXPECT_EQ(Scripted().shown.back().buttons, vbYesNo + vbQuestion);

    // One good file only.
    Choose(Combo("Combo2"), "good12.fla");
    Delete({vbYes, vbNo});
    EXPECT_EQ(Scripted().shown.back().text, "Would you like to delete all 'good' files?");
    EXPECT_EQ(Scripted().shown.back().title, "Delete all Good?");
    EXPECT_FALSE(Exists("good12.fla"));
    EXPECT_TRUE(Exists("Good3.fla"));

    // The chosen name went: the first entry is chosen and opened.
    EXPECT_EQ(Combo("Combo2")->currentText(), "alpha.fla");
    EXPECT_EQ(App().CurrentFormulaFile, "alpha.fla");

    folder.Write("good12.fla", ExampleLine);
    Editor().RefreshFileList();
    Choose(Combo("Combo2"), "Good3.fla");
    ResetRefreshes();
    Delete({vbYes, vbYes});
    EXPECT_FALSE(Exists("good12.fla"));
    EXPECT_FALSE(Exists("Good3.fla"));
    EXPECT_TRUE(Exists("bad7.fla"));
    EXPECT_TRUE(Exists("alpha.fla"));
    EXPECT_EQ(Items(Combo("Combo2")), (std::vector<std::string>{"alpha.fla", "bad7.fla"}));
    EXPECT_EQ(Refreshes(), 1);

    Choose(Combo("Combo2"), "bad7.fla");
    Delete({vbYes, vbYes});
    EXPECT_EQ(Scripted().shown.back().title, "Delete all Bad?");
    EXPECT_FALSE(Exists("bad7.fla"));
    EXPECT_EQ(Items(Combo("Combo2")), (std::vector<std::string>{"alpha.fla"}));
}

TEST_F(FormulaFilesTest, DeletingAFileThatHasGoneSaysSo)
{
    folder.Write("gone.fla", ExampleLine);
    Editor();
    std::filesystem::remove(folder / "gone.fla");
    Delete({vbYes});
    EXPECT_EQ(Scripted().shown.back().text, folder.Path().string() + "/gone.flanot found.");
    EXPECT_EQ(Scripted().shown.back().title, "No file found");
    EXPECT_EQ(Scripted().shown.back().buttons, vbCritical);
    EXPECT_EQ(Combo("Combo2")->count(), 0);
}

TEST_F(FormulaFilesTest, NumbersUseAPeriodWhateverTheLocale)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    folder.Write("decimal.fla", "2.5,1,99,1.5,50,50,0,50,50,0,-0.5,0,0,0,0,0,0,0,102.5,107\r\n");
    Editor();
    EXPECT_EQ(Box(0)->text(), "2.5");
    EXPECT_EQ(Box(8)->text(), "1.5");
    EXPECT_EQ(Combo("cboLinesStart")->currentText(), "ABS 2.5");
    Box(7)->clear();
    Type(Box(7), "-0,75");
    EXPECT_EQ(Box(7)->text(), "-0.75");   // a typed comma is the decimal point
    Leave(Box(7));
    ReadFormula();
    EXPECT_EQ(App().CurrentFormula[fsTurnovers], -0.75f);
    Save("decimal");
    EXPECT_EQ(folder.Read("decimal.fla"), "2.5,1,99,1.5,50,50,0,50,50,0,-0.75,0,0,0,0,0,0,0,102.5,107\r\n");
    QLocale::setDefault(previous);
}

TEST(FormulaFolder, NameRules)
{
    EXPECT_EQ(FormulaFileName("abc"), "abc.fla");
    EXPECT_EQ(FormulaFileName("abc.fla"), "abc.fla");
    EXPECT_EQ(FormulaFileName("abc.FLA"), "abc.FLA.fla");
    EXPECT_TRUE(IsPlainFileName("my formula (2).fla"));
    for (const std::string bad : {"", "..", "a..b.fla", "a/b", "a\\b", "c:x", "x\x1f", "a*", "name.", "name "})
        EXPECT_FALSE(IsPlainFileName(bad)) << bad;
    EXPECT_TRUE(IsGoodName("GOOD1.fla"));
    EXPECT_TRUE(IsGoodName("goodies.fla"));
    EXPECT_FALSE(IsGoodName("mygood.fla"));
    EXPECT_TRUE(IsBadName("Bad7.fla"));
    EXPECT_FALSE(IsBadName("ba.fla"));
}

} // namespace
} // namespace vexal::test
