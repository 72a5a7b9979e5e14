// The user's own settings file (~/.config/Vexal/Vexal.ini) in the forms people give it by
// hand, the program started on it as main() starts it: comment lines anywhere, a UTF-8 mark,
// CR LF lines, no line end after the last line, a key written twice under spellings the
// settings store takes for one, keys with blanks. Each starts with no message and its values
// in the Test Formula window. A file that holds bytes no text holds, or that the program or
// the store could read only part of, is named once, its values are not used, and it stays as
// it was, the program's end included.
#include "FileChecks.h"
#include "MsgBox.h"
#include "ProgramTestSupport.h"
#include "QtPlatform.h"
#include "SettingsStore.h"

#include <QAction>
#include <QMainWindow>
#include <QLineEdit>
#include <QToolBar>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

namespace vexal::test {
namespace {

enum class Fault { None, ProgramReadFails, StoreReadFails };

struct Form {
    const char* name;
    std::string text;
    bool named = false; // the file is refused with one message naming it
    Fault fault = Fault::None;
};

std::vector<Form> Forms()
{
    const std::string keys = "Preference\\SaveFormulasUL=7\nPreference\\Min Games=5\n";
    return {
        {"CommentAboveTheSection", "# my settings\n[Vexal]\n" + keys},
        {"CommentsBetweenTheKeys", "[Vexal]\nPreference\\SaveFormulasUL=7\n# games\n; a count\nPreference\\Min Games=5\n"},
        {"IndentedComments", "  ; mine\n[Vexal]\n\t# tab\n" + keys + "  #end"},
        {"Utf8Mark", "\xEF\xBB\xBF[Vexal]\n" + keys},
        {"Utf8MarkAndComment", "\xEF\xBB\xBF# settings\r\n[Vexal]\r\nPreference\\SaveFormulasUL=7\r\nPreference\\Min Games=5\r\n"},
        {"CrLf", "[Vexal]\r\nPreference\\SaveFormulasUL=7\r\nPreference\\Min Games=5\r\n"},
        {"NoFinalLineEnd", "[Vexal]\nPreference\\Min Games=5\nPreference\\SaveFormulasUL=7"},
        {"SlashAndBackslash", "[Vexal]\nPreference\\SaveFormulasUL=3\nPreference/SaveFormulasUL=7\nPreference\\Min Games=5\n"},
        {"SectionOfAGroupAfterItsParent",
         "[Vexal]\nPreference\\SaveFormulasUL=3\nPreference\\Min Games=5\n[Vexal\\Preference]\nSaveFormulasUL=7\n"},
        {"TopAndGeneral", "top=1\n[Vexal]\n" + keys + "[General]\ntop=2\n"},
        {"KeysWithBlanks", "[Vexal]\n  Preference\\SaveFormulasUL  =  7  \nPreference\\Min%20Games=5\n"},
        {"Nul", std::string("[Vexal]\n") + keys + std::string("Settings\\Theme=a\0b\n", 19), true},
        {"ControlByte", "[Vexal]\n" + keys + "Settings\\Theme=a\x01" "b\n", true},
        {"ProgramReadFailsPartWay", "[Vexal]\n" + keys, true, Fault::ProgramReadFails},
        {"StoreReadFailsPartWay", "[Vexal]\n" + keys, true, Fault::StoreReadFails},
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
