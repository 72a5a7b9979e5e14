// View switching, the modal tools, the selectors, refresh, the toggles, busy runs and exit.
#include "ShellTestSupport.h"
#include "Golden.h"

#include "AppMenu.h"
#include "FileChecks.h"
#include "GameRecord.h"
#include "Host.h"
#include "MsgBox.h"
#include "AppState.h"
#include "Main.h"
#include "PopupMenu.h"
#include "ReBar.h"
#include "RecordFile.h"
#include "SeasonData.h"
#include "SettingsStore.h"
#include "StandIns.h"
#include "Steps.h"
#include "Teams.h"
#include "VbError.h"
#include "Windows.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMdiArea>
#include <QPushButton>
#include <QPointer>
#include <QTimer>
#include <QToolBar>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>

namespace vexal::test {
namespace {

using ViewSwitchTest = ShellTest;

// Records the windows' unload handlers (close events) in order.
struct CloseRecorder : QObject {
    std::vector<std::string> closed;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Close && !watched->objectName().endsWith("Frame"))
            closed.push_back(watched->objectName().toStdString());
        return false;
    }
};

TEST_F(ViewSwitchTest, EveryViewButtonOpensItsViewAndClosesTheOthersButTheFormulaEditor)
{
    WriteSeasons(2023, 2024);
    Start();
    struct Case {
        const char* toolbar;
        int button;
        const char* window;
        const char* caption;
    };
    const Case cases[] = {
        {"cToolbar1", 2, "lines", "Vexal - [Enter Lines]"},
        {"cToolbar1", 4, "PREDICT", "Vexal - [Predictions]"},
        {"cToolbar1", 6, "FORM6", "Vexal - [Statistics]"},
        {"cToolbar1", 8, "frmTest", "Vexal - [Test Formula]"},
        {"cToolbar1", 10, "Power", "Vexal - [Power Ratings / Strength of Schedule]"},
        {"cToolbar2", 2, "FORM2", "Vexal - [Input Stats]"},
        {"cToolbar2", 4, "INJURIES", "Vexal - [Other Factors]"},
        {"cToolbar1", 0, "FORM1", "Vexal - [Standings]"},
    };
    Button("cToolbar1", 12)->trigger();   // the formula editor stays through every switch
    QWidget* editor = FindWindow("frmFormula");
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_TRUE(editor->isWindow());
    EXPECT_EQ(editor->parentWidget(), MainWindow());
    EXPECT_EQ(editor->size(), QSize(519, 249)) << "7785 x 3735 twips";
    for (const Case& c : cases) {
        Button(c.toolbar, c.button)->trigger();
        Pump();
        QWidget* view = FindWindow(c.window);
        ASSERT_NE(view, nullptr) << c.window;
        EXPECT_EQ(ActiveView(), view) << c.window;
        EXPECT_EQ(view->windowTitle(), c.caption);
        EXPECT_TRUE(view->isVisible());
        EXPECT_EQ(Loaded(), (std::vector<std::string>{"Main", "frmFormula", c.window})) << c.window;
        EXPECT_EQ(FindWindow("frmFormula"), editor);
    }
}

TEST_F(ViewSwitchTest, TheActiveViewsButtonDoesNothingAndAnotherClosesTheDocumentViewer)
{
    WriteSeasons(2024, 2024);
    Start();
    Button("cToolbar1", 8)->trigger();
    QWidget* test = FindWindow("frmTest");
    LoadWindow("frmRichEdit");
    Button("cToolbar1", 8)->trigger();
    Pump();
    EXPECT_EQ(FindWindow("frmTest"), test) << "not reloaded";
    EXPECT_NE(FindWindow("frmRichEdit"), nullptr) << "nothing closed";
    Button("cToolbar1", 0)->trigger();
    Pump();
    EXPECT_EQ(FindWindow("frmTest"), nullptr);
    EXPECT_EQ(FindWindow("frmRichEdit"), nullptr);
}

TEST_F(ViewSwitchTest, ImportStatsAndSingleGameOpenModalOwnedByTheMainWindow)
{
    WriteSeasons(2024, 2024);
    Start();
    for (auto [button, window] : {std::pair{0, "frmDownload"}, std::pair{6, "Singleg"}}) {
        std::string modal;
        QWidget* owner = nullptr;
        QTimer::singleShot(50, [&] {
            QWidget* w = QApplication::activeModalWidget();
            if (w) {
                modal = w->objectName().toStdString();
                owner = w->parentWidget();
                w->close();
            }
        });
        Button("cToolbar2", button)->trigger();
        EXPECT_EQ(modal, window);
        EXPECT_EQ(owner, MainWindow());
        Pump();
        EXPECT_EQ(FindWindow(window), nullptr) << "closing the modal window unloads it";
        EXPECT_NE(FindWindow("FORM1"), nullptr) << "no view switch";
    }
}

TEST_F(ViewSwitchTest, ChoosingAWeekMakesItCurrentAndRefreshesTheActiveView)
{
    WriteSeasons(2001, 2002);
    Start();
    QComboBox* week = Combo("cboWeek");
    ASSERT_EQ(week->itemText(0), "Wk 1 of 2001");
    const int before = RefreshCount("FORM1");
    week->setCurrentIndex(0);
    Pump();
    EXPECT_EQ(App().CurrentFormula[fsCurrentWeek], 1.0f);
    EXPECT_EQ(Season().WeekSeason, 2001);
    EXPECT_EQ(DivisionOrder()[31], 0) << "six divisions before 2002";
    EXPECT_EQ(RefreshCount("FORM1"), before + 1);

    const int last2002 = week->count() - 1;
    week->setCurrentIndex(last2002);
    Pump();
    EXPECT_EQ(App().CurrentFormula[fsCurrentWeek], static_cast<float>(last2002 + 1));
    EXPECT_EQ(Season().WeekSeason, 2002);
    EXPECT_EQ(DivisionOrder()[31], 28);
    EXPECT_EQ(RefreshCount("FORM1"), before + 2);
}

TEST_F(ViewSwitchTest, ChoosingAnotherSeasonReloadsTheArraysAndTheWeekList)
{
    WriteSeasons(2021, 2024);
    Start();
    QComboBox* years = Combo("cboYears");
    const int before = RefreshCount("FORM1");
    years->setCurrentIndex(years->findText(" 2022"));
    Pump();
    EXPECT_EQ(Season().SeasonYear, 2022);
    QComboBox* week = Combo("cboWeek");
    EXPECT_EQ(week->itemText(0), "Wk 1 of 2021");
    EXPECT_TRUE(week->itemText(week->count() - 1).endsWith("of 2022"));
    EXPECT_EQ(static_cast<int>(Season().WeekItems.size()), week->count());
    EXPECT_EQ(Season().WeekSlots, 44);
    // Week 5 counted in the newest loaded season, 2022.
    EXPECT_EQ(week->currentText(), "Wk 5 of 2022");
    EXPECT_EQ(App().CurrentFormula[fsCurrentWeek], static_cast<float>(week->currentIndex() + 1));
    EXPECT_GT(RefreshCount("FORM1"), before);
    EXPECT_EQ(FindWindow("opening"), nullptr) << "the splash showed the progress and was closed";
}

TEST_F(ViewSwitchTest, ASeasonWhoseFileIsGoneLeavesThePreviousLoadAndSelection)
{
    WriteSeasons(2023, 2024);
    Start();
    QComboBox* years = Combo("cboYears");
    const auto weeks = Season().WeekItems;
    std::filesystem::remove(program.Path() / "2023.nfl");
    years->setCurrentIndex(0);
    Pump();
    EXPECT_EQ(years->currentText(), " 2024");
    EXPECT_EQ(Season().SeasonYear, 2024);
    EXPECT_EQ(Season().WeekItems, weeks);
    EXPECT_EQ(Combo("cboWeek")->count(), static_cast<int>(weeks.size()));
}

TEST_F(ViewSwitchTest, RefreshPressesTheButtonsAsTheTableSays)
{
    WriteSeasons(2024, 2024);
    Start();
    // Views refreshed only on a full refresh.
    for (const char* view : {"FORM6", "lines", "FORM2", "INJURIES", "FORM1"}) {
        main()->SwitchView(view);
        Pump();
        const int before = RefreshCount(view);
        RefreshActiveView(false);
        EXPECT_EQ(RefreshCount(view), before) << view;
        RefreshActiveView(true);
        EXPECT_EQ(RefreshCount(view), before + 1) << view;
    }
    // Views refreshed on every call.
    for (const char* view : {"PREDICT", "Power", "frmTest"}) {
        main()->SwitchView(view);
        Pump();
        const int before = RefreshCount(view);
        RefreshActiveView(false);
        RefreshActiveView(true);
        EXPECT_EQ(RefreshCount(view), before + 2) << view;
    }
}

TEST_F(ViewSwitchTest, AViewCaptionedWithoutThePrefixIsRecognised)
{
    WriteSeasons(2024, 2024);
    RegisterWindow("frmTest", WindowKind::ChildView, [](QWidget*) {
        auto* w = new QWidget;
        w->setWindowTitle("Test Formula");
        auto* button = new QPushButton(w);
        button->setObjectName("Command1");
        SetViewRefresh(w, [button] { button->click(); });
        w->setProperty(RefreshCountProperty, 0);
        QObject::connect(button, &QPushButton::clicked, w,
                         [w] { w->setProperty(RefreshCountProperty, w->property(RefreshCountProperty).toInt() + 1); });
        return w;
    });
    Start();
    main()->SwitchView("frmTest");
    RefreshActiveView(false);
    EXPECT_EQ(RefreshCount("frmTest"), 1);
}

TEST_F(ViewSwitchTest, ARefreshThatFailsShowsTheMainWindowAndSaysWhatFailed)
{
    WriteSeasons(2024, 2024);
    const std::filesystem::path formula = program / "default.fla";
    const std::filesystem::path season = program / "2024.nfl";
    { std::ofstream(formula, std::ios::binary) << "1,2,3\r\n"; }
    // A formula read and a view's refresh that read their files, as the program's own do.
    SetReadFormulaProcedure([formula] {
        std::string bytes, problem;
        if (!ReadWholeFile(formula, bytes, problem, FileKind::Formula))
            throw VbError(VbError::PathFileAccess, problem);
    });
    RegisterWindow("PREDICT", WindowKind::ChildView, [season](QWidget*) {
        auto* w = new QWidget;
        w->setWindowTitle("Vexal - [Predictions]");
        w->setProperty(RefreshCountProperty, 0);
        SetViewRefresh(w, [w, season] {
            RecordFile file(season, GameRecord::Size, RecordFile::Mode::ReadOnly, FileKind::Season);
            w->setProperty(RefreshCountProperty, w->property(RefreshCountProperty).toInt() + 1);
        });
        return w;
    });
    Start();
    main()->SwitchView("PREDICT");
    Pump();
    std::vector<std::string> log;
    SetStepLogSink([&](const std::string& line) { log.push_back(line); });
    for (const std::filesystem::path& file : {formula, season}) {
        SCOPED_TRACE(file.string());
        // The formula is read first, while the main window may still be hidden at start-up.
        const bool hidden = file == formula;
        ScriptedMessages& messages = InstallScriptedMessages();
        log.clear();
        const int before = RefreshCount("PREDICT");
        {
            ReadFault unreadable(file);
            if (hidden)
                main()->hide();
            RefreshActiveView(true);
        }
        EXPECT_TRUE(main()->isVisible());
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_NE(messages.shown[0].text.find(file.string()), std::string::npos) << messages.shown[0].text;
        ASSERT_EQ(log.size(), 1u);
        EXPECT_NE(log[0].find(file.string()), std::string::npos) << log[0];
        // The refresh goes on past a formula that could not be read.
        EXPECT_EQ(RefreshCount("PREDICT"), before + (file == formula ? 1 : 0));
        RefreshActiveView(true);
        EXPECT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(RefreshCount("PREDICT"), before + (file == formula ? 2 : 1));
    }
    SetStepLogSink(nullptr);
    SetReadFormulaProcedure({});
}

TEST_F(ViewSwitchTest, CityNameAndToolbarTextPersistInTheSettings)
{
    WriteSeasons(2024, 2024);
    Start();
    QAction* names = Button("cToolbar2", 10);
    const int before = RefreshCount("FORM1");
    names->trigger();
    EXPECT_FALSE(names->isChecked());
    EXPECT_EQ(GetSetting("Preference", "Names"), "False");
    EXPECT_FALSE(App().ShowCityNames);
    EXPECT_EQ(RefreshCount("FORM1"), before + 1);
    int16_t year = 2024;
    EXPECT_EQ(TeamName(4, year, NameStyleAsShown), "Bills");

    QAction* toolbarText = FindWindow("FORM1")->findChild<QAction*>("mnuToolBarText");
    ASSERT_NE(toolbarText, nullptr);
    EXPECT_EQ(toolbarText->text(), "Toolbar Text Off");
    EXPECT_FALSE(toolbarText->isChecked());
    toolbarText->trigger();
    EXPECT_EQ(GetSetting("Preference", "Toolbar Text"), "True");
    EXPECT_EQ(Toolbar("cToolbar1")->toolButtonStyle(), Qt::ToolButtonIconOnly);
    EXPECT_EQ(Toolbar("cToolbar2")->toolButtonStyle(), Qt::ToolButtonIconOnly);

    // A new start reads both back.
    UnloadAllForms();
    Pump();
    ASSERT_EQ(MainWindow(), nullptr);
    Start();
    EXPECT_FALSE(Button("cToolbar2", 10)->isChecked());
    EXPECT_FALSE(App().ShowCityNames);
    EXPECT_EQ(Toolbar("cToolbar1")->toolButtonStyle(), Qt::ToolButtonIconOnly);
    EXPECT_TRUE(FindWindow("FORM1")->findChild<QAction*>("mnuToolBarText")->isChecked());
    const auto* tb2 = main()->cPop().StoredItems("TB2");
    ASSERT_NE(tb2, nullptr);
    EXPECT_FALSE((*tb2)[5].checked);

    FindWindow("FORM1")->findChild<QAction*>("mnuToolBarText")->trigger();
    EXPECT_EQ(GetSetting("Preference", "Toolbar Text"), "False");
    EXPECT_EQ(Toolbar("cToolbar1")->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
}

TEST_F(ViewSwitchTest, ChevronItemsActAsTheirButtons)
{
    WriteSeasons(2024, 2024);
    Start();
    int shown = 0;
    PopupMenu::SetChooser([&](const std::vector<PopupMenu::Item>& items) {
        ++shown;
        EXPECT_EQ(items.size(), 7u);
        return items[0].caption == "Import Stats" ? 3 : 4;
    });
    main()->cReBar1_ChevronPushed("Toolbar2", QPoint());
    EXPECT_NE(FindWindow("INJURIES"), nullptr) << "item 3 is Other Factors (button 4)";
    main()->cReBar1_ChevronPushed("Toolbar1", QPoint());
    EXPECT_NE(FindWindow("FORM6"), nullptr) << "item 4 is View Stats (button 6)";
    EXPECT_EQ(FindWindow("INJURIES"), nullptr);
    main()->cReBar1_ChevronPushed("", QPoint());
    EXPECT_EQ(shown, 2) << "a band without a key shows no menu";

    PopupMenu::SetChooser([](const std::vector<PopupMenu::Item>&) { return 6; });
    main()->cReBar1_ChevronPushed("Toolbar2", QPoint());
    EXPECT_FALSE(Button("cToolbar2", 10)->isChecked());
    EXPECT_FALSE((*main()->cPop().StoredItems("TB2"))[5].checked);
}

TEST_F(ViewSwitchTest, TheRebarHoldsFourBandsAndTheFormulaName)
{
    WriteSeasons(2024, 2024);
    Start();
    ReBar* rebar = main()->cReBar1();
    ASSERT_EQ(rebar->BandCount(), 4);
    EXPECT_EQ(rebar->BandChild(0), Combo("cboYears"));
    EXPECT_EQ(rebar->BandKey(1), "Toolbar2");
    EXPECT_EQ(rebar->BandChild(2), Combo("cboWeek"));
    EXPECT_EQ(rebar->BandKey(3), "Toolbar1");
    App().CurrentFormulaFile = "Winners.fla";
    main()->ChangeFormulaName();
    ASSERT_EQ(rebar->BandCount(), 4);
    EXPECT_EQ(rebar->BandText(3), "Winners");
    EXPECT_EQ(rebar->BandChild(3), Toolbar("cToolbar1"));
    EXPECT_TRUE(Toolbar("cToolbar1")->isVisible());

    // Too narrow for the first toolbar: its band shows the chevron.
    EXPECT_FALSE(rebar->BandHasChevron(3));
    MainWindow()->resize(300, 500);
    Pump();
    EXPECT_TRUE(rebar->BandHasChevron(1) || rebar->BandHasChevron(3));
    MainWindow()->resize(1024, 720);
    Pump();
    EXPECT_FALSE(rebar->BandHasChevron(3));
}

TEST_F(ViewSwitchTest, TheStandingsMenuOpensHelpMailAndTheWebSite)
{
    WriteSeasons(2024, 2024);
    ScriptedMessages& messages = InstallScriptedMessages();
    RecordingLauncher& launcher = InstallRecordingLauncher();
    Start();
    QWidget* standings = FindWindow("FORM1");
    auto item = [&](const char* name) { return standings->findChild<QAction*>(name); };
    ASSERT_NE(item("mnuHelp"), nullptr);
    EXPECT_EQ(item("mnuHelpOnline")->text(), "Help &Online");
    EXPECT_EQ(item("mnuEmail")->text(), "Email Vexal");
    EXPECT_EQ(item("mnuWeb")->text(), "Go to our WebPage");
    EXPECT_EQ(item("mnuExit")->text(), "E&xit");

    item("mnuHelp")->trigger();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "The help topic Vexal.htm is not installed.");
    EXPECT_TRUE(launcher.calls.empty());

    program.Write("help/Vexal.htm", "<html></html>");
    item("mnuHelp")->trigger();
    ASSERT_EQ(launcher.calls.size(), 1u);
    EXPECT_EQ(launcher.calls[0].file, (program.Path() / "help" / "Vexal.htm").string());

    item("mnuWeb")->trigger();
    item("mnuEmail")->trigger();
    item("mnuHelpOnline")->trigger();
    ASSERT_EQ(launcher.calls.size(), 4u);
    EXPECT_EQ(launcher.calls[1].file, WebSiteAddress());
    EXPECT_EQ(launcher.calls[2].file.rfind("mailto:", 0), 0u);
    EXPECT_EQ(launcher.calls[3].file, OnlineHelpAddress());
    EXPECT_EQ(messages.shown.size(), 1u);
}

// Every topic a Help command opens has its page among those built beside the program, found
// from a program folder that holds none, and every link of a page leads to another page there.
TEST_F(ViewSwitchTest, EveryHelpTopicOpensAShippedPageWhoseLinksLead)
{
    const std::filesystem::path pages = test::BuildFile("src/app/help");
    SetInstalledHelpFolder(pages);
    ScriptedMessages& messages = InstallScriptedMessages();
    RecordingLauncher& launcher = InstallRecordingLauncher();
    for (const char* topic :
         {"Vexal.htm", "Predict.htm", "TestForm.htm", "Stats.htm", "PowerRatings.htm", "InputStats.htm", "Lines.htm"}) {
        SCOPED_TRACE(topic);
        launcher.calls.clear();
        ShowHelpTopic(topic);
        EXPECT_TRUE(messages.shown.empty());
        ASSERT_EQ(launcher.calls.size(), 1u);
        EXPECT_EQ(launcher.calls[0].file, (pages / topic).string());
        std::ifstream in(pages / topic, std::ios::binary);
        const std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_NE(page.find("<title>Vexal Help"), std::string::npos);
        const std::regex link("href=\"([^\"]*)\"");
        for (auto it = std::sregex_iterator(page.begin(), page.end(), link); it != std::sregex_iterator(); ++it)
            EXPECT_TRUE(std::filesystem::is_regular_file(pages / (*it)[1].str())) << (*it)[1].str();
    }
    SetInstalledHelpFolder({});
}

TEST_F(ViewSwitchTest, WhileARunYieldsSwitchesSelectionsTogglesAndExitWait)
{
    WriteSeasons(2023, 2024);
    Start();
    QComboBox* years = Combo("cboYears");
    QComboBox* week = Combo("cboWeek");
    const int yearIndex = years->currentIndex();
    const int weekIndex = week->currentIndex();
    const float currentWeek = App().CurrentFormula[fsCurrentWeek];
    {
        BusyScope run;
        Button("cToolbar1", 2)->trigger();
        EXPECT_EQ(FindWindow("lines"), nullptr);
        years->setCurrentIndex(0);
        EXPECT_EQ(years->currentIndex(), yearIndex);
        EXPECT_EQ(Season().SeasonYear, 2024);
        week->setCurrentIndex(0);
        EXPECT_EQ(week->currentIndex(), weekIndex);
        EXPECT_EQ(App().CurrentFormula[fsCurrentWeek], currentWeek);
        Button("cToolbar2", 10)->trigger();
        EXPECT_TRUE(Button("cToolbar2", 10)->isChecked());
        EXPECT_EQ(GetSetting("Preference", "Names", "unset"), "unset");
        int menus = 0;
        PopupMenu::SetChooser([&](const std::vector<PopupMenu::Item>&) { return ++menus, 3; });
        Button("cToolbar2", 8)->trigger();
        EXPECT_EQ(menus, 0);
        const int refreshes = RefreshCount("FORM1");
        RefreshActiveView(true);
        EXPECT_EQ(RefreshCount("FORM1"), refreshes) << "held back while the run yields";
        Button("cToolbar2", 12)->trigger();
        Pump();
        EXPECT_NE(MainWindow(), nullptr) << "Exit waits for the run";
        EXPECT_NE(FindWindow("FORM1"), nullptr);
    }
    ASSERT_TRUE(WaitFor([] { return MainWindow() == nullptr; }));
    EXPECT_TRUE(Loaded().empty());
}

TEST_F(ViewSwitchTest, WhileARunYieldsNoWindowIsClosedFromUnderIt)
{
    WriteSeasons(2024, 2024);
    Start();
    QPointer<QWidget> standings = FindWindow("FORM1");
    QWidget* frame = standings->parentWidget();
    {
        BusyScope run;
        frame->close();
        Pump();
        EXPECT_EQ(FindWindow("FORM1"), standings) << "the run may use it: it closes when the run returns";
        EXPECT_TRUE(standings->isVisible());
        // The document viewer is no part of any run: it closes at once.
        QWidget* viewer = ShowWindow("frmRichEdit");
        ASSERT_NE(viewer, nullptr);
        viewer->close();
        Pump();
        EXPECT_EQ(FindWindow("frmRichEdit"), nullptr);
        // Shown modal, it would hold the run until it closed: it opens once the run is over.
        ShowModal("frmRichEdit");
        EXPECT_EQ(FindWindow("frmRichEdit"), nullptr);
    }
    bool viewerAfterTheRun = false;
    QTimer::singleShot(0, [&] {
        ASSERT_TRUE(WaitFor([] { return FindWindow("frmRichEdit") && FindWindow("frmRichEdit")->isVisible(); }));
        viewerAfterTheRun = !IsBusy();
        EXPECT_EQ(FindWindow("FORM1"), nullptr) << "the held-back close ran first";
        FindWindow("frmRichEdit")->close();
    });
    ASSERT_TRUE(WaitFor([&] { return viewerAfterTheRun && !FindWindow("frmRichEdit"); }));
    EXPECT_TRUE(standings.isNull());

    {
        BusyScope run;
        MainWindow()->close();
        Pump();
        EXPECT_NE(MainWindow(), nullptr);
    }
    ASSERT_TRUE(WaitFor([] { return MainWindow() == nullptr; })) << "the main window's close ran afterwards";
}

TEST_F(ViewSwitchTest, AViewClosedWithItsFrameIsUnloaded)
{
    WriteSeasons(2024, 2024);
    Start();
    FindWindow("FORM1")->parentWidget()->close();
    Pump();
    EXPECT_EQ(FindWindow("FORM1"), nullptr);
    EXPECT_EQ(ActiveView(), nullptr);
    RefreshActiveView(true);   // nothing to press
    Button("cToolbar1", 0)->trigger();
    EXPECT_NE(FindWindow("FORM1"), nullptr);
}

TEST_F(ViewSwitchTest, ExitSavesTheFormulaNameAndUnloadsEverything)
{
    WriteSeasons(2024, 2024);
    Start();
    Button("cToolbar1", 12)->trigger();
    App().CurrentFormulaFile = "Winners.fla";
    Button("cToolbar2", 12)->trigger();
    Pump();
    EXPECT_EQ(GetSetting("Formula", "Current"), "Winners.fla");
    EXPECT_EQ(MainWindow(), nullptr);
    EXPECT_TRUE(Loaded().empty());
}

TEST_F(ViewSwitchTest, FileExitUnloadsInTheFixedOrderAndSavesNoFormulaName)
{
    WriteSeasons(2024, 2024);
    Start();
    Button("cToolbar1", 2)->trigger();          // Enter Lines
    Button("cToolbar1", 12)->trigger();         // formula editor
    LoadWindow("frmRichEdit");
    App().CurrentFormulaFile = "Winners.fla";
    CloseRecorder recorder;
    for (const std::string& name : Loaded())
        FindWindow(name)->installEventFilter(&recorder);
    UnloadAllForms();
    Pump();
    EXPECT_EQ(recorder.closed, (std::vector<std::string>{"lines", "Main", "frmFormula", "frmRichEdit"}));
    EXPECT_EQ(GetSetting("Formula", "Current", "unset"), "unset");
    EXPECT_TRUE(Loaded().empty());
}

} // namespace
} // namespace vexal::test
