#include "StatsWindow.h"

#include "AppMenu.h"
#include "AppState.h"
#include "CMouse.h"
#include "Clock.h"
#include "Grid.h"
#include "GridPage.h"
#include "GridReports.h"
#include "Main.h"
#include "MsgBox.h"
#include "Screen.h"
#include "SeasonData.h"
#include "SeasonLoader.h"
#include "SharedProcs.h"
#include "Steps.h"
#include "Teams.h"
#include "VbConvert.h"
#include "VbError.h"
#include "ViewFrame.h"
#include "WindowNames.h"
#include "Windows.h"
#include "cResizer.h"

#include <QAction>
#include <QComboBox>
#include <QCursor>
#include <QEvent>
#include <QHeaderView>
#include <QFontMetrics>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>
#include <cstdio>

namespace vexal {

namespace {

using namespace stats;

const char* const Caption = "Statistics";
const char* const HtmlFileName = "VexalStats.htm";
const char* const HtmlTitle = "Vexal Stats";
const char* const NoStatsAvailable = "No Stats Available";
const char* const WeekCanNotBe0 = "Week can not be 0";
const char* const NotAvailableForWeek = "Statistics not available for this week!";
const char* const MissingStatsTitle = "Missing Stats";
const char* const NoStatsFound = "No stats found. Please check your settings";
constexpr int32_t White = 0xFFFFFF;
constexpr int32_t Red = 255;
constexpr int CellFlags = DtSingleLine | DtWordEllipsis;

int Whole(double v) { return static_cast<int>(vb::RoundHalfEven(v)); }

// A grid row: a 750th of the screen height in twips, as pixels, grown with a desktop's larger
// font as the text it holds is.
double RowPixels() { return Screen::Height() / 750.0 * Screen::LargeFontScale(); }
// The height in twips of n grid rows and the 400 twips about them, the rows' pixels reckoned at
// 15 twips each as the design does.
double RowsTwips(int n) { return n * RowPixels() * 15 + 400; }
// The grid's top below the heading, as the design places it.
int GridTop() { return Screen::DesignTwipsToPixelsY(600); }
int PixelsX(double twips) { return Screen::TwipsToPixelsX(twips); }
int PixelsY(double twips) { return Screen::TwipsToPixelsY(twips); }
bool ThemePictureExists() { return !App().ThemePicture.empty() && FileExists(App().ThemePicture); }

// The colour of the next game of the box scores. `c` starts at 0 for the first game and
// becomes white when it equals the theme's colour, else the theme's colour: games alternate
// the two from the theme's colour, or from white when the theme's colour is 0 (black). The
// comparison is with the colour itself; what is stored for the theme's colour is
// GridThemeBack, so that the rows follow a theme chosen while they show. Over a theme
// picture no game has a colour of its own.
int32_t NextBoxBack(int32_t& c, int32_t themeBack, bool picture)
{
    const bool themed = c != themeBack;
    c = themed ? themeBack : White;
    if (picture) {
        c = GridNoColor;
        return GridNoColor;
    }
    return themed ? GridThemeBack : White;
}


struct RankColumn {
    const char* header;
    double factor;
    bool stat;
};
constexpr RankColumn RankColumns[] = {{"Team Name", 0.22, false}, {"Games", 0.1, false}, {"Stat", 0.1, true},
                                      {"", 0.11, false},          {"Team Name", 0.22, false}, {"Games", 0.1, false},
                                      {"Stat", 0.1, true}};

struct BoxColumn {
    const char* header;
    double factor;
};
constexpr BoxColumn BoxColumns[] = {{"Team", 0.2},  {"OU/PL", 0.105}, {"Score", 0.1}, {"RY", 0.06},
                                    {"RA", 0.06},   {"PY", 0.06},     {"PA", 0.06},   {"PC", 0.06},
                                    {"INT", 0.07},  {"FUMB", 0.09},   {"SACK", 0.09}};

} // namespace

// ---------------------------------------------------------------- construction

StatsWindow::StatsWindow(QWidget* owner) : QWidget(owner)
{
    setObjectName(WindowName::Statistics);
    setWindowTitle(Caption);
    BuildControls();
    BuildMenus();
    engine_.Stats = [this](Totals& tt, Totals& ot, Averages& ta, Averages& oa) { TSPredict1_Stats(tt, ot, ta, oa); };
    resize(Screen::DesignPixels(900), Screen::DesignPixels(600));
}

StatsWindow::~StatsWindow() = default;

void StatsWindow::BuildControls()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    menuBar_ = new QMenuBar(this);
    menuBar_->setObjectName("mnuBar");
    layout->setMenuBar(menuBar_);
    auto* body = new QWidget(this);
    body->setObjectName("StatsBody");
    layout->addWidget(body);

    lblHeading_ = new QLabel(body);
    lblHeading_->setObjectName("lblHeading");
    lblHeading_->setAlignment(Qt::AlignHCenter);
    // Sizes in pixels for the font the window is laid out for, grown with a desktop's larger
    // font: the heading's two lines keep their room above the grid.
    auto px = [](int designPixels) { return Screen::DesignPixels(designPixels); };
    lblHeading_->setGeometry(px(10), px(4), px(600), px(34));

    grdStats_ = new Grid(body);
    grdStats_->setObjectName("grdStats");
    SetViewPicture(this, grdStats_);
    SetViewThemeColors(this, [this] {
        grdStats_->SetThemeBackColor(App().ThemeBackColor);
        ShowBoxScoreColors();
    });
    grdStats_->setGeometry(px(10), GridTop(), px(800), px(400));
    connect(grdStats_, &Grid::ColumnClick, this, &StatsWindow::grdStats_ColumnClick);
    connect(grdStats_, &Grid::CellClick, this, [this](int row, int) { grdStats_RowChosen(row); });

    // The ranking's work grid, never shown: the clubs being ranked are kept in rankEntries_
    // and ordered by RankTeams, so it holds nothing.
    grdInvisible_ = new Grid(body);
    grdInvisible_->setObjectName("grdInvisible");
    grdInvisible_->hide();

    refreshButton_ = new QPushButton("Refresh", body);
    refreshButton_->setObjectName("Command2");
    SetViewRefresh(this, [this] { refreshButton_->click(); });
    refreshButton_->hide();
    connect(refreshButton_, &QPushButton::clicked, this, [this] { RefreshStats(); });
}

QAction* StatsWindow::AddItem(QMenu* menu, const char* name, const char* caption)
{
    QAction* action = menu->addAction(QString::fromLatin1(caption));
    action->setObjectName(QString::fromLatin1(name));
    items_[name] = action;
    return action;
}

QAction* StatsWindow::MenuItem(const std::string& name) const
{
    const auto it = items_.find(name);
    return it == items_.end() ? nullptr : it->second;
}

void StatsWindow::BuildMenus()
{
    QMenu* file = menuBar_->addMenu("&File");
    file->setObjectName("file");
    connect(AddItem(file, "print", "&Print"), &QAction::triggered, this, &StatsWindow::print_Click);
    connect(AddItem(file, "Html", "Export to &HTML"), &QAction::triggered, this, &StatsWindow::Html_Click);
    connect(AddItem(file, "exit", "E&xit"), &QAction::triggered, this, [] { UnloadAllForms(); });

    QMenu* view = menuBar_->addMenu("&View");
    view->setObjectName("V");
    connect(AddItem(view, "mnuStats", "&Stats"), &QAction::triggered, this, [this] { RefreshStats(); });
    QMenu* sims = view->addMenu("S&implified Stats");
    sims->setObjectName("SIMS");
    QAction* letters = AddItem(sims, "LETTS", "&Letters");
    letters->setCheckable(true);
    // The handlers keep the check marks themselves: undo the action's own toggle first.
    connect(letters, &QAction::triggered, this, [this, letters] {
        letters->setChecked(!letters->isChecked());
        LETTS_Click();
    });
    QAction* numbers = AddItem(sims, "NUMS", "&Numbers");
    numbers->setCheckable(true);
    connect(numbers, &QAction::triggered, this, [this, numbers] {
        numbers->setChecked(!numbers->isChecked());
        NUMS_Click();
    });

    auto statMenu = [this](QMenu* menu, StatMenu place) {
        for (const StatItem& item : StatItems()) {
            if (item.menu != place)
                continue;
            const int16_t code = item.code;
            connect(AddItem(menu, item.menuName, item.caption), &QAction::triggered, this,
                    [this, code] { StatItem_Click(code); });
        }
    };
    QMenu* totals = menuBar_->addMenu("&Totals");
    totals->setObjectName("totals");
    connect(AddItem(totals, "TTS", "&Team"), &QAction::triggered, this, &StatsWindow::TTS_Click);
    QMenu* o = totals->addMenu("&Offensive");
    o->setObjectName("O");
    statMenu(o, StatMenu::OffensiveTotals);
    QMenu* d = totals->addMenu("&Defensive");
    d->setObjectName("D");
    statMenu(d, StatMenu::DefensiveTotals);

    QMenu* averages = menuBar_->addMenu("&Averages");
    averages->setObjectName("AVE");
    connect(AddItem(averages, "TAS", "&Team"), &QAction::triggered, this, &StatsWindow::TAS_Click);
    QMenu* off = averages->addMenu("&Offensive");
    off->setObjectName("OFF");
    statMenu(off, StatMenu::OffensiveAverages);
    QMenu* def = averages->addMenu("&Defensive");
    def->setObjectName("AVDEF");
    statMenu(def, StatMenu::DefensiveAverages);

    QMenu* box = menuBar_->addMenu("&Boxscores");
    box->setObjectName("BXS");
    connect(AddItem(box, "BXST", "&Team"), &QAction::triggered, this, &StatsWindow::BXST_Click);
    connect(AddItem(box, "BXSW", "&Week"), &QAction::triggered, this, &StatsWindow::BXSW_Click);

    // Shown only as the popup of Boxscores > Week.
    weekMenu_ = new QMenu(this);
    weekMenu_->setObjectName("WEEKNUM");
    for (int i = 1; i <= 22; ++i) {
        char caption[16];
        std::snprintf(caption, sizeof caption, "Week %02d", i);
        const std::string name = "WK02_" + std::to_string(i);
        QAction* action = weekMenu_->addAction(QString::fromLatin1(caption));
        action->setObjectName(QString::fromStdString(name));
        action->setProperty("Index", i);
        items_[name] = action;
        connect(action, &QAction::triggered, this, [this, i] { WK02_Click(i); });
    }

    // Help stands apart at the right end of the menu bar.
    auto* helpBar = new QMenuBar(menuBar_);
    helpBar->setObjectName("mnuHelpBar");
    QAction* help = helpBar->addAction("&Help");
    help->setObjectName("Help");
    items_["Help"] = help;
    menuBar_->setCornerWidget(helpBar, Qt::TopRightCorner);
    connect(help, &QAction::triggered, this, &StatsWindow::Help_Click);
}

// ---------------------------------------------------------------- load, activation

// The heading, centred over the window, with a blank's room beyond its text so that a
// centred line's overhanging letters are not cut.
void StatsWindow::ShowHeading(const QString& text)
{
    lblHeading_->setText(text);
    lblHeading_->adjustSize();
    lblHeading_->resize(lblHeading_->width() + QFontMetrics(lblHeading_->font()).horizontalAdvance(QLatin1Char(' ')),
                        lblHeading_->height());
    lblHeading_->move((width() - lblHeading_->width()) / 2, lblHeading_->y());
}

void StatsWindow::FitGridToWindow()
{
    grdStats_->FitTextToView(gridFace_);
    int rows = 2 * grdStats_->frameWidth() + grdStats_->horizontalHeader()->height() + grdStats_->ShownRowsHeight();
    if (grdStats_->ShownColumnsWidth() > grdStats_->viewport()->width())
        rows += grdStats_->horizontalScrollBar()->sizeHint().height();
    const int room = grdStats_->parentWidget()->height() - grdStats_->y() - 10;
    grdStats_->resize(grdStats_->width(), std::max(grdStats_->horizontalHeader()->height() * 3, std::min(rows, room)));
}

void StatsWindow::Form_Load()
{
    if (loaded_)
        return;
    loaded_ = true;
    gridFace_ = grdStats_->font();
    SkipStep([&] {
        if (App().ThemeName.empty()) {
            QPalette palette = lblHeading_->palette();
            palette.setColor(QPalette::WindowText, Qt::white);
            lblHeading_->setPalette(palette);
        }
    });
    SkipStep([&] {
        resize_ = new cResizer(this);
        resize_->AddRule(cResizer::FullWidthMargin, this, 100, {grdStats_});
        const double below = Screen::PixelsToTwipsY(lblHeading_->y() + lblHeading_->height()) + 190;
        resize_->AddRule(cResizer::TopOffset, lblHeading_, static_cast<int32_t>(below), {grdStats_});
        // After every resize the grid shows its columns whole again.
        connect(resize_, &cResizer::AfterResizing, this, [this] { FitGridToWindow(); });
        resize_->TargetForm(this);
    });
}

void StatsWindow::Form_Activate()
{
    if (!loaded_)
        return;
    SkipStep([&] {
        cPop_.SetOwner(TheMain() ? static_cast<QWidget*>(TheMain()) : this);
        cPop_.SetImageList([](int index) {
            // The team logos stand at their team codes; the conference emblems are not installed.
            const std::string logo = TeamLogoPath(index);
            return !logo.empty() && FileExists(logo) ? QIcon(QString::fromStdString(logo)) : QIcon();
        });
    });
    SkipStep([&] { LoadTeamTree(); });
    RefreshStats();
}

void StatsWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    WatchFrameActivation();
}

void StatsWindow::WatchFrameActivation()
{
    if (frameWatched_)
        return;
    auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (!frame)
        return;
    frameWatched_ = true;
    // The window is activated when it becomes the active view again after another view was:
    // a dialog or the formula editor coming and going (the HTML export hides the editor)
    // leaves the view on screen as it is.
    if (QMdiArea* area = frame->mdiArea())
        connect(area, &QMdiArea::subWindowActivated, this, [this, frame](QMdiSubWindow* active) {
            if (active && active != frame)
                otherViewActive_ = true;
        });
    OnFrameActivated(this, [this] {
        if (activatedOnce_ && !otherViewActive_)
            return;
        activatedOnce_ = true;
        otherViewActive_ = false;
        Form_Activate();
    });
}

bool StatsWindow::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate && isWindow())
        Form_Activate();
    if (event->type() == QEvent::ParentChange)
        WatchFrameActivation();
    return QWidget::event(event);
}

void StatsWindow::LoadTeamTree()
{
    cPop_.Clear();
    for (int year : {2001, 2002}) {
        cPop_.Clear();
        const int afc = cPop_.AddItem("AFC", 33);
        const int nfc = cPop_.AddItem("NFC", 34);
        // The menus follow each alignment's own order; the shared order stays that of the
        // chosen week's season, which the standings and the rankings read.
        const auto divisions = Divisions(year);
        const auto order = DivisionOrderOf(year);
        for (int i = 0; i < static_cast<int>(order.size()); ++i) {
            const int code = order[static_cast<std::size_t>(i)];
            if (code == 0)
                continue;
            const int conference = i < 16 ? afc : nfc;
            for (const Division& division : divisions)
                if (division.First == i)
                    cPop_.AddItem(division.Name, -1, conference);
            cPop_.AddItem(TeamNameOf(code), code, conference, code);
        }
        cPop_.Store(year == 2001 ? "Team List" : "Team List2002");
    }
}

// ---------------------------------------------------------------- helpers

std::string StatsWindow::WeekItem(int index) const
{
    const auto& items = Season().WeekItems;
    if (index < 0 || static_cast<std::size_t>(index) >= items.size())
        throw VbError::Of(9);
    return items[static_cast<std::size_t>(index)];
}

std::string StatsWindow::TeamNameOf(int code) const
{
    try {
        return TeamName(code, 0, NameStyleAsShown);
    } catch (const VbError&) {
        return std::string();
    }
}

double StatsWindow::WindowWidthTwips() const { return Screen::PixelsToTwipsX(width()); }

int StatsWindow::CentredLeft(double gridTwips) const
{
    // A grid wider than the window (the sheet takes its width from the main window) starts at
    // the window's left edge rather than beyond it.
    return std::max(0, PixelsX(WindowWidthTwips() / 2 - gridTwips / 2));
}

int32_t StatsWindow::SheetCellBack() const { return ThemePictureExists() ? GridNoColor : White; }

// ---------------------------------------------------------------- weekly matchup sheet

void StatsWindow::RefreshStats()
{
    if (building_)
        return;
    building_ = true;
    AppState& app = App();
    const Formula& f = app.CurrentFormula;
    SkipStep([&] {
        // The formula's "Season To Date" slot: the editor's box writes it when it is clicked
        // and every refresh reads the box into it first.
        const bool seasonToDate = f[fsSeasonToDate] == 1;
        const bool discard = f[fsDiscardHighLow] == 1;
        std::string line1;
        try {
            line1 = SheetHeadingLine1(WeekItem(Whole(f[fsCurrentWeek]) - 1), seasonToDate, discard, f[fsRollingWeeks]);
        } catch (const VbError&) {
            line1 = SheetHeadingLine1("", seasonToDate, discard, f[fsRollingWeeks]);
        }
        ShowHeading(QString::fromStdString(line1 + "\r\n" + SheetHeadingLine2(f[fsSeparateHomeAway] == 1)));
    });
    grdStats_->SetRedraw(false);
    {
        CMouse mouse;
        SkipStep([&] { mouse.SetPointer(vbHourglass); });
        SkipStep([&] { SetupStatsColumns(); });
        SkipStep([&] { CalcWeekStats(); });
        SkipStep([&] {
            FitGridToWindow();
        });
        SkipStep([&] {
            if (ThemePictureExists())
                grdStats_->SetBackgroundPictureFile(QString::fromStdString(app.ThemePicture));
        });
    }
    grdStats_->SetRedraw(true);
    building_ = false;
}

void StatsWindow::SetupStatsColumns()
{
    if (ThemePictureExists())
        grdStats_->SetBackgroundPictureFile(QString::fromStdString(App().ThemePicture));
    const QMainWindow* main = MainWindow();
    const double mainTwips = Screen::PixelsToTwipsX(main ? main->width() : width());
    const double gridTwips = mainTwips * 0.95;
    grdStats_->setGeometry(CentredLeft(gridTwips), GridTop(), PixelsX(gridTwips), grdStats_->height());
    const int u = Whole(Screen::Width() > 9600 ? gridTwips / 15 : gridTwips / 15.5);
    if (grdStats_->Cols() == SheetColumns) {
        grdStats_->Clear();
        return;
    }
    grdStats_->Clear(true);
    grdStats_->AddColumn("1", TeamNameHeader, HdrAlignLeft, -1, Whole(u * TeamNameWidthFactor));
    const auto& columns = SheetColumnsFrom2();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const QString key = QString::number(static_cast<int>(i) + 2);
        const int w = Whole(u * columns[i].widthFactor);
        if (i + 2 == SheetColumns)
            grdStats_->AddColumn(key, columns[i].header, HdrAlignLeft, -1, w);
        else
            grdStats_->AddColumn(key, columns[i].header, HdrAlignLeft, -1, w, true, false, QString(), true, "0.0");
    }
}

void StatsWindow::CalcWeekStats()
{
    const Formula& f = App().CurrentFormula;
    const int w = Whole(f[fsCurrentWeek]);
    if (w < 1) {
        MsgBox(WeekCanNotBe0, vbOKOnly);
        return;
    }
    const SeasonData& season = Season();
    if (static_cast<std::size_t>(w) * WeekSlotStride > season.SeasonGames.size()) {
        // A week the loaded seasons do not hold: nothing to read.
        MsgBox(NotAvailableForWeek, vbExclamation, MissingStatsTitle);
        return;
    }
    const auto games = static_cast<int16_t>(Whole(f[fsRollingWeeks]));
    for (SheetGame = 0; SheetGame <= 15; ++SheetGame) {
        const int away = season.Game(w - 1, SheetGame, gfAwayTeam);
        const int home = season.Game(w - 1, SheetGame, gfHomeTeam);
        if (away + home == 0)
            continue;
        engine_.lastgame_team(static_cast<int16_t>(home), static_cast<int16_t>(w), games);
        engine_.lastgame_opponent(static_cast<int16_t>(away), static_cast<int16_t>(w), games);
    }
}

void StatsWindow::TSPredict1_Stats(Totals& teamTotals, Totals& oppTotals, Averages& teamAverages,
                                   Averages& oppAverages)
{
    const bool separate = App().CurrentFormula[fsSeparateHomeAway] != 0;
    const bool total = StatCode >= 1 && StatCode <= 25;
    const bool average = StatCode >= 100 && StatCode <= 499;
    if (total || average) {
        if (average && StatCode - 100 >= static_cast<int>(teamAverages.size()))
            return;
        const int r = static_cast<int>(rankEntries_.size());
        auto put = [&](int row, const Totals& t, const Averages& a, bool teamSide) {
            if (row < 1 || static_cast<std::size_t>(row) > rankEntries_.size())
                return;
            RankEntry& entry = rankEntries_[static_cast<std::size_t>(row - 1)];
            entry.games = t[18];
            entry.value = StatValue(StatCode, t, a, teamSide);
        };
        if (separate)
            put(r - 1, teamTotals, teamAverages, true);
        put(r, oppTotals, oppAverages, false);
        return;
    }
    if (StatCode > 1000) {
        if (AveragesMode)
            ShowTeamTable(TeamAverageRows(StatCode == 1001 ? oppAverages : teamAverages), true);
        else
            ShowTeamTable(TeamTotalRows(StatCode == 1001 ? oppTotals : teamTotals), false);
        return;
    }
    const bool letters = items_["LETTS"]->isChecked();
    const bool numbers = items_["NUMS"]->isChecked();
    if (!letters && !numbers)
        ShowStatsRaw(teamAverages, oppAverages);
    else if (numbers)
        ShowStatsProjected(teamAverages, oppAverages);
    else
        ShowStatsGrades(teamAverages, oppAverages);
}

void StatsWindow::ShowStatsRaw(const Averages& teamAverages, const Averages& oppAverages)
{
    const int h = Whole(RowPixels());
    const int32_t back = SheetCellBack();
    const int w = Whole(App().CurrentFormula[fsCurrentWeek]);
    const int away = Season().Game(w - 1, SheetGame, gfAwayTeam);
    const int home = Season().Game(w - 1, SheetGame, gfHomeTeam);
    // The rows of the away and the home club carry its code.
    const int teams[] = {away, 0, home, 0};
    int k = 0;
    for (const SheetRow& row : RawRows(teamAverages, oppAverages, TeamNameOf(away), TeamNameOf(home))) {
        grdStats_->AddRow(-1, teams[k++], true, h);
        const int r = grdStats_->Rows();
        grdStats_->SetCell(r, 1, QString::fromStdString(row.name), CellFlags, -1, back);
        for (int c = 0; c < 15; ++c)
            grdStats_->SetCell(r, c + 2, row.values[static_cast<std::size_t>(c)], CellFlags, -1, back);
        grdStats_->SetCell(r, 17, QString::fromStdString(row.possession), CellFlags, -1, back);
    }
}

void StatsWindow::ShowStatsProjected(const Averages& teamAverages, const Averages& oppAverages)
{
    const int h = Whole(RowPixels());
    const int w = Whole(App().CurrentFormula[fsCurrentWeek]);
    const int away = Season().Game(w - 1, SheetGame, gfAwayTeam);
    const int home = Season().Game(w - 1, SheetGame, gfHomeTeam);
    int team = away;
    for (const SheetRow& row : ProjectedRows(teamAverages, oppAverages, TeamNameOf(away), TeamNameOf(home))) {
        grdStats_->AddRow(-1, std::exchange(team, home), true, h);
        const int r = grdStats_->Rows();
        grdStats_->SetCellValue(r, 1, QString::fromStdString(row.name));
        for (int c = 0; c < 15; ++c)
            grdStats_->SetCellValue(r, c + 2, row.values[static_cast<std::size_t>(c)]);
        grdStats_->SetCellValue(r, 17, QString::fromStdString(row.possession));
    }
}

void StatsWindow::ShowStatsGrades(const Averages& teamAverages, const Averages& oppAverages)
{
    const int h = Whole(RowPixels());
    const int w = Whole(App().CurrentFormula[fsCurrentWeek]);
    const int away = Season().Game(w - 1, SheetGame, gfAwayTeam);
    const int home = Season().Game(w - 1, SheetGame, gfHomeTeam);
    int team = away;
    for (const GradeRow& row : GradeRows(teamAverages, oppAverages, TeamNameOf(away), TeamNameOf(home))) {
        grdStats_->AddRow(-1, std::exchange(team, home), true, h);
        const int r = grdStats_->Rows();
        grdStats_->SetCellValue(r, 1, QString::fromStdString(row.name));
        for (int c = 0; c < 16; ++c)
            grdStats_->SetCellValue(r, c + 2, QString::fromStdString(row.grades[static_cast<std::size_t>(c)]));
    }
}

void StatsWindow::LETTS_Click()
{
    QAction* letters = items_["LETTS"];
    QAction* numbers = items_["NUMS"];
    if (letters->isChecked()) {
        letters->setChecked(false);
    } else {
        numbers->setChecked(false);
        letters->setChecked(true);
    }
    RefreshStats();
}

void StatsWindow::NUMS_Click()
{
    QAction* letters = items_["LETTS"];
    QAction* numbers = items_["NUMS"];
    if (numbers->isChecked()) {
        numbers->setChecked(false);
    } else {
        letters->setChecked(false);
        numbers->setChecked(true);
    }
    RefreshStats();
}

// ---------------------------------------------------------------- league ranking

void StatsWindow::StatItem_Click(int16_t code)
{
    const StatItem* item = StatItemByCode(code);
    if (!item)
        return;
    if (item->warning != StatWarning::None) {
        std::string weekText;
        SkipStep([&] {
            if (Main* main = TheMain())
                weekText = main->cboWeek()->currentText().toStdString();
            if (weekText.empty())
                weekText = WeekItem(Whole(App().CurrentFormula[fsCurrentWeek]) - 1);
        });
        if (vb::Val(vb::Right(weekText, 4)) < 1995)
            MsgBox(WarningText(item->warning), vbInformation | vbOKOnly, WarningTitle);
    }
    ShowHeading(QString::fromLatin1(item->heading));
    StatCode = code;
    RankStat();
}

void StatsWindow::AddRankRow(int team)
{
    rankEntries_.push_back(RankEntry{TeamNameOf(team), std::nullopt, std::nullopt, team});
}

void StatsWindow::RankStat()
{
    AppState& app = App();
    const Formula& f = app.CurrentFormula;
    const int h = Whole(RowPixels());
    const auto week = static_cast<int16_t>(Whole(f[fsCurrentWeek]));
    const auto games = static_cast<int16_t>(Whole(f[fsRollingWeeks]));
    const bool separate = f[fsSeparateHomeAway] != 0;
    const bool possession = IsPossessionCode(StatCode);
    grdStats_->SetRedraw(false);
    SkipStep([&] {
        rankEntries_.clear();
        if (!separate) {
            for (int t = 1; t < static_cast<int>(DivisionOrder().size()); ++t) {
                AddRankRow(t);
                engine_.lastgame_opponent(static_cast<int16_t>(t), week, games);
            }
        } else if (week >= 1 && static_cast<std::size_t>(week) * WeekSlotStride <= Season().SeasonGames.size()) {
            const SeasonData& season = Season();
            for (int g = 0; g < GamesPerWeekSlot; ++g) {
                if (season.Game(week - 1, g, gfAwayScore) + season.Game(week - 1, g, gfHomeScore) == 0)
                    continue;
                const auto home = season.Game(week - 1, g, gfHomeTeam);
                const auto away = season.Game(week - 1, g, gfAwayTeam);
                AddRankRow(home);
                AddRankRow(away);
                engine_.lastgame_team(home, week, games);
                engine_.lastgame_opponent(away, week, games);
            }
        }
    });
    SkipStep([&] {
        grdStats_->Clear(true);
        if (ThemePictureExists())
            grdStats_->SetBackgroundPictureFile(QString::fromStdString(app.ThemePicture));
        const double gridTwips = 0.75 * WindowWidthTwips();
        grdStats_->setGeometry(CentredLeft(gridTwips), GridTop(), PixelsX(gridTwips),
                               grdStats_->height());
        const double pixels = gridTwips / Screen::TwipsPerPixelX();
        for (std::size_t i = 0; i < std::size(RankColumns); ++i) {
            const RankColumn& c = RankColumns[i];
            const QString format = c.stat && !possession ? QString("0.0") : QString();
            grdStats_->AddColumn(QString::number(static_cast<int>(i) + 1), c.header, HdrAlignLeft, -1,
                                 Whole(pixels * c.factor), true, false, QString(), true, format);
        }
    });
    const Ranking ranking = RankTeams(rankEntries_, StatCode);
    SkipStep([&] {
        for (std::size_t k = 0; k < ranking.ordered.size(); ++k) {
            const RankEntry& e = ranking.ordered[k];
            int row = 0, col = 0;
            if (static_cast<int>(k) < ranking.leftRows) {
                grdStats_->AddRow(-1, e.team, true, h);
                row = grdStats_->Rows();
                col = 1;
            } else {
                row = static_cast<int>(k) + 1 - ranking.leftRows;
                col = 5;
            }
            grdStats_->SetCellValue(row, col, QString::fromStdString(e.name));
            if (e.games)
                grdStats_->SetCellValue(row, col + 1, *e.games);
            if (e.value) {
                if (possession)
                    grdStats_->SetCellValue(row, col + 2, QString::fromStdString(RankingPossessionText(*e.value)));
                else
                    grdStats_->SetCellValue(row, col + 2, *e.value);
            }
        }
    });
    SkipStep([&] { FitGridToWindow(); });
    SkipStep([&] {
        if (!ranking.average)
            return;
        const int last = grdStats_->Rows();
        if (last < 1 || !grdStats_->CellFormattedText(last, 5).isEmpty())
            grdStats_->AddRow(-1, 0, true, h);
        const int row = grdStats_->Rows();
        grdStats_->SetCell(row, 5, separate ? "Average" : "League Ave.", CellFlags, -1, GridNoColor, Red);
        if (possession)
            grdStats_->SetCell(row, 7, QString::fromStdString(RankingPossessionText(*ranking.average)));
        else
            grdStats_->SetCell(row, 7, *ranking.average, CellFlags, -1, GridNoColor, Red);
    });
    StatCode = 0;
    grdStats_->SetRedraw(true);
}

void StatsWindow::grdStats_ColumnClick(int column)
{
    if (grdStats_->Cols() != SheetColumns) {
        grdStats_->SetRedraw(false);
        RefreshStats();
        return;
    }
    const StatItem* item = StatItemBySheetColumn(column);
    if (!item)
        return;
    grdStats_->SetRedraw(false);
    StatItem_Click(item->code);
}

// ---------------------------------------------------------------- one team's table

void StatsWindow::ChooseTeamThenShow(bool averages)
{
    AveragesMode = averages;
    cPop_.Restore(Season().WeekSeason >= 2002 ? "Team List2002" : "Team List");
    QPoint at = mapToGlobal(QPoint(PixelsX(1800), 0));
    if (Main* main = TheMain())
        at = main->picture1()->mapToGlobal(QPoint(PixelsX(1800), 0));
    const int chosen = cPop_.ShowPopupMenu(at);
    if (chosen < 1 || chosen > cPop_.Count())
        return;
    // The club of the entry chosen: two may share the name it shows.
    const int code = cPop_.Items()[static_cast<std::size_t>(chosen - 1)].key;
    MenuTeam = static_cast<int16_t>(code > 0 ? code : 0);
    if (MenuTeam == 0) {
        MsgBox(NoStatsAvailable, vbOKOnly);
        return;
    }
    ShowHeading(QString::fromStdString(TeamTableHeading(TeamNameOf(MenuTeam), App().CurrentFormula[fsRollingWeeks])));
    CalcTeamStats(MenuTeam);
}

void StatsWindow::TAS_Click() { ChooseTeamThenShow(true); }
void StatsWindow::TTS_Click() { ChooseTeamThenShow(false); }

void StatsWindow::CalcTeamStats(int16_t team)
{
    const Formula& f = App().CurrentFormula;
    const auto week = static_cast<int16_t>(Whole(f[fsCurrentWeek]));
    const auto games = static_cast<int16_t>(Whole(f[fsRollingWeeks]));
    grdStats_->SetRedraw(false);
    StatCode = 1001;
    teamTableShown_ = false;
    SkipStep([&] {
        bool asked = false;
        const SeasonData& season = Season();
        if (week >= 1 && static_cast<std::size_t>(week) * WeekSlotStride <= season.SeasonGames.size()) {
            for (int g = 0; g < GamesPerWeekSlot && !asked; ++g) {
                if (season.Game(week - 1, g, gfAwayTeam) == team) {
                    engine_.lastgame_opponent(team, week, games);
                    asked = true;
                } else if (season.Game(week - 1, g, gfHomeTeam) == team) {
                    engine_.lastgame_team(team, week, games);
                    engine_.lastgame_opponent(team, week, games);
                    asked = true;
                }
            }
        }
        if (!asked)
            engine_.lastgame_opponent(team, week, games);
    });
    StatCode = 0;
    // A club without a counted game has no table: the previous club's must not stay under
    // this club's heading.
    if (!teamTableShown_)
        grdStats_->Clear(true);
    SkipStep([&] {
        const std::string logo = TeamLogoPath(team);
        if (!logo.empty() && !App().ThemePicture.empty() && FileExists(logo))
            grdStats_->SetBackgroundPictureFile(QString::fromStdString(logo));
    });
    grdStats_->resize(grdStats_->width(), PixelsY(RowsTwips(grdStats_->Rows())));
    grdStats_->SetRedraw(true);
}

void StatsWindow::ShowTeamTable(const std::array<TeamTableRow, 8>& rows, bool averages)
{
    teamTableShown_ = true;
    const int h = Whole(RowPixels());
    grdStats_->Clear(true);
    const double gridTwips = 0.5 * WindowWidthTwips();
    grdStats_->setGeometry(CentredLeft(gridTwips), GridTop(), PixelsX(gridTwips),
                           grdStats_->height());
    const double g = gridTwips / 15;
    grdStats_->AddColumn("1", averages ? AverageStatsHeader : TotalStatsHeader, HdrAlignLeft, -1, Whole(g * 0.5));
    if (averages) {
        grdStats_->AddColumn("2", "Offense", HdrAlignLeft, -1, Whole(g * 0.24), true, false, QString(), true, "0.0");
        grdStats_->AddColumn("3", "Defense", HdrAlignLeft, -1, Whole(g * 0.24), true, false, QString(), true, "0.0");
    } else {
        grdStats_->AddColumn("2", "Offense", HdrAlignLeft, -1, Whole(g * 0.24));
        grdStats_->AddColumn("3", "Defense", HdrAlignLeft, -1, Whole(g * 0.24));
    }
    for (const TeamTableRow& row : rows) {
        grdStats_->AddRow(-1, 0, true, h);
        const int r = grdStats_->Rows();
        grdStats_->SetCellValue(r, 1, QString::fromLatin1(row.label));
        grdStats_->SetCellValue(r, 2, row.offense);
        grdStats_->SetCellValue(r, 3, row.defense);
    }
}

// ---------------------------------------------------------------- box scores

void StatsWindow::AddBoxRows(const BoxGame& game, int32_t back, bool weekRow)
{
    const int h = Whole(RowPixels());
    const SeasonData& season = Season();
    if (weekRow) {
        const std::string label = WeekItem(game.weekSlot);
        grdStats_->AddRow(-1, 0, true, h);
        grdStats_->SetCell(grdStats_->Rows(), 1, QString::fromStdString(label), CellFlags, -1, back);
    }
    for (bool away : {true, false}) {
        const int code = season.Game(game.weekSlot, game.gameSlot, away ? gfAwayTeam : gfHomeTeam);
        const auto cells = BoxScoreCells(game, away);
        grdStats_->AddRow(-1, code, true, h);
        const int r = grdStats_->Rows();
        grdStats_->SetCell(r, 1, QString::fromStdString(TeamNameOf(code)), CellFlags, -1, back);
        for (int c = 0; c < 10; ++c)
            grdStats_->SetCell(r, c + 2, QString::fromStdString(cells[static_cast<std::size_t>(c)]), CellFlags, -1,
                               back);
    }
    grdStats_->AddRow(-1, 0, true, h);
}

// The games' colours again after a theme change, by the rule that filled them: which game is
// white follows the new theme's colour (a black theme starts with a white game), as a new
// fill would show them.
void StatsWindow::ShowBoxScoreColors()
{
    if (boxGames_.empty() || grdStats_->Cols() != static_cast<int>(std::size(BoxColumns)))
        return;
    const bool redraw = grdStats_->Redraw();
    grdStats_->SetRedraw(false);
    int32_t c = 0;
    const bool picture = ThemePictureExists();
    for (const BoxGameRows& game : boxGames_) {
        const int32_t back = NextBoxBack(c, App().ThemeBackColor, picture);
        int row = game.firstRow;
        if (game.weekRow)
            grdStats_->SetCellBackColor(row++, 1, back);
        for (const int last = row + 2; row < last && row <= grdStats_->Rows(); ++row)
            for (int col = 1; col <= grdStats_->Cols(); ++col)
                grdStats_->SetCellBackColor(row, col, back);
    }
    grdStats_->SetRedraw(redraw);
}

void StatsWindow::ShowBoxScores(int16_t week, int16_t team, int16_t opponent)
{
    AppState& app = App();
    const double gridTwips = 0.8 * WindowWidthTwips();
    grdStats_->setGeometry(CentredLeft(gridTwips), GridTop(), PixelsX(gridTwips),
                           grdStats_->height());
    grdStats_->SetRedraw(false);
    try {
        if (grdStats_->Cols() == static_cast<int>(std::size(BoxColumns))) {
            grdStats_->Clear();
        } else {
            grdStats_->Clear(true);
            for (std::size_t i = 0; i < std::size(BoxColumns); ++i)
                grdStats_->AddColumn(QString::number(static_cast<int>(i) + 1), BoxColumns[i].header, HdrAlignLeft, -1,
                                     Whole(gridTwips / 15 * BoxColumns[i].factor));
        }
        grdStats_->SetThemeBackColor(app.ThemeBackColor);
        boxGames_.clear();
        int32_t c = 0;
        const bool picture = ThemePictureExists();
        QString heading;
        auto addGame = [&](const BoxGame& game, bool weekRow) {
            const int first = grdStats_->Rows() + 1;
            AddBoxRows(game, NextBoxBack(c, app.ThemeBackColor, picture), weekRow);
            boxGames_.push_back({first, weekRow});
        };
        if (week < 1) {
            // The club's logo stands behind its games when it is installed; the games are
            // listed either way.
            const std::string logo = TeamLogoPath(team);
            if (!logo.empty() && !app.ThemePicture.empty() && FileExists(logo))
                grdStats_->SetBackgroundPictureFile(QString::fromStdString(logo));
            heading = QString::fromStdString(TeamNameOf(team) + " BOXSCORES");
            for (const BoxGame& game : TeamBoxGames(team, opponent, Whole(app.CurrentFormula[fsCurrentWeek])))
                addGame(game, true);
        } else {
            if (ThemePictureExists())
                grdStats_->SetBackgroundPictureFile(QString::fromStdString(app.ThemePicture));
            heading = QString::fromStdString("BOXSCORES FOR " + WeekItem(week - 1));
            for (const BoxGame& game : WeekBoxGames(week - 1))
                addGame(game, false);
        }
        ShowHeading(heading);
        double height = 0.6 * Screen::Height();
        const int n = grdStats_->Rows();
        const double fitted = RowsTwips(n);
        if (n >= 1 && fitted < height)
            height = fitted;
        grdStats_->resize(grdStats_->width(), PixelsY(height));
    } catch (const VbError& e) {
        grdStats_->SetRedraw(true);
        if (e.Number() == 5 || e.Number() == 6 || e.Number() == 11)
            MsgBox(NotAvailableForWeek, vbExclamation, MissingStatsTitle);
        else
            MsgBox(NoStatsFound, vbOKOnly);
        return;
    } catch (const std::exception&) {
        grdStats_->SetRedraw(true);
        MsgBox(NoStatsFound, vbOKOnly);
        return;
    }
    grdStats_->SetRedraw(true);
}

void StatsWindow::BXST_Click()
{
    cPop_.Restore(Season().WeekSeason >= 2002 ? "Team List2002" : "Team List");
    QPoint at = mapToGlobal(QPoint(PixelsX(2800), 0));
    if (Main* main = TheMain())
        at = main->picture1()->mapToGlobal(QPoint(PixelsX(2800), 0));
    const int chosen = cPop_.ShowPopupMenu(at);
    if (chosen < 1 || chosen > cPop_.Count())
        return;
    const int code = cPop_.Items()[static_cast<std::size_t>(chosen - 1)].key;
    MenuTeam = static_cast<int16_t>(code > 0 ? code : 0);
    if (MenuTeam == 0) {
        MsgBox(NoStatsAvailable, vbOKOnly);
        return;
    }
    ShowBoxScores(0, MenuTeam, 0);
}

void StatsWindow::BXSW_Click()
{
    WeekMenuUp = true;
    weekMenu_->exec(QCursor::pos());
    WeekMenuUp = false;
}

void StatsWindow::WK02_Click(int index)
{
    if (!WeekMenuUp) {
        RefreshStats();
        return;
    }
    // The item's number is the week's, of the newest loaded season.
    const int slot = index < 1 || index > 22 ? -1 : LoadedWeekSlot(Season().SeasonYear, index);
    if (slot < 0) {
        MsgBox(NoStatsFound, vbOKOnly);
        return;
    }
    ShowBoxScores(static_cast<int16_t>(slot + 1), 0, 0);
}

void StatsWindow::grdStats_RowChosen(int row)
{
    if (row < 1 || row > grdStats_->Rows())
        return;
    // A club's row carries its code; the other rows none.
    const int key = grdStats_->RowKey(row).toInt();
    const auto team = static_cast<int16_t>(key > 0 ? key : 0);
    if (grdStats_->Cols() == SheetColumns) {
        GridTeam = team;
        if (GridTeam > 0)
            ShowBoxScores(0, GridTeam, 0);
        return;
    }
    if (GridTeam < 1) {
        RefreshStats();
        return;
    }
    ShowBoxScores(0, GridTeam, team);
    GridTeam = 0;
}

// ---------------------------------------------------------------- File and Help

void StatsWindow::print_Click()
{
    float scale = 0;
    PrintGrid(*grdStats_, lblHeading_->text().toStdString() + "\r\n" + TodayDateText(), "", nullptr, true, true, scale, 0);
}

void StatsWindow::Html_Click()
{
    const std::filesystem::path page = App().UserFolder / HtmlFileName;
    // The heading is text (team names); the footer is markup.
    const std::string heading = HtmlEscape(lblHeading_->text().toStdString());
    const std::string footer = "These Statistics are being brought to you by: <A HREF=\"" +
                               HtmlEscape(WebSiteAddress()) + "\"> Vexal </A>";
    int16_t fontSize = 0;
    if (!GridToHTML(*grdStats_, page, HtmlTitle, heading, footer, fontSize, true, false))
        return;
    HideFormulaEditor();
    ShellOpen(page.string(), 4);
}

void StatsWindow::Help_Click() { ShowHelpTopic("Stats.htm"); }

} // namespace vexal
