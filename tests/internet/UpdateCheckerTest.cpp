// The version checker against a web site on loopback, and the update notice its outcome
// produces.
#include "AppState.h"
#include "HostileServers.h"
#include "Host.h"
#include "LoopbackServer.h"
#include "MsgBox.h"
#include "RecordFile.h"
#include "SettingsStore.h"
#include "TempFolder.h"
#include "UpdateChecker.h"
#include "UpdateNoticeHandler.h"
#include "WaitFor.h"
#include "Windows.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <optional>

namespace vexal {
namespace {

using test::LoopbackServer;
using test::TempFolder;
using test::WaitFor;

struct Outcome {
    std::string kind;
    std::vector<std::string> args;
};

std::string B(const QString& s)
{
    const QByteArray b = s.toLatin1();
    return std::string(b.constData(), static_cast<std::size_t>(b.size()));
}

// Runs one check and returns every signal it raised (waiting a moment for any extra one).
std::vector<Outcome> RunCheck(UpdateChecker& checker)
{
    std::vector<Outcome> seen;
    QObject scope;
    QObject::connect(&checker, &UpdateChecker::CheckFailed, &scope, [&] { seen.push_back({"CheckFailed", {}}); });
    QObject::connect(&checker, &UpdateChecker::UpToDate, &scope, [&](const QString& c, const QString& o) {
        seen.push_back({"UpToDate", {B(c), B(o)}});
    });
    QObject::connect(&checker, &UpdateChecker::NewVersion, &scope,
                     [&](const QString& v, const QString& u, const QString& c, const QString& o) {
                         seen.push_back({"NewVersion", {B(v), B(u), B(c), B(o)}});
                     });
    checker.Check();
    WaitFor([&] { return !seen.empty(); });
    for (int i = 0; i < 10; ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    return seen;
}

class UpdateCheckerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!test::HavePython())
            GTEST_SKIP() << "python3 is not installed: the loopback web site cannot run";
        server = std::make_unique<LoopbackServer>(test::HostileHttpScript,
                                                  std::vector<std::string>{site.Path().string()});
        ASSERT_GT(server->Port(), 0);
        SaveSetting("Settings", "WebSite", "http://" + server->Address() + "/");
        SetProgramFolder(program.Path());
        messages = &InstallScriptedMessages();
    }
    TempFolder site;
    TempFolder program; // made last, so it is the program folder
    std::unique_ptr<LoopbackServer> server;
    ScriptedMessages* messages = nullptr;
};

TEST_F(UpdateCheckerTest, OneOutcomePerCheck)
{
    UpdateChecker checker;
    EXPECT_EQ(checker.DownloadURL(), "http://" + server->Address() + "/vexal.txt");
    checker.SetCurrentVersion("29.0.4");

    site.Write("vexal.txt", "Version = 29.0.4\nDownloadURL = http://h/v.exe\nCustomData = {\\rtf1 A\nB\n--end--\n"
                            "OtherData = C}--end--\n");
    auto seen = RunCheck(checker);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].kind, "UpToDate");
    EXPECT_EQ(seen[0].args, (std::vector<std::string>{"{\\rtf1 A\nB\n", "C}"}));

    // CR LF line ends mean the same: the carriage return is not part of the version.
    site.Write("vexal.txt", "Version = 29.0.4\r\nDownloadURL = http://h/v.exe\r\n");
    seen = RunCheck(checker);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].kind, "UpToDate");
    site.Write("vexal.txt", "Version = 30.0.0\r\nDownloadURL = http://h/v.exe\r\n");
    seen = RunCheck(checker);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].kind, "NewVersion");
    EXPECT_EQ(seen[0].args[0], "30.0.0");
    EXPECT_EQ(seen[0].args[1], "http://h/v.exe");

    std::filesystem::remove(site / "vexal.txt");
    seen = RunCheck(checker);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].kind, "CheckFailed");

    checker.SetDownloadURL("http://127.0.0.1:" + std::to_string(test::ClosedPort()) + "/vexal.txt");
    seen = RunCheck(checker);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].kind, "CheckFailed");
}

TEST_F(UpdateCheckerTest, NoticeIsWrittenAndShown)
{
    std::vector<std::string> shownDocuments;
    RegisterWindow("frmRichEdit", WindowKind::Modal, [&](QWidget* owner) {
        auto* viewer = new QDialog(owner);
        viewer->setObjectName("frmRichEdit");
        shownDocuments.push_back(App().DocumentPath.string());
        QTimer::singleShot(0, viewer, &QDialog::reject);
        return viewer;
    });
    UpdateChecker checker;
    checker.SetCurrentVersion("29.0.4");
    ConnectUpdateNotice(&checker);

    site.Write("vexal.txt", "Version = 30.0.0\nDownloadURL = http://h/v.exe\nCustomData = {\\rtf1\n--end--\n"
                            "OtherData = }--end--\n");
    RunCheck(checker);
    ASSERT_EQ(shownDocuments.size(), 1u);
    EXPECT_EQ(shownDocuments[0], (program / "update.rtf").string());
    EXPECT_EQ(program.Read("update.rtf"),
              "{\\rtf1\n\r\n"
              "New Version available - 30.0.0\\par\r\n"
              "Your version - 29.0.4\\par\r\n"
              "http://h/v.exe\\par\\par\r\n"
              "\\fs18 NOTE: To avoid having to reboot your computer after installation,\\par\r\n"
              "you should exit Vexal before running the downloaded file.\\par\r\n"
              "}\r\n");
    UnloadWindow("frmRichEdit");

    site.Write("vexal.txt", "Version = 29.0.4\nCustomData = {\\rtf1--end--\nOtherData = }--end--\n");
    RunCheck(checker);
    EXPECT_EQ(program.Read("update.rtf"),
              "{\\rtf1\r\nYour version - 29.0.4\\par\r\nIs the current version.\\par\r\n}\\par\r\n");
    UnloadWindow("frmRichEdit");

    // A site that answers without the file is reached: the message names the missing file.
    std::filesystem::remove(site / "vexal.txt");
    RunCheck(checker);
    ASSERT_EQ(messages->shown.size(), 1u);
    EXPECT_NE(messages->shown[0].text.find("vexal.txt could not be fetched"), std::string::npos) << messages->shown[0].text;
    EXPECT_NE(messages->shown[0].text.find("404"), std::string::npos) << messages->shown[0].text;

    // A site that cannot be reached is a connection problem.
    messages->shown.clear();
    server.reset();
    RunCheck(checker);
    ASSERT_EQ(messages->shown.size(), 1u);
    EXPECT_EQ(messages->shown[0].text, "Couldn't connect to the internet, please check your connection");
}

// A version file that stalls, drips, never ends, holds no version or a byte no text holds: each check ends within its
// limits with a message that names the step (not a lost connection), memory stays bounded, and
// the check can be run again at once, also while one is still waiting.
TEST_F(UpdateCheckerTest, HostileVersionFilesEndWithinTheLimitsAndTheCheckRunsAgain)
{
    // Limits a starved server meets in its answers to the good file, apart enough that a
    // stall is never taken for the overall limit.
    SaveSetting("Settings", "TransferStallSeconds", "4");
    SaveSetting("Settings", "TransferLimitSeconds", "12");
    SaveSetting("Settings", "DocumentLimitBytes", "1048576");
    RegisterWindow("frmRichEdit", WindowKind::Modal, [](QWidget* owner) {
        auto* viewer = new QDialog(owner);
        viewer->setObjectName("frmRichEdit");
        QTimer::singleShot(0, viewer, &QDialog::reject);
        return viewer;
    });
    site.Write("vexal.txt", "Version = 29.0.4\r\nDownloadURL = http://h/v.exe\r\n");
    site.Write("page.txt", "<html><body>Moved</body></html>\n");
    // A version cut at a byte no text holds would read as the running one.
    site.Write("nul.txt", std::string("Version = 29.0.4\0 beta\r\nDownloadURL = http://h/v.exe\r\n", 54));
    const std::string base = "http://" + server->Address() + "/";
    UpdateChecker checker;
    checker.SetCurrentVersion("29.0.4");
    ConnectUpdateNotice(&checker);
    struct Case {
        const char* file;
        const char* message; // a part of what the user is told
    };
    for (const Case& c : {Case{"stall.txt", "did not answer for 4 seconds"},
                          Case{"drip.txt", "did not finish within 12 seconds"},
                          Case{"endless.txt", "more than 1048576 bytes"}, Case{"page.txt", "holds no version entry"},
                          Case{"nul.txt", "is damaged: it holds a byte no version file holds (0 at byte 17)"},
                          Case{"moved.txt", "sent the transfer on to ftp://127.0.0.1/vexal.txt, which was refused"},
                          Case{"circle.txt", "sent the transfer on to other addresses more than 5 times"}}) {
        SCOPED_TRACE(c.file);
        messages->shown.clear();
        checker.SetDownloadURL(base + c.file);
        const long before = test::ResidentKb();
        auto seen = RunCheck(checker);
        EXPECT_LT(test::ResidentKb() - before, 64 * 1024) << "memory grew without bound";
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].kind, "CheckFailed");
        EXPECT_FALSE(checker.NoConnection());
        ASSERT_EQ(messages->shown.size(), 1u);
        EXPECT_NE(messages->shown[0].text.find(c.message), std::string::npos) << messages->shown[0].text;
        EXPECT_NE(messages->shown[0].text.find(base + c.file), std::string::npos) << messages->shown[0].text;

        checker.SetDownloadURL(base + "vexal.txt");
        seen = RunCheck(checker);
        ASSERT_EQ(seen.size(), 1u) << "the check runs again";
        EXPECT_EQ(seen[0].kind, "UpToDate");
        UnloadWindow("frmRichEdit");
    }

    // A second check while the first waits on a silent server starts afresh; only it reports.
    checker.SetDownloadURL(base + "stall.txt");
    checker.Check();
    checker.SetDownloadURL(base + "vexal.txt");
    const auto seen = RunCheck(checker);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].kind, "UpToDate");
    UnloadWindow("frmRichEdit");
}

// A notice that cannot be written is named once, by the file and the cause the write met; the
// older notice stays whole and is not shown as though it were this check's.
TEST(UpdateNotice, ANoticeThatCannotBeWrittenIsNamedWithItsCauseAndTheOldOneStays)
{
    TempFolder program;
    auto& messages = InstallScriptedMessages();
    std::vector<std::string> shownDocuments;
    RegisterWindow("frmRichEdit", WindowKind::Modal, [&](QWidget* owner) {
        auto* viewer = new QDialog(owner);
        viewer->setObjectName("frmRichEdit");
        shownDocuments.push_back(App().DocumentPath.string());
        QTimer::singleShot(0, viewer, &QDialog::reject);
        return viewer;
    });
    UpdateChecker checker;
    checker.SetCurrentVersion("29.0.4");
    ConnectUpdateNotice(&checker);
    const std::filesystem::path notice = program / "update.rtf";
    struct Case {
        const char* name;
        bool atSync;                  // the disk fails when the write is waited for, else it is full
        std::function<void()> outcome;
    };
    const Case cases[] = {
        {"up to date on a full disk", false, [&] { emit checker.UpToDate("{\\rtf1", "}"); }},
        {"a new version on a failing disk", true,
         [&] { emit checker.NewVersion("30.0.0", "http://h/v.exe", "{\\rtf1", "}"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        program.Write("update.rtf", "the old notice");
        messages.shown.clear();
        {
            std::optional<WriteFault> fault;
            if (c.atSync)
                fault.emplace(WriteFault::AtSync, notice);
            else
                fault.emplace(4, notice);
            c.outcome();
        }
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, notice.string() + " could not be written: " +
                                              ReasonOfError(c.atSync ? EIO : ENOSPC) + ".");
        EXPECT_EQ(messages.shown[0].buttons, vbExclamation);
        EXPECT_EQ(program.Read("update.rtf"), "the old notice");
        EXPECT_TRUE(shownDocuments.empty());
    }
    UnloadWindow("frmRichEdit");
}

TEST(UpdaterStart, MissingUpdaterIsNamed)
{
    TempFolder program;
    auto& messages = InstallScriptedMessages();
    StartUpdater();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "I can't find the file " + program.Path().string() +
                                          "/vexalup.exe.\r\nPlease make sure it's there and then try again.");
    EXPECT_EQ(messages.shown[0].title, "Can't find file");
    EXPECT_EQ(messages.shown[0].buttons, vbCritical);

    program.Write("vexalup.exe", "x");
    auto& launcher = InstallRecordingLauncher();
    StartUpdater();
    ASSERT_EQ(launcher.calls.size(), 1u);
    EXPECT_EQ(launcher.calls[0].file, program.Path().string() + "/vexalup.exe");
}

} // namespace
} // namespace vexal
