#include "CommonDialog.h"
#include "GCommonDialog.h"
#include "PrintDialog.h"
#include "Screen.h"
#include "VbError.h"
#include "cCommonDialog.h"

#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QDoubleSpinBox>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>

using namespace vexal;

namespace {

class DialogTest : public ::testing::Test {
protected:
    void TearDown() override { SetDialogScripts({}); }
    std::vector<FileRequest> asked;
    void Answer(FileAnswer answer)
    {
        SetDialogScripts({[this, answer](const FileRequest& r) {
                              asked.push_back(r);
                              return answer;
                          },
                          {}, {}});
    }
};

const std::string TwoTypes = "Rich (*.rtf)|*.rtf|Text (*.txt)|*.txt";

} // namespace

TEST_F(DialogTest, FilterListSplitsOnBarsAndColons)
{
    auto pairs = SplitFilter(TwoTypes);
    ASSERT_EQ(pairs.size(), 2u);
    EXPECT_EQ(pairs[1].first, "Text (*.txt)");
    EXPECT_EQ(pairs[1].second, "*.txt");
    pairs = SplitFilter("Templates:*.ftp");
    ASSERT_EQ(pairs.size(), 1u);
    EXPECT_EQ(pairs[0].second, "*.ftp");
    pairs = SplitFilter("Everything");
    ASSERT_EQ(pairs.size(), 1u);
    EXPECT_EQ(pairs[0].first, "Everything");
    EXPECT_EQ(pairs[0].second, "");
    EXPECT_EQ(ChosenFilter(TwoTypes, 2), std::string("Text (*.txt)\0*.txt", 18));
    EXPECT_EQ(ChosenFilter(TwoTypes, 3), "");
    EXPECT_EQ(ChosenFilter(TwoTypes, 0), "");
}

TEST_F(DialogTest, OpenReturnsTheChosenFileAndType)
{
    Answer({true, "/tmp/docs/a.txt", 2, false});
    std::string name = "start.rtf", title, filter = TwoTypes;
    bool readOnly = false;
    int32_t index = 1, flags = OFN_ENABLEHOOK;
    ASSERT_TRUE(ShowOpenDialog(name, title, true, false, readOnly, false, filter, index, "/tmp", "Pick", "RTF",
                               nullptr, flags));
    EXPECT_EQ(name, "/tmp/docs/a.txt");
    EXPECT_EQ(title, "a.txt");
    EXPECT_EQ(index, 2);
    EXPECT_EQ(filter, std::string("Text (*.txt)\0*.txt", 18));
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].fileName, "start.rtf");
    EXPECT_EQ(asked[0].title, "Pick");
    EXPECT_EQ(asked[0].flags & OFN_ENABLEHOOK, 0);
    EXPECT_NE(asked[0].flags & OFN_FILEMUSTEXIST, 0);
    EXPECT_FALSE(asked[0].save);
}

TEST_F(DialogTest, CancelledDialogsEmptyTheirOutputs)
{
    Answer({});
    std::string name = "x", title = "y", filter = TwoTypes;
    bool readOnly = false;
    int32_t index = 2, flags = 5;
    EXPECT_FALSE(ShowOpenDialog(name, title, false, false, readOnly, false, filter, index, "", "", "", nullptr, flags));
    EXPECT_EQ(name, "");
    EXPECT_EQ(title, "");
    EXPECT_EQ(filter, "");
    EXPECT_EQ(index, -1);
    EXPECT_EQ(flags, 0);

    name = "x", filter = TwoTypes, index = 2, flags = 5;
    EXPECT_FALSE(ShowSaveDialog(name, title, true, filter, index, "", "", "", nullptr, flags));
    EXPECT_EQ(name, "");
    EXPECT_EQ(index, 0);
    EXPECT_EQ(flags, 0);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_TRUE(asked[1].save);
    EXPECT_NE(asked[1].flags & OFN_HIDEREADONLY, 0);
    EXPECT_NE(asked[1].flags & OFN_OVERWRITEPROMPT, 0);
}

TEST_F(DialogTest, FontDialogFlagsAndResult)
{
    EXPECT_EQ(LogFontHeight(12.0f, 15.0), -16);
    FontRequest seen;
    SetDialogScripts({{},
                      [&seen](const FontRequest& r) {
                          seen = r;
                          FontAnswer a{true, r.font, 255};
                          a.font.name = "Arial";
                          a.font.size = 100.0f; // beyond the maximum offered
                          a.font.bold = true;
                          return a;
                      },
                      {}});
    DialogFont font;
    int32_t device = -1, color = 0, flags = 257;
    ASSERT_TRUE(ShowFontDialog(font, device, nullptr, color, 8, 72, flags));
    EXPECT_EQ(device, 0);
    EXPECT_EQ(seen.flags, CF_SCREENFONTS | CF_EFFECTS | CF_LIMITSIZE | CF_INITTOLOGFONTSTRUCT);
    EXPECT_EQ(font.name, "Arial");
    EXPECT_TRUE(font.bold);
    EXPECT_FLOAT_EQ(font.size, 72.0f);
    EXPECT_EQ(color, 255);

    SetDialogScripts({{}, [](const FontRequest&) { return FontAnswer{}; }, {}});
    DialogFont kept;
    color = 7;
    EXPECT_FALSE(ShowFontDialog(kept, device, nullptr, color, 0, 0, flags));
    EXPECT_EQ(kept.name, "Courier New");
    EXPECT_EQ(color, 7);
}

TEST_F(DialogTest, DialogObjectRaisesCancelOnlyWhenAsked)
{
    Answer({});
    cCommonDialog dlg;
    dlg.Filename = "Default.ftp";
    dlg.Filter = "Formula Templates|*.ftp";
    dlg.ShowOpen(); // no error without CancelError
    EXPECT_EQ(dlg.Filename, "");
    EXPECT_EQ(dlg.FilterIndex, -1);
    dlg.CancelError = true;
    try {
        dlg.ShowSave();
        FAIL() << "no error raised";
    } catch (const VbError& e) {
        EXPECT_EQ(e.Number(), 20001);
        EXPECT_EQ(e.Description(), "User selected cancel.");
    }
    SetDialogScripts({{}, {}, [](const ColorRequest&) { return ColorAnswer{}; }});
    dlg.Color = 12345;
    EXPECT_THROW(dlg.ShowColor(), VbError);
    EXPECT_EQ(dlg.Color, 12345);
}

TEST_F(DialogTest, ParseMultiFileNameSplitsFolderAndNames)
{
    cCommonDialog dlg;
    dlg.Filename = std::string("C:\\data\0a.24\0b.24\0\0\0\0", 22);
    std::string dir;
    std::vector<std::string> files;
    int32_t count = 0;
    dlg.ParseMultiFileName(dir, files, count);
    EXPECT_EQ(dir, "C:\\data");
    ASSERT_EQ(count, 2);
    EXPECT_EQ(files[0], "a.24");
    EXPECT_EQ(files[1], "b.24");

    dlg.Filename = "C:\\data\\one.24";
    dir.clear(), files.clear(), count = 0;
    dlg.ParseMultiFileName(dir, files, count);
    EXPECT_EQ(dir, "C:\\data");
    EXPECT_EQ(files, std::vector<std::string>{"one.24"});
    dlg.Filename = "\\root.24";
    dir.clear(), files.clear(), count = 0;
    dlg.ParseMultiFileName(dir, files, count);
    EXPECT_EQ(dir, "");
    EXPECT_EQ(files, std::vector<std::string>{"\\root.24"});
}

// With HookDialog set, the listener hears the file dialog's own signals: the dialog opens,
// the folder, the selection and the type change, OK is asked (and may be refused once), and
// the dialog closes; the listener can centre and measure the dialog it is handed.
TEST_F(DialogTest, HookedFileDialogRaisesItsEventsToTheListener)
{
    const QString folder = QDir::tempPath();
    cCommonDialog d;
    d.HookDialog = true;
    d.Filter = TwoTypes;
    d.InitDir = folder.toStdString();
    d.Filename = "chosen.txt";
    std::vector<std::string> heard;
    QWidget* handle = nullptr;
    d.OnInitDialog = [&](QWidget* w) {
        heard.push_back("init");
        handle = w;
        d.CentreDialog(w, nullptr);
        int32_t left = 0, top = 0, width = 0, height = 0;
        d.GetDialogSize(w, left, top, width, height);
        EXPECT_GT(width, 0);
        EXPECT_GT(height, 0);
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        // As the user would: up one folder, then the second file type.
        auto* up = dialog->findChild<QToolButton*>("toParentButton");
        ASSERT_NE(up, nullptr);
        up->click();
        auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
        ASSERT_NE(types, nullptr);
        types->setCurrentIndex(1);
        emit types->activated(1);
        emit types->textActivated(types->itemText(1));
        dialog->setDirectory(folder);
        QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
    };
    d.OnFolderChange = [&](QWidget*) { heard.push_back("folder"); };
    d.OnTypeChange = [&](QWidget*) { heard.push_back("type"); };
    int asks = 0;
    d.OnConfirmOK = [&](bool& cancel) {
        heard.push_back("ok?");
        cancel = ++asks == 1; // the first OK is refused: the dialog stays open
    };
    d.OnDialogClose = [&] { heard.push_back("close"); };
    d.ShowSave();
    EXPECT_EQ(heard, (std::vector<std::string>{"init", "folder", "type", "ok?", "ok?", "close"}));
    EXPECT_NE(handle, nullptr);
    EXPECT_EQ(d.FileTitle, "chosen.txt");
    EXPECT_EQ(d.FilterIndex, 2);
}

// The Color dialog as the user meets it: a system colour is shown as the colour it stands
// for, the custom colours start as the system colours and come back as the user left them
// (also after a cancel), full opening prevented leaves out the part that defines new colours,
// and the hook hears the dialog open and close.
TEST_F(DialogTest, ColorDialogHonoursItsFlagsCustomColoursAndHook)
{
    struct Case {
        const char* label;
        int32_t flags;
        bool definitionShown;
        bool confirm;
    };
    const Case cases[] = {
        {"full open", CC_FULLOPEN | CC_ANYCOLOR, true, true},
        {"full open prevented", CC_PREVENTFULLOPEN, false, true},
        {"no flags, cancelled", 0, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        cCommonDialog d;
        EXPECT_EQ(d.CustomColor(ColorWindow), ColorValue(SystemColor(ColorWindow)));
        d.SetCustomColor(2, RGBColor(1, 2, 3));
        d.Flags = c.flags;
        d.Color = SystemColorValue(ColorButtonFace); // &H8000000F
        d.HookDialog = true;
        std::vector<std::string> heard;
        d.OnInitDialog = [&](QWidget* w) {
            heard.push_back("init");
            auto* dialog = qobject_cast<QColorDialog*>(w);
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->currentColor(), SystemColor(ColorButtonFace));
            EXPECT_EQ(QColorDialog::customColor(ColorHighlight), SystemColor(ColorHighlight));
            EXPECT_EQ(QColorDialog::customColor(2), QColor(1, 2, 3));
            bool numberBoxes = false;
            for (const QSpinBox* box : dialog->findChildren<QSpinBox*>())
                numberBoxes = numberBoxes || box->isVisibleTo(dialog);
            EXPECT_EQ(numberBoxes, c.definitionShown);
            // The user keeps a colour among the custom ones and chooses another.
            QColorDialog::setCustomColor(4, QColor(9, 9, 9));
            dialog->setCurrentColor(QColor(0x12, 0x34, 0x56));
            QMetaObject::invokeMethod(dialog, c.confirm ? "accept" : "reject", Qt::QueuedConnection);
        };
        d.OnDialogClose = [&] { heard.push_back("close"); };
        d.ShowColor();
        EXPECT_EQ(heard, (std::vector<std::string>{"init", "close"}));
        EXPECT_EQ(d.Color, c.confirm ? RGBColor(0x12, 0x34, 0x56) : SystemColorValue(ColorButtonFace));
        EXPECT_EQ(d.CustomColor(4), RGBColor(9, 9, 9));
        EXPECT_EQ(d.CustomColor(2), RGBColor(1, 2, 3));
    }
}

// The members that only keep their values, the font attributes, the custom colours (offered
// to the Color dialog and taken back) and the Print and page set-up dialogs of a printer.
TEST_F(DialogTest, FontCustomColoursPrintAndPageSetUp)
{
    cCommonDialog d;
    d.SetFontName("DejaVu Sans");
    d.SetFontSize(12);
    d.SetFontBold(true);
    d.SetFontItalic(true);
    d.SetFontUnderline(true);
    d.SetFontStrikethru(true);
    EXPECT_EQ(d.Font().family(), "DejaVu Sans");
    EXPECT_EQ(d.FontSize(), 12);
    EXPECT_TRUE(d.FontBold() && d.FontItalic() && d.FontUnderline() && d.FontStrikethru());

    EXPECT_EQ(d.CustomColor(16), -1);
    d.SetCustomColor(16, 5);
    EXPECT_EQ(d.CustomColor(16), -1);
    d.SetCustomColor(3, 0x123456);
    SetDialogScripts({{}, {}, [](const ColorRequest& r) {
                          EXPECT_EQ((*r.customColors)[3], 0x123456);
                          (*r.customColors)[4] = 0x00FF00;
                          return ColorAnswer{true, 0x0000FF};
                      }});
    d.ShowColor();
    EXPECT_EQ(d.Color, 0x0000FF);
    EXPECT_EQ(d.CustomColor(4), 0x00FF00);

    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    d.Object = &printer;
    d.FromPage = 2;
    d.ToPage = 5;
    InstallPrintDialogRunner([](QPrinter& p, int& from, int& to) {
        EXPECT_EQ(from, 2);
        EXPECT_EQ(to, 5);
        from = 3;
        p.setCopyCount(4);
        return true;
    });
    d.ShowPrinter();
    EXPECT_EQ(d.FromPage, 3);
    EXPECT_EQ(d.Copies, 4);
    // A cancel is not reported and changes nothing.
    InstallPrintDialogRunner([](QPrinter& p, int& from, int&) {
        from = 9;
        p.setCopyCount(7);
        return false;
    });
    d.ShowPrinter();
    EXPECT_EQ(d.FromPage, 3);
    EXPECT_EQ(printer.copyCount(), 4);
    InstallPrintDialogRunner({});

    InstallPageSetupRunner([](QPrinter& p) {
        p.setPageOrientation(QPageLayout::Landscape);
        return true;
    });
    EXPECT_TRUE(d.ShowPageSetup());
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);

    // What the switches keep and the minimum margins hold also where the dialog lets a change
    // through, as one whose printer puts its own smaller minimums in place of the caller's would.
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10)));
    InstallPageSetupRunner([](QPrinter& p) {
        return p.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Landscape, QMarginsF()));
    });
    std::array<float, 8> m = {0, 0.5f, 0, 0.5f, 0, 0.5f, 0, 0.5f};
    int32_t paper = 0, orientation = 0, quality = 0;
    EXPECT_TRUE(d.Layer().VBPageSetupDlg2(nullptr, false, true, true, false, m[0], m[1], m[2], m[3], m[4], m[5], m[6],
                                          m[7], paper, orientation, quality, 0, printer, false, nullptr));
    EXPECT_EQ(paper, 9);
    EXPECT_EQ(orientation, 1);
    EXPECT_EQ(m, (std::array<float, 8>{0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}));
    EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::A4);
    InstallPageSetupRunner({});
}

// With HookDialog set, the print, print set-up, page set-up and font dialogs are heard as
// the file and colour dialogs are: the listener is handed each dialog once it is open and
// hears it close, the layer holds the listener only while the dialog is open, and what the
// user chose is taken only when confirmed. APIReturn starts afresh with every dialog and
// reads 1 after a confirmed one, 0 after a cancelled one; the page set-up dialog leaves it 0.
// The page set-up operation's own choices each have a row: a disabled part is disabled in the
// open dialog and keeps what it held even when changed behind its back (also when the flags
// come through the object's Flags), margins go in and come back in inches or millimetres
// (the whole-number form rounded to the nearest), never below their minimum and never off the
// page, and the paper (256 for one of no DMPAPER number), orientation and print quality come
// back. A cancelled page set-up leaves the printer's layout exactly as it was.
TEST_F(DialogTest, HookedPrintPageSetUpAndFontDialogsAreHeardAndReturnTheirOutcome)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    DialogFont font;
    std::string pickedFamily;
    struct Operation {
        const char* label;
        const char* dialogClass;
        std::function<void(cCommonDialog&)> show;
        std::function<void(QWidget*)> choose;                    // as the user would, in the open dialog
        std::function<bool(cCommonDialog&, QPrinter&)> chosen;   // the choice reached the caller
        int32_t confirmedReturn;
    };
    const auto setCopies = [](QWidget* dialog) {
        auto* copies = dialog->findChild<QSpinBox*>("copies");
        ASSERT_NE(copies, nullptr);
        copies->setValue(3);
    };
    const auto tookCopies = [](cCommonDialog& d, QPrinter& p) { return d.Copies == 3 && p.copyCount() == 3; };

    // A page set-up call: the switches and the eight margins (left, minimum left, right,
    // minimum right, top, minimum top, bottom, minimum bottom) it hands over, and what came
    // back. Whole margins go through the short form.
    struct PageSetUpCall {
        bool disableMargins = false;
        bool disableOrientation = false;
        bool disablePaper = false;
        bool disablePrinter = false;
        std::array<float, 8> margins{};
        int32_t units = 0;
        bool whole = false;
    };
    struct PageSetUpResult {
        std::array<float, 8> margins{};
        int32_t paperSize = -1, orientation = -1, printQuality = -1;
    } got;
    enum { Left, MinLeft, Right, MinRight, Top, MinTop, Bottom, MinBottom };
    const auto pageSetUp = [&got](PageSetUpCall call) {
        return [call, &got](cCommonDialog& d) {
            QPrinter& p = *d.Object;
            got = PageSetUpResult{call.margins};
            auto& m = got.margins;
            if (call.whole) {
                std::array<int32_t, 8> w{};
                for (std::size_t i = 0; i < 8; ++i)
                    w[i] = static_cast<int32_t>(m[i]);
                d.Layer().VBPageSetupDlg(d.hwnd, call.disableMargins, call.disableOrientation, call.disablePaper,
                                         call.disablePrinter, w[0], w[1], w[2], w[3], w[4], w[5], w[6], w[7],
                                         got.paperSize, got.orientation, got.printQuality, call.units, p,
                                         d.HookDialog, &d);
                for (std::size_t i = 0; i < 8; ++i)
                    m[i] = static_cast<float>(w[i]);
            } else {
                d.Layer().VBPageSetupDlg2(d.hwnd, call.disableMargins, call.disableOrientation, call.disablePaper,
                                          call.disablePrinter, m[0], m[1], m[2], m[3], m[4], m[5], m[6], m[7],
                                          got.paperSize, got.orientation, got.printQuality, call.units, p,
                                          d.HookDialog, &d);
            }
        };
    };
    const auto control = [](QWidget* dialog, const char* name) {
        auto* w = dialog->findChild<QWidget*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w ? w : dialog;
    };
    const auto enabled = [control](QWidget* dialog, std::initializer_list<const char*> names) {
        bool all = true;
        for (const char* name : names)
            all = all && control(dialog, name)->isEnabled();
        return all;
    };
    const auto margin = [control](QWidget* dialog, const char* name) {
        return qobject_cast<QDoubleSpinBox*>(control(dialog, name));
    };
    const auto choosePaper = [control](QWidget* dialog, QPageSize::PageSizeId id) {
        auto* sizes = qobject_cast<QComboBox*>(control(dialog, "pageSizeCombo"));
        ASSERT_NE(sizes, nullptr);
        const int index = sizes->findText(QPageSize(id).name());
        ASSERT_GE(index, 0);
        sizes->setCurrentIndex(index);
    };
    const auto clickLandscape = [control](QWidget* dialog) {
        auto* landscape = qobject_cast<QRadioButton*>(control(dialog, "landscape"));
        ASSERT_NE(landscape, nullptr);
        landscape->click();
    };
    const std::initializer_list<const char*> marginBoxes = {"leftMargin", "topMargin", "rightMargin", "bottomMargin"};
    const std::initializer_list<const char*> orientationButtons = {"portrait", "landscape"};
    // The object's page set-up reads its three Disable flags from Flags: the open dialog has
    // the parts each flag names disabled, and only those.
    const auto objectPageSetUp = [](int32_t flags) {
        return [flags](cCommonDialog& d) {
            d.Flags = flags;
            d.ShowPageSetup();
        };
    };
    const auto partsEnabled = [&](QWidget* dialog, bool margins, bool orientation, bool paper) {
        EXPECT_EQ(enabled(dialog, marginBoxes), margins);
        EXPECT_EQ(enabled(dialog, orientationButtons), orientation);
        EXPECT_EQ(enabled(dialog, {"pageSizeCombo"}), paper);
    };
    const auto marginIn = [](QPrinter& p, double (QMarginsF::*side)() const) {
        return (p.pageLayout().margins(QPageLayout::Inch).*side)();
    };
    // The pages the dialog works on, in its inches.
    const QSizeF a4 = QPageSize(QPageSize::A4).size(QPageSize::Inch);
    const QSizeF a10 = QPageSize(QPageSize::A10).size(QPageSize::Inch);
    const Operation operations[] = {
        {"print", "QPrintDialog",
         [](cCommonDialog& d) {
             d.Flags = PD_PAGENUMS;
             d.ShowPrinter();
         },
         setCopies, tookCopies, 1},
        {"print set-up", "QPrintDialog",
         [](cCommonDialog& d) {
             d.Flags = PD_PRINTSETUP;
             d.ShowPrinter();
         },
         setCopies, tookCopies, 1},
        {"page set-up", "QPageSetupDialog", [](cCommonDialog& d) { d.ShowPageSetup(); },
         [](QWidget* dialog) {
             auto* landscape = dialog->findChild<QRadioButton*>("landscape");
             ASSERT_NE(landscape, nullptr);
             landscape->click();
         },
         [](cCommonDialog&, QPrinter& p) { return p.pageLayout().orientation() == QPageLayout::Landscape; }, 0},
        {"page set-up, margins disabled", "QPageSetupDialog",
         pageSetUp({.disableMargins = true, .margins = {1, 0, 1, 0, 1, 0, 1, 0}, .whole = true}),
         [&](QWidget* dialog) {
             EXPECT_FALSE(enabled(dialog, marginBoxes));
             EXPECT_TRUE(enabled(dialog, orientationButtons));
             EXPECT_TRUE(enabled(dialog, {"pageSizeCombo"}));
             clickLandscape(dialog);
             margin(dialog, "leftMargin")->setValue(2); // behind the disabled box's back
         },
         [&](cCommonDialog&, QPrinter&) {
             return got.orientation == 2 && got.margins == std::array<float, 8>{1, 0, 1, 0, 1, 0, 1, 0};
         },
         0},
        {"page set-up, orientation disabled", "QPageSetupDialog",
         pageSetUp({.disableOrientation = true, .margins = {1, 0, 1, 0, 1, 0, 1, 0}}),
         [&](QWidget* dialog) {
             EXPECT_FALSE(enabled(dialog, {"portrait"}) || enabled(dialog, {"landscape"}));
             EXPECT_TRUE(enabled(dialog, marginBoxes));
             margin(dialog, "leftMargin")->setValue(1.5);
             auto* landscape = qobject_cast<QRadioButton*>(control(dialog, "landscape"));
             landscape->setChecked(true); // behind the disabled button's back
             emit landscape->clicked(true);
         },
         [&](cCommonDialog&, QPrinter& p) {
             return got.margins[Left] == 1.5f && got.orientation == 1 &&
                    p.pageLayout().orientation() == QPageLayout::Portrait;
         },
         0},
        {"page set-up, paper disabled", "QPageSetupDialog", pageSetUp({.disablePaper = true}),
         [&](QWidget* dialog) {
             EXPECT_FALSE(enabled(dialog, {"pageSizeCombo"}));
             EXPECT_TRUE(enabled(dialog, orientationButtons));
             clickLandscape(dialog);
             choosePaper(dialog, QPageSize::Letter); // behind the disabled list's back
         },
         [&](cCommonDialog&, QPrinter& p) {
             return got.paperSize == 9 && got.orientation == 2 && p.pageLayout().pageSize().id() == QPageSize::A4;
         },
         0},
        {"page set-up, printer disabled", "QPageSetupDialog", pageSetUp({.disablePrinter = true}),
         [&](QWidget* dialog) {
             // Qt's page set-up dialog has no printer to choose: its only buttons are OK and Cancel.
             for (const QPushButton* button : dialog->findChildren<QPushButton*>())
                 EXPECT_NE(qobject_cast<QDialogButtonBox*>(button->parentWidget()), nullptr)
                     << button->text().toStdString();
             EXPECT_TRUE(enabled(dialog, orientationButtons));
             clickLandscape(dialog);
         },
         [&](cCommonDialog&, QPrinter& p) {
             return got.orientation == 2 && p.outputFormat() == QPrinter::PdfFormat;
         },
         0},
        {"page set-up, margins in inches", "QPageSetupDialog",
         pageSetUp({.margins = {0.5f, 0, 0.75f, 0, 1, 0, 1.25f, 0}}),
         [&](QWidget* dialog) {
             EXPECT_EQ(margin(dialog, "leftMargin")->suffix(), "in");
             EXPECT_DOUBLE_EQ(margin(dialog, "leftMargin")->value(), 0.5);
             EXPECT_DOUBLE_EQ(margin(dialog, "rightMargin")->value(), 0.75);
             EXPECT_DOUBLE_EQ(margin(dialog, "bottomMargin")->value(), 1.25);
             margin(dialog, "topMargin")->setValue(0.6);
         },
         [&](cCommonDialog&, QPrinter&) {
             return got.margins == std::array<float, 8>{0.5f, 0, 0.75f, 0, 0.6f, 0, 1.25f, 0};
         },
         0},
        {"page set-up, margins in millimetres", "QPageSetupDialog",
         pageSetUp({.margins = {12.7f, 0, 15, 0, 20, 0, 25.4f, 0}, .units = 1}),
         [&](QWidget* dialog) {
             EXPECT_EQ(margin(dialog, "leftMargin")->suffix(), "mm");
             EXPECT_DOUBLE_EQ(margin(dialog, "leftMargin")->value(), 12.7);
             EXPECT_DOUBLE_EQ(margin(dialog, "bottomMargin")->value(), 25.4);
             margin(dialog, "leftMargin")->setValue(18);
         },
         [&](cCommonDialog&, QPrinter& p) {
             return got.margins == std::array<float, 8>{18, 0, 15, 0, 20, 0, 25.4f, 0} &&
                    std::abs(p.pageLayout().margins(QPageLayout::Millimeter).left() - 18) < 1e-9;
         },
         0},
        {"page set-up, minimum margins", "QPageSetupDialog",
         pageSetUp({.margins = {0, 0.5f, 0, 0.25f, 0, 0, 0, 0.75f}}),
         [&](QWidget* dialog) {
             // Started from the printer's own margins of 10 points, raised to the minimums.
             EXPECT_DOUBLE_EQ(margin(dialog, "leftMargin")->minimum(), 0.5);
             EXPECT_DOUBLE_EQ(margin(dialog, "leftMargin")->value(), 0.5);
             EXPECT_DOUBLE_EQ(margin(dialog, "bottomMargin")->value(), 0.75);
             margin(dialog, "leftMargin")->setValue(0.3);
             margin(dialog, "rightMargin")->setValue(0.2);
             margin(dialog, "topMargin")->setValue(0.1);
         },
         [&](cCommonDialog&, QPrinter&) {
             return got.margins == std::array<float, 8>{0.5f, 0.5f, 0.25f, 0.25f, 0.1f, 0, 0.75f, 0.75f};
         },
         0},
        {"page set-up, whole margins", "QPageSetupDialog",
         pageSetUp({.margins = {1, 0, 1, 0, 2, 0, 1, 0}, .whole = true}),
         [&](QWidget* dialog) {
             EXPECT_DOUBLE_EQ(margin(dialog, "topMargin")->value(), 2);
             margin(dialog, "leftMargin")->setValue(0.4);
             margin(dialog, "topMargin")->setValue(0.6);
         },
         [&](cCommonDialog&, QPrinter&) { return got.margins == std::array<float, 8>{0, 0, 1, 0, 1, 0, 1, 0}; },
         0},
        {"page set-up, a minimum margin wider than the page", "QPageSetupDialog",
         pageSetUp({.margins = {0, 10, 0, 0, 0, 0, 0, 0}}),
         [&](QWidget* dialog) {
             // The left minimum takes what the page leaves beside the right margin of 10 points.
             EXPECT_NEAR(margin(dialog, "leftMargin")->value(), a4.width() - 10.0 / 72, 0.01);
             EXPECT_NEAR(margin(dialog, "rightMargin")->value(), 10.0 / 72, 0.01);
         },
         [&](cCommonDialog&, QPrinter& p) {
             // As the dialog's boxes keep them, in hundredths of an inch: 8.27 - 0.14.
             return got.margins == std::array<float, 8>{8.13f, 8.13f, 0.14f, 0, 0.14f, 0, 0.14f, 0} &&
                    marginIn(p, &QMarginsF::left) + marginIn(p, &QMarginsF::right) <= a4.width();
         },
         0},
        {"page set-up, A10: no DMPAPER number, and minimums it cannot hold", "QPageSetupDialog",
         pageSetUp({.margins = {0, 1, 0, 1, 0, 0, 0, 0}}),
         [&](QWidget* dialog) { choosePaper(dialog, QPageSize::A10); },
         [&](cCommonDialog&, QPrinter& p) {
             // The two minimums share the narrow page.
             const float half = static_cast<float>(std::round(a10.width() / 2 * 1000) / 1000);
             return got.paperSize == 256 && p.pageLayout().pageSize().id() == QPageSize::A10 &&
                    got.margins[Left] == half && got.margins[MinLeft] == half && got.margins[Right] == half &&
                    got.margins[MinRight] == half &&
                    marginIn(p, &QMarginsF::left) + marginIn(p, &QMarginsF::right) <= a10.width();
         },
         0},
        {"page set-up through the object, margins disabled", "QPageSetupDialog",
         objectPageSetUp(PSD_DISABLEMARGINS),
         [&](QWidget* dialog) {
             partsEnabled(dialog, false, true, true);
             margin(dialog, "leftMargin")->setValue(2); // behind the disabled box's back
             clickLandscape(dialog);
         },
         [&](cCommonDialog&, QPrinter& p) {
             return p.pageLayout().orientation() == QPageLayout::Landscape &&
                    std::abs(p.pageLayout().margins(QPageLayout::Point).left() - 10) < 1e-6;
         },
         0},
        {"page set-up through the object, orientation disabled", "QPageSetupDialog",
         objectPageSetUp(PSD_DISABLEORIENTATION),
         [&](QWidget* dialog) {
             partsEnabled(dialog, true, false, true);
             margin(dialog, "leftMargin")->setValue(1.5);
             auto* landscape = qobject_cast<QRadioButton*>(control(dialog, "landscape"));
             landscape->setChecked(true); // behind the disabled button's back
             emit landscape->clicked(true);
         },
         [&](cCommonDialog&, QPrinter& p) {
             return p.pageLayout().orientation() == QPageLayout::Portrait &&
                    std::abs(marginIn(p, &QMarginsF::left) - 1.5) < 1e-9;
         },
         0},
        {"page set-up through the object, paper disabled", "QPageSetupDialog",
         objectPageSetUp(PSD_DISABLEPAPER | PSD_DISABLEPRINTER),
         [&](QWidget* dialog) {
             partsEnabled(dialog, true, true, false);
             choosePaper(dialog, QPageSize::Letter); // behind the disabled list's back
             clickLandscape(dialog);
         },
         [&](cCommonDialog&, QPrinter& p) {
             return p.pageLayout().orientation() == QPageLayout::Landscape &&
                    p.pageLayout().pageSize().id() == QPageSize::A4;
         },
         0},
        {"page set-up, paper size", "QPageSetupDialog", pageSetUp({}),
         [&](QWidget* dialog) { choosePaper(dialog, QPageSize::Letter); },
         [&](cCommonDialog&, QPrinter&) { return got.paperSize == 1; }, 0},
        {"page set-up, orientation", "QPageSetupDialog", pageSetUp({}), clickLandscape,
         [&](cCommonDialog&, QPrinter&) { return got.orientation == 2; }, 0},
        {"page set-up, print quality", "QPageSetupDialog", pageSetUp({}), [](QWidget*) {},
         [&](cCommonDialog&, QPrinter& p) { return got.printQuality == p.resolution() && got.printQuality > 0; },
         0},
        {"font", "QFontDialog",
         [&font](cCommonDialog& d) {
             int32_t printer = -1, color = 0, flags = 0;
             d.Layer().VBChooseFont(font, printer, d.hwnd, color, 0, 0, flags, d.HookDialog, &d);
         },
         [&pickedFamily](QWidget* w) {
             auto* dialog = qobject_cast<QFontDialog*>(w);
             ASSERT_NE(dialog, nullptr);
             const QStringList families = QFontDatabase::families();
             ASSERT_FALSE(families.isEmpty());
             dialog->setCurrentFont(QFont(families.back()));
             pickedFamily = dialog->currentFont().family().toStdString();
         },
         [&font, &pickedFamily](cCommonDialog&, QPrinter&) { return font.name == pickedFamily; }, 1},
    };
    for (const Operation& op : operations) {
        for (const bool confirm : {true, false}) {
            SCOPED_TRACE(std::string(op.label) + (confirm ? ", confirmed" : ", cancelled"));
            QPrinter printer;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(folder.filePath("never-written.pdf"));
            font = DialogFont{};
            cCommonDialog d;
            d.Object = &printer;
            d.HookDialog = true;
            // A confirmed dialog before, so that the operation must start APIReturn afresh.
            SetDialogScripts({{}, {}, [](const ColorRequest&) { return ColorAnswer{true, 0}; }});
            d.ShowColor();
            ASSERT_EQ(d.Layer().APIReturn(), 1);
            SetDialogScripts({});

            std::vector<std::string> heard;
            d.OnInitDialog = [&](QWidget* w) {
                heard.push_back("init");
                ASSERT_NE(w, nullptr);
                EXPECT_TRUE(w->inherits(op.dialogClass)) << w->metaObject()->className();
                EXPECT_TRUE(w->isVisible());
                EXPECT_EQ(d.Layer().EventSink(), &d);
                op.choose(w);
                QMetaObject::invokeMethod(w, confirm ? "accept" : "reject", Qt::QueuedConnection);
            };
            d.OnDialogClose = [&] { heard.push_back("close"); };
            // A dialog whose opening nobody heard would wait for an answer for ever: once its
            // loop has run the events queued before it, it is closed and the fault reported.
            // A4 portrait with margins of 10 points, whatever the locale would choose; a cancel
            // leaves the printer's layout exactly so.
            printer.setPageLayout(
                QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10)));
            const QPageLayout before = printer.pageLayout();
            QObject guard;
            QTimer::singleShot(0, &guard, [&] {
                QTimer::singleShot(0, &guard, [&] {
                    if (QWidget* open = QApplication::activeModalWidget(); open && heard.empty()) {
                        ADD_FAILURE() << "the open dialog was not heard";
                        QMetaObject::invokeMethod(open, "reject", Qt::QueuedConnection);
                    }
                });
            });
            op.show(d);
            EXPECT_EQ(heard, (std::vector<std::string>{"init", "close"}));
            EXPECT_EQ(d.Layer().APIReturn(), confirm ? op.confirmedReturn : 0);
            EXPECT_EQ(d.Layer().EventSink(), nullptr);
            EXPECT_EQ(op.chosen(d, printer), confirm);
            if (!confirm) {
                EXPECT_TRUE(printer.pageLayout() == before) << "a cancel changed the printer's layout";
            }
        }
    }
    EXPECT_FALSE(QFile::exists(folder.filePath("never-written.pdf")));
}
