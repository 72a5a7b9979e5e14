#include "StandingsWindow.h"
#include "ReadableText.h"

#include "Steps.h"
#include "UpdateChecker.h"
#include "UpdateNoticeHandler.h"

#include "AppMenu.h"
#include "AppState.h"
#include "CMouse.h"
#include "Clock.h"
#include "Chart.h"
#include "Grid.h"
#include "GridPage.h"
#include "GridReports.h"
#include "Main.h"
#include "ExceptionFilter.h"
#include "MsgBox.h"
#include "Screen.h"
#include "SeasonData.h"
#include "SettingsStore.h"
#include "SharedProcs.h"
#include "Teams.h"
#include "VbConvert.h"
#include "VbError.h"
#include "ViewFrame.h"
#include "WindowNames.h"
#include "Windows.h"
#include "cResizer.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontMetrics>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace vexal {

namespace {

constexpr int CellFlags = 0x40020;          // single line, word ellipsis
constexpr int32_t Red = 0x0000FF;
constexpr int32_t Blue = 0xFF0000;
constexpr int32_t Green = 0x008000;
constexpr int32_t DarkBlue = 0xC00000;
constexpr int32_t Silver = 0xC0C0C0;
constexpr int32_t White = 0xFFFFFF;
constexpr int32_t ButtonFace = static_cast<int32_t>(0x8000000F);

// Design geometry in twips.
QRect Twips(int left, int top, int width, int height)
{
    return QRect(left / 15, top / 15, width / 15, height / 15);
}

using standings::AfcColumn;
using standings::BlockColumns;
using standings::NfcColumn;
using standings::SpacerColumn;
using standings::StandingsRow;

// What a click on a standings column opens for the team of its row.
enum class Opens { Schedule, PointsChart };

// The columns of one conference block, left to right: the team, whose heading is its
// division's name, then its figures. A new standings column is one entry here (and one more
// in standings::BlockColumns).
struct BlockColumn {
    const char* header;
    double share;
    Opens opens;
    QVariant (*cell)(const StandingsRow& row);
};
constexpr BlockColumn Block[] = {
    {"", 0.18, Opens::Schedule,
     [](const StandingsRow& r) -> QVariant { return QString::fromStdString(TeamName(r.Team, 0, NameStyleAsShown)); }},
    {"W-L-T", 0.10, Opens::Schedule,
     [](const StandingsRow& r) -> QVariant { return QString::fromStdString(r.Record.StraightText()); }},
    {"W-L(ATS)", 0.10, Opens::Schedule,
     [](const StandingsRow& r) -> QVariant { return QString::fromStdString(r.Record.AtsText()); }},
    {"PF", 0.05, Opens::PointsChart,
     [](const StandingsRow& r) -> QVariant { return static_cast<int>(r.Record.PointsFor); }},
    {"PA", 0.05, Opens::PointsChart,
     [](const StandingsRow& r) -> QVariant { return static_cast<int>(r.Record.PointsAgainst); }},
};
static_assert(std::size(Block) == BlockColumns);
constexpr double SpacerShare = 0.03;

// The schedule grid's team columns.
constexpr int ScheduleAwayColumn = 2;
constexpr int ScheduleHomeColumn = 4;

// The block column a grid column shows, or nothing for the spacer and columns past the grid.
const BlockColumn* BlockColumnAt(int col)
{
    for (int first : {AfcColumn, NfcColumn})
        if (col >= first && col < first + BlockColumns)
            return &Block[col - first];
    return nullptr;
}

struct HeaderRow {
    int row;
    const char* afc;
    const char* nfc;
};
constexpr HeaderRow Headers1970[] = {{1, "AFC East", "NFC East"}, {7, "AFC Central", "NFC Central"},
                                     {14, "AFC West", "NFC West"}};
constexpr HeaderRow Headers2002[] = {{1, "AFC East", "NFC East"}, {6, "AFC North", "NFC North"},
                                     {11, "AFC South", "NFC South"}, {16, "AFC West", "NFC West"}};

std::string CurrentWeekItem()
{
    const int week = static_cast<int>(App().CurrentFormula[fsCurrentWeek]);
    const auto& items = Season().WeekItems;
    if (week >= 1 && static_cast<std::size_t>(week) <= items.size())
        return items[static_cast<std::size_t>(week - 1)];
    return std::string();
}

std::string Footer()
{
    std::string address = HtmlEscape(WebSiteAddress());
    // The address stands in single quotes.
    for (auto at = address.find('\''); at != std::string::npos; at = address.find('\''))
        address.replace(at, 1, "%27");
    return "These Statistics are being brought to you by: <A HREF='" + address + "'> Vexal </A>";
}

int32_t ResultColor(const std::string& text)
{
    const std::string word = text.substr(0, text.find('/'));
    if (word == "WIN")
        return Green;
    if (word == "PUSH")
        return Blue;
    return Red;
}

} // namespace

StandingsWindow::StandingsWindow(QWidget* owner) : QWidget(owner)
{
    setObjectName(WindowName::Standings);
    setWindowTitle("Standings");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    menuBar_ = new QMenuBar(this);
    layout->setMenuBar(menuBar_);

    QMenu* file = menuBar_->addMenu("&File");
    file->setObjectName("mnuFile");
    auto item = [this](QMenu* menu, const char* name, const char* caption, std::function<void()> handler) {
        return AddMenuItem(menu, name, caption, this, std::move(handler));
    };
    auto style = [this](QMenu* menu, const char* name, const char* caption, std::function<void()> handler) {
        return AddStyleItem(menu, name, caption, this, std::move(handler));
    };
    item(file, "mnuPrint", "&Print", [this] { mnuPrint_Click(); });
    item(file, "mnuHTMLPrint", "&HTML Print", [this] { mnuHTMLPrint_Click(); });
    item(file, "mnuExport", "&Export to HTML", [this] { mnuExport_Click(); });
    AddApplicationItem(file, "mnuToolBarText");
    AddApplicationItem(file, "mnuExit");

    QMenu* graph = menuBar_->addMenu("&Graph Style");
    graph->setObjectName("mnGraph");
    mnuLine_ = style(graph, "mnuLine", "&Line", [this] { mnuLine_Click(); });
    mnuBar_ = style(graph, "mnuBar", "&Bar", [this] { mnuBar_Click(); });
    mnuStacked_ = style(graph, "mnuStacked", "&Stacked Bar", [this] { mnuStacked_Click(); });
    mnuPoint_ = style(graph, "mnuPoint", "&Point", [this] { mnuPoint_Click(); });
    for (QAction* a : {mnuLine_, mnuBar_, mnuStacked_, mnuPoint_})
        a->setCheckable(true);
    mnuLine_->setChecked(true);

    QMenu* help = menuBar_->addMenu("Help");
    help->setObjectName("mnusubHelp");
    AddApplicationItem(help, "mnuHelpOnline");
    AddApplicationItem(help, "mnuHelp");
    QAction* checkForUpdate = help->addAction("&Check for Update");
    checkForUpdate->setObjectName("mnuCheckforUpdate");
    connect(checkForUpdate, &QAction::triggered, this, [this] {
        // The version checker lives on this window once asked for, and shows its answer.
        auto* update = findChild<UpdateChecker*>("update");
        if (!update) {
            update = new UpdateChecker(this);
            update->setObjectName("update");
            update->hide();
            ConnectUpdateNotice(update);
        }
        update->Check();
    });
    for (const char* name : {"mnuEmail", "mnuWeb", "mnuAbout"})
        AddApplicationItem(help, name);

    body_ = new QWidget(this);
    body_->setObjectName("body");
    body_->setMinimumSize(9435 / 15, 4515 / 15);
    layout->addWidget(body_);
    const QFont tahoma("Tahoma");
    chkFavorite_ = new QCheckBox("Favorite", body_);
    chkFavorite_->setObjectName("chkFavorite");
    chkFavorite_->setFont(tahoma);
    chkFavorite_->setGeometry(Twips(900, 0, 1875, 315));
    chkDog_ = new QCheckBox("UnderDog", body_);
    chkDog_->setObjectName("chkDog");
    chkDog_->setFont(tahoma);
    chkDog_->setGeometry(Twips(3180, 0, 1995, 315));
    cboSi_ = new QComboBox(body_);
    cboSi_->setObjectName("cboSi");
    cboSi_->setFont(tahoma);
    cboSi_->setPlaceholderText("All");
    cboSi_->setGeometry(Twips(5820, 0, 1995, 315));
    allgames_ = new QCheckBox("All Games", body_);
    allgames_->setObjectName("allgames");
    allgames_->setGeometry(Twips(6240, 3360, 1740, 285));
    allgames_->hide();
    cmdUpdate_ = new QPushButton("cmdUpdate", body_);
    cmdUpdate_->setObjectName("cmdUpdate");
    SetViewRefresh(this, [this] { cmdUpdate_->click(); });
    cmdUpdate_->setGeometry(Twips(3360, 3800, 1095, 615));
    cmdUpdate_->hide();
    grdTeam_ = new Grid(body_);
    grdTeam_->setObjectName("grdTeam");
    SetViewPicture(this, grdTeam_);
    SetViewThemeColors(this, [this] { grdTeam_->SetThemeBackColor(App().ThemeBackColor); });
    grdTeam_->setFont(tahoma);
    grdTeam_->SetHeader(false);
    grdTeam_->setShowGrid(true);
    grdTeam_->setGeometry(Twips(480, 240, 8325, 3165));
    grdTeam_->hide();
    grdSched_ = new Grid(body_);
    grdSched_->setObjectName("grdSched");
    grdSched_->setFont(tahoma);
    grdSched_->setGeometry(Twips(120, 360, 8775, 2655));
    grdSched_->hide();
    pointsChart_ = new Chart(body_);
    pointsChart_->setObjectName("Graph1");
    pointsChart_->setGeometry(Twips(2040, 840, 3255, 2055));
    // Weeks not yet played, or a bye before them, leave a team's chart with no points to scale.
    pointsChart_->SetNothingToScaleDrawn(true);
    pointsChart_->hide();

    connect(chkFavorite_, &QCheckBox::stateChanged, this, [this] { chkFavorite_Click(); });
    connect(chkDog_, &QCheckBox::stateChanged, this, [this] { chkDog_Click(); });
    connect(cboSi_, qOverload<int>(&QComboBox::activated), this, [this] { RefreshStandings(); });
    connect(allgames_, &QCheckBox::clicked, this, [this] { RefreshStandings(); });
    connect(cmdUpdate_, &QPushButton::clicked, this, [this] { RefreshStandings(); });
    connect(grdTeam_, &Grid::CellClick, this, [this](int r, int c) {
        // The chosen cell is the grid's current cell: a refresh shows its schedule again.
        grdTeam_->SetSelection(r, c);
        grdTeam_CellChosen(r, c);
    });
    connect(grdSched_, &Grid::CellClick, this, [this](int r, int c) { grdSched_CellChosen(r, c); });
    connect(grdSched_, &Grid::ColumnClick, this, [this](int c) { grdSched_ColumnClick(c); });
    connect(grdSched_, &Grid::MouseDown, this, [this](int button, int, int, int) { grdSched_MouseDown(button); });
    connect(pointsChart_, &Chart::Click, this, [this] { pointsChart_->hide(); });
    resize(9435 / 15, 4515 / 15 + menuBar_->sizeHint().height());
}

StandingsWindow::~StandingsWindow() = default;

void StandingsWindow::Form_Load()
{
    if (loaded_)
        return;
    loaded_ = true;
    SkipStep([&] {
        for (const char* text : standings::FilterItems)
            cboSi_->addItem(QString::fromLatin1(text));
        cboSi_->setCurrentIndex(-1);
    });
    SkipStep([&] { TakeMainPicture({chkFavorite_, chkDog_}, PictureOn::Window); });
    int32_t measure = 280;
    SkipStep([&] {
        const double screen = Screen::Width();
        measure = screen > 12000 ? 400 : (screen > 9600 ? 340 : 280);
    });
    SkipStep([&] {
        const int gridWidth = vb::Whole(0.9 * width());
        grdTeam_->setGeometry(body_->width() / 2 - gridWidth / 2, grdTeam_->y(), gridWidth, grdTeam_->height());
    });
    SkipStep([&] {
        resize_ = new cResizer(this);
        resize_->AddPropotional(body_, {grdTeam_, chkFavorite_, chkDog_, cboSi_});
        resize_->AddFontResizing(body_, {grdTeam_});
        resize_->AddRule(cResizer::EqualWidths, body_, measure, {chkFavorite_, chkDog_, cboSi_});
        resize_->AddMaxHeight(measure, {chkFavorite_, chkDog_, cboSi_});
        resize_->AddRule(cResizer::BottomMargin, body_, 100, {grdTeam_});
        // After every resize the grids show their columns whole again, and the schedule keeps
        // the standings grid's place.
        connect(resize_, &cResizer::AfterResizing, this, [this] { FitGridsToView(); });
        resize_->TargetForm(body_);
    });
    SkipStep([&] {
        const std::string type = GetSetting(pref::GraphType);
        if (type == "0") {
            mnuBar_->setChecked(true);
            mnuLine_->setChecked(false);
        } else if (type == "1") {
            mnuLine_->setChecked(true);
        } else if (type == "2") {
            mnuStacked_->setChecked(true);
            mnuLine_->setChecked(false);
        } else {
            mnuPoint_->setChecked(true);
            mnuLine_->setChecked(false);
        }
    });
}

void StandingsWindow::Form_Activate()
{
    if (!loaded_)
        return;
    RefreshStandings();
    grdTeam_->show();
}

void StandingsWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    WatchFrameActivation();
}

void StandingsWindow::WatchFrameActivation()
{
    // The frame is activated before the main window has given it its size; the grid's
    // layout is taken from its size, so the refresh runs once the sizing is done.
    if (!frameWatched_)
        frameWatched_ = OnFrameActivated(this, [this] { QTimer::singleShot(0, this, [this] { Form_Activate(); }); });
}

bool StandingsWindow::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate && isWindow())
        Form_Activate();
    if (event->type() == QEvent::ParentChange)
        WatchFrameActivation();
    return QWidget::event(event);
}

void StandingsWindow::closeEvent(QCloseEvent* event)
{
    // The style the user chose is the checked entry, whether or not a chart was drawn.
    int32_t type = pointsChart_->ChartType();
    if (mnuBar_->isChecked())
        type = Chart::Bar;
    else if (mnuLine_->isChecked())
        type = Chart::Line;
    else if (mnuStacked_->isChecked())
        type = Chart::StackedBar;
    else if (mnuPoint_->isChecked())
        type = Chart::Point;
    SaveSetting(pref::GraphType, std::to_string(type));
    event->accept();
}

// ---- Filters and refresh -----------------------------------------------------------------

void StandingsWindow::chkDog_Click()
{
    if (chkDog_->isChecked()) {
        if (chkFavorite_->isChecked())
            chkFavorite_->setChecked(false);
        RefreshStandings();
    } else if (!chkFavorite_->isChecked()) {
        RefreshStandings();
    }
}

void StandingsWindow::chkFavorite_Click()
{
    if (chkFavorite_->isChecked()) {
        if (chkDog_->isChecked())
            chkDog_->setChecked(false);
        RefreshStandings();
    } else if (!chkDog_->isChecked()) {
        RefreshStandings();
    }
}

float StandingsWindow::TeaserPoints() const
{
    return standings::TeaserPoints(cboSi_->currentText().toStdString());
}

void StandingsWindow::RefreshStandings()
{
    filters_ = standings::FiltersFrom(cboSi_->currentIndex(), chkFavorite_->isChecked(), chkDog_->isChecked(),
                                      allgames_->isChecked(), filters_);
    // The standings are recomputed under the new settings also while a schedule covers them,
    // so that going back shows what a fresh refresh shows.
    if (Season().WeekSeason >= 2002)
        wl2002();
    else
        wl();
    if (!grdSched_->isHidden() && shownTeam_ > 0) {
        // The schedule on show is drawn again, in full, under the new filters.
        ScheduleTeam = shownTeam_;
        ScheduleOpponent = 0;
        TrapStep([this] { ShowTeamSchedule(); });
    }
}

void StandingsWindow::wl()
{
    Compute(false);
}

void StandingsWindow::wl2002()
{
    Compute(true);
}

void StandingsWindow::Compute(bool from2002)
{
    CMouse busy(11);
    grdTeam_->SetRedraw(false);
    grdTeam_->SetForeColor(0);
    ReportStep([&] {
        if (from2002)
            SetupStandingsGrid2002();
        else
            SetupStandingsGrid();
        // A checked filter's caption is red, on the picture the box shows behind it.
        for (QCheckBox* box : {chkFavorite_, chkDog_})
            SetSurfaceText(box, TextSurface::Window, box->isChecked() ? QColor(255, 0, 0) : QColor(0, 0, 0));
        const AppState& app = App();
        const bool picture = !app.ThemePicture.empty() && FileExists(app.ThemePicture);
        grdTeam_->SetThemeBackColor(app.ThemeBackColor);
        const int week = static_cast<int>(app.CurrentFormula[fsCurrentWeek]);
        // Before a season is loaded and a week chosen there is nothing to count or name.
        if (!standings::StandingsWeeks(Season(), week))
            return;
        rows_ = standings::ComputeStandings(Season(), week, filters_, TeaserPoints(), from2002);
        for (const StandingsRow& r : rows_) {
            const int32_t back = picture ? GridNoColor : (r.Rank % 2 == 0 ? White : GridThemeBack);
            for (int k = 0; k < BlockColumns; ++k)
                grdTeam_->SetCell(r.Row, r.Column + k, Block[k].cell(r), CellFlags, -1, back);
        }
        // Filled again (the window brought forward or opened again), the standings fit the
        // view as after a resize: columns sized to the text alone may run under a scroll bar.
        FitGridsToView();
    }, "");
    grdTeam_->SetRedraw(true);
}

void StandingsWindow::FitGridsToView()
{
    // Both conferences side by side, or a schedule's columns, may be wider than a small
    // window. The face is the one the resize rules have set.
    QFont face = grdTeam_->font();
    // The filter row grows with the desktop's font: the grid starts below it, its bottom where
    // the resize rules put it.
    int filtersBottom = 0;
    for (const QWidget* filter : {static_cast<QWidget*>(chkFavorite_), static_cast<QWidget*>(chkDog_),
                                  static_cast<QWidget*>(cboSi_)})
        filtersBottom = std::max(filtersBottom, filter->geometry().bottom() + 1);
    if (grdTeam_->y() < filtersBottom) {
        const int bottom = grdTeam_->geometry().bottom();
        grdTeam_->setGeometry(grdTeam_->x(), filtersBottom, grdTeam_->width(),
                              std::max(1, bottom + 1 - filtersBottom));
    }
    grdTeam_->FillView();
    grdTeam_->FitTextToView(face, {AfcColumn, NfcColumn, SpacerColumn});
    grdTeam_->FillView({AfcColumn, NfcColumn});
    if (grdSched_->isVisible()) {
        grdSched_->setGeometry(grdTeam_->geometry());
        face.setBold(false);
        FitSchedule(face);
    }
}

void StandingsWindow::SetupStandingsGrid()
{
    LayOut(false);
}

void StandingsWindow::SetupStandingsGrid2002()
{
    LayOut(true);
}

void StandingsWindow::LayOut(bool from2002)
{
    const bool wide = Screen::Width() > 9600;
    const int pixelDivisor = static_cast<int>(Screen::TwipsPerPixelX()) + (wide ? 0 : 1);
    const double rowDivisor = wide ? (from2002 ? 20.5 : 20.0) : 18.0;
    const int rows = from2002 ? 20 : 19;
    if (from2002 ? grdTeam_->Rows() >= 20 : grdTeam_->Rows() == 19)
        return;
    grdTeam_->Clear(true);
    rows_.clear();
    if (Main* main = TheMain()) {
        QList<QIcon> icons;
        for (int i = 0; i <= 40; ++i)
            icons.append(main->ButtonImage(i));
        grdTeam_->SetImageList(icons);
    }
    const double widthTwips = grdTeam_->width() * Screen::TwipsPerPixelX();
    for (int col = 1; col <= standings::StandingsGridColumns; ++col) {
        const BlockColumn* c = BlockColumnAt(col);
        // The team columns are headed by the first division's name until the rows head them.
        const char* header = !c ? "  " : (col == AfcColumn ? "AFC East" : (col == NfcColumn ? "NFC East" : c->header));
        grdTeam_->AddColumn(QString::number(col), header, HdrAlignLeft, -1,
                            vb::Whole(widthTwips / pixelDivisor * (c ? c->share : SpacerShare)));
    }
    const double heightTwips = grdTeam_->height() * Screen::TwipsPerPixelY();
    const int rowHeight = vb::Whole(heightTwips / Screen::TwipsPerPixelY() / rowDivisor);
    for (int r = 0; r < rows; ++r)
        grdTeam_->AddRow(-1, QVariant(), true, rowHeight);
    QFont headerFont = grdTeam_->font();
    headerFont.setBold(true);
    grdTeam_->SetBackColor(ButtonFace);
    const HeaderRow* headers = from2002 ? Headers2002 : Headers1970;
    const int headerCount = from2002 ? 4 : 3;
    for (int h = 0; h < headerCount; ++h) {
        grdTeam_->SetCell(headers[h].row, AfcColumn, headers[h].afc, CellFlags, 33, Silver, Red, &headerFont);
        grdTeam_->SetCell(headers[h].row, NfcColumn, headers[h].nfc, CellFlags, 34, Silver, Blue, &headerFont);
    }
    for (int h = 0; h < headerCount; ++h)
        for (int first : {AfcColumn, NfcColumn})
            for (int k = 1; k < BlockColumns; ++k)
                grdTeam_->SetCell(headers[h].row, first + k, Block[k].header, CellFlags, -1, Silver, GridNoColor,
                                  &headerFont);
}

// ---- Schedule -----------------------------------------------------------------------------

void StandingsWindow::grdTeam_CellChosen(int row, int col)
{
    TrapStep([&] {
        ScheduleTeam = 0;
        ScheduleOpponent = 0;
        const BlockColumn* column = BlockColumnAt(col);
        if (!column || row < 1)
            return;
        const int first = col < NfcColumn ? AfcColumn : NfcColumn;
        // A heading row or an empty cell holds no team.
        const auto at = std::find_if(rows_.begin(), rows_.end(),
                                     [&](const StandingsRow& r) { return r.Row == row && r.Column == first; });
        if (at == rows_.end() || at->Team <= 0)
            return;
        ScheduleTeam = static_cast<int16_t>(at->Team);
        if (column->opens == Opens::Schedule)
            ShowTeamSchedule();
        else
            GraphPointsForAgainst(ScheduleTeam);
    });
}

std::string StandingsWindow::ScheduleTitle() const
{
    return TeamName(shownTeam_, 0, NameStyleAsShown);
}

void StandingsWindow::ShowTeamSchedule()
{
    QFont scheduleFont(grdTeam_->font().family(), grdTeam_->font().pointSize());
    scheduleFont.setBold(false);
    int widthBasis;
    if (grdTeam_->height() * Screen::TwipsPerPixelY() > 50) {
        grdSched_->setGeometry(grdTeam_->geometry());
        widthBasis = grdSched_->width();
    } else {
        widthBasis = width();
    }
    grdSched_->SetRedraw(false);
    int32_t teamColor = 0;
    const std::string logo = TeamLogoPath(ScheduleTeam);
    if (!logo.empty() && FileExists(logo)) {
        grdSched_->SetBackgroundPictureFile(QString::fromStdString(logo));
        teamColor = App().TeamColor1 != 0 ? App().TeamColor1 : App().TeamColor2;
    }
    grdSched_->Clear();
    grdSched_->SetForeColor(0);
    if (grdSched_->Cols() == 0) {
        auto add = [&](const char* key, const char* header, double factor) {
            grdSched_->AddColumn(key, header, HdrAlignRight, -1, vb::Whole(widthBasis * factor));
        };
        add("1", "Week", 0.13);
        add("2", "Away Team", 0.13);
        add("3", "Score", 0.075);
        add("4", "Home Team", 0.13);
        add("5", "Score", 0.075);
        grdSched_->AddColumn("6", "", HdrAlignLeft, -1, -1, false);
        add("7", "Line", 0.09);
        add("8", "ATS", 0.14);
        add("9", "Straight", 0.1);
        add("10", "Surf", 0.075);
    }
    schedule_ = standings::TeamSchedule(Season(), ScheduleTeam, ScheduleOpponent, filters_, TeaserPoints());
    const auto& items = Season().WeekItems;
    const int left = DtSingleLine | DtWordEllipsis;
    const int centre = DtCenter;
    QFont bold = scheduleFont;
    bold.setBold(true);
    int r = 1;
    for (std::size_t at = 0; at < schedule_.size(); ++at) {
        const standings::ScheduleGame& g = schedule_[at];
        const SeasonData& s = Season();
        // The row carries its game through sorting.
        grdSched_->AddRow(-1, static_cast<int>(at));
        const int away = s.Game(g.WeekSlot, g.GameSlot, gfAwayTeam);
        const int home = s.Game(g.WeekSlot, g.GameSlot, gfHomeTeam);
        const int a = s.Game(g.WeekSlot, g.GameSlot, gfAwayScore);
        const int h = s.Game(g.WeekSlot, g.GameSlot, gfHomeScore);
        const std::size_t lineAt = static_cast<std::size_t>(g.WeekSlot) * LineSlotStride + g.GameSlot * LinesPerGame;
        const float line = s.SeasonLines[lineAt];
        const float total = s.SeasonLines[lineAt + 1];
        const QString week = static_cast<std::size_t>(g.WeekSlot) < items.size()
                                 ? QString::fromStdString(items[static_cast<std::size_t>(g.WeekSlot)])
                                 : QString();
        grdSched_->SetCell(r, 1, week, left, -1, GridNoColor, GridNoColor, &scheduleFont);
        const bool isAway = away == ScheduleTeam;
        grdSched_->SetCell(r, 2, QString::fromStdString(TeamName(away, 0, NameStyleAsShown)), left, -1, GridNoColor,
                           isAway ? teamColor : GridNoColor, isAway ? &bold : &scheduleFont);
        if (a >= 0)
            grdSched_->SetCell(r, 3, a, centre, -1, GridNoColor, GridNoColor, &scheduleFont);
        grdSched_->SetCell(r, 4, QString::fromStdString(TeamName(home, 0, NameStyleAsShown)), left, -1, GridNoColor,
                           isAway ? GridNoColor : teamColor, isAway ? &scheduleFont : &bold);
        if (h >= 0)
            grdSched_->SetCell(r, 5, h, centre, -1, GridNoColor, GridNoColor, &scheduleFont);
        grdSched_->SetCell(r, 7, QString::fromStdString(vb::CStrSingle(line) + "/" + vb::CStrSingle(total)), centre,
                           -1, GridNoColor, GridNoColor, &scheduleFont);
        if (g.Played) {
            const int surface = s.Game(g.WeekSlot, g.GameSlot, gfSurface);
            const int32_t surfaceColor =
                surface == 0 ? Green : (surface == 1 ? DarkBlue : (surface == 2 ? Blue : Red));
            grdSched_->SetCell(r, 6, r);
            grdSched_->SetCell(r, 8, QString::fromStdString(g.Ats), centre, -1, GridNoColor, ResultColor(g.Ats),
                               &scheduleFont);
            grdSched_->SetCell(r, 9, QString::fromStdString(g.Straight), centre, -1, GridNoColor,
                               ResultColor(g.Straight), &scheduleFont);
            grdSched_->SetCell(r, 10, QString::fromStdString(SurfaceName(surface)), centre, -1, GridNoColor,
                               surfaceColor, &scheduleFont);
        }
        ++r;
    }
    shownTeam_ = ScheduleTeam;
    FitSchedule(scheduleFont);
    grdSched_->SetRedraw(true);
    grdSched_->show();
    grdTeam_->hide();
}

void StandingsWindow::FitSchedule(const QFont& face)
{
    grdSched_->FillView();
    grdSched_->FitTextToView(face, {ScheduleAwayColumn, ScheduleHomeColumn});
    grdSched_->FillView({ScheduleAwayColumn, ScheduleHomeColumn});
}

void StandingsWindow::grdSched_CellChosen(int row, int col)
{
    if ((col == ScheduleAwayColumn || col == ScheduleHomeColumn) && ScheduleOpponent == 0 && row >= 1) {
        const QVariant key = grdSched_->RowKey(row);
        const int at = key.isValid() ? key.toInt() : -1;
        int16_t code = 0;
        if (at >= 0 && static_cast<std::size_t>(at) < schedule_.size()) {
            const standings::ScheduleGame& g = schedule_[static_cast<std::size_t>(at)];
            code = Season().Game(g.WeekSlot, g.GameSlot, col == ScheduleAwayColumn ? gfAwayTeam : gfHomeTeam);
        }
        ScheduleOpponent = code > 0 ? code : 0;
        // The schedule team's own name narrows nothing: the schedule stays as it is.
        if (ScheduleOpponent == ScheduleTeam || ScheduleOpponent == 0)
            ScheduleOpponent = 0;
        else
            ShowTeamSchedule();
        return;
    }
    ScheduleOpponent = 0;
    ScheduleTeam = 0;
    grdTeam_->show();
    grdSched_->hide();
}

void StandingsWindow::grdSched_ColumnClick(int col)
{
    GridSortObject& sort = grdSched_->SortObject();
    sort.Clear();
    if (col == 1) {
        sort.SetSortColumn(1, 6);
        sort.SetSortType(1, SortNumeric);
        sort.SetSortOrder(1, SortAscending);
    } else if (col == 2 || col == 4 || col == 7) {
        sort.SetSortColumn(1, col);
        sort.SetSortType(1, SortStringCase);
        sort.SetSortOrder(1, SortAscending);
    } else if (col == 8 || col == 9 || col == 10) {
        sort.SetSortColumn(1, col);
        sort.SetSortType(1, SortStringCase);
        sort.SetSortOrder(1, SortDescending);
    } else {
        sort.SetSortColumn(1, col);
        sort.SetSortType(1, SortNumeric);
        sort.SetSortOrder(1, SortDescending);
    }
    grdSched_->Sort();
}

void StandingsWindow::grdSched_MouseDown(int button)
{
    if (button == 1) {
        grdTeam_->show();
        grdSched_->hide();
    }
}

// ---- Points chart -------------------------------------------------------------------------

void StandingsWindow::GraphPointsForAgainst(int16_t team)
{
    TeamLogoPath(team);
    pointsChart_->SetForeColor(App().TeamColor1);
    const int week = static_cast<int>(App().CurrentFormula[fsCurrentWeek]);
    const standings::PointsTable table = standings::PointsForAgainst(Season(), week, team);
    if (table.Columns.size() <= 1)
        return;
    std::vector<std::vector<QVariant>> data(3);
    for (const standings::PointsColumn& c : table.Columns) {
        data[0].push_back(c.Opponent > 0 ? QVariant(QString::fromStdString(TeamAbbrev3(c.Opponent, 0, AbbrevStyleCity)))
                                         : QVariant());
        data[1].push_back(c.PointsFor ? QVariant(static_cast<int>(*c.PointsFor)) : QVariant());
        data[2].push_back(c.PointsAgainst ? QVariant(static_cast<int>(*c.PointsAgainst)) : QVariant());
    }
    pointsChart_->SetHighScale(0);
    pointsChart_->SetLowScale(0);
    pointsChart_->setGeometry(grdTeam_->geometry());
    pointsChart_->SetTitle(QString::fromStdString("Points Scored For / Against - " + TeamName(team, 0, NameStyleAsShown) +
                                             " for " + std::to_string(Season().WeekSeason)));
    pointsChart_->SetSeriesOptions(0, App().TeamColor2, QString("Points For (%1)").arg(table.AverageFor));
    pointsChart_->SetSeriesOptions(1, App().TeamColor1, QString("Points Against (%1)").arg(table.AverageAgainst));
    pointsChart_->SetVerticalTickInterval(2);
    pointsChart_->SetHorizontalTickFrequency(1);
    pointsChart_->SetDisplayLegend(true);
    pointsChart_->RegisterData(data);
    if (mnuLine_->isChecked())
        mnuLine_Click();
    else if (mnuPoint_->isChecked())
        mnuPoint_Click();
    else if (mnuStacked_->isChecked())
        mnuStacked_Click();
    else if (mnuBar_->isChecked())
        mnuBar_Click();
    pointsChart_->show();
    pointsChart_->raise();
}

void StandingsWindow::SetGraphStyle(QAction* entry, int16_t drawWidth, int32_t type)
{
    pointsChart_->SetDrawWidth(drawWidth);
    pointsChart_->SetChartType(type);
    RefreshChartOrReport(*pointsChart_);
    if (!entry->isChecked())
        for (QAction* a : {mnuLine_, mnuBar_, mnuStacked_, mnuPoint_})
            a->setChecked(a == entry);
    else
        entry->setChecked(true);
}

void StandingsWindow::mnuBar_Click() { SetGraphStyle(mnuBar_, 1, Chart::Bar); }
void StandingsWindow::mnuLine_Click() { SetGraphStyle(mnuLine_, 2, Chart::Line); }
void StandingsWindow::mnuPoint_Click() { SetGraphStyle(mnuPoint_, 3, Chart::Point); }
void StandingsWindow::mnuStacked_Click() { SetGraphStyle(mnuStacked_, 1, Chart::StackedBar); }

// ---- Output -------------------------------------------------------------------------------

StandingsWindow::Showing StandingsWindow::WhatIsShowing() const
{
    if (!pointsChart_->isHidden())
        return Showing::Chart;
    if (!grdTeam_->isHidden())
        return Showing::Standings;
    return Showing::Schedule;
}

void StandingsWindow::mnuExport_Click()
{
    const Showing showing = WhatIsShowing();
    if (showing == Showing::Chart) {
        MsgBox("Sorry, the graphs aren't exportable.", vbCritical, "No graph exporting");
        return;
    }
    std::filesystem::path page;
    int16_t fontSize = 0;
    if (showing == Showing::Standings) {
        page = App().UserFolder / "VexalStandings.htm";
        if (!GridToHTML(*grdTeam_, page, "Vexal Standings", "", Footer(), fontSize, true, false))
            return;
    } else {
        // The page is named after the team whose schedule is shown; with none shown yet
        // there is no schedule to write.
        const std::string abbrev = vb::Trim(TeamAbbrev3(shownTeam_, 0, AbbrevStyleCity));
        if (shownTeam_ <= 0 || abbrev.empty())
            return;
        page = App().UserFolder / (abbrev + ".htm");
        if (!GridToHTML(*grdSched_, page, ScheduleTitle() + "'s Schedule\r\n", "\r\n", Footer(), fontSize, true, false))
            return;
    }
    HideFormulaEditor();
    ShellOpen(page.string(), 4);
}

void StandingsWindow::mnuHTMLPrint_Click()
{
    const Showing showing = WhatIsShowing();
    if (showing == Showing::Chart) {
        MsgBox("Sorry, the graphs aren't printable.", vbCritical, "No graph printing");
        return;
    }
    if (showing == Showing::Standings)
        PrintGridHTML(*grdTeam_, "Vexal Standings for Week " + CurrentWeekItem(), "", "");
    else
        PrintGridHTML(*grdSched_, ScheduleTitle() + "'s Schedule\r\n", "\r\n", Footer());
}

void StandingsWindow::mnuPrint_Click()
{
    const Showing showing = WhatIsShowing();
    if (showing == Showing::Chart) {
        MsgBox("Sorry, the graphs aren't printable.", vbCritical, "No graph printing");
        return;
    }
    float scale = 0;
    if (showing == Showing::Standings) {
        QFont title("Arial", 14);
        title.setBold(true);
        PrintGrid(*grdTeam_, "\r\n\r\n", "Standings by Vexal for " + CurrentWeekItem() + " - Printed " + TodayDateText(),
                  &title, true, true, scale, 10);
    } else {
        PrintGrid(*grdSched_, ScheduleTitle() + "'s Schedule\r\n", "\r\nBy Vexal - " + TodayDateText(), nullptr, true,
                  true, scale, 0);
    }
}

} // namespace vexal
