// The scripted message boxes, the settings store, the host services and the error type.
#include "FileChecks.h"
#include "Host.h"
#include "MsgBox.h"
#include "SettingsStore.h"
#include "TempFolder.h"
#include "Steps.h"
#include "VbError.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <vector>

using namespace vexal;
using vexal::test::TempFolder;

TEST(ScriptedMessages, RecordsEveryTextTitleAndButtonSet)
{
    ScriptedMessages& messages = InstallScriptedMessages();
    MsgBox("This is not a valid data file", vbExclamation, "Invalid Format");
    MsgBox("Plain");
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].kind, "MsgBox");
    EXPECT_EQ(messages.shown[0].text, "This is not a valid data file");
    EXPECT_EQ(messages.shown[0].title, "Invalid Format");
    EXPECT_EQ(messages.shown[0].buttons, vbExclamation);
    EXPECT_EQ(messages.shown[1].title, AppTitle);
    EXPECT_EQ(messages.shown[1].buttons, vbOKOnly);
}

TEST(ScriptedMessages, AnswersFromTheQueueThenTheFirstButton)
{
    ScriptedMessages& messages = InstallScriptedMessages();
    messages.answers = {vbNo, vbCancel};
    EXPECT_EQ(MsgBox("Should I continue?", vbYesNo + vbQuestion), vbNo);
    EXPECT_EQ(MsgBox("Again?", vbYesNoCancel), vbCancel);
    EXPECT_TRUE(messages.answers.empty());
    EXPECT_EQ(MsgBox("a", vbOKOnly), vbOK);
    EXPECT_EQ(MsgBox("a", vbOKCancel), vbOK);
    EXPECT_EQ(MsgBox("a", vbAbortRetryIgnore), vbAbort);
    EXPECT_EQ(MsgBox("a", vbYesNoCancel + vbCritical), vbYes);
    EXPECT_EQ(MsgBox("a", vbYesNo + vbDefaultButton2), vbYes);
    EXPECT_EQ(MsgBox("a", vbRetryCancel), vbRetry);
    EXPECT_EQ(messages.shown.size(), 8u);
}

TEST(ScriptedMessages, InputBoxAnswersFromItsQueueThenItsDefault)
{
    ScriptedMessages& messages = InstallScriptedMessages();
    messages.inputs = {"typed", ""};
    EXPECT_EQ(InputBox("Name?", "Save", "default.fla"), "typed");
    EXPECT_EQ(InputBox("Name?", "Save", "default.fla"), ""); // a cancel
    EXPECT_EQ(InputBox("Name?", "Save", "default.fla"), "default.fla");
    ASSERT_EQ(messages.shown.size(), 3u);
    EXPECT_EQ(messages.shown[0].kind, "InputBox");
    EXPECT_EQ(messages.shown[0].text, "Name?");
    EXPECT_EQ(messages.shown[0].title, "Save");
    EXPECT_EQ(messages.shown[0].defaultText, "default.fla");
}

TEST(ScriptedMessages, InstallingGivesAFreshRecord)
{
    InstallScriptedMessages().answers = {vbNo};
    MsgBox("old");
    ScriptedMessages& fresh = InstallScriptedMessages();
    EXPECT_TRUE(fresh.shown.empty());
    EXPECT_TRUE(fresh.answers.empty());
    EXPECT_EQ(&Messages(), &fresh);
}

TEST(Settings, DefaultSaveDelete)
{
    InstallSettings(std::make_unique<MemorySettings>());
    EXPECT_EQ(GetSetting("Preference", "LineFile", "none"), "none");
    SaveSetting("Preference", "LineFile", "Vegas");
    EXPECT_EQ(GetSetting("Preference", "LineFile", "none"), "Vegas");
    EXPECT_EQ(Settings().GetSetting("Other", "Preference", "LineFile", "none"), "none"); // another application
    Settings().DeleteSetting(AppName, "Preference", "LineFile");
    EXPECT_EQ(GetSetting("Preference", "LineFile", "none"), "none");
}

TEST(Settings, NamesMatchWithoutRegardToCase)
{
    auto store = std::make_unique<MemorySettings>();
    MemorySettings& memory = *store;
    InstallSettings(std::move(store));
    SaveSetting("Preference", "SortbyWin", "1");
    EXPECT_EQ(GetSetting("preference", "SortByWin", "0"), "1");
    SaveSetting("PREFERENCE", "SORTBYWIN", "2");
    EXPECT_EQ(GetSetting("Preference", "SortbyWin", "0"), "2");
    ASSERT_EQ(memory.values.size(), 1u);
    EXPECT_EQ(memory.values.begin()->first, "Vexal/Preference/SortbyWin"); // first spelling kept
    Settings().DeleteSetting("vexal", "preference", "sortbywin");
    EXPECT_TRUE(memory.values.empty());
}

TEST(Settings, NumbersFallBackToTheDefaultWhenCorrupt)
{
    InstallSettings(std::make_unique<MemorySettings>());
    EXPECT_EQ(GetSettingNumber("Preference", "Min Games", 3), 3);
    SaveSetting("Preference", "Min Games", "5");
    EXPECT_EQ(GetSettingNumber("Preference", "Min Games", 3), 5);
    SaveSetting("Preference", "Min Games", " 2.5 ");
    EXPECT_EQ(GetSettingNumber("Preference", "Min Games", 3), 2.5);
    SaveSetting("Preference", "Min Games", "1,000");
    EXPECT_EQ(GetSettingNumber("Preference", "Min Games", 3), 1000);
    for (const char* corrupt : {"", "x", "5x", "1.2.3", "-"}) {
        SaveSetting("Preference", "Min Games", corrupt);
        EXPECT_EQ(GetSettingNumber("Preference", "Min Games", 3), 3) << corrupt;
    }
}

TEST(Settings, TypedEntriesReadTheTextsEarlierVersionsStored)
{
    InstallSettings(std::make_unique<MemorySettings>());
    EXPECT_TRUE(GetSetting(pref::Names));        // default True
    EXPECT_FALSE(GetSetting(pref::ToolbarText)); // default False
    EXPECT_FALSE(GetSetting(pref::SortByWin));
    const struct {
        const char* stored;
        bool names, toolbar;
    } rows[] = {
        {"True", true, true}, {"false", false, false}, {" TRUE ", true, true}, {"0", false, false},
        {"-1", true, true},   {"2", true, true},       {"yes", true, false},   {"", true, false},
    };
    for (const auto& row : rows) {
        SaveSetting("Preference", "Names", row.stored);
        SaveSetting("Preference", "Toolbar Text", row.stored);
        EXPECT_EQ(GetSetting(pref::Names), row.names) << row.stored;
        EXPECT_EQ(GetSetting(pref::ToolbarText), row.toolbar) << row.stored;
    }
    SaveSetting(pref::ToolbarText, true);
    EXPECT_EQ(GetSetting("Preference", "Toolbar Text", ""), "True");
    // The Test Formula window saves its sort order as a Boolean and reads it back as one.
    SaveSetting(pref::SortByWin, true);
    EXPECT_EQ(GetSetting("Preference", "SortbyWin", ""), "True");
    EXPECT_TRUE(GetSetting(pref::SortByWin));

    // Check-box states: decimal text; a stored text that is no number is the conversion error.
    EXPECT_EQ(GetSetting(pref::ShowWeekly), 0);
    EXPECT_EQ(GetSetting(pref::EditorBackground), 1);
    SaveSetting(pref::ShowWeekly, 1);
    EXPECT_EQ(GetSetting("Preference", "Show Weekly", ""), "1");
    EXPECT_EQ(GetSetting(pref::ShowWeekly), 1);
    SaveSetting("Preference", "Show Weekly", "x");
    try {
        GetSetting(pref::ShowWeekly);
        ADD_FAILURE() << "no conversion error";
    } catch (const VbError& e) {
        EXPECT_EQ(e.Number(), 13);
    }

    // The line file in use is the stored name without blanks around it.
    EXPECT_EQ(GetSetting(pref::LineFile), "Default");
    SaveSetting(pref::LineFile, " MyLines ");
    EXPECT_EQ(LineFileInUse(), "MyLines");
    EXPECT_EQ(GetSetting(pref::SaveFormulasUnitUpper), "100");
}

TEST(Host, ProgramFileIsFoundWithoutRegardToCase)
{
    TempFolder folder;
    SetProgramFolder(folder.Path());
    folder.Write("Images/Logo.BMP", "x");
    EXPECT_EQ(ProgramFile("images/logo.bmp"), folder / "Images/Logo.BMP");
    EXPECT_EQ(ProgramFile("Images/Logo.BMP"), folder / "Images/Logo.BMP");
    // Windows-style names stay inside the program folder.
    EXPECT_EQ(ProgramFile("\\images\\logo.bmp"), folder / "Images/Logo.BMP");
    EXPECT_EQ(ProgramFile("/etc/passwd"), folder / "etc/passwd");
    // A missing file gives its exact name in the program folder.
    EXPECT_EQ(ProgramFile("images/none.gif"), folder / "images/none.gif");
}

TEST(Host, ProgramFolderComesFromTheEnvironmentUnlessSet)
{
    TempFolder folder;
    SetProgramFolder({});
    const char* old = std::getenv("VEXAL_HOME");
    const std::string saved = old ? old : "";
    setenv("VEXAL_HOME", folder.Path().c_str(), 1);
    EXPECT_EQ(ProgramFolder(), folder.Path());
    unsetenv("VEXAL_HOME");
    EXPECT_FALSE(ProgramFolder().empty()); // the executable's folder
    EXPECT_TRUE(std::filesystem::is_directory(ProgramFolder()));
    if (old)
        setenv("VEXAL_HOME", saved.c_str(), 1);
    SetProgramFolder("/somewhere");
    EXPECT_EQ(ProgramFolder(), "/somewhere");
    SetProgramFolder({});
}

TEST(Host, DoEventsCallsTheInstalledHook)
{
    int calls = 0;
    DoEvents(); // no hook: nothing happens
    SetDoEventsHook([&] { ++calls; });
    DoEvents();
    DoEvents();
    SetDoEventsHook({});
    DoEvents();
    EXPECT_EQ(calls, 2);
}

TEST(Host, RecordingLauncherRecordsEveryOpen)
{
    RecordingLauncher& launcher = InstallRecordingLauncher();
    EXPECT_EQ(Launcher().Open("/x/Help.htm", "/x", 1), 42);
    ASSERT_EQ(launcher.calls.size(), 1u);
    EXPECT_EQ(launcher.calls[0].file, "/x/Help.htm");
    EXPECT_EQ(launcher.calls[0].folder, "/x");
    EXPECT_EQ(launcher.calls[0].show, 1);
}

TEST(VbError, CarriesNumberTextAndSource)
{
    const VbError overflow = VbError::Of(VbError::Overflow);
    EXPECT_EQ(overflow.Number(), 6);
    EXPECT_EQ(overflow.Description(), "Overflow");
    EXPECT_STREQ(overflow.what(), "Overflow");
    EXPECT_EQ(VbError::Of(11).Description(), "Division by zero");
    EXPECT_EQ(VbError::Of(54).Description(), "Bad file mode");
    EXPECT_EQ(VbError::Of(32755).Description(), "Cancel.");
    const VbError raised(10000, "Integer Divide By Zero", "MyExceptionFilter");
    EXPECT_EQ(raised.Source(), "MyExceptionFilter");
    EXPECT_TRUE(overflow.Source().empty());
}

// Every failing step is logged; only a reported one reaches the user, with its description;
// the next step always runs; what is not a std::exception is not swallowed.
TEST(Steps, SkippedAndReportedFailuresAreLoggedAndOnlyReportedOnesShown)
{
    struct Case {
        OnFailure policy;
        std::function<void()> step;
        bool ok;
        std::string shown;  // empty: no box
        std::string logged; // empty: no log line
    };
    const Case cases[] = {
        {OnFailure::Skip, [] {}, true, "", ""},
        {OnFailure::Skip, [] { throw VbError::Of(VbError::SubscriptOutOfRange); }, false, "",
         "skipped: 9 - Subscript out of range"},
        {OnFailure::Report, [] { throw VbError::Of(VbError::Overflow); }, false, "Overflow",
         "reported: 6 - Overflow"},
        {OnFailure::Report, [] { throw std::runtime_error("disk full"); }, false, "disk full",
         "reported: disk full"},
        // Shown as the error trap shows an error that escapes a handler.
        {OnFailure::Trap, [] { throw VbError::Of(VbError::DivisionByZero); }, false,
         "11 - Division by zero\r\nError occured on line 0", "reported: 11 - Division by zero"},
        {OnFailure::Trap, [] { throw std::out_of_range("vector"); }, false,
         "9 - Subscript out of range\r\nError occured on line 0", "reported: 9 - Subscript out of range"},
    };
    for (const Case& c : cases) {
        ScriptedMessages& messages = InstallScriptedMessages();
        std::vector<std::string> log;
        SetStepLogSink([&](const std::string& line) { log.push_back(line); });
        int next = 0;
        EXPECT_EQ(RunStep(c.policy, c.step), c.ok) << c.logged;
        ++next;
        EXPECT_EQ(next, 1);
        if (c.shown.empty()) {
            EXPECT_TRUE(messages.shown.empty()) << c.logged;
        } else {
            ASSERT_EQ(messages.shown.size(), 1u) << c.logged;
            EXPECT_EQ(messages.shown[0].text, c.shown);
        }
        EXPECT_EQ(log, c.logged.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.logged});
    }
    SetStepLogSink(nullptr);
    EXPECT_THROW(SkipStep([] { throw 42; }), int);
}

// A file read at every refresh is named once, with its cause, whether or not the failure's
// own words name it.
TEST(Steps, AFileStepNamesItsFileOnceWithTheCause)
{
    TempFolder folder;
    const std::filesystem::path file = folder / "2024.nfl";
    ScriptedMessages& messages = InstallScriptedMessages();
    std::vector<std::string> log;
    SetStepLogSink([&](const std::string& line) { log.push_back(line); });
    const auto readFails = [] { throw VbError::Of(57); };
    EXPECT_FALSE(ReportFileStep(file, readFails));
    EXPECT_FALSE(ReportFileStep(file, readFails));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, file.string() + " could not be read: Device I/O error");
    EXPECT_EQ(log, (std::vector<std::string>(2, "reported: 57 - " + file.string() + " could not be read: Device I/O error")));
    // Words that name the file are shown as they are.
    const std::filesystem::path other = folder / "2023.nfl";
    EXPECT_FALSE(ReportFileStep(other, [&] { throw VbError(75, other.string() + " is a folder, not a file."); }));
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].text, other.string() + " is a folder, not a file.");
    EXPECT_TRUE(ReportFileStep(file, [] {}));
    SetStepLogSink(nullptr);
}
