// Every window of the program, opened as the user opens it (the views inside the main window at
// its default size, the others from their commands): each named control that the user works
// with is visible, lies inside its window's client area and its parent with a size of its own,
// and covers no sibling, except for the few places where controls are stacked on purpose; and
// every text shows whole (TextsShownWhole.h) at each size a user meets, down to 800 x 600. All
// of it with the font the tests pin and with the larger fonts desktops hand the program: the
// main window's bar holds its rows at each (every band inside it, every button's caption whole).
#include "AppState.h"
#include "Host.h"
#include "ProgramTestSupport.h"
#include "Main.h"
#include "SampleSeasons.h"
#include "Screen.h"
#include "SeasonLoader.h"
#include "Splash.h"
#include "TempFolder.h"
#include "TextsShownWhole.h"
#include "VbConvert.h"
#include "VexalApp.h"
#include "Windows.h"
#include "Grid.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QFont>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace vexal::test {
namespace {

std::string Describe(const QRect& r)
{
    std::ostringstream out;
    out << r.x() << "," << r.y() << " " << r.width() << "x" << r.height();
    return out.str();
}

// The named controls of a window: its descendants with a name of ours, the parts Qt builds
// inside composite widgets left out.
std::vector<QWidget*> NamedControls(QWidget* window)
{
    std::vector<QWidget*> result;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->isWindow() || w->objectName().isEmpty() || w->objectName().startsWith(QLatin1String("qt_")))
            continue;
        bool inside = false;
        for (QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget())
            inside = inside || p->objectName().startsWith(QLatin1String("qt_")) || p->isWindow() ||
                     p->inherits("QMdiSubWindow");
        if (!inside)
            result.push_back(w);
    }
    return result;
}

// Names and the elements first..last of control arrays ("txtData_0" ...).
std::vector<std::string> Names(std::initializer_list<const char*> names,
                               std::initializer_list<std::tuple<const char*, int, int>> arrays = {})
{
    std::vector<std::string> result(names.begin(), names.end());
    for (const auto& [name, first, last] : arrays)
        for (int i = first; i <= last; ++i)
            result.push_back(std::string(name) + "_" + std::to_string(i));
    return result;
}

enum class Open {
    Toolbar1,   // a view, from the first toolbar's button
    Toolbar2,   // a view, from the second toolbar's button
    ModalFromToolbar2,
    ModalDocument,   // the document viewer, as the reports open it
    FormulaEditor,   // from the first toolbar's button, a window of its own
    MainWindow,
};

struct WindowCase {
    const char* window;
    Open open;
    int button;
    std::vector<std::string> visible;   // the controls the user works with
    // Pairs of controls that stand on the same place on purpose (a frame and what it holds
    // stacked with its neighbour, pages that replace each other).
    std::vector<std::pair<const char*, const char*>> stacked = {};
    QSize designTwips = {};   // a view that sizes itself is checked at that size too
    QSize outerTwips = {};    // a view that sets its frame's size is checked at that size...
    bool maximised = false;   // ...and maximised
    // Controls their parent cuts on purpose: a toolbar wider than its band runs under the
    // band's chevron, which offers the buttons that do not fit whole (and are not shown).
    std::vector<std::string> cutByParent = {};
    // Checked with the desktops' larger fonts too.
    bool desktopFonts = true;
};

// Checks one opened window; every fault found is reported, not only the first. With
// VEXAL_LAYOUT_SHOTS naming a folder (by hand, to look at the windows) each window is saved there.
// Its texts are checked at the sizes a user meets; a view's design and opening sizes are only
// where its resizer scales from (it fills the main window's client area, 800 x 600 or more).
void CheckLayout(const WindowCase& c, QWidget* window, const char* shotSuffix = "", bool userSize = true)
{
    ASSERT_NE(window, nullptr) << c.window;
    SCOPED_TRACE(c.window);
    if (const char* shots = std::getenv("VEXAL_LAYOUT_SHOTS"); shots && *shots) {
        QWidget* shown = window->parentWidget() && window->parentWidget()->inherits("QMdiSubWindow")
                             ? window->parentWidget()
                             : window;
        shown->grab().save(QString::fromLocal8Bit(shots) + "/" + c.window + shotSuffix + ".png");
    }
    const QRect client = window->rect();
    EXPECT_FALSE(client.isEmpty());
    const std::vector<QWidget*> controls = NamedControls(window);

    for (const std::string& name : c.visible) {
        QWidget* found = nullptr;
        for (QWidget* w : controls)
            if (w->objectName().toStdString() == name)
                found = w;
        ASSERT_NE(found, nullptr) << name << " is missing";
        EXPECT_TRUE(found->isVisibleTo(window)) << name << " is hidden";
    }

    std::set<std::pair<std::string, std::string>> stacked;
    for (const auto& [a, b] : c.stacked) {
        stacked.insert({a, b});
        stacked.insert({b, a});
    }
    for (QWidget* w : controls) {
        if (!w->isVisibleTo(window))
            continue;
        const std::string name = w->objectName().toStdString();
        const QRect inWindow(w->mapTo(window, QPoint(0, 0)), w->size());
        EXPECT_FALSE(w->width() <= 0 || w->height() <= 0) << name << " has no size: " << Describe(inWindow);
        const bool cut = std::find(c.cutByParent.begin(), c.cutByParent.end(), name) != c.cutByParent.end();
        EXPECT_TRUE(cut || client.contains(inWindow)) << name << " at " << Describe(inWindow)
                                                      << " leaves the client area " << Describe(client);
        if (QWidget* parent = w->parentWidget(); parent && parent != window && !cut) {
            EXPECT_TRUE(parent->rect().contains(w->geometry()))
                << name << " at " << Describe(w->geometry()) << " leaves " << parent->objectName().toStdString()
                << " " << Describe(parent->rect());
        }
        for (QWidget* other : controls) {
            if (other <= w || other->parentWidget() != w->parentWidget() || !other->isVisibleTo(window))
                continue;
            const std::string otherName = other->objectName().toStdString();
            if (stacked.count({name, otherName}))
                continue;
            EXPECT_FALSE(w->geometry().intersects(other->geometry()))
                << name << " " << Describe(w->geometry()) << " overlaps " << otherName << " "
                << Describe(other->geometry());
        }
    }
    if (userSize)
        for (const TextFault& f : TextsNotShownWhole(window))
            ADD_FAILURE() << f.control << ": " << f.problem;
}

std::vector<WindowCase> EveryWindow()
{
    return {
        {"lines", Open::Toolbar1, 2, Names({"mnuBar", "cboLines", "cmdAddNewLines", "cmdDelete", "Grid1"}), {},
         {9345, 6510}},
        {"FORM2", Open::Toolbar2, 2,
         Names({"mnuBar", "cmdFirst", "cmdPrev", "cmdNext", "cmdLast", "cboAway", "cboHome", "cboSurface"},
               {{"txtData", 0, 38}}),
         {},
         {9540, 5205}},
        {"INJURIES", Open::Toolbar2, 4,
         Names({"cmdFirst", "cmdPrev", "cmdNext", "cmdLast", "lblAway", "lblHome", "lblInjuries", "lblWeather",
                "lblSituation", "lblPsycological", "lblComment", "txtComment"},
               {{"inja3d", 0, 6}, {"injh3d", 0, 6}, {"weata3d", 0, 6}, {"weath3d", 0, 6},
                {"sita3d", 0, 6}, {"sith3d", 0, 6}, {"psya3d", 0, 6}, {"psyh3d", 0, 6}}),
         {},
         {9540, 5205}},
        {"FORM1", Open::Toolbar1, 0, Names({"chkFavorite", "chkDog", "cboSi", "grdTeam"})},
        {"PREDICT", Open::Toolbar1, 4,
         Names({"mnuBar", "Grid", "lblTeaser", "cboTeaser", "lblLines", "cboLines", "chkOu", "chkOtherFac",
                "chkPoolPicks", "cmdSmartPred", "cmdConsensus", "CmdWeb"})},
        {"FORM6", Open::Toolbar1, 6, Names({"mnuBar", "lblHeading", "grdStats"})},
        {"frmTest", Open::Toolbar1, 8,
         Names({"mnuBar", "SortByW", "sortbyu", "CboStartWeek", "CboEndWeek", "Tab1", "picTab_0",
                "fraSituationOptions", "chkDog", "chkFav", "chkHome", "chkAway", "fraSpeedOptions", "chkFast",
                "chkLinear", "chkLines", "fraLines", "cboLinesStart", "cboLinesEnd", "chkLimitWeek",
                "fraLimitWeeks", "cboLimitStart", "cboLimitEnd", "chkSingle", "fraSingleGame", "Combo1", "Combo2",
                "fraFormulaOptions", "chkMoneyLine", "chkUsePowerRatings", "chkDonTUseLine",
                "chkSeparateHomeAway", "chkDiscardHighLow", "lblTeaser", "cboTeaser", "cmdStart", "cmdStop",
                "cmdOtherFac", "cmdOU", "cmdAllForm"},
               {{"txtrola", 0, 1}, {"Text1", 1, 9}, {"Text2", 1, 9}, {"txtBest", 0, 2}}),
         {{"chkLines", "fraLines"}, {"chkLimitWeek", "fraLimitWeeks"}, {"chkSingle", "fraSingleGame"}},
         {},
         {9540, 5205},
         true},
        {"Power", Open::Toolbar1, 10, Names({"Grid1"})},
        {"frmFormula", Open::FormulaEditor, 12,
         Names({"fraFormula", "Combo2", "cmdSave", "cmdDelete", "chkExcludeBestWorst", "fraOptions", "chkLines",
                "cboLinesStart", "lblAnd", "cboLinesEnd", "chkHome", "chkAway", "chkFav", "chkDog", "chkOver",
                "chkUnder", "fraDatabase", "Label1", "Combo1", "STD", "SHA", "DHL", "lblNuberOfYears", "txtYears",
                "fraOption", "ChkPowerRating", "ChkNoLine"},
               {{"txtFla", 0, 8}})},
        {"frmDownload", Open::ModalFromToolbar2, 0,
         Names({"lblServer", "cmbServer", "txtLogonName", "txtLogonPassword", "txtDirectory", "cmdConnect",
                "CmdDisconnect", "lblFileList", "List1", "txtServerFile", "txtLocalFile", "cmdGetFile", "lblImport",
                "lblStatus"})},
        {"Singleg", Open::ModalFromToolbar2, 6,
         Names({"Combo1", "Combo2", "Text1", "Text2", "lblHome", "lblAway", "Command3d1", "Command3d2"})},
        {"frmRichEdit", Open::ModalDocument, 0,
         Names({"picToolbar", "cboStyle", "chkBackground", "lblHighlight", "picStatus", "lblStatus", "lblLoadStatus",
                "edtMain"},
               {{"picHighlight", 0, 3}})},
        {"Main", Open::MainWindow, 0,
         Names({"picture1", "cReBar1", "cboYears", "cToolbar2", "cboWeek", "cToolbar1", "MDIClient"}),
         {{"cToolbar1", "Toolbar1Chevron"}, {"cToolbar2", "Toolbar2Chevron"}},
         {},
         {},
         false,
         {"cToolbar1", "cToolbar2"}},
    };
}

// The application fonts and screens the windows are checked with: the font the tests pin, the
// larger sizes a desktop hands the program as its font, and the screens users have (a laptop's
// 1366 x 768 and 1280 x 720, 800 x 600, and 1920 x 1080 at 150 %: 144 dpi, 10 twips a pixel,
// where the desktop's 9 points are as many pixels as 13.5 points at the 96 dpi the tests draw
// at, and no larger than the font the windows are laid out for).
struct AppFont {
    const char* name;
    double points;               // 0: as pinned
    QSize screen = {};           // empty: the platform's
    double twipsPerPixel = 15;
    double largeFontScale = 0;   // 0: as the font gives it
};
const AppFont AppFonts[] = {{"PinnedFont", 0},
                            {"DesktopFont11pt", 11},
                            {"DesktopFont13pt", 13},
                            {"DesktopFont14pt", 14},
                            {"Screen1366x768", 0, {1366, 768}},
                            {"Screen1280x720", 0, {1280, 720}},
                            {"Screen800x600", 0, {800, 600}},
                            {"DesktopFont14ptScreen1366x768", 14, {1366, 768}},
                            {"Screen1920x1080At150", 13.5, {1920, 1080}, 10, 1}};
void PrintTo(const AppFont& font, std::ostream* out) { *out << font.name; }

// The smallest main window a user meets: 800 x 600 at 96 dpi, as many more pixels as a screen
// of more pixels to the inch has.
QSize SmallestMain()
{
    const double k = 15.0 / Screen::TwipsPerPixelY();
    return {static_cast<int>(800 * k), static_cast<int>(600 * k)};
}

class WindowLayout : public WholeProgramTest, public ::testing::WithParamInterface<AppFont> {
protected:
    void SetUp() override
    {
        pinned_ = QApplication::font();
        if (GetParam().points > 0) {
            QFont desktop = pinned_;
            desktop.setPointSizeF(GetParam().points);
            QApplication::setFont(desktop);
        }
        WholeProgramTest::SetUp();
        if (const AppFont& f = GetParam(); !f.screen.isEmpty()) {
            ScreenMetrics m = Screen::Metrics();
            m.widthPixels = m.availableWidth = f.screen.width();
            m.heightPixels = m.availableHeight = f.screen.height();
            m.twipsPerPixelX = m.twipsPerPixelY = f.twipsPerPixel;
            if (f.largeFontScale > 0)
                m.largeFontScale = f.largeFontScale;
            Screen::SetMetrics(m);
        }
    }
    void TearDown() override
    {
        WholeProgramTest::TearDown();
        QApplication::setFont(pinned_);
    }

    // The windows checked with this test's font.
    std::vector<WindowCase> Windows() const
    {
        std::vector<WindowCase> windows;
        for (const WindowCase& c : EveryWindow())
            if (c.desktopFonts || GetParam().points == 0)
                windows.push_back(c);
        return windows;
    }

    Main* Start()
    {
        StartVexal();
        EXPECT_TRUE(WaitFor([] { return MainWindow() && FindWindow("FORM1") && !FindWindow("opening"); }));
        Pump();
        return TheMain();
    }

private:
    QFont pinned_;
};

TEST_P(WindowLayout, EveryControlOfEveryWindowIsVisibleInsideItsWindowAndClearOfItsNeighbours)
{
    Main* main = Start();
    ASSERT_NE(main, nullptr);
    App().DocumentPath = program.Path() / "FormulaList.txt";
    { std::ofstream(App().DocumentPath) << "Formulas\r\n"; }

    for (const WindowCase& c : Windows()) {
        switch (c.open) {
        case Open::Toolbar1:
        case Open::Toolbar2:
        case Open::FormulaEditor: {
            const char* bar = c.open == Open::Toolbar2 ? "cToolbar2" : "cToolbar1";
            main->findChild<QToolBar*>(bar)->actions().at(c.button)->trigger();
            ASSERT_TRUE(WaitFor([] { return !IsBusy(); }));
            Pump();
            QWidget* window = FindWindow(c.window);
            CheckLayout(c, window);
            if (window && c.open != Open::FormulaEditor) {
                // The view fills the main window's client area and stays inside it.
                auto* frame = qobject_cast<QMdiSubWindow*>(window->parentWidget());
                ASSERT_NE(frame, nullptr) << c.window;
                const QRect area = frame->mdiArea()->viewport()->rect();
                EXPECT_TRUE(area.contains(frame->geometry()))
                    << c.window << " frame " << Describe(frame->geometry()) << " in " << Describe(area);
                if (!c.designTwips.isEmpty()) {
                    const QSize design(Screen::TwipsToPixelsX(c.designTwips.width()),
                                       Screen::TwipsToPixelsY(c.designTwips.height()));
                    frame->resize(frame->size() - window->size() + design);
                    Pump();
                    SCOPED_TRACE("at the design size");
                    CheckLayout(c, window, "_design", false);
                }
                if (!c.outerTwips.isEmpty()) {
                    frame->resize(Screen::TwipsToPixelsX(c.outerTwips.width()),
                                  Screen::TwipsToPixelsY(c.outerTwips.height()));
                    Pump();
                    SCOPED_TRACE("at the opening size");
                    CheckLayout(c, window, "_opening", false);
                }
                if (c.maximised) {
                    frame->showMaximized();
                    Pump();
                    SCOPED_TRACE("maximised");
                    CheckLayout(c, window, "_maximised");
                    frame->showNormal();
                    Pump();
                }
            }
            if (c.open == Open::FormulaEditor && window)
                window->hide();
            break;
        }
        case Open::ModalFromToolbar2:
        case Open::ModalDocument: {
            bool checked = false;
            QTimer::singleShot(0, [&] {
                WaitFor([&] { return FindWindow(c.window) && FindWindow(c.window)->isVisible(); });
                Pump();
                CheckLayout(c, FindWindow(c.window));
                checked = true;
                UnloadWindow(c.window);
            });
            if (c.open == Open::ModalDocument)
                ShowModal(c.window);
            else
                main->findChild<QToolBar*>("cToolbar2")->actions().at(c.button)->trigger();
            Pump();
            EXPECT_TRUE(checked) << c.window;
            break;
        }
        case Open::MainWindow:
            CheckLayout(c, main);
            break;
        }
    }
}

// Each view, opened at the main window's size, follows it when it is made 800 x 600 and when it
// grows back: its frame fills the client area each time, its controls stay inside it and its
// texts show whole; and so do the main window's own.
TEST_P(WindowLayout, EveryViewFollowsTheMainWindowWhenItShrinksAndGrowsBack)
{
    Main* main = Start();
    ASSERT_NE(main, nullptr);
    const QSize opened = main->size();
    ASSERT_FALSE(opened.isEmpty());
    for (const WindowCase& c : Windows()) {
        if (c.open != Open::Toolbar1 && c.open != Open::Toolbar2)
            continue;
        SCOPED_TRACE(c.window);
        main->findChild<QToolBar*>(c.open == Open::Toolbar2 ? "cToolbar2" : "cToolbar1")->actions().at(c.button)->trigger();
        ASSERT_TRUE(WaitFor([] { return !IsBusy(); }));
        Pump();
        QWidget* window = FindWindow(c.window);
        ASSERT_NE(window, nullptr);
        auto* frame = qobject_cast<QMdiSubWindow*>(window->parentWidget());
        ASSERT_NE(frame, nullptr);
        for (const QSize size : {SmallestMain(), opened}) {
            main->resize(size);
            Pump();
            ASSERT_EQ(main->size(), size);
            const std::string at = std::to_string(size.width()) + "x" + std::to_string(size.height());
            SCOPED_TRACE(at);
            const QRect area = frame->mdiArea()->viewport()->rect();
            EXPECT_EQ(frame->geometry(), area) << Describe(frame->geometry()) << " in " << Describe(area);
            EXPECT_TRUE(frame->isVisible());
            CheckLayout(c, window, ("_" + at).c_str());
            // The texts of the pages a tab strip shows one at a time.
            for (QTabBar* tabs : window->findChildren<QTabBar*>()) {
                const int shown = tabs->currentIndex();
                for (int i = 0; i < tabs->count(); ++i) {
                    if (i == shown)
                        continue;
                    tabs->setCurrentIndex(i);
                    Pump();
                    SCOPED_TRACE("tab " + tabs->tabText(i).toStdString());
                    if (const char* shots = std::getenv("VEXAL_LAYOUT_SHOTS"); shots && *shots)
                        frame->grab().save(QString("%1/%2_%3_tab%4.png")
                                               .arg(QString::fromLocal8Bit(shots), c.window, QString::fromStdString(at))
                                               .arg(i));
                    for (const TextFault& f : TextsNotShownWhole(window))
                        ADD_FAILURE() << f.control << ": " << f.problem;
                }
                tabs->setCurrentIndex(shown);
                Pump();
            }
        }
    }
    // The main window's own controls at both sizes.
    for (const WindowCase& c : Windows()) {
        if (c.open != Open::MainWindow)
            continue;
        for (const QSize size : {SmallestMain(), opened}) {
            main->resize(size);
            Pump();
            SCOPED_TRACE(std::to_string(size.width()) + "x" + std::to_string(size.height()));
            CheckLayout(c, main, ("_" + std::to_string(size.width()) + "x" + std::to_string(size.height())).c_str());
        }
    }
}

// At 800 x 600 each view shows its texts whole however it comes back: brought forward after
// another view, and opened again after it was closed (a view lays itself out when it is shown
// again, not only when it is resized).
TEST_P(WindowLayout, EveryViewBroughtForwardOrOpenedAgainShowsItsTextsWhole)
{
    Main* main = Start();
    ASSERT_NE(main, nullptr);
    main->resize(SmallestMain());
    Pump();
    auto open = [main](const WindowCase& c) {
        main->findChild<QToolBar*>(c.open == Open::Toolbar2 ? "cToolbar2" : "cToolbar1")->actions().at(c.button)->trigger();
        EXPECT_TRUE(WaitFor([] { return !IsBusy(); }));
        Pump();
        return FindWindow(c.window);
    };
    std::vector<WindowCase> views;
    for (const WindowCase& c : Windows())
        if (c.open == Open::Toolbar1 || c.open == Open::Toolbar2)
            views.push_back(c);
    for (std::size_t i = 0; i < views.size(); ++i) {
        const WindowCase& c = views[i];
        SCOPED_TRACE(c.window);
        ASSERT_NE(open(c), nullptr);
        ASSERT_NE(open(views[(i + 1) % views.size()]), nullptr);
        {
            SCOPED_TRACE("brought forward");
            CheckLayout(c, open(c), "_forward");
        }
        QWidget* window = FindWindow(c.window);
        ASSERT_NE(window, nullptr);
        window->parentWidget()->close();
        Pump();
        ASSERT_TRUE(WaitFor([&] { return !FindWindow(c.window); }));
        {
            SCOPED_TRACE("opened again");
            CheckLayout(c, open(c), "_again");
        }
    }
}

// At 800 x 600 a line typed into Enter Lines that is wider than any the week held shows whole
// once it is written, as the week's own lines do when the week is shown.
TEST_P(WindowLayout, ALineTypedWiderThanTheWeeksLinesShowsWhole)
{
    Main* main = Start();
    ASSERT_NE(main, nullptr);
    main->resize(SmallestMain());
    Pump();
    const WindowCase lines = EveryWindow().front();
    ASSERT_STREQ(lines.window, "lines");
    main->findChild<QToolBar*>("cToolbar1")->actions().at(lines.button)->trigger();
    ASSERT_TRUE(WaitFor([] { return !IsBusy(); }));
    Pump();
    QWidget* window = FindWindow("lines");
    ASSERT_NE(window, nullptr);
    auto* grid = window->findChild<Grid*>("Grid1");
    auto* edit = window->findChild<QLineEdit*>("txtEdit");
    ASSERT_TRUE(grid && edit);
    ASSERT_GE(grid->Rows(), 1);
    grid->SetSelection(1, 2);
    grid->setFocus();
    for (const QChar c : QStringLiteral("-113.5")) {
        QKeyEvent press(QEvent::KeyPress, c.unicode(), Qt::NoModifier, QString(c));
        QApplication::sendEvent(edit->isVisible() ? static_cast<QWidget*>(edit) : grid, &press);
    }
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
    QApplication::sendEvent(edit, &enter);
    Pump();
    ASSERT_EQ(grid->CellFormattedText(1, 2).toStdString(), "-113.5");
    CheckLayout(lines, window, "_typed");
}

INSTANTIATE_TEST_SUITE_P(Fonts, WindowLayout, ::testing::ValuesIn(AppFonts),
                         [](const ::testing::TestParamInfo<AppFont>& font) { return std::string(font.param.name); });

} // namespace
} // namespace vexal::test
