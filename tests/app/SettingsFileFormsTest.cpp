// The user's own settings file (~/.config/Vexal/Vexal.ini) in the forms people give it by
// hand, the program started on it as main() starts it: comment lines anywhere, a UTF-8 mark,
// CR LF lines, no line end after the last line, a key written twice under spellings the
// settings store takes for one, keys with blanks, values as the store itself wrote them. Each
// starts with no message and its values in the Test Formula window; a value changed there is
// saved at the end into the file's own text, every other line of it kept byte for byte, and
// read back at the next start. A file that holds bytes no text holds, or that the program or
// the store could read only part of, is named once, its values are not used, and it stays as
// it was, the program's end included; so does a file the save cannot write, while the run
// goes on with the changed value.
#include "FileChecks.h"
#include "MsgBox.h"
#include "ProgramTestSupport.h"
#include "Preferences.h"
#include "QtPlatform.h"
#include "RecordFile.h"
#include "SettingsStore.h"

#include <QAction>
#include <QMainWindow>
#include <QLineEdit>
#include <QToolBar>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <optional>

namespace vexal::test {
namespace {

enum class Fault { None, ProgramReadFails, StoreReadFails, SaveFails };

struct Form {
    const char* name;
    std::string text;
    std::string saved;  // the file after the lower unit box is changed to 9 and the program ends
    bool named = false; // the file is refused with one message naming it
    Fault fault = Fault::None;
};

// What the end of the program saves that no form holds, after the last entry of [Vexal].
std::string Added(const std::string& eol)
{
    std::string added;
    for (const char* entry : {"Formula\\Current=default.fla", "Preference\\GraphType=0", "Preference\\SortbyWin=False",
                              "Preference\\SaveFormulasUU=100", "Preference\\SaveFormulasPL=0",
                              "Preference\\SaveFormulasPU=100"})
        added += entry + eol;
    return added;
}

std::vector<Form> Forms()
{
    const std::string keys = "Preference\\SaveFormulasUL=7\nPreference\\Min Games=5\n";
    const std::string saved = "Preference\\SaveFormulasUL=9\nPreference\\Min Games=5\n" + Added("\n");
    // As the settings store itself wrote the file: keys in order, escaped, a value with a
    // comma and an equals sign quoted.
    const std::string byTheStore = "[Vexal]\nPreference\\Min%20Games=5\nPreference\\SaveFormulasUL=7\n"
                                   "Settings\\FAQ=\"https://www.example.org/faq.htm?a=1,2\"\n";
    std::string lastAdded = Added("\n");
    lastAdded.pop_back(); // after a last line with no line end, the added lines end so too
    return {
        {"CommentAboveTheSection", "# my settings\n[Vexal]\n" + keys, "# my settings\n[Vexal]\n" + saved},
        {"CommentsBetweenTheKeys", "[Vexal]\nPreference\\SaveFormulasUL=7\n# games\n; a count\nPreference\\Min Games=5\n",
         "[Vexal]\nPreference\\SaveFormulasUL=9\n# games\n; a count\nPreference\\Min Games=5\n" + Added("\n")},
        {"IndentedComments", "  ; mine\n[Vexal]\n\t# tab\n" + keys + "  #end", "  ; mine\n[Vexal]\n\t# tab\n" + saved + "  #end"},
        {"Utf8Mark", "\xEF\xBB\xBF[Vexal]\n" + keys, "\xEF\xBB\xBF[Vexal]\n" + saved},
        {"Utf8MarkAndComment", "\xEF\xBB\xBF# settings\r\n[Vexal]\r\nPreference\\SaveFormulasUL=7\r\nPreference\\Min Games=5\r\n",
         "\xEF\xBB\xBF# settings\r\n[Vexal]\r\nPreference\\SaveFormulasUL=9\r\nPreference\\Min Games=5\r\n" + Added("\r\n")},
        {"CrLf", "[Vexal]\r\nPreference\\SaveFormulasUL=7\r\nPreference\\Min Games=5\r\n",
         "[Vexal]\r\nPreference\\SaveFormulasUL=9\r\nPreference\\Min Games=5\r\n" + Added("\r\n")},
        {"NoFinalLineEnd", "[Vexal]\nPreference\\Min Games=5\nPreference\\SaveFormulasUL=7",
         "[Vexal]\nPreference\\Min Games=5\nPreference\\SaveFormulasUL=9\n" + lastAdded},
        {"SlashAndBackslash", "[Vexal]\nPreference\\SaveFormulasUL=3\nPreference/SaveFormulasUL=7\nPreference\\Min Games=5\n",
         "[Vexal]\nPreference\\SaveFormulasUL=9\nPreference/SaveFormulasUL=9\nPreference\\Min Games=5\n" + Added("\n")},
        {"SectionOfAGroupAfterItsParent",
         "[Vexal]\nPreference\\SaveFormulasUL=3\nPreference\\Min Games=5\n[Vexal\\Preference]\nSaveFormulasUL=7\n",
         "[Vexal]\nPreference\\SaveFormulasUL=9\nPreference\\Min Games=5\nFormula\\Current=default.fla\n"
         "[Vexal\\Preference]\nSaveFormulasUL=9\nGraphType=0\nSortbyWin=False\nSaveFormulasUU=100\nSaveFormulasPL=0\n"
         "SaveFormulasPU=100\n"},
        {"TopAndGeneral", "top=1\n[Vexal]\n" + keys + "[General]\ntop=2\n", "top=1\n[Vexal]\n" + saved + "[General]\ntop=2\n"},
        {"KeysWithBlanks", "[Vexal]\n  Preference\\SaveFormulasUL  =  7  \nPreference\\Min%20Games=5\n",
         "[Vexal]\n  Preference\\SaveFormulasUL  =  9  \nPreference\\Min%20Games=5\n" + Added("\n")},
        {"WrittenByTheStore", byTheStore,
         "[Vexal]\nPreference\\Min%20Games=5\nPreference\\SaveFormulasUL=9\n"
         "Settings\\FAQ=\"https://www.example.org/faq.htm?a=1,2\"\n" + Added("\n")},
        {"Nul", std::string("[Vexal]\n") + keys + std::string("Settings\\Theme=a\0b\n", 19), "", true},
        {"ControlByte", "[Vexal]\n" + keys + "Settings\\Theme=a\x01" "b\n", "", true},
        {"ProgramReadFailsPartWay", "[Vexal]\n" + keys, "", true, Fault::ProgramReadFails},
        {"StoreReadFailsPartWay", "[Vexal]\n" + keys, "", true, Fault::StoreReadFails},
        {"SaveFails", "# mine\n[Vexal]\n" + keys, "", false, Fault::SaveFails},
    };
}

// A form by its name in the test's own name and messages.
void PrintTo(const Form& form, std::ostream* out) { *out << form.name; }

class SettingsFileForms : public WholeProgramTest, public ::testing::WithParamInterface<Form> {
protected:
    void TearDown() override
    {
        WholeProgramTest::TearDown();
        InstallSettings(std::make_unique<MemorySettings>());
    }
};

TEST_P(SettingsFileForms, StartWithTheirValuesInUseOrAreNamedOnceAndLeftAsTheyWere)
{
    const Form form = GetParam();
    const std::filesystem::path file = S(SettingsFile());
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary | std::ios::trunc) << form.text;
    const auto changed = std::filesystem::last_write_time(file);
    std::unique_ptr<ReadErrorFault> fault;
    if (form.fault == Fault::ProgramReadFails)
        fault = std::make_unique<ReadErrorFault>(file, form.text.size() / 2);
    if (form.fault == Fault::StoreReadFails)
        fault = std::make_unique<ReadErrorFault>(file, form.text.size() / 2, 1);
    ScriptedMessages& messages = InstallScriptedMessages();

    // As main() starts the program.
    InstallQtSettings();
    CheckProgramFolder();
    StartVexal();
    ASSERT_TRUE(WaitFor([] { return MainWindow() && FindWindow("FORM1") && !IsBusy() && !FindWindow("opening"); }));
    Pump();
    MainWindow()->findChild<QToolBar*>("cToolbar1")->actions().at(8)->trigger();
    ASSERT_TRUE(WaitFor([] { return !IsBusy() && FindWindow("frmTest"); }));
    Pump();
    auto* unitLower = FindWindow("frmTest")->findChild<QLineEdit*>("txtUnitLower");
    auto* minGames = FindWindow("frmTest")->findChild<QLineEdit*>("txtMin");
    ASSERT_NE(unitLower, nullptr);
    ASSERT_NE(minGames, nullptr);
    if (!form.named) {
        EXPECT_EQ(unitLower->text(), "7");
        EXPECT_EQ(minGames->text(), "5");
        EXPECT_TRUE(messages.shown.empty()) << messages.shown[0].text;
        if (form.name == std::string("WrittenByTheStore")) {
            EXPECT_EQ(GetSetting(pref::Faq), "https://www.example.org/faq.htm?a=1,2");
        }
        // The disk fills up while the program runs.
        const std::string before = ReadFile(file);
        std::optional<WriteFault> full;
        if (form.fault == Fault::SaveFails)
            full.emplace(0, file);
        unitLower->setText("9");
        // Closing the window saves its boxes.
        ASSERT_TRUE(UnloadWindow("frmTest"));
        Pump();
        EXPECT_EQ(GetSetting(pref::SaveFormulasUnitLower), "9") << "the run goes on with the value changed";
        if (form.fault == Fault::SaveFails) {
            ASSERT_EQ(messages.shown.size(), 1u);
            EXPECT_EQ(messages.shown[0].text, file.string() + " could not be written: the disk is full. A setting that "
                                                              "could not be saved is kept only until the program ends.");
            UnloadAllForms();
            Pump();
            EXPECT_EQ(messages.shown.size(), 1u) << "named once";
            EXPECT_EQ(ReadFile(file), before);
            return;
        }
        UnloadAllForms();
        Pump();
        EXPECT_EQ(ReadFile(file), form.saved);
        // The next start reads what was written.
        InstallQtSettings();
        EXPECT_EQ(GetSetting(pref::SaveFormulasUnitLower), "9");
        EXPECT_EQ(GetSetting(pref::MinGames), "5");
        EXPECT_TRUE(messages.shown.empty()) << messages.shown[0].text;
        return;
    }
    EXPECT_EQ(unitLower->text(), "0") << "a value of a file refused";
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find(file.string()), std::string::npos) << messages.shown[0].text;
    // The end of the program saves the settings of the run: not into the file refused.
    UnloadAllForms();
    Pump();
    fault.reset();
    EXPECT_EQ(ReadFile(file), form.text);
    EXPECT_EQ(std::filesystem::last_write_time(file), changed);
    EXPECT_EQ(messages.shown.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(ByHand, SettingsFileForms, ::testing::ValuesIn(Forms()),
                         [](const ::testing::TestParamInfo<Form>& info) { return std::string(info.param.name); });

} // namespace
} // namespace vexal::test
