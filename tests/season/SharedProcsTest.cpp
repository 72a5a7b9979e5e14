#include "SharedProcs.h"

#include "Host.h"
#include "MsgBox.h"
#include "TempFolder.h"
#include "VbError.h"

#include <gtest/gtest.h>

#include <vector>

namespace vexal {
namespace {

RecordingLauncher& Recorder() { return dynamic_cast<RecordingLauncher&>(Launcher()); }
ScriptedMessages& Shown() { return dynamic_cast<ScriptedMessages&>(Messages()); }

TEST(FileExists, FilesAndFoldersExistAnEmptyPathDoesNot)
{
    test::TempFolder folder;
    folder.Write("2024.nfl", "x");
    EXPECT_TRUE(FileExists(folder / "2024.nfl"));
    EXPECT_TRUE(FileExists((folder / "2024.nfl").string()));
    EXPECT_TRUE(FileExists(folder.Path()));
    EXPECT_FALSE(FileExists(folder / "2023.nfl"));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists(std::string(5000, 'a'))); // too long a name is no error
}

TEST(ShellOpen, QuotedPathLosesItsQuotesAndGivesTheFolder)
{
    std::string file = "\"C:\\Program Files\\Vexal\\vexalup.exe\" /silent";
    ShellOpen(file, 1);
    EXPECT_EQ(file, "C:\\Program Files\\Vexal\\vexalup.exe /silent");
    ASSERT_EQ(Recorder().calls.size(), 1u);
    EXPECT_EQ(Recorder().calls[0].file, "C:\\Program Files\\Vexal\\vexalup.exe /silent");
    EXPECT_EQ(Recorder().calls[0].folder, "C:\\Program Files\\Vexal");
    EXPECT_EQ(Recorder().calls[0].show, 1);
    EXPECT_TRUE(Shown().shown.empty());
}

TEST(ShellOpen, QuotedLinuxPathWithBlanks)
{
    std::string file = "\"/home/user/My Documents/Vexal Picks.htm\"";
    ShellOpen(file, 3);
    EXPECT_EQ(file, "/home/user/My Documents/Vexal Picks.htm");
    EXPECT_EQ(Recorder().calls.at(0).folder, "/home/user/My Documents");
    EXPECT_EQ(Recorder().calls.at(0).show, 3);
}

TEST(ShellOpen, WebAddressRunsInTheCurrentFolder)
{
    ShellOpen(std::string("http://www.example.com/vexal/update.htm"), 1);
    ShellOpen(std::string("mailto:someone@example.com"), 1);
    const std::string current = std::filesystem::current_path().string();
    ASSERT_EQ(Recorder().calls.size(), 2u);
    EXPECT_EQ(Recorder().calls[0].file, "http://www.example.com/vexal/update.htm");
    EXPECT_EQ(Recorder().calls[0].folder, current);
    EXPECT_EQ(Recorder().calls[1].folder, current);
}

TEST(ShellOpen, RootKeepsItsSeparator)
{
    ShellOpen(std::string("C:\\report.htm"), 1);
    ShellOpen(std::string("C:\\data\\report.htm"), 1);
    ShellOpen(std::string("/report.htm"), 1);
    ShellOpen(std::string("/home/user/report.htm"), 1);
    ShellOpen(std::string("\\report.htm"), 1);
    ASSERT_EQ(Recorder().calls.size(), 5u);
    EXPECT_EQ(Recorder().calls[0].folder, "C:\\");
    EXPECT_EQ(Recorder().calls[1].folder, "C:\\data");
    EXPECT_EQ(Recorder().calls[2].folder, "/");
    EXPECT_EQ(Recorder().calls[3].folder, "/home/user");
    EXPECT_EQ(Recorder().calls[4].folder, "\\");
}

TEST(ShellOpen, ArgumentsAfterABlankAreNotPartOfTheFolder)
{
    ShellOpen(std::string("/usr/bin/viewer /tmp/out/report.htm"), 1);
    ShellOpen(std::string("report.htm"), 1);
    EXPECT_EQ(Recorder().calls.at(0).file, "/usr/bin/viewer /tmp/out/report.htm");
    EXPECT_EQ(Recorder().calls.at(0).folder, "/usr/bin");
    EXPECT_EQ(Recorder().calls.at(1).folder, std::filesystem::current_path().string());
}

TEST(ShellOpen, GivenFolderIsUsedAsIs)
{
    ShellOpen(std::string("/home/user/report.htm"), 1, std::string("/tmp"));
    EXPECT_EQ(Recorder().calls.at(0).folder, "/tmp");
}

TEST(ShellOpen, FailureIsReportedInAMessageBoxOnly)
{
    Recorder().result = 2; // file not found
    std::string file = "\"/nowhere/report.htm\"";
    EXPECT_NO_THROW(ShellOpen(file, 1));
    ASSERT_EQ(Shown().shown.size(), 1u);
    const RecordedMessage& m = Shown().shown[0];
    EXPECT_EQ(m.text, "Error starting program associated with /nowhere/report.htm\r\nThe file was not found.");
    EXPECT_EQ(m.title, "Vexal");
    EXPECT_EQ(m.buttons, vbOKOnly);
    // Each failure names its own cause, as the launcher met it.
    Recorder().result = 11;
    Recorder().cause = "It could not be started.";
    ShellOpen(file, 1);
    EXPECT_EQ(Shown().shown.back().text, "Error starting program associated with /nowhere/report.htm\r\nIt could not be started.");
    Recorder().cause.clear();
    Shown().shown.clear();

    Recorder().result = 32; // 32 is success
    ShellOpen(file, 1);
    EXPECT_EQ(Shown().shown.size(), 0u);
}

using Index = std::vector<int32_t>;

TEST(SortIndex, FillsAnUnfilledIndexThenSorts)
{
    const std::vector<float> values{3, 1, 2};
    Index up{0, 0, 0};
    SortIndex(values, up);
    EXPECT_EQ(up, (Index{1, 2, 0}));
    Index down{0, 0, 0};
    SortIndex(values, down, std::nullopt, true);
    EXPECT_EQ(down, (Index{0, 2, 1}));
    EXPECT_EQ(values, (std::vector<float>{3, 1, 2}));
}

TEST(SortIndex, Ties)
{
    const std::vector<float> fives{5, 5};
    Index down{0, 1};
    SortIndex(fives, down, std::nullopt, true);
    EXPECT_EQ(down, (Index{1, 0}));
    Index up{0, 1};
    SortIndex(fives, up);
    EXPECT_EQ(up, (Index{0, 1}));

    // Ascending keeps equal values in their order.
    const std::vector<float> pairs{2, 1, 2, 1, 0};
    Index stable{0, 1, 2, 3, 4};
    SortIndex(pairs, stable);
    EXPECT_EQ(stable, (Index{4, 1, 3, 0, 2}));

    // Descending swaps equal neighbours: three equal values end reversed.
    const std::vector<float> same{1, 1, 1};
    Index reversed{0, 1, 2};
    SortIndex(same, reversed, std::nullopt, true);
    EXPECT_EQ(reversed, (Index{2, 1, 0}));
}

TEST(SortIndex, FilledIndexIsSortedAsItStands)
{
    const std::vector<float> values{10, 30, 20, 40};
    Index index{3, 0, 2, 0}; // filled by the caller: 1 is left out
    SortIndex(values, index);
    EXPECT_EQ(index, (Index{0, 0, 2, 3}));
    Index withZeroFirst{0, 3, 1, 2};
    SortIndex(values, withZeroFirst, std::nullopt, true);
    EXPECT_EQ(withZeroFirst, (Index{3, 1, 2, 0}));
}

TEST(SortIndex, PositionsAboveLastAreUntouched)
{
    const std::vector<float> values{4, 3, 2, 1, 0};
    Index index{0, 1, 2, 3, 4};
    SortIndex(values, index, 2);
    EXPECT_EQ(index, (Index{2, 1, 0, 3, 4}));
}

TEST(SortIndex, OutOfRangeFailsWithoutMovingAnything)
{
    const std::vector<float> values{1, 2};
    Index bad{1, 7};
    try {
        SortIndex(values, bad);
        FAIL() << "no error";
    } catch (const VbError& e) {
        EXPECT_EQ(e.Number(), VbError::SubscriptOutOfRange);
    }
    EXPECT_EQ(bad, (Index{1, 7}));

    Index shortIndex{1};
    EXPECT_THROW(SortIndex(values, shortIndex), VbError);
    Index negative{-1, 1};
    EXPECT_THROW(SortIndex(values, negative), VbError);
    EXPECT_THROW(SortIndex(values, shortIndex, 5), VbError);
}

} // namespace
} // namespace vexal

namespace vexal {
namespace {

// With no program to open a page, the message names the desktop's opener when it is missing
// and says how to set the default browser; it never sends a Linux user to Windows menus.
TEST(ShellOpen, FailureSaysWhichProgramIsMissingAndHowToSetTheBrowser)
{
    test::TempFolder folder;
    const std::string keptPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    auto& launcher = InstallRecordingLauncher();
    launcher.result = 31;
    auto& shown = InstallScriptedMessages();
    std::filesystem::create_directories(folder / "bin");
    for (const bool installed : {false, true}) {
        SCOPED_TRACE(installed);
        if (installed)
            folder.Write("bin/xdg-open", "#!/bin/sh\n");
        setenv("PATH", (folder / "bin").string().c_str(), 1);
        shown.shown.clear();
        ShellOpen(std::string("/tmp/VexalPicks.htm"), 1);
        setenv("PATH", keptPath.c_str(), 1);
        ASSERT_EQ(shown.shown.size(), 1u);
        const std::string& text = shown.shown[0].text;
        EXPECT_EQ(text.rfind("Error starting program associated with /tmp/VexalPicks.htm\r\n", 0), 0u) << text;
        EXPECT_EQ(text.find("My Computer"), std::string::npos);
        EXPECT_EQ(text.find("Folder Options"), std::string::npos);
        EXPECT_NE(text.find("xdg-settings set default-web-browser"), std::string::npos) << text;
        EXPECT_EQ(text.find("'xdg-open' (package xdg-utils)") != std::string::npos, !installed) << text;
    }
    InstallRecordingLauncher();
}

} // namespace
} // namespace vexal
