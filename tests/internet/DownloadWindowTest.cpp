// The stats download window against a real FTP server on loopback: connect, list, choose,
// fetch and import; the local-file route; the messages and button states.
#include "DownloadWindow.h"
#include "CommonDialog.h"
#include "FtpClient.h"
#include "Host.h"
#include "InternetWindows.h"
#include "HostileServers.h"
#include "LoopbackServer.h"
#include "MsgBox.h"
#include "RecordFile.h"
#include "SettingsStore.h"
#include "TempFolder.h"
#include "Windows.h"
#include "WaitFor.h"

#include <QApplication>
#include <QComboBox>
#include <QScreen>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

#include <QTimer>

#include <cerrno>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>

namespace vexal {
namespace {

using test::LoopbackServer;
using test::TempFolder;

template <class T> T* Control(QWidget* w, const char* name)
{
    auto* c = w->findChild<T*>(name);
    EXPECT_NE(c, nullptr) << name;
    return c;
}

using test::WaitFor;

using test::ResidentKb;

class DownloadWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        messages = &InstallScriptedMessages();
        DownloadWindow::SetImportHook([this](const std::string& path) {
            imported.push_back(path);
            return importResult;
        });
        // The local file is asked for through the program's dialog object.
        SetDialogScripts({[this](const FileRequest& r) {
                              dialogs.push_back(r.title + "|" + (r.filters.empty() ? "" : r.filters[0].first) + "|" +
                                                r.fileName + (r.flags & OFN_FILEMUSTEXIST ? "|must exist" : ""));
                              FileAnswer a;
                              a.ok = !dialogAnswer.empty();
                              a.fileName = dialogAnswer;
                              return a;
                          },
                          {}, {}});
        window = std::make_unique<DownloadWindow>();
    }
    void TearDown() override
    {
        window.reset();
        DownloadWindow::SetImportHook({});
        SetDialogScripts({});
    }
    QString Status() { return Control<QLabel>(window.get(), "lblStatus")->text(); }
    QListWidget* List() { return Control<QListWidget>(window.get(), "List1"); }
    QPushButton* Button(const char* name) { return Control<QPushButton>(window.get(), name); }
    QLineEdit* Box(const char* name) { return Control<QLineEdit>(window.get(), name); }

    TempFolder program;
    ScriptedMessages* messages = nullptr;
    std::vector<std::string> imported, dialogs;
    ImportResult importResult{true, 14, 0, {}};
    std::string dialogAnswer;
    std::unique_ptr<DownloadWindow> window;
};

TEST_F(DownloadWindowTest, StartsWithItsCaptionsAndDefaults)
{
    EXPECT_EQ(window->objectName(), "frmDownload");
    EXPECT_EQ(window->windowTitle(), "Stats Download Client");
    EXPECT_EQ(Status(), "Idle...");
    EXPECT_EQ(Box("txtLogonName")->text(), "zavozezorodo");
    EXPECT_EQ(Box("txtLogonPassword")->text(), "Dovezezid7");
    EXPECT_EQ(Button("cmdGetFile")->text(), "Get / Import File");
    EXPECT_EQ(Control<QComboBox>(window.get(), "cmbServer")->count(), 2);
    EXPECT_TRUE(Control<QLabel>(window.get(), "lblImport")->text().endsWith("'Get / Import'\""));
}

// A stats server of a long name (a setting the user wrote) is shown in the server list without
// widening the window past its own width, or the screen.
TEST_F(DownloadWindowTest, ALongServerNameKeepsTheWindowsWidth)
{
    window->show();
    test::Pump();
    const int width = window->width();
    SaveSetting("Settings", "StatsServer", "stats." + std::string(200, 'x') + ".example");
    window = std::make_unique<DownloadWindow>();
    window->show();
    test::Pump();
    auto* server = Control<QComboBox>(window.get(), "cmbServer");
    EXPECT_EQ(server->currentText().size(), 214);
    EXPECT_GE(window->width(), width);
    EXPECT_LE(window->frameGeometry().width(), window->screen()->availableGeometry().width() / 2);
}

TEST_F(DownloadWindowTest, BlankBoxesAreRefused)
{
    Control<QComboBox>(window.get(), "cmbServer")->setEditText("   ");
    Box("txtDirectory")->setText("keep");
    Button("cmdConnect")->click();
    ASSERT_EQ(messages->shown.size(), 1u);
    EXPECT_EQ(messages->shown[0].text, "Please fill in all of the boxes.");
    EXPECT_EQ(Box("txtDirectory")->text(), "keep");
    EXPECT_EQ(Status(), "Idle...");
}

TEST_F(DownloadWindowTest, ListsFetchesAndImportsAStatFile)
{
    VEXAL_REQUIRE_FTPD();
    TempFolder server;
    server.Write("wk01.24", std::string(3000, 's'));
    server.Write("wk01.txt", "t");
    server.Write("readme", "r");
    SetProgramFolder(program.Path());
    LoopbackServer ftp(test::FtpServerScript, {server.Path().string(), "zavozezorodo", "Dovezezid7"});
    ASSERT_GT(ftp.Port(), 0);
    SaveSetting("Settings", "StatsServer", ftp.Address());

    // Whatever the box says, the program's server is used, from its root.
    Control<QComboBox>(window.get(), "cmbServer")->setEditText("anything");
    Box("txtDirectory")->setText("elsewhere");
    Button("cmdConnect")->click();
    ASSERT_TRUE(WaitFor([&] { return Status() == "File list received!"; })) << Status().toStdString();
    EXPECT_EQ(Box("txtDirectory")->text(), "\\");
    ASSERT_EQ(List()->count(), 1);
    EXPECT_EQ(List()->item(0)->text(), "wk01.24");
    EXPECT_FALSE(Button("cmdConnect")->isEnabled());
    EXPECT_TRUE(Button("CmdDisconnect")->isEnabled());

    window->List1_Click(List()->item(0));
    EXPECT_EQ(Box("txtServerFile")->text(), "wk01.24");
    EXPECT_EQ(Box("txtLocalFile")->text().toStdString(), (program / "wk01.24").string());
    EXPECT_EQ(Status(), "File selected");

    Button("cmdGetFile")->click();
    ASSERT_TRUE(WaitFor([&] { return Status() == "File imported successfully! 14 games imported, 0 failed."; }))
        << Status().toStdString();
    EXPECT_EQ(program.Read("wk01.24"), std::string(3000, 's'));
    ASSERT_EQ(imported.size(), 1u);
    EXPECT_EQ(imported[0], (program / "wk01.24").string());
    EXPECT_EQ(window->windowTitle(), "Stats Download Client");

    // An import with failed games, or one the user stopped, is no success.
    struct Case {
        ImportResult result;
        const char* status;
    };
    const Case cases[] = {
        {{true, 0, 14, {}}, "The import ended with errors: 0 games imported, 14 failed."},
        {{false, 1, 0, {}}, "The import was stopped: 1 game imported, 0 failed."},
    };
    for (const Case& c : cases) {
        importResult = c.result;
        Button("cmdGetFile")->click();
        ASSERT_TRUE(WaitFor([&] { return Status() == c.status; })) << Status().toStdString();
    }
    imported.resize(1);

    Button("CmdDisconnect")->click();
    EXPECT_EQ(Status(), "Disconnected.");
    EXPECT_TRUE(Button("cmdConnect")->isEnabled());
    EXPECT_FALSE(Button("CmdDisconnect")->isEnabled());
    EXPECT_TRUE(messages->shown.empty());
}

TEST_F(DownloadWindowTest, ListingWithoutStatFilesAndUnsafeNames)
{
    VEXAL_REQUIRE_FTPD();
    TempFolder server;
    server.Write("notes.txt", "n");
    SetProgramFolder(program.Path());
    LoopbackServer ftp(test::FtpServerScript, {server.Path().string(), "zavozezorodo", "Dovezezid7"});
    SaveSetting("Settings", "StatsServer", ftp.Address());
    Button("cmdConnect")->click();
    ASSERT_TRUE(WaitFor([&] { return Status() == "File list received!"; })) << Status().toStdString();
    ASSERT_EQ(List()->count(), 1);
    EXPECT_EQ(List()->item(0)->text(), "No Files Found");
    window->List1_Click(List()->item(0));
    EXPECT_EQ(Box("txtServerFile")->text(), "");
    EXPECT_EQ(Box("txtLocalFile")->text(), "");

    // Entries as the client reports them: line ends dropped, only stat files, never a path.
    List()->clear();
    emit window->Client().DirItem("wk02.24\r\n");
    emit window->Client().DirItem("24");
    emit window->Client().DirItem("../evil.24");
    emit window->Client().DirItem("sub/evil.24");
    ASSERT_EQ(List()->count(), 1);
    EXPECT_EQ(List()->item(0)->text(), "wk02.24");

    emit window->Client().Progress(20480);
    EXPECT_EQ(Status(), "Retrieving File. Bytes Received = 20480");
}

TEST_F(DownloadWindowTest, LocalFileRoute)
{
    // Both boxes empty: the open dialog; cancelling changes nothing.
    Button("cmdGetFile")->click();
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0], " Import A Stat File |*.24|*.24|must exist");
    EXPECT_TRUE(imported.empty());

    dialogAnswer = (program / "wk05.24").string();
    Button("cmdGetFile")->click();
    ASSERT_EQ(imported.size(), 1u);
    EXPECT_EQ(imported[0], dialogAnswer);
    EXPECT_EQ(Status(), "File imported successfully! 14 games imported, 0 failed.");
}

// A long error (a server that cannot be reached, a file that cannot be written under a long
// path) wraps within the window: the window keeps its width and shows the whole message.
// A later import that goes in replaces it, by download or from a file the user chose.
TEST_F(DownloadWindowTest, ALongErrorWrapsInTheWindowAndALaterImportReplacesIt)
{
    VEXAL_REQUIRE_FTPD();
    TempFolder served;
    served.Write("wk01.24", "s");
    const std::string refused = "127.0.0.1:" + std::to_string(test::ClosedPort());
    // A folder that is not there, under a name far longer than the window is wide.
    const std::filesystem::path missing = program / std::string(120, 'f');
    LoopbackServer ftp(test::FtpServerScript, {served.Path().string(), "zavozezorodo", "Dovezezid7"});
    ASSERT_GT(ftp.Port(), 0);
    auto* status = Control<QLabel>(window.get(), "lblStatus");
    window->show();
    test::Pump();
    const QSize size = window->size();
    struct Case {
        const char* name;
        bool refusedServer;          // else the download's local file cannot be written
        bool chosenFile;             // the later import from a file the user chose
        const char* error;
    };
    const Case cases[] = {
        {"refused connection, then a download", true, false, "could not be reached"},
        {"refused connection, then a chosen file", true, true, "could not be reached"},
        {"unwritable local file, then a chosen file", false, true, "could not be written: the folder does not exist"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetProgramFolder(program.Path());
        Box("txtServerFile")->clear();
        Box("txtLocalFile")->clear();
        SaveSetting("Settings", "StatsServer", c.refusedServer ? refused : ftp.Address());
        Button("cmdConnect")->click();
        if (c.refusedServer) {
            ASSERT_TRUE(WaitFor([&] { return Status().contains(c.error); })) << Status().toStdString();
        } else {
            ASSERT_TRUE(WaitFor([&] { return Status() == "File list received!"; })) << Status().toStdString();
            SetProgramFolder(missing);
            window->List1_Click(List()->item(0));
            Button("cmdGetFile")->click();
            ASSERT_TRUE(WaitFor([&] { return Status().contains(c.error); })) << Status().toStdString();
            // The file once, by the name the user knows, with the cause its write met.
            EXPECT_EQ(Status().count(QString::fromStdString(missing.string())), 1) << Status().toStdString();
            EXPECT_TRUE(Status().contains(
                QString::fromStdString(WriteFailure(missing / "wk01.24", ReasonOfError(ENOENT)))))
                << Status().toStdString();
        }
        test::Pump();
        const QString error = Status();
        const QFontMetrics metrics(status->font());
        EXPECT_GT(metrics.horizontalAdvance(error), size.width()) << "not a long error";
        EXPECT_EQ(window->size(), size);
        // The whole message shows, inside the window.
        EXPECT_LE(status->geometry().right(), window->rect().right());
        EXPECT_GE(status->height(), status->heightForWidth(status->width()));
        EXPECT_GE(status->height(), 2 * metrics.height()) << "the message is not wrapped";

        if (c.chosenFile) {
            Box("txtServerFile")->clear();
            Box("txtLocalFile")->clear();
            dialogAnswer = (program / "wk05.24").string();
            Button("cmdGetFile")->click();
        } else {
            SaveSetting("Settings", "StatsServer", ftp.Address());
            Button("cmdConnect")->click();
            ASSERT_TRUE(WaitFor([&] { return Status() == "File list received!"; })) << Status().toStdString();
            window->List1_Click(List()->item(0));
            Button("cmdGetFile")->click();
        }
        ASSERT_TRUE(WaitFor([&] { return Status().startsWith("File imported"); })) << Status().toStdString();
        EXPECT_EQ(Status(), "File imported successfully! 14 games imported, 0 failed.");
        EXPECT_EQ(window->size(), size);
        Button("CmdDisconnect")->click();
    }
}

TEST_F(DownloadWindowTest, LocalPathWithoutServerFileClosesTheWindow)
{
    window->show();
    Box("txtLocalFile")->setText(QString::fromStdString((program / "wk01.24").string()));
    Button("cmdGetFile")->click();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(dialogs.empty());
    EXPECT_TRUE(imported.empty());
}

TEST_F(DownloadWindowTest, RegistersAsModalWindow)
{
    RegisterInternetWindows();
    EXPECT_TRUE(IsWindowRegistered("frmDownload"));
}

} // namespace
} // namespace vexal

namespace vexal {
namespace {

// Servers that cannot be reached, fall silent or never stop: every step ends on its own within
// its limit with a message in the program's words, memory stays bounded, Connect is free again
// and the window closes at any moment. A server that cannot be reached at all is told with the
// window's "Could not resolve host" box, titled as the status line.
TEST_F(DownloadWindowTest, HostileServersEndWithinTheLimits)
{
    VEXAL_REQUIRE_FTPD();
    TempFolder served;
    // Long enough for a starved server to answer the logon, short of the greeting's drip.
    SaveSetting("Settings", "TransferStallSeconds", "5");
    SaveSetting("Settings", "TransferLimitSeconds", "40");
    SaveSetting("Settings", "DocumentLimitBytes", "1048576");
    const std::string refused = "127.0.0.1:" + std::to_string(test::ClosedPort());
    struct Case {
        const char* name;
        const char* script;             // the server on loopback; none: `host` is the address
        std::vector<std::string> args;
        const char* status;             // what the status line then says, in the program's words
        bool beforeLogon;               // the server fails before the logon is through
        std::string host;
    };
    const std::vector<Case> cases = {
        {"refused connection", nullptr, {},
         "10057 - The server 127.0.0.1:{port} could not be reached: it refused the connection, or it is not running",
         true, refused},
        {"unknown host", nullptr, {},
         "10057 - No server named stats.vexal.invalid was found: check the server's name and the connection to the "
         "internet",
         true, "stats.vexal.invalid"},
        {"connection never made", test::FullQueueServerScript, {},
         "10057 - The server 127.0.0.1:{port} could not be reached within 5 seconds", true, {}},
        {"silent banner", test::SilentServerScript, {}, "did not answer for 5 seconds", true, {}},
        {"banner a byte a second", test::DrippingGreetingScript, {"drip"}, "did not answer for 5 seconds", true, {}},
        {"banner cut off", test::DrippingGreetingScript, {"cut"}, "The server's answer could not be read", true, {}},
        {"stalled listing", test::HostileFtpScript,
         {served.Path().string(), "zavozezorodo", "Dovezezid7", "stall"}, "did not answer for 5 seconds", false, {}},
        {"endless listing", test::HostileFtpScript,
         {served.Path().string(), "zavozezorodo", "Dovezezid7", "endless"}, "more than 1048576 bytes", false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::optional<LoopbackServer> server;
        std::string address = c.host;
        if (c.script) {
            server.emplace(c.script, c.args);
            ASSERT_GT(server->Port(), 0);
            address = server->Address();
        }
        SaveSetting("Settings", "StatsServer", address);
        QString status = QString::fromUtf8(c.status);
        status.replace("127.0.0.1:{port}", QString::fromStdString(address));
        auto w = std::make_unique<DownloadWindow>();
        std::swap(window, w);
        messages->shown.clear();
        const long before = ResidentKb();
        Button("cmdConnect")->click();
        if (!c.beforeLogon) {
            EXPECT_TRUE(Button("CmdDisconnect")->isEnabled()) << "a running listing can always be ended";
        }
        ASSERT_TRUE(WaitFor([&] { return Status().contains(status); })) << Status().toStdString();
        if (status.startsWith("10057 - ")) {
            EXPECT_EQ(Status(), status);
            ASSERT_EQ(messages->shown.size(), 1u);
            EXPECT_EQ(messages->shown[0].text,
                      "Could not resolve host. Please make sure you are connected to the internet and try again.");
            EXPECT_EQ(messages->shown[0].buttons, vbInformation);
            EXPECT_EQ(QString::fromStdString(messages->shown[0].title), status);
        } else {
            EXPECT_TRUE(messages->shown.empty());
        }
        EXPECT_LT(ResidentKb() - before, 64 * 1024) << "memory grew without bound";
        if (c.beforeLogon) {
            EXPECT_TRUE(Button("cmdConnect")->isEnabled()) << "without a logon the user may try again";
            EXPECT_FALSE(Button("CmdDisconnect")->isEnabled());
        }
        std::swap(window, w);
    }
}

TEST_F(DownloadWindowTest, RefusedLogonFreesConnectAndTheFolderIsTheServers)
{
    VEXAL_REQUIRE_FTPD();
    TempFolder served;
    served.Write("wk01.24", "s");
    LoopbackServer ftp(test::FtpServerScript, {served.Path().string(), "zavozezorodo", "Dovezezid7"});
    ASSERT_GT(ftp.Port(), 0);
    SaveSetting("Settings", "StatsServer", ftp.Address());
    Box("txtLogonPassword")->setText("wrong");
    Button("cmdConnect")->click();
    EXPECT_TRUE(Button("cmdConnect")->isEnabled()) << Status().toStdString();
    EXPECT_FALSE(Button("CmdDisconnect")->isEnabled());
    EXPECT_FALSE(Status().isEmpty());

    Box("txtLogonPassword")->setText("Dovezezid7");
    QStringList statuses;
    QObject::connect(&window->Client(), &FtpClient::Done, window.get(), [&](int code) {
        if (code == 4)
            statuses << Status();
    });
    Button("cmdConnect")->click();
    ASSERT_TRUE(WaitFor([&] { return Status() == "File list received!"; })) << Status().toStdString();
    ASSERT_EQ(statuses.size(), 1);
    EXPECT_EQ(statuses[0], "The current directory is /");
}

// A stat file that never ends stops at the download cap with a message and leaves no file; the
// close box ends such a download at any moment.
TEST_F(DownloadWindowTest, EndlessDownloadStopsAtItsCapAndTheWindowClosesDuringIt)
{
    VEXAL_REQUIRE_FTPD();
    TempFolder served;
    served.Write("wk01.24", "s");
    SetProgramFolder(program.Path());
    SaveSetting("Settings", "DownloadLimitBytes", "1048576");
    LoopbackServer ftp(test::HostileFtpScript, {served.Path().string(), "zavozezorodo", "Dovezezid7", "endless-file"});
    ASSERT_GT(ftp.Port(), 0);
    SaveSetting("Settings", "StatsServer", ftp.Address());
    window->show();
    Button("cmdConnect")->click();
    ASSERT_TRUE(WaitFor([&] { return Status() == "File list received!"; })) << Status().toStdString();
    ASSERT_EQ(List()->count(), 1);
    window->List1_Click(List()->item(0));

    const long before = ResidentKb();
    Button("cmdGetFile")->click();
    EXPECT_TRUE(Button("CmdDisconnect")->isEnabled());
    ASSERT_TRUE(WaitFor([&] { return Status().contains("more than 1048576 bytes"); })) << Status().toStdString();
    EXPECT_LT(ResidentKb() - before, 64 * 1024);
    EXPECT_FALSE(std::filesystem::exists(program / "wk01.24"));
    EXPECT_FALSE(std::filesystem::exists(program / "wk01.24.part"));
    EXPECT_TRUE(imported.empty());

    SaveSetting("Settings", "DownloadLimitBytes", "1000000000");
    Button("cmdGetFile")->click();
    ASSERT_TRUE(WaitFor([&] { return Status().startsWith("Retrieving File. Bytes Received = ") &&
                                     Status() != "Retrieving File. Bytes Received = 0"; }))
        << Status().toStdString();
    EXPECT_TRUE(window->close());
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->Client().Busy());
    EXPECT_FALSE(std::filesystem::exists(program / "wk01.24.part"));
    EXPECT_TRUE(imported.empty());
}

// Disconnect, the close box and Escape end a step that waits on a silent server, at once; the
// window closes once the step has ended.
TEST_F(DownloadWindowTest, DisconnectAndCloseEndAStalledStep)
{
    VEXAL_REQUIRE_PYTHON();
    SaveSetting("Settings", "TransferStallSeconds", "60");
    LoopbackServer silent(test::SilentServerScript, {});
    ASSERT_GT(silent.Port(), 0);
    SaveSetting("Settings", "StatsServer", silent.Address());
    for (const char* way : {"Disconnect", "close box", "Escape"}) {
        SCOPED_TRACE(way);
        const bool viaClose = way[0] != 'D';
        window = std::make_unique<DownloadWindow>();   // a closed window is released
        window->show();
        bool shownWhileEnding = false;
        QTimer::singleShot(300, window.get(), [&] {
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            if (way[0] == 'E')
                QApplication::sendEvent(window->focusWidget(), &escape);
            else if (viaClose)
                window->close();
            else
                Button("CmdDisconnect")->click();
            shownWhileEnding = window->isVisible();
        });
        // The click returns once the listing has ended: the states below show how it ended.
        Button("cmdConnect")->click();
        EXPECT_TRUE(shownWhileEnding);
        if (viaClose) {
            EXPECT_FALSE(window->isVisible());
        } else {
            EXPECT_EQ(Status(), "Disconnected.");
            EXPECT_TRUE(Button("cmdConnect")->isEnabled());
            EXPECT_TRUE(window->isVisible());
        }
    }
}

} // namespace
} // namespace vexal
