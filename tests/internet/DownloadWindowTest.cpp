// The stats download window against a real FTP server on loopback: connect, list, choose,
// fetch and import; the local-file route; the messages and button states.
#include "DownloadWindow.h"
#include "FtpClient.h"
#include "Host.h"
#include "InternetWindows.h"
#include "LoopbackServer.h"
#include "MsgBox.h"
#include "SettingsStore.h"
#include "TempFolder.h"
#include "Windows.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

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

bool WaitFor(const std::function<bool()>& ready, int ms = 20000)
{
    QElapsedTimer timer;
    timer.start();
    while (!ready()) {
        if (timer.elapsed() > ms)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

class DownloadWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        messages = &InstallScriptedMessages();
        DownloadWindow::SetImportHook([this](const std::string& path) { imported.push_back(path); });
        DownloadWindow::SetOpenFileHook([this](const std::string& title, const std::string& filter,
                                               const std::string& name) {
            dialogs.push_back(title + "|" + filter + "|" + name);
            return dialogAnswer;
        });
        window = std::make_unique<DownloadWindow>();
    }
    void TearDown() override
    {
        window.reset();
        DownloadWindow::SetImportHook({});
        DownloadWindow::SetOpenFileHook({});
    }
    QString Status() { return Control<QLabel>(window.get(), "lblStatus")->text(); }
    QListWidget* List() { return Control<QListWidget>(window.get(), "List1"); }
    QPushButton* Button(const char* name) { return Control<QPushButton>(window.get(), name); }
    QLineEdit* Box(const char* name) { return Control<QLineEdit>(window.get(), name); }

    TempFolder program;
    ScriptedMessages* messages = nullptr;
    std::vector<std::string> imported, dialogs;
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

TEST_F(DownloadWindowTest, UnreachableServerSaysSoAndFreesConnect)
{
    VEXAL_REQUIRE_PYTHON();
    SaveSetting("Settings", "StatsServer", "127.0.0.1:" + std::to_string(test::ClosedPort()));
    Button("cmdConnect")->click();
    ASSERT_EQ(messages->shown.size(), 1u);
    EXPECT_EQ(messages->shown[0].text,
              "Could not resolve host. Please make sure you are connected to the internet and try again.");
    EXPECT_EQ(messages->shown[0].buttons, vbInformation);
    EXPECT_TRUE(messages->shown[0].title.starts_with("10057 - "));
    EXPECT_TRUE(Status().startsWith("10057 - "));
    EXPECT_TRUE(Button("cmdConnect")->isEnabled());
    EXPECT_FALSE(Button("CmdDisconnect")->isEnabled());
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
    ASSERT_TRUE(WaitFor([&] { return Status() == "File imported successfully!"; })) << Status().toStdString();
    EXPECT_EQ(program.Read("wk01.24"), std::string(3000, 's'));
    ASSERT_EQ(imported.size(), 1u);
    EXPECT_EQ(imported[0], (program / "wk01.24").string());
    EXPECT_EQ(window->windowTitle(), "Stats Download Client");

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
    EXPECT_EQ(dialogs[0], " Import A Stat File |*.24|*.24");
    EXPECT_TRUE(imported.empty());

    dialogAnswer = (program / "wk05.24").string();
    Button("cmdGetFile")->click();
    ASSERT_EQ(imported.size(), 1u);
    EXPECT_EQ(imported[0], dialogAnswer);
    EXPECT_EQ(Status(), "Idle...") << "only a download reports the import";
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
