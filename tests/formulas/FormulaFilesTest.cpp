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
#include <memory>
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
    // The proposed name is the chosen one, its letters kept.
    EXPECT_EQ(Scripted().shown[0].defaultText, "Alpha.fla");
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

// Accepting the proposed name saves over the file that was opened, whatever its letters (the
// engine's Good<n>.fla, the smart formulas' .FLA); a name typed in other letters is another file.
TEST_F(FormulaFilesTest, SavingUnderTheProposedNameReachesTheOpenedFile)
{
    folder.Write("MyForm.fla", ExampleLine);
    folder.Write("Wk102024CinBal.FLA", "3,1,99,1,50,50,3,50,50,0,4,0,0,0\r\n");
    Editor();
    for (const std::string name : {"MyForm.fla", "Wk102024CinBal.FLA"}) {
        Choose(Combo("Combo2"), name);
        Enter(Box(0), "7");
        Editor().findChild<QPushButton*>("cmdSave")->click();
        EXPECT_EQ(folder.Read(name).substr(0, 2), "7,") << name;
    }
    Save("myform.fla");
    EXPECT_EQ(Items(Combo("Combo2")), (std::vector<std::string>{"MyForm.fla", "Wk102024CinBal.FLA", "myform.fla"}));
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

// The smart predictions' short form: the positions it does not hold are 0.
TEST_F(FormulaFilesTest, TheShortFormOpensAsTheReadingRuleSays)
{
    const std::string shortForm = "Wk62024AriAtl.FLA";
    folder.Write(shortForm, "3,1,99,1,50,50,4,50,50,1,4,1,1,1\r\n");
    folder.Write("full.fla", "3,1,99,1,50,50,0,50,50,0,4,0,0,0,1,0,10,0,45,50\r\n");
    Editor();
    Choose(Combo("Combo2"), "full.fla");
    ASSERT_TRUE(Check("chkOver")->isChecked());
    ASSERT_TRUE(Check("chkLines")->isChecked());
    App().CurrentFormula[fsTotalsMode] = 1;
    App().CurrentFormula[fsOtherFactors] = 1;

    Choose(Combo("Combo2"), shortForm);
    for (const char* off : {"chkHome", "chkAway", "chkFav", "chkDog", "chkOver", "chkUnder", "chkLines"})
        EXPECT_FALSE(Check(off)->isChecked()) << off;
    EXPECT_TRUE(Check("SHA")->isChecked());
    EXPECT_TRUE(Check("ChkNoLine")->isChecked());
    EXPECT_EQ(Combo("Combo1")->currentText(), " 4 Weeks");
    const Formula shortOne{3, 1, 99, 50, 50, 50, 50, 4, 1, 4, 1, 1, 0, 5, 0, 0, 1, 1, 0, 0, 0, 0, 99, 99};
    EXPECT_EQ(App().CurrentFormula, shortOne);
    EXPECT_TRUE(Scripted().shown.empty());
}

// A formula file of the user's that gives no whole formula when it is chosen (cut short, empty,
// gone since it was listed, unreadable, holding a byte no text holds) is named once, by the
// file and what is wrong with it, and none of it is loaded: every box shows 0, as for a file
// that is not there. A read that finds the file whole again loads it, and a later failure is
// named again.
TEST_F(FormulaFilesTest, AFileOfTheUsersThatGivesNoWholeFormulaIsNamedOnceAndNoneOfItLoads)
{
    const std::string whole = "7,2,12,1.5,60,40,4,30,70,1,5,1,0,0,0,0,0,0,99,99\r\n";
    const std::filesystem::path file = folder / "mine.fla";
    struct Case {
        const char* damage;
        std::function<void()> spoil;
        std::string named;
    };
    std::unique_ptr<ReadErrorFault> failing;
    const Case cases[] = {
        {"cut", [&] { folder.Write("mine.fla", "7,2,12,1.5,60,40,4,30,70,1,5"); },
         file.string() + " ends after 11 of the 20 numbers of a formula."},
        {"cut to the short form's length", [&] { folder.Write("mine.fla", "7,2,12,1.5,60,40,4,30,70,1,5,1,0,0\r\n"); },
         file.string() + " ends after 14 of the 20 numbers of a formula."},
        {"one number short", [&] { folder.Write("mine.fla", whole.substr(0, whole.rfind(','))); },
         file.string() + " ends after 19 of the 20 numbers of a formula."},
        {"empty", [&] { folder.Write("mine.fla", ""); }, file.string() + " ends after 0 of the 20 numbers of a formula."},
        {"gone", [&] { std::filesystem::remove(file); }, file.string() + " was not found."},
        {"a byte no text holds", [&] { folder.Write("mine.fla", "7,2,1\x01" "2,1.5,60,40,4,30,70,1,5,1,0,0,0,0,0,0,99,99\r\n"); },
         file.string() + " is damaged: "},
        {"a read that fails", [&] { failing = std::make_unique<ReadErrorFault>(file, 10); }, ReadFailure(file, EIO)},
    };
    folder.Write("full.fla", ExampleLine);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.damage);
        folder.Write("mine.fla", whole);
        Editor().RefreshFileList();
        Choose(Combo("Combo2"), "full.fla");
        Scripted().shown.clear();
        // Listed whole, then spoilt before it is chosen.
        c.spoil();
        for (int choice = 1; choice <= 2; ++choice) {
            Choose(Combo("Combo2"), "mine.fla");
            ASSERT_EQ(Scripted().shown.size(), 1u) << "named once, at the first choice";
            EXPECT_EQ(Scripted().shown[0].text.rfind(c.named, 0), 0u) << Scripted().shown[0].text;
            EXPECT_TRUE(Scripted().shown[0].text.ends_with(" Its formula was not loaded.")) << Scripted().shown[0].text;
            for (int i = 0; i < 9; ++i)
                EXPECT_EQ(Box(i)->text(), "0") << i;
            EXPECT_FALSE(Check("SHA")->isChecked());
            EXPECT_EQ(App().CurrentFormulaFile, "mine.fla");
        }
        // Whole again: its formula, without a word.
        failing.reset();
        folder.Write("mine.fla", whole);
        Choose(Combo("Combo2"), "mine.fla");
        EXPECT_EQ(Scripted().shown.size(), 1u);
        EXPECT_EQ(Box(0)->text(), "7");
        EXPECT_EQ(Box(3)->text(), "60");
        // And spoilt again: news, named again.
        c.spoil();
        Choose(Combo("Combo2"), "mine.fla");
        ASSERT_EQ(Scripted().shown.size(), 2u) << "a failure after a sound read is named again";
        EXPECT_EQ(Scripted().shown[1].text, Scripted().shown[0].text);
        EXPECT_EQ(Box(0)->text(), "0");
        failing.reset();
    }
}

// A formula file whose name an older system wrote in Windows-1252 (not UTF-8) is listed by its
// characters, and choosing it opens, deletes and tests that very file.
TEST_F(FormulaFilesTest, ANameThatIsNotUtf8IsListedByItsCharactersAndOpensItsFile)
{
    const std::string bytes = "Sch\xF6n.fla";
    folder.Write(bytes, "5,1,99,1,70,30,0,50,50,0,4,0,0,0,0,0,0,0,99,99\r\n");
    folder.Write("a.fla", ExampleLine);
    Editor();
    EXPECT_EQ(Items(Combo("Combo2")), (std::vector<std::string>{"a.fla", "Sch\u00F6n.fla"}));
    Choose(Combo("Combo2"), "Sch\u00F6n.fla");
    EXPECT_TRUE(Scripted().shown.empty()) << Scripted().shown[0].text;
    EXPECT_EQ(Box(0)->text(), "5");
    EXPECT_EQ(Box(3)->text(), "70");
    EXPECT_EQ(App().CurrentFormulaFile, "Sch\u00F6n.fla");
    EXPECT_EQ(Editor().FormulaFiles(), (std::vector<std::string>{"a.fla", "Sch\u00F6n.fla"}));
    // Remembered by its listed name, it is the formula the next load opens.
    UnloadWindow("frmFormula");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    App().CurrentFormula.fill(0);
    Editor();
    EXPECT_EQ(Combo("Combo2")->currentText(), "Sch\u00F6n.fla");
    EXPECT_EQ(Box(3)->text(), "70");
    Delete({vbYes});
    EXPECT_FALSE(Exists(bytes));
    EXPECT_TRUE(Exists("a.fla"));
    EXPECT_EQ(Items(Combo("Combo2")), (std::vector<std::string>{"a.fla"}));
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
    {   // A folder the user cannot write keeps its files, each named with the cause and listed.
        const RemoveFault refused;
        Delete({vbYes});
        EXPECT_EQ(Scripted().shown.back().text, RemoveFailure(folder / "alpha.fla", "permission denied"));
        Choose(Combo("Combo2"), "Good3.fla");
        Delete({vbYes, vbYes});
        EXPECT_EQ(Scripted().shown.back().text, RemoveFailure(folder / "good12.fla", "permission denied") + "\r\n" +
                                                    RemoveFailure(folder / "Good3.fla", "permission denied"));
        EXPECT_EQ(Scripted().shown.back().title, "File not deleted");
    }
    EXPECT_EQ(Items(Combo("Combo2")), (std::vector<std::string>{"alpha.fla", "bad7.fla", "good12.fla", "Good3.fla"}));

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
    EXPECT_EQ(Scripted().shown.back().text, folder.Path().string() + "/gone.fla not found.");
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
