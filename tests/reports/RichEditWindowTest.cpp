#include "AppState.h"
#include "CommonDialog.h"
#include "Host.h"
#include "MsgBox.h"
#include "PrintDialog.h"
#include "RichEditWindow.h"
#include "SettingsStore.h"
#include "TempFolder.h"
#include "Windows.h"
#include "QtPlatform.h"
#include "RecordFile.h"
#include "InternetWindows.h"
#include "TSGet.h"
#include "HostileServers.h"
#include "LoopbackServer.h"
#include "WaitFor.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QTextCursor>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QElapsedTimer>
#include <QTimer>
#include <QWindow>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

using namespace vexal;

namespace vexal {
void RegisterReportWindows();
}

namespace {

class ViewerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetApp();
        InstallInternetServices();
    }
    void TearDown() override { SetDialogScripts({}); }

    std::unique_ptr<RichEditWindow> Open(const std::string& path)
    {
        App().DocumentPath = path;
        auto w = std::make_unique<RichEditWindow>();
        w->Form_Load();
        return w;
    }
    // Answers every file dialog with this path (empty: cancel) and counts the questions.
    void AnswerFiles(const std::string& path)
    {
        SetDialogScripts({[this, path](const FileRequest& r) {
                              fileRequests.push_back(r);
                              return path.empty() ? FileAnswer{} : FileAnswer{true, path, 1, false};
                          },
                          {}, {}});
    }
    static QTextEdit* Editor(QWidget* w) { return w->findChild<QTextEdit*>("edtMain"); }
    static QAction* Action(QWidget* w, const char* name) { return w->findChild<QAction*>(name); }
    static void Type(QWidget* w, const QString& text)
    {
        Editor(w)->setFocus();
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(Editor(w), &press);
        }
    }

    test::TempFolder folder;
    std::vector<FileRequest> fileRequests;
};

const std::string Breakdown = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fmodern Courier New;}}\\f0\\fs20 \\b Title\\par\r\n"
                              "\\b0 Body line\\par\r\n}\r\n";

} // namespace

TEST_F(ViewerTest, LoadsTheDocumentNamedAtLoad)
{
    folder.Write("Breakdown.rtf", Breakdown);
    const std::string path = (folder / "Breakdown.rtf").string();
    auto w = Open(path);
    EXPECT_EQ(w->objectName(), "frmRichEdit");
    EXPECT_EQ(w->windowTitle().toStdString(), "Editing " + path);
    EXPECT_EQ(Editor(w.get())->toPlainText(), "Title\nBody line");
    EXPECT_FALSE(w->Modified());
    EXPECT_EQ(w->CurrentPath(), path);
    QTextCursor c(Editor(w.get())->document());
    c.setPosition(1);
    EXPECT_EQ(c.charFormat().fontWeight(), QFont::Bold);
    auto* style = w->findChild<QComboBox*>("cboStyle");
    ASSERT_EQ(style->count(), 3);
    EXPECT_EQ(style->itemText(1), "Wrap to Window");
    EXPECT_EQ(style->currentIndex(), 0);
    style->setCurrentIndex(1);
    EXPECT_EQ(w->ViewMode(), 1);
    EXPECT_EQ(Editor(w.get())->lineWrapMode(), QTextEdit::WidgetWidth);
    EXPECT_TRUE(Messages().MsgBox("probe", vbOKOnly, "") == vbOK); // nothing asked before
}

TEST_F(ViewerTest, EmptyPathAsksAndACancelLeavesAnEmptyDocument)
{
    AnswerFiles("");
    auto w = Open("");
    ASSERT_EQ(fileRequests.size(), 1u);
    EXPECT_EQ(fileRequests[0].title, "Choose File To Open");
    EXPECT_EQ(fileRequests[0].defaultExt, "RTF");
    ASSERT_EQ(fileRequests[0].filters.size(), 3u);
    EXPECT_EQ(fileRequests[0].filters[0].first, "RichText Documents (*.RTF)");
    EXPECT_EQ(w->windowTitle(), "Editing ");
    EXPECT_TRUE(Editor(w.get())->toPlainText().isEmpty());
}

TEST_F(ViewerTest, TypeFollowsTheFirstBytesNotTheName)
{
    folder.Write("fake.rtf", "Plain {\\b not rich}\r\nsecond");
    auto w = Open((folder / "fake.rtf").string());
    EXPECT_EQ(Editor(w.get())->toPlainText(), "Plain {\\b not rich}\nsecond");

    auto missing = Open((folder / "gone.rtf").string());
    auto& shown = static_cast<ScriptedMessages&>(Messages()).shown;
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Error! " + (folder / "gone.rtf").string() + " was not found. [53]");
    EXPECT_EQ(missing->windowTitle().toStdString(), "Editing " + (folder / "gone.rtf").string());
    EXPECT_EQ(missing->CurrentPath(), "");
}

// A document that cannot be read, at its first look or when it is loaded, is named once by the
// file and the cause the read met, in the window's message for a file error, and the document
// shown before stays as it was.
TEST_F(ViewerTest, ALoadThatFailsNamesTheFileAndTheCauseAndChangesNothing)
{
    auto& messages = static_cast<ScriptedMessages&>(Messages());
    struct Case {
        const char* name;
        std::function<std::unique_ptr<ReadFault>(const std::filesystem::path&)> refuse;
        std::function<std::unique_ptr<ReadErrorFault>(const std::filesystem::path&)> fail;
        std::string cause;
        int number;
    };
    const Case cases[] = {
        {"a folder in its place", {}, {}, "is a folder, not a file.", 75},
        {"refused to the reader", [](const auto& p) { return std::make_unique<ReadFault>(p); }, {},
         "could not be read: " + ReasonOfError(EACCES) + ".", 75},
        {"the disk fails the load after the first look", {},
         [](const auto& p) { return std::make_unique<ReadErrorFault>(p, 0, 1); },
         "could not be read: " + ReasonOfError(EIO) + ".", 75},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        folder.Write("shown.txt", "the document shown");
        const std::filesystem::path target = folder / "other.rtf";
        std::filesystem::remove_all(target);
        if (c.refuse || c.fail)
            folder.Write("other.rtf", Breakdown);
        else
            std::filesystem::create_directory(target);
        auto w = Open((folder / "shown.txt").string());
        AnswerFiles(target.string());
        messages.shown.clear();
        {
            const auto refused = c.refuse ? c.refuse(target) : nullptr;
            const auto failing = c.fail ? c.fail(target) : nullptr;
            Action(w.get(), "mnuFile_1")->trigger();
        }
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text,
                  "Error! " + target.string() + " " + c.cause + " [" + std::to_string(c.number) + "]");
        EXPECT_EQ(messages.shown[0].buttons, vbExclamation);
        EXPECT_EQ(Editor(w.get())->toPlainText(), "the document shown");
        EXPECT_EQ(w->CurrentPath(), (folder / "shown.txt").string());
        EXPECT_EQ(w->windowTitle().toStdString(), "Editing " + (folder / "shown.txt").string());
        EXPECT_FALSE(w->Modified());
    }
}

TEST_F(ViewerTest, SaveAsWritesRichTextOnlyForRtfNames)
{
    folder.Write("in.txt", "one\r\ntwo \xE9");
    auto w = Open((folder / "in.txt").string());
    const std::string rich = (folder / "out.Rtf").string();
    AnswerFiles(rich);
    Action(w.get(), "mnuFile_3")->trigger();
    ASSERT_EQ(fileRequests.size(), 1u);
    EXPECT_EQ(fileRequests[0].title, "Choose File To Save As");
    EXPECT_NE(fileRequests[0].flags & OFN_OVERWRITEPROMPT, 0);
    EXPECT_EQ(folder.Read("out.Rtf"), "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil Courier New;}}\r\n"
                                      "{\\colortbl ;\\red0\\green0\\blue0;}\r\n"
                                      "\\pard {\\plain\\f0\\fs17\\cf1 one}\\par\r\n"
                                      "\\pard {\\plain\\f0\\fs17\\cf1 two \\'e9}\\par\r\n}\r\n");
    EXPECT_EQ(w->windowTitle().toStdString(), "Editing " + rich);

    AnswerFiles((folder / "out.text").string());
    Action(w.get(), "mnuFile_3")->trigger();
    EXPECT_EQ(folder.Read("out.text"), "one\r\ntwo \xE9");

    // Save writes to the current document without asking.
    Type(w.get(), "X");
    Action(w.get(), "mnuFile_2")->trigger();
    EXPECT_EQ(fileRequests.size(), 2u);
    EXPECT_EQ(folder.Read("out.text"), "Xone\r\ntwo \xE9");

    // A cancelled Save As changes nothing.
    AnswerFiles("");
    Type(w.get(), "Y");
    Action(w.get(), "mnuFile_3")->trigger();
    EXPECT_TRUE(w->Modified());
    EXPECT_EQ(folder.Read("out.text"), "Xone\r\ntwo \xE9");
}

// A save that fails names the file and the cause its write met, in the window's message for a
// file error, leaves the file on the disk as it was and the document unsaved and unrenamed.
TEST_F(ViewerTest, ASaveThatFailsNamesTheFileAndTheCauseAndChangesNothing)
{
    auto& messages = static_cast<ScriptedMessages&>(Messages());
    struct Case {
        const char* name;
        const char* target;           // the file the save writes; the document is "doc.txt"
        bool atSync;                  // the disk fails when the write is waited for, else it is full
        int number;                   // the error's number in the message
        std::function<void(RichEditWindow&)> save;
        std::size_t questions;        // messages before the failure's
    };
    const Case cases[] = {
        {"Save", "doc.txt", false, 61, [](RichEditWindow& w) { Action(&w, "mnuFile_2")->trigger(); }, 0},
        {"Save As", "other.rtf", true, 57, [](RichEditWindow& w) { Action(&w, "mnuFile_3")->trigger(); }, 0},
        {"Yes to the question on closing", "doc.txt", true, 57,
         [&](RichEditWindow& w) {
             messages.answers = {vbYes};
             EXPECT_FALSE(w.close()) << "a document that was not saved keeps its window";
         },
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        folder.Write("doc.txt", "the document");
        folder.Write("other.rtf", "the other file");
        const std::filesystem::path target = folder / c.target;
        const std::string before = folder.Read(c.target);
        auto w = Open((folder / "doc.txt").string());
        AnswerFiles(target.string());
        Type(w.get(), "X");
        messages.shown.clear();
        {
            std::optional<WriteFault> fault;
            if (c.atSync)
                fault.emplace(WriteFault::AtSync, target);
            else
                fault.emplace(4, target);
            c.save(*w);
        }
        ASSERT_EQ(messages.shown.size(), c.questions + 1);
        EXPECT_EQ(messages.shown.back().text, "Error! " + target.string() + " could not be written: " +
                                                  ReasonOfError(c.atSync ? EIO : ENOSPC) + ". [" +
                                                  std::to_string(c.number) + "]");
        EXPECT_EQ(messages.shown.back().buttons, vbExclamation);
        EXPECT_EQ(folder.Read(c.target), before);
        EXPECT_TRUE(w->Modified());
        EXPECT_EQ(w->windowTitle().toStdString(), "Editing " + (folder / "doc.txt").string() + " (Modifed) *");
        messages.answers = {vbNo};
    }
}

TEST_F(ViewerTest, ModifiedMarkIsAddedOnce)
{
    folder.Write("a.txt", "abc");
    auto w = Open((folder / "a.txt").string());
    Type(w.get(), "z");
    const std::string caption = "Editing " + (folder / "a.txt").string() + " (Modifed) *";
    EXPECT_EQ(w->windowTitle().toStdString(), caption);
    Type(w.get(), "y");
    EXPECT_EQ(w->windowTitle().toStdString(), caption);
    EXPECT_EQ(w->findChild<QLabel*>("lblStatus")->text(), "Char: 2 Line 0 of 1");
    Editor(w.get())->selectAll();
    EXPECT_EQ(w->findChild<QLabel*>("lblStatus")->text(), "selection: 5 Chars (0) Line 0 of 1");
}

// A document just opened, plain or rich text, has its caret at the start, and the status line
// says so; the editor is never asked about a caret it does not have while it loads.
TEST_F(ViewerTest, StatusOfAnOpenedDocumentNamesTheCaretAtItsStart)
{
    struct Case {
        const char* file;
        const char* content;
    };
    const Case cases[] = {
        {"report.txt", "one\r\ntwo\r\nthree"},
        {"report.rtf", "{\\rtf1\\ansi one\\par two\\par three}"},
    };
    static QStringList warnings;
    const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type != QtDebugMsg && type != QtInfoMsg)
            warnings << text;
    });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        warnings.clear();
        folder.Write(c.file, c.content);
        auto w = Open((folder / c.file).string());
        EXPECT_EQ(w->findChild<QLabel*>("lblStatus")->text().toStdString(), "Char: 0 Line 0 of 3");
        EXPECT_TRUE(warnings.isEmpty()) << warnings.join("; ").toStdString();
    }
    qInstallMessageHandler(previous);
}

TEST_F(ViewerTest, SecondSwatchClickRemovesTheHighlight)
{
    folder.Write("a.txt", "highlight me");
    auto w = Open((folder / "a.txt").string());
    QTextCursor c = Editor(w.get())->textCursor();
    c.setPosition(0);
    c.setPosition(9, QTextCursor::KeepAnchor);
    Editor(w.get())->setTextCursor(c);
    auto* swatch = w->findChild<QLabel*>("picHighlight_1");
    auto* tick = w->findChild<QLabel*>("imgTick");
    auto click = [&] {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(3, 3), swatch->mapToGlobal(QPointF(3, 3)),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(swatch, &press);
    };
    click();
    EXPECT_EQ(w->SelBackColor(), RichEditWindow::HighlightColors[1]);
    EXPECT_FALSE(tick->isHidden());
    const auto doc = w->ToDocument();
    ASSERT_EQ(doc.paragraphs.at(0).runs.size(), 2u);
    EXPECT_EQ(doc.paragraphs[0].runs[0].backColor, RichEditWindow::HighlightColors[1]);
    EXPECT_EQ(doc.paragraphs[0].runs[1].backColor, -1);
    click();
    EXPECT_EQ(w->SelBackColor(), -1);
    EXPECT_TRUE(tick->isHidden());
    EXPECT_EQ(w->ToDocument().paragraphs[0].runs.size(), 1u);
}

TEST_F(ViewerTest, CloseAsksAndCancelKeepsTheWindow)
{
    auto& messages = static_cast<ScriptedMessages&>(Messages());
    AnswerFiles("");
    auto w = Open("");
    Type(w.get(), "new text");
    messages.answers = {vbCancel};
    EXPECT_FALSE(w->close());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Do you want to save changes to this document?");
    // Yes on a never-saved document asks for a name; cancelling that keeps the window.
    messages.answers = {vbYes};
    EXPECT_FALSE(w->close());
    EXPECT_EQ(fileRequests.size(), 2u);
    EXPECT_EQ(fileRequests[1].title, "Choose File To Save As");
    // No drops the changes; the background choice is remembered.
    w->findChild<QCheckBox*>("chkBackground")->setChecked(false);
    messages.answers = {vbNo};
    EXPECT_TRUE(w->close());
    EXPECT_EQ(GetSetting("Settings", "EditorBG", "?"), "0");
}

// Escape asks as the close box does; the accepted close ends the modal show as rejected.
TEST_F(ViewerTest, EscapeAsksAsTheCloseBoxDoes)
{
    auto& messages = static_cast<ScriptedMessages&>(Messages());
    AnswerFiles("");
    auto w = Open("");
    Type(w.get(), "new text");
    messages.answers = {vbCancel, vbNo};
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    // The second Escape is asked only when Cancel kept the window.
    QTimer::singleShot(0, w.get(), [&] {
        QApplication::sendEvent(w->focusWidget(), &escape);
        QApplication::sendEvent(w->focusWidget(), &escape);
    });
    EXPECT_EQ(w->exec(), QDialog::Rejected);
    EXPECT_EQ(messages.shown.size(), 2u);
}

TEST_F(ViewerTest, NewAsksFirstAndForgetsTheFile)
{
    folder.Write("a.txt", "keep");
    auto w = Open((folder / "a.txt").string());
    Type(w.get(), "x");
    auto& messages = static_cast<ScriptedMessages&>(Messages());
    messages.answers = {vbNo};
    Action(w.get(), "mnuFile_0")->trigger();
    EXPECT_EQ(w->windowTitle(), "New Document");
    EXPECT_TRUE(Editor(w.get())->toPlainText().isEmpty());
    EXPECT_EQ(w->CurrentPath(), "");
    EXPECT_EQ(folder.Read("a.txt"), "keep");
}

namespace {

// Records every open with the origin the opener named.
struct OriginLauncher : ShellLauncher {
    struct Call { std::string file, origin; };
    std::vector<Call>* calls;
    explicit OriginLauncher(std::vector<Call>* c) : calls(c) {}
    long Open(const std::string& file, const std::string&, long) override
    {
        calls->push_back({file, LaunchOrigin::Current()});
        return 42;
    }
};

void ClickLink(QTextEdit* e, int position)
{
    QTextCursor c(e->document());
    c.setPosition(position);
    const QPoint at = e->cursorRect(c).center() + QPoint(2, 0);
    QMouseEvent press(QEvent::MouseButtonPress, at, e->viewport()->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(e->viewport(), &press);
}

using test::WaitFor;

std::string TwoLinks(const std::string& first, const std::string& second)
{
    return "{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"" + first + "\"}{\\fldrslt page}}\\par "
           "{\\field{\\*\\fldinst HYPERLINK \"" + second + "\"}{\\fldrslt prog}}\\par}";
}

} // namespace

// A web link opens in its program; a program link is downloaded with a progress bar into the
// program folder and handed on only through the launcher, which names where it came from.
TEST_F(ViewerTest, LinksOpenAndProgramLinksAreDownloadedThenHandedOn)
{
    if (!test::HavePython())
        GTEST_SKIP() << "python3 is not installed: the loopback web site cannot run";
    test::TempFolder site;
    site.Write("PROG.EXE", std::string(200000, 'p'));
    test::LoopbackServer web(test::HostileHttpScript, {site.Path().string()});
    ASSERT_GT(web.Port(), 0);
    test::TempFolder program;
    SetProgramFolder(program.Path());
    std::vector<OriginLauncher::Call> calls;
    InstallLauncher(std::make_unique<OriginLauncher>(&calls));
    auto& messages = static_cast<ScriptedMessages&>(Messages());

    const std::string base = "http://" + web.Address() + "/";
    folder.Write("links.rtf", TwoLinks("http://example.com/page.htm", base + "PROG.EXE"));
    auto w = Open((folder / "links.rtf").string());
    w->resize(400, 300);
    w->show();
    QTextEdit* e = Editor(w.get());
    ClickLink(e, 1);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].file, "http://example.com/page.htm");
    EXPECT_EQ(calls[0].origin, "a link in " + (folder / "links.rtf").string());

    bool barShown = false;
    QObject::connect(w->findChild<TSGet*>("TSGet1"), &TSGet::DownloadProgress, w.get(), [&] {
        barShown = barShown || w->findChild<QWidget*>("ProgBar1")->isVisible();
    });
    ClickLink(e, 6);
    ASSERT_TRUE(WaitFor([&] { return calls.size() == 2 || !messages.shown.empty(); }));
    ASSERT_EQ(calls.size(), 2u) << (messages.shown.empty() ? "" : messages.shown[0].text);
    EXPECT_TRUE(barShown);
    EXPECT_FALSE(w->findChild<QWidget*>("ProgBar1")->isVisible());
    EXPECT_EQ(calls[1].file, (program / "PROG.EXE").string());
    EXPECT_EQ(calls[1].origin, "a download from " + base + "PROG.EXE (linked in " + (folder / "links.rtf").string() + ")");
    EXPECT_EQ(program.Read("PROG.EXE"), std::string(200000, 'p'));

    // An endless or stalled download ends within its limits with a message; nothing is kept or started.
    SaveSetting("Settings", "TransferStallSeconds", "5"); // a starved server still answers in time
    SaveSetting("Settings", "DownloadLimitBytes", "1048576");
    for (const char* name : {"endless.exe", "stall.exe"}) {
        SCOPED_TRACE(name);
        folder.Write("bad.rtf", TwoLinks("http://example.com/page.htm", base + name));
        auto bad = Open((folder / "bad.rtf").string());
        bad->resize(400, 300);
        bad->show();
        messages.shown.clear();
        ClickLink(Editor(bad.get()), 6);
        ASSERT_TRUE(WaitFor([&] { return !messages.shown.empty(); }));
        EXPECT_NE(messages.shown[0].text.find(std::string(name) == "stall.exe" ? "did not answer" : "more than 1048576"),
                  std::string::npos)
            << messages.shown[0].text;
        EXPECT_EQ(calls.size(), 2u);
        EXPECT_FALSE(std::filesystem::exists(program / name));
        EXPECT_FALSE(std::filesystem::exists(program / (std::string(name) + ".part")));
        bad->hide();
    }
    w->hide();
}

// A link to a local script, in a document or in the update notice made from a server's text,
// runs nothing without the confirmation that names the script and where it came from.
TEST_F(ViewerTest, ScriptLinksRunOnlyAfterTheConfirmation)
{
    InstallLauncher(MakeDesktopLauncher());
    auto& messages = static_cast<ScriptedMessages&>(Messages());
    const auto marker = folder / "ran.txt";
    folder.Write("hello.sh", "#!/bin/sh\necho ran > '" + marker.string() + "'\n");
    std::filesystem::permissions(folder / "hello.sh", std::filesystem::perms::owner_all);
    const std::string script = (folder / "hello.sh").string();
    folder.Write("update.rtf", "{\\rtf1 Hello\\par\r\nNew Version available - 9.9.9\\par\r\n"
                               "{\\field{\\*\\fldinst HYPERLINK \"" + script + "\"}{\\fldrslt run me}}\\par}\r\n");
    auto w = Open((folder / "update.rtf").string());
    w->resize(400, 300);
    w->show();
    const int at = static_cast<int>(Editor(w.get())->toPlainText().indexOf("run me")) + 1;

    messages.answers = {vbNo};
    ClickLink(Editor(w.get()), at);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find(script), std::string::npos);
    EXPECT_NE(messages.shown[0].text.find("a link in " + (folder / "update.rtf").string()), std::string::npos);
    EXPECT_EQ(messages.shown[0].buttons, vbYesNo | vbExclamation | vbDefaultButton2);
    QApplication::processEvents();
    EXPECT_FALSE(std::filesystem::exists(marker)) << "a refused confirmation runs nothing";

    messages.answers = {vbYes};
    ClickLink(Editor(w.get()), at);
    EXPECT_TRUE(WaitFor([&] { return std::filesystem::exists(marker); }));
    w->hide();
}

// File > Exit and the close box end the modal show.
TEST_F(ViewerTest, ExitAndTheCloseBoxCloseTheViewer)
{
    RegisterReportWindows();
    folder.Write("update.rtf", "{\\rtf1 Get it at http://example.com/v.exe now\\par\r\n}\r\n");
    auto& messages = static_cast<ScriptedMessages&>(Messages());
    for (const bool viaMenu : {true, false}) {
        App().DocumentPath = folder / "update.rtf";
        bool closed = false;
        bool forced = false;
        QTimer::singleShot(100, [&] {
            auto* w = dynamic_cast<RichEditWindow*>(FindWindow("frmRichEdit"));
            ASSERT_NE(w, nullptr);
            if (viaMenu)
                Action(w, "mnuFile_7")->trigger();
            else
                w->windowHandle()->close();
        });
        QTimer::singleShot(test::StateWaitLimitMs, [&] {
            if (!closed)
                if (auto* w = FindWindow("frmRichEdit")) {
                    forced = true;
                    w->hide(); // ends the show so the test can report
                }
        });
        ShowModal("frmRichEdit");
        closed = true;
        EXPECT_FALSE(forced) << (viaMenu ? "File > Exit" : "close box") << " left the viewer open";
        EXPECT_TRUE(messages.shown.empty()) << "an unchanged document closes without a question";
        UnloadWindow("frmRichEdit");
    }
}

TEST_F(ViewerTest, EditMenuFollowsTheDocument)
{
    folder.Write("a.txt", "abc");
    auto w = Open((folder / "a.txt").string());
    auto* menu = w->findChild<QMenu*>("mnuEditTOP");
    emit menu->aboutToShow();
    EXPECT_FALSE(Action(w.get(), "mnuEdit_0")->isEnabled());
    EXPECT_EQ(Action(w.get(), "mnuEdit_0")->text(), "&Undo");
    EXPECT_FALSE(Action(w.get(), "mnuEdit_4")->isEnabled());
    Type(w.get(), "q");
    Editor(w.get())->selectAll();
    emit menu->aboutToShow();
    EXPECT_TRUE(Action(w.get(), "mnuEdit_0")->isEnabled());
    EXPECT_EQ(Action(w.get(), "mnuEdit_0")->text(), "&Undo Typing");
    EXPECT_TRUE(Action(w.get(), "mnuEdit_3")->isEnabled());
    EXPECT_TRUE(Action(w.get(), "mnuEdit_6")->isEnabled());
    Action(w.get(), "mnuEdit_6")->trigger();
    EXPECT_TRUE(Editor(w.get())->toPlainText().isEmpty());
    Action(w.get(), "mnuEdit_0")->trigger();
    EXPECT_EQ(Editor(w.get())->toPlainText(), "qabc");
    emit menu->aboutToShow();
    EXPECT_EQ(Action(w.get(), "mnuEdit_1")->text(), "&Redo Delete");
    EXPECT_EQ(RichEditWindow::UndoActionName(3), "Drag Drop");
    EXPECT_EQ(RichEditWindow::UndoActionName(6), "");
}

TEST_F(ViewerTest, AddressesInTheUpdateNoticeAreLiveButNotSavedAsLinks)
{
    auto& launcher = InstallRecordingLauncher();
    folder.Write("update.rtf", "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs24\r\n"
                               "New Version available - 2.1.0\\par\r\n"
                               "http://vexal.example/setup.htm\\par\\par\r\n}\r\n");
    auto w = Open((folder / "update.rtf").string());
    w->resize(400, 300);
    w->show();
    QTextEdit* e = Editor(w.get());
    const int at = static_cast<int>(e->toPlainText().indexOf("http")) + 3;
    QTextCursor c(e->document());
    c.setPosition(at);
    const QPoint point = e->cursorRect(c).center();
    QMouseEvent press(QEvent::MouseButtonPress, point, e->viewport()->mapToGlobal(point), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(e->viewport(), &press);
    ASSERT_EQ(launcher.calls.size(), 1u);
    EXPECT_EQ(launcher.calls[0].file, "http://vexal.example/setup.htm");
    for (const auto& p : w->ToDocument().paragraphs)
        for (const auto& r : p.runs)
            EXPECT_TRUE(r.link.empty());
    EXPECT_FALSE(w->Modified());
    w->hide();
}

TEST_F(ViewerTest, FontProtectAndBulletsFormatTheSelection)
{
    folder.Write("a.txt", "format this");
    auto w = Open((folder / "a.txt").string());
    FontRequest asked;
    SetDialogScripts({{},
                      [&asked](const FontRequest& r) {
                          asked = r;
                          FontAnswer a{true, r.font, 255};
                          a.font.name = "Arial";
                          a.font.size = 12;
                          a.font.italic = true;
                          return a;
                      },
                      {}});
    QTextEdit* e = Editor(w.get());
    QTextCursor c = e->textCursor();
    c.setPosition(0);
    c.setPosition(6, QTextCursor::KeepAnchor);
    e->setTextCursor(c);
    Action(w.get(), "mnuFormat_0")->trigger();
    EXPECT_EQ(asked.minSize, 8);
    EXPECT_EQ(asked.maxSize, 72);
    EXPECT_NE(asked.flags & CF_EFFECTS, 0);
    auto doc = w->ToDocument();
    ASSERT_EQ(doc.paragraphs.at(0).runs.size(), 2u);
    EXPECT_EQ(doc.paragraphs[0].runs[0].font, "Arial");
    EXPECT_EQ(doc.paragraphs[0].runs[0].halfPoints, 24);
    EXPECT_TRUE(doc.paragraphs[0].runs[0].italic);
    EXPECT_EQ(doc.paragraphs[0].runs[0].color, 255);

    Action(w.get(), "mnuFormat_3")->trigger(); // protect the selection
    EXPECT_EQ(w->ToDocument().paragraphs[0].runs[0].color, 153 | (153 << 8) | (102 << 16));
    auto& messages = static_cast<ScriptedMessages&>(Messages());
    messages.answers = {vbNo};
    c.setPosition(2);
    e->setTextCursor(c);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Q, Qt::NoModifier, "q");
    QApplication::sendEvent(e, &key);
    EXPECT_EQ(e->toPlainText(), "format this") << "No keeps protected text";
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Are you sure you want to edit this modified text?");
    messages.answers = {vbYes};
    QApplication::sendEvent(e, &key);
    EXPECT_EQ(e->toPlainText(), "foqrmat this");
    // Escape, with the character it carries, edits nothing.
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, QString(QChar(27)));
    QApplication::sendEvent(e, &escape);
    EXPECT_EQ(messages.shown.size(), 2u);

    Action(w.get(), "mnuFormat_1")->trigger();
    EXPECT_TRUE(w->ToDocument().paragraphs[0].bullet);
    emit w->findChild<QMenu*>("mnuFormatTOP")->aboutToShow();
    EXPECT_TRUE(Action(w.get(), "mnuFormat_1")->isChecked());
}

TEST_F(ViewerTest, PrintWritesTheDocumentAsJobTest)
{
    SetDefaultPrintFile(folder / "Printout.pdf");
    ResetCurrentPrinter();
    if (!PrintsToFile())
        GTEST_SKIP() << "a real printer is installed";
    folder.Write("a.txt", "printed text");
    auto w = Open((folder / "a.txt").string());
    Action(w.get(), "mnuFile_5")->trigger();
    EXPECT_EQ(CurrentPrinter().docName(), "Test");
    EXPECT_EQ(folder.Read("Printout.pdf").substr(0, 5), "%PDF-");
    EXPECT_EQ(w->findChild<QLabel*>("lblLoadStatus")->text(), "Print: 1");
    ResetCurrentPrinter();
    SetDefaultPrintFile({});
}


TEST_F(ViewerTest, RegisteredAsTheProgramsDocumentViewer)
{
    RegisterReportWindows();
    folder.Write("FormulaList.txt", "list");
    App().DocumentPath = folder / "FormulaList.txt";
    QWidget* w = LoadWindow("frmRichEdit");
    ASSERT_NE(dynamic_cast<RichEditWindow*>(w), nullptr);
    EXPECT_EQ(w->windowTitle().toStdString(), "Editing " + (folder / "FormulaList.txt").string());
    EXPECT_TRUE(UnloadWindow("frmRichEdit"));
    EXPECT_EQ(FindWindow("frmRichEdit"), nullptr);
}
