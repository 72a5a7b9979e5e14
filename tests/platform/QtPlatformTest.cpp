// The Qt services behind the platform interfaces: the QSettings store and the message box.
#include "Host.h"
#include "MsgBox.h"
#include "QtPlatform.h"
#include "SettingsStore.h"
#include "TempFolder.h"
#include "WaitFor.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QPushButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <filesystem>

using namespace vexal;
using vexal::test::TempFolder;
using vexal::test::WaitFor;

namespace {

// Answers the next message box with the given button, after noting what it showed.
struct BoxSeen {
    QString title, text;
    Qt::TextFormat format = Qt::AutoText;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    int width = 0;
    int titleWidth = 0;
};

void AnswerNextBox(QMessageBox::StandardButton answer, BoxSeen& seen)
{
    QTimer::singleShot(0, [answer, &seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.format = box->textFormat();
        seen.icon = box->icon();
        seen.buttons = box->standardButtons();
        seen.defaultButton = box->standardButton(box->defaultButton());
        seen.width = box->width();
        QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
        titleFont.setBold(true);
        seen.titleWidth = QFontMetrics(titleFont).horizontalAdvance(seen.title);
        box->button(answer)->click();
    });
}

} // namespace

TEST(QtSettings, SavedValuesLiveInTheSettingsFolder)
{
    TempFolder folder;
    InstallQtPlatform(Q(folder.Path().string()));
    EXPECT_EQ(GetSetting("Preference", "Min Games", "3"), "3");
    SaveSetting("Preference", "Min Games", "5");
    SaveSetting("Formula", "Current", "my/odd\\name.fla");
    SaveSetting("Preference", "List", "a, b");
    EXPECT_TRUE(std::filesystem::exists(folder / "Vexal.conf"));

    // A second store on the same folder (the next start of the program) reads them back.
    InstallQtPlatform(Q(folder.Path().string()));
    EXPECT_EQ(GetSetting("Preference", "Min Games", "3"), "5");
    EXPECT_EQ(GetSetting("Formula", "Current", ""), "my/odd\\name.fla");
    EXPECT_EQ(GetSetting("Preference", "List", ""), "a, b");
    Settings().DeleteSetting(AppName, "Preference", "Min Games");
    EXPECT_EQ(GetSetting("Preference", "Min Games", "3"), "3");
    InstallScriptedMessages();
    SetDoEventsHook({});
}

TEST(QtSettings, NamesMatchWithoutRegardToCase)
{
    TempFolder folder;
    InstallQtPlatform(Q(folder.Path().string()));
    SaveSetting("Preference", "SortbyWin", "1");
    EXPECT_EQ(GetSetting("preference", "SortByWin", "0"), "1");
    SaveSetting("Preference", "SORTBYWIN", "2");
    EXPECT_EQ(GetSetting("Preference", "SortbyWin", "0"), "2");
    InstallScriptedMessages();
    SetDoEventsHook({});
}

TEST(QtSettings, AHandEditedValueWithACommaIsOneText)
{
    TempFolder folder;
    folder.Write("Vexal.conf", "[Vexal]\nPreference\\LineFile=Vegas, Reno\nPreference\\Min%20Games=7\n");
    InstallQtPlatform(Q(folder.Path().string()));
    EXPECT_EQ(GetSetting("Preference", "LineFile", ""), "Vegas, Reno");
    EXPECT_EQ(GetSettingNumber("Preference", "Min Games", 3), 7);
    InstallScriptedMessages();
    SetDoEventsHook({});
}

TEST(QtMessages, ShowsPlainTextWithTheButtonsAndIconAsked)
{
    TempFolder folder;
    InstallQtPlatform(Q(folder.Path().string()));
    BoxSeen seen;
    AnswerNextBox(QMessageBox::No, seen);
    const int32_t answer = MsgBox("File <2024> not found", vbYesNo + vbQuestion + vbDefaultButton2, "Import");
    EXPECT_EQ(answer, vbNo);
    EXPECT_EQ(seen.title, "Import");
    EXPECT_EQ(seen.text, "File <2024> not found");
    EXPECT_EQ(seen.format, Qt::PlainText);
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(seen.defaultButton, QMessageBox::No);

    AnswerNextBox(QMessageBox::Retry, seen);
    EXPECT_EQ(MsgBox("Busy", vbAbortRetryIgnore + vbCritical, "Vexal"), vbRetry);
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.buttons, QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore);

    AnswerNextBox(QMessageBox::Ok, seen);
    EXPECT_EQ(MsgBox("Done", vbInformation, "Vexal"), vbOK);
    EXPECT_EQ(seen.icon, QMessageBox::Information);
    EXPECT_EQ(seen.buttons, QMessageBox::Ok);

    // A short message under a long title still shows the whole title, with room for the
    // title bar's icon and buttons.
    for (const char* title : {"Formula Test Report", "Smart Predictions - Save Formulas"}) {
        AnswerNextBox(QMessageBox::Ok, seen);
        MsgBox("Done", vbOKOnly, title);
        EXPECT_GE(seen.width, seen.titleWidth + 100) << title;
    }
    // So does an input box.
    int inputWidth = 0, titleWidth = 0;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        inputWidth = dialog->width();
        QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
        titleFont.setBold(true);
        titleWidth = QFontMetrics(titleFont).horizontalAdvance(dialog->windowTitle());
        static_cast<QDialog*>(dialog)->accept();
    });
    EXPECT_EQ(InputBox("Name?", "Save the Formula Test Template As", "x"), "x");
    EXPECT_GE(inputWidth, titleWidth + 100);
    InstallScriptedMessages();
    SetDoEventsHook({});
}

// A file reached through a link is asked about before it starts whenever it is a program by
// what it is, whatever its name says; No runs nothing.
TEST(QtLauncher, AsksBeforeStartingAnyProgramWhateverItsName)
{
    TempFolder folder;
    const auto marker = folder.Path() / "ran";
    const std::string script = "#!/bin/sh\ntouch '" + marker.string() + "'\n";
    struct Case {
        const char* name;
        std::string content;
        bool executable;
    };
    const Case cases[] = {
        {"game.x86_64", script, true},
        {"start.command", script, true},
        {"tool.py3", script, true},
        {"form.cgi", script, true},
        {"notes.txt", script, true},
        {"readme.txt", "plain words, but marked executable\n", true},
        {"picks.dat", script, false},
        {"viewer.bin.txt", std::string("\x7f" "ELF\x02\x01\x01", 7) + std::string(40, '\0'), false},
        {"setup.ini", "# made by hand\n\n[Desktop Entry]\nType=Application\nExec=sh -c 'touch " + marker.string() + "'\n", false},
    };
    InstallLauncher(MakeDesktopLauncher());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        folder.Write(c.name, c.content);
        std::filesystem::permissions(folder.Path() / c.name,
                                     c.executable ? std::filesystem::perms::owner_all
                                                  : std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
        ScriptedMessages& messages = InstallScriptedMessages();
        messages.answers = {vbNo};
        EXPECT_EQ(Launcher().Open((folder.Path() / c.name).string(), folder.Path().string(), 1), 42);
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].title, "Start a program");
        EXPECT_NE(messages.shown[0].text.find(c.name), std::string::npos);
        QApplication::processEvents();
        EXPECT_FALSE(std::filesystem::exists(marker)) << "No runs nothing";
    }

    // Yes starts it, so the question above stood between the link and a real program.
    ScriptedMessages& messages = InstallScriptedMessages();
    messages.answers = {vbYes};
    Launcher().Open((folder.Path() / "notes.txt").string(), folder.Path().string(), 1);
    EXPECT_TRUE(WaitFor([&] { return std::filesystem::exists(marker); }));
    InstallScriptedMessages();
    InstallRecordingLauncher();
}
