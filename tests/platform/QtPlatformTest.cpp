// The Qt services behind the platform interfaces: the QSettings store and the message box.
#include "Host.h"
#include "MsgBox.h"
#include "Preferences.h"
#include "QtPlatform.h"
#include "SettingsStore.h"
#include "TextDamage.h"
#include "TempFolder.h"
#include "WaitFor.h"
#include "WaitLimit.h"

#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QDialog>
#include <QTextBrowser>
#include <QPushButton>
#include <QApplication>
#include <QMessageBox>
#include <QProcess>
#include <QTimer>

#include <QDebug>
#include <QSettings>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>

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

// Every value is written in the settings store's own spelling of it (escapes, quotes, its
// marks), so the next start reads back each exactly as saved.
TEST(QtSettings, SavedValuesLiveInTheSettingsFolder)
{
    TempFolder folder;
    InstallQtPlatform(Q(folder.Path().string()));
    EXPECT_EQ(GetSetting("Preference", "Min Games", "3"), "3");
    const std::vector<std::string> values = {
        "5", "my/odd\\name.fla", "a, b", " lead", "trail ", "a;b", "a=b", "say \"x\"", "@at", "@String(x)",
        "caf\xC3\xA9 \xF0\x9F\x8F\x88", "tab\there", "two\r\nlines", std::string("\x01" "1\x1f" "a\x7f" "f", 7),
        std::string("nul\0" "1", 5), "", "#hash", "[section]", "100% sure", "; comment"};
    for (std::size_t i = 0; i < values.size(); ++i)
        SaveSetting("Preference", "Value " + std::to_string(i), values[i]);
    SaveSetting("Preference", "Min Games", "5");
    EXPECT_TRUE(std::filesystem::exists(folder / "Vexal.conf"));
    EXPECT_EQ(FirstNonTextByte(test::ReadFile(folder / "Vexal.conf")), std::nullopt);

    // A second store on the same folder (the next start of the program) reads them back.
    InstallQtPlatform(Q(folder.Path().string()));
    EXPECT_EQ(GetSetting("Preference", "Min Games", "3"), "5");
    for (std::size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(GetSetting("Preference", "Value " + std::to_string(i), "?"), values[i]) << i;
    Settings().DeleteSetting(AppName, "Preference", "Min Games");
    EXPECT_EQ(GetSetting("Preference", "Min Games", "3"), "3");
    InstallQtPlatform(Q(folder.Path().string()));
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

// The README's own example in the user's settings file, saved by an editor that ends its last
// line with no line end, or by one that ends it: the web site is the one written, no message
// names the file, and a theme chosen in the run is there at the next start beside every key
// the user wrote.
TEST(QtSettings, TheReadmesExampleIsReadWithOrWithoutAFinalLineEndAndKeepsItsKeysThroughARestart)
{
    const std::filesystem::path file = S(SettingsFile()); // under the test's XDG_CONFIG_HOME
    ASSERT_EQ(file.filename(), "Vexal.ini");
    const std::string example = "[Vexal]\nSettings\\WebSite=https://www.example.org/";
    for (const char* end : {"", "\n", "\r\n"}) {
        SCOPED_TRACE(testing::PrintToString(std::string(end)));
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary | std::ios::trunc) << example << end;
        ScriptedMessages& messages = InstallScriptedMessages();
        InstallQtSettings();
        EXPECT_EQ(GetSetting(pref::WebSite), "https://www.example.org/");
        SaveSetting(pref::Theme, "Midnight");

        InstallQtSettings(); // the next start
        EXPECT_EQ(GetSetting(pref::WebSite), "https://www.example.org/");
        EXPECT_EQ(GetSetting(pref::Theme), "Midnight");
        EXPECT_TRUE(messages.shown.empty()) << messages.shown[0].text;
        const std::string text = test::ReadFile(file);
        EXPECT_NE(text.find("Settings\\WebSite=https://www.example.org/\n"), std::string::npos) << text;
        InstallSettings(std::make_unique<MemorySettings>());
        std::filesystem::remove_all(file.parent_path());
    }
}

// A save decides from the file as it is now whether it already holds the value: a value
// another program (a second instance, a sync tool) changed since the start is written again,
// and one the file still holds keeps the user's spelling. Whatever the file's form, the store
// itself reads the saved file as it read it before with the value saved, and the next start
// takes it with no message; an edit that would not read back changes nothing and is named.
TEST(QtSettings, ASaveWritesWhatTheFileNoLongerHoldsAndKeepsWhatItDoes)
{
    struct Case {
        const char* name;
        std::string atStart;
        const char* changedTo; // the file as another program left it; null: not changed
        const char* saved;
        std::string expected;  // empty: refused, the file unchanged
    };
    const Case cases[] = {
        {"ChangedBackToTheValueAtStart", "[Vexal]\nPreference\\LineFile=Vegas\n", "[Vexal]\nPreference\\LineFile=Reno\n",
         "Vegas", "[Vexal]\nPreference\\LineFile=Vegas\n"},
        {"RemovedSinceTheStart", "[Vexal]\nPreference\\LineFile=Vegas\n", "[Vexal]\n", "Vegas",
         "[Vexal]\nPreference\\LineFile=Vegas\n"},
        {"QuotedByHandAndUnchanged", "[Vexal]\nPreference\\LineFile=\"Vegas\"\n", nullptr, "Vegas",
         "[Vexal]\nPreference\\LineFile=\"Vegas\"\n"},
        {"QuotedByHandAndChangedSince", "[Vexal]\nPreference\\LineFile=\"Vegas\"\n",
         "[Vexal]\nPreference\\LineFile=\"Reno\"\n", "Vegas", "[Vexal]\nPreference\\LineFile=Vegas\n"},
        {"ChangedToTheValueSaved", "[Vexal]\nPreference\\LineFile=Vegas\n", "[Vexal]\nPreference\\LineFile= Reno \n",
         "Reno", "[Vexal]\nPreference\\LineFile= Reno \n"},
        {"CommentAfterTheEntry", "[Vexal]\nPreference\\LineFile=Vegas ; mine\n", nullptr, "Reno",
         "[Vexal]\nPreference\\LineFile=Reno ; mine\n"},
        {"CommaAndNoBlank", "[Vexal]\nPreference\\LineFile=Vegas, Reno\n", nullptr, "Vegas,Reno",
         "[Vexal]\nPreference\\LineFile=\"Vegas,Reno\"\n"},
        {"NoFinalLineEndNoVexalSection", "[Other]\nX=1", nullptr, "Reno", "[Other]\nX=1\n[Vexal]\nPreference\\LineFile=Reno"},
        {"SignedKeyEscape", "[Vexal]\n%U-FFFb=1\n", nullptr, "Reno", "[Vexal]\n%U-FFFb=1\nPreference\\LineFile=Reno\n"},
        {"KeyNotUtf8", "[Vexal]\nA\xff" "B=1\n", nullptr, "Reno", "[Vexal]\nA\xff" "B=1\nPreference\\LineFile=Reno\n"},
        {"LoneCarriageReturn", "\r", nullptr, "Reno", "\r[Vexal]\nPreference\\LineFile=Reno\n"},
        {"EntryWouldRunIntoAnOpenQuote", "[Vexal]\nX=\"a\n", nullptr, "Reno", ""},
    };
    // Every key of the file and its value (a text, or a list), as the store reads them.
    const auto shown = [](const QVariant& value) { QString text; QDebug(&text) << value; return S(text); };
    const auto storeReads = [&](const std::filesystem::path& file) {
        QSettings store(Q(file.string()), QSettings::IniFormat);
        std::map<std::string, std::string> values;
        for (const QString& key : store.allKeys())
            values[S(key)] = shown(store.value(key));
        return values;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        folder.Write("Vexal.conf", c.atStart);
        ScriptedMessages& messages = InstallScriptedMessages();
        InstallQtSettings(Q(folder.Path().string()));
        if (c.changedTo)
            folder.Write("Vexal.conf", c.changedTo);
        const std::string before = test::ReadFile(folder / "Vexal.conf");
        std::map<std::string, std::string> meant = storeReads(folder / "Vexal.conf");
        SaveSetting(pref::LineFile, c.saved);
        EXPECT_EQ(test::ReadFile(folder / "Vexal.conf"), c.expected.empty() ? before : c.expected);
        if (c.expected.empty()) {
            EXPECT_EQ(messages.shown.size(), 1u);
            EXPECT_NE(messages.shown.at(0).text.find("would not read back"), std::string::npos) << messages.shown[0].text;
        } else {
            meant["Vexal/Preference/LineFile"] = shown(Q(c.saved));
            EXPECT_EQ(storeReads(folder / "Vexal.conf"), meant);
            InstallQtSettings(Q(folder.Path().string()));
            EXPECT_EQ(GetSetting(pref::LineFile), c.saved);
            EXPECT_TRUE(messages.shown.empty()) << messages.shown[0].text;
        }
        InstallSettings(std::make_unique<MemorySettings>());
    }
}

// Two instances saving settings at the same moment, as two windows closed at log-out do, each
// a setting of its own a dozen times: both keep every one and neither names a failure. Each
// instance is this test program started again to run this test: it reads the file as the
// program starts, and saves once both have, when this one closes their input.
TEST(QtSettings, TwoInstancesSavingAtOnceKeepEverySetting)
{
    constexpr int Saves = 12;
    if (const char* saver = std::getenv("VEXAL_SETTINGS_SAVER")) {
        ScriptedMessages& messages = InstallScriptedMessages();
        InstallQtSettings(qEnvironmentVariable("VEXAL_SETTINGS_FOLDER"));
        std::cout << "ready" << std::endl;
        std::cin.get();
        for (int i = 0; i < Saves; ++i)
            SaveSetting(saver, "Value " + std::to_string(i), saver + std::to_string(i));
        EXPECT_TRUE(messages.shown.empty()) << messages.shown[0].text;
        return;
    }
    TempFolder folder;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& name : environment.keys())
        if (name.startsWith("GTEST_"))
            environment.remove(name); // a shard of its own would run no test
    environment.insert("VEXAL_SETTINGS_FOLDER", Q(folder.Path().string()));
    for (int trial = 0; trial < 6; ++trial) {
        const std::string savers[] = {"A" + std::to_string(trial), "B" + std::to_string(trial)};
        QProcess instances[2];
        QByteArray output[2];
        for (int i = 0; i < 2; ++i) {
            environment.insert("VEXAL_SETTINGS_SAVER", Q(savers[i]));
            instances[i].setProcessEnvironment(environment);
            instances[i].start(QCoreApplication::applicationFilePath(),
                               {"--gtest_filter=QtSettings.TwoInstancesSavingAtOnceKeepEverySetting"});
            while (!output[i].contains("ready\n")) {
                ASSERT_TRUE(instances[i].waitForReadyRead(test::StateWaitLimitMs)) << output[i].constData();
                output[i] += instances[i].readAll();
            }
        }
        for (QProcess& instance : instances)
            instance.closeWriteChannel();
        for (int i = 0; i < 2; ++i) {
            ASSERT_TRUE(instances[i].waitForFinished(test::StateWaitLimitMs));
            EXPECT_TRUE(instances[i].exitStatus() == QProcess::NormalExit && instances[i].exitCode() == 0)
                << (output[i] + instances[i].readAll()).constData();
        }
        InstallQtSettings(Q(folder.Path().string()));
        for (const std::string& saver : savers)
            for (int i = 0; i < Saves; ++i)
                EXPECT_EQ(Settings().GetSetting(AppName, saver, "Value " + std::to_string(i), ""), saver + std::to_string(i));
    }
    InstallSettings(std::make_unique<MemorySettings>());
}

// The settings store reads its file again after the program's own read, and keeps no error for
// a read that fails part-way: what it holds is measured against the text the program read.
// A store that read the file whole is never taken for one that did not, whatever the file's
// form (a key written twice under spellings the store takes for one included); one that read less (nothing, a file cut at a line, in a key, in a value) names the
// first entry it lacks.
TEST(QtSettings, AStoreThatReadLessThanTheFileHoldsIsToldFromOneThatReadItAll)
{
    struct Row {
        const char* name;
        std::string read; // the program's own read of the file
        std::string stored; // what the store read of it (nullptr-like "\x01": no file at all)
        std::string lacked; // the entry named, with its line; empty: the store holds it all
    };
    const std::string readme = "[Vexal]\nSettings\\WebSite=https://www.example.org/";
    const std::string forms = "; mine\r\n#Theme=1\r\ntop=1\r\n[General]\r\nG=1\r\n[Vexal]\r\n"
                              "Preference\\LineFile=\"Vegas, Reno\"\r\nPreference\\Min%20Games=7\r\n"
                              "Preference\\Min Games=8\r\nA=1\r\nA=2\r\n  B  =  x y  \r\nP=100% sure #1\r\nQ=a;b\r\n"
                              "T=\r\nE=caf\xC3\xA9\r\nL=a, b\r\n[Odd\\Name]\r\nO=1\r\n[Vexal]\r\nV=@x\r\nW=3";
    const std::string runOn = "[Vexal]\nR=a\\\nS=2\nU=\"x\nY=3\nZ=1\n";
    const std::string merged = "[Vexal]\nPreference\\X=3\nPreference/X=7\n";
    const std::string groups = "[Vexal]\nPreference\\X=3\n[Vexal\\Preference]\nX=7\n";
    const std::string groupsFirst = "[Vexal/Preference]\nX=7\n[Vexal]\nPreference\\X=3\n";
    const std::string general = "top=1\n[Vexal]\nA=1\n[General]\ntop=2\n[general]\ntop=3\n";
    const std::vector<Row> rows = {
        {"the README's example", readme, readme, ""},
        {"the README's example with a UTF-8 mark", "\xEF\xBB\xBF" + readme, "\xEF\xBB\xBF" + readme, ""},
        {"every form of entry", forms, forms, ""},
        {"values run on over lines", runOn, runOn, ""},
        {"a key under a slash and a backslash", merged, merged, ""},
        {"a group's section after its parent's", groups, groups, ""},
        {"a group's section before its parent's", groupsFirst, groupsFirst, ""},
        {"the top of the file and [General]", general, general, ""},
        {"comments with # and a UTF-8 mark", "\xEF\xBB\xBF# mine\r\n" + merged, "\xEF\xBB\xBF# mine\r\n" + merged, ""},
        {"cut after a key written twice", merged + "B=2\n", merged, "\"B\" (line 4)"},
        {"nothing read", readme, "", "\"Settings\\WebSite\" (line 2)"},
        {"no file read", readme, "\x01", "\"Settings\\WebSite\" (line 2)"},
        {"cut in a value", readme, "[Vexal]\nSettings\\WebSite=https://www.ex", "\"Settings\\WebSite\" (line 2)"},
        {"cut in a key", "[Vexal]\nA=1\nSettings\\WebSite=x\n", "[Vexal]\nA=1\nSettings\\Web",
         "\"Settings\\WebSite\" (line 3)"},
        {"cut at a line", "[Vexal]\r\nA=1\r\nB=2\r\n", "[Vexal]\r\nA=1\r\n", "\"B\" (line 3)"},
        {"cut before its last line", forms, forms.substr(0, forms.rfind("\r\n") + 2), "\"W\" (line 22)"},
    };
    int n = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempFolder folder;
        // A new name for each: the store keeps what it read of a file it saw before.
        const std::filesystem::path file = folder / ("Vexal" + std::to_string(++n) + ".conf");
        if (row.stored != "\x01")
            std::ofstream(file, std::ios::binary) << row.stored;
        const std::string said = SettingsStoreShortfall(Q(file.string()), row.read);
        if (row.lacked.empty())
            EXPECT_EQ(said, "");
        else
            EXPECT_EQ(said, file.string() + " could not be read: the settings store did not read its entry " + row.lacked +
                                " as the file holds it.");
    }
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
// what it is, whatever its name says, and only then; No runs nothing.
TEST(QtLauncher, AsksBeforeStartingAnyProgramWhateverItsName)
{
    TempFolder folder;
    const auto marker = folder.Path() / "ran";
    const std::string script = "#!/bin/sh\ntouch '" + marker.string() + "'\n";
    struct Case {
        const char* name;
        std::string content;
        bool executable;
        bool program = true;
    };
    const Case cases[] = {
        {"game.x86_64", script, true},
        {"start.command", script, true},
        {"tool.py3", script, true},
        {"form.cgi", script, true},
        {"notes.txt", script, true},
        {"picks.dat", script, false},
        {"viewer.bin.txt", std::string("\x7f" "ELF\x02\x01\x01", 7) + std::string(40, '\0'), false},
        {"setup.ini", "# made by hand\n\n[Desktop Entry]\nType=Application\nExec=sh -c 'touch " + marker.string() + "'\n", false},
        // Documents marked executable, as a FAT, exFAT or NTFS folder marks every file: opened in
        // their handler, nothing asked.
        {"Predict.htm", "<html><body>Help</body></html>\n", true, false},
        {"readme.txt", "plain words\n", true, false},
    };
    QTextBrowser browser; // the desktop's handler of files
    QDesktopServices::setUrlHandler("file", &browser, "setSource");
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
        if (!c.program) {
            EXPECT_TRUE(messages.shown.empty()) << messages.shown[0].text;
            EXPECT_EQ(browser.source(), QUrl::fromLocalFile(QString::fromStdString((folder / c.name).string())));
            continue;
        }
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
    // A start that fails names its own cause.
    folder.Write("broken.sh", "#!/no/such/interpreter\n");
    std::filesystem::permissions(folder / "broken.sh", std::filesystem::perms::owner_all);
    messages.answers = {vbYes};
    EXPECT_EQ(Launcher().Open((folder / "broken.sh").string(), folder.Path().string(), 1), 11);
    EXPECT_EQ(Launcher().FailureCause().rfind("It could not be started: ", 0), 0u) << Launcher().FailureCause();
    QDesktopServices::unsetUrlHandler("file");
    InstallScriptedMessages();
    InstallRecordingLauncher();
}
