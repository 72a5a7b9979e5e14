#include "PowerWindow.h"

#include "AppMenu.h"
#include "AppState.h"
#include "CMouse.h"
#include "Chart.h"
#include "cBackGround.h"
#include "Grid.h"
#include "MsgBox.h"
#include "GridPage.h"
#include "GridReports.h"
#include "Screen.h"
#include "SeasonData.h"
#include "SettingsStore.h"
#include "SharedProcs.h"
#include "Teams.h"
#include "VbConvert.h"
#include "VbError.h"
#include "ViewFrame.h"
#include "WeekRange.h"
#include "WindowNames.h"
#include "Windows.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace vexal {

namespace {

constexpr const char* Title = "Vexal  Power Ratings for the NFL";

std::string Footer()
{
    std::string address = HtmlEscape(WebSiteAddress());
    for (auto at = address.find('\''); at != std::string::npos; at = address.find('\''))
        address.replace(at, 1, "%27");
    return "These Power Ratings are being brought to you by: <A HREF='" + address + "'> Vexal </A>";
}

constexpr GridColumnShare PowerColumns[] = {{"1", "NFL Teams", 0.29}, {"2", "OPR", 0.11}, {"3", "DPR", 0.11},
                                       {"4", "TPR", 0.11},       {"5", "OSS", 0.11}, {"6", "DSS", 0.11},
                                       {"7", "TSS", 0.11}};

} // namespace

PowerWindow::PowerWindow(QWidget* owner) : QWidget(owner)
{
    setObjectName(WindowName::PowerRatings);
    setWindowTitle("Power Ratings / Strength of Schedule");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* bar = new QMenuBar(this);
    layout->setMenuBar(bar);
    auto item = [this](QMenu* menu, const char* name, const char* caption, std::function<void()> handler) {
        return AddMenuItem(menu, name, caption, this, std::move(handler));
    };
    auto style = [this](QMenu* menu, const char* name, const char* caption, std::function<void()> handler) {
        return AddStyleItem(menu, name, caption, this, std::move(handler));
    };
    QMenu* file = bar->addMenu("&File");
    file->setObjectName("file");
    item(file, "Print", "&Print", [this] { Print_Click(); });
    item(file, "HTML", "&Export to HTML", [this] { HTML_Click(); });
    item(file, "HTMLP", "&HTML Print", [this] { HTMLP_Click(); });
    item(file, "exit", "E&xit", [] { UnloadAllForms(); });
    QMenu* graph = bar->addMenu("&Graph Type");
    graph->setObjectName("mnuGraph");
    mnuLine_ = style(graph, "mnuLine", "&Line", [this] { mnuLine_Click(); });
    mnuBar_ = style(graph, "mnuBar", "&Bar", [this] { mnuBar_Click(); });
    mnuPoint_ = style(graph, "mnuPoint", "&Point", [this] { mnuPoint_Click(); });
    for (QAction* a : {mnuLine_, mnuBar_, mnuPoint_})
        a->setCheckable(true);
    mnuLine_->setChecked(true);
    // A menu bar entry with no items of its own: the help topic opens when it is chosen.
    QAction* help = bar->addAction("Help");
    help->setObjectName("Hlp");
    connect(help, &QAction::triggered, this, [] { ShowHelpTopic("PowerRatings.htm"); });

    body_ = new QWidget(this);
    layout->addWidget(body_);
    ratingsGrid_ = new Grid(body_);
    ratingsGrid_->setObjectName("Grid1");
    SetViewPicture(this, ratingsGrid_);
    ratingsGrid_->setFont(QFont("Tahoma"));
    ratingsGrid_->setShowGrid(true);
    ratingsGrid_->setGeometry(20, 10, 500, 300);
    ratingsChart_ = new Chart(body_);
    ratingsChart_->setObjectName("Graph1");
    // In the season's first week a team's ratings are one week not yet rated, and the user
    // still asks for them.
    ratingsChart_->SetNothingToScaleDrawn(true);
    QFont titleFont("Tahoma");
    titleFont.setBold(true);
    ratingsChart_->setFont(titleFont);
    ratingsChart_->hide();
    refreshButton_ = new QPushButton("Command1", body_);
    refreshButton_->setObjectName("Command1");
    SetViewRefresh(this, [this] { refreshButton_->click(); });
    refreshButton_->hide();
    connect(refreshButton_, &QPushButton::clicked, this, [this] { Form_Load(); });
    connect(ratingsGrid_, &Grid::ColumnClick, this, [this](int c) { Grid1_ColumnClick(c); });
    connect(ratingsGrid_, &Grid::CellClick, this, [this](int r, int) { Grid1_CellChosen(r); });
    connect(ratingsChart_, &Chart::Click, this, [this] {
        ratingsChart_->hide();
        ratingsGrid_->Refresh();
    });
    engine_.PowerRating = [this](TSPredict::PowerTableArray& r, TSPredict::PerformanceArray& o,
                                 TSPredict::PerformanceArray& d, TSPredict::OpponentTableArray& op) {
        ShowPowerRatings(r, o, d, op);
    };
    resize(700, 480);
}

PowerWindow::~PowerWindow() = default;

void PowerWindow::Form_Load()
{
    AppState& app = App();
    app.TeamColor1 = 0xFF0000;
    app.TeamColor2 = 0xFF;
    // Beneath the theme's gradient, when one is painted over the window: a refresh keeps it.
    SetWindowBackColor(this, app.ThemeForeColor);
    ratingsChart_->hide();
    SelectedTeam = 0;
    ratingsGrid_->SetRedraw(false);
    const QMainWindow* main = MainWindow();
    const double mainWidthTwips = (main ? main->width() : width()) * Screen::TwipsPerPixelX();
    const double gridTwips = 0.6 * mainWidthTwips;
    const double divisor = Screen::Width() > 9600 ? Screen::TwipsPerPixelX() : Screen::TwipsPerPixelX() + 1;
    const double w = gridTwips / divisor;
    gridWidthPixels_ = vb::Whole(gridTwips / Screen::TwipsPerPixelX());
    const int left = Screen::TwipsToPixelsX(mainWidthTwips * 0.5 - gridTwips / 2);
    ratingsGrid_->setGeometry(std::max(0, left), ratingsGrid_->y(), gridWidthPixels_, ratingsGrid_->height());
    ratingsGrid_->Clear(true);
    for (const GridColumnShare& c : PowerColumns)
        ratingsGrid_->AddColumn(c.key, c.header, HdrAlignLeft, -1, vb::Whole(w * c.factor), true, false, QString(), true,
                          QString(c.key) == "1" ? QString() : QString("0.0"));
    if (!app.ThemePicture.empty() && FileExists(app.ThemePicture))
        ratingsGrid_->SetBackgroundPictureFile(QString::fromStdString(app.ThemePicture));
    engine_.CalcPowerRating(vb::CInt(app.CurrentFormula[fsCurrentWeek]));
    ratingsGrid_->Refresh();
    // The saved chart style sets the checks once, when the window opens; a refresh keeps the
    // style the user has chosen since.
    if (styleRead_)
        return;
    styleRead_ = true;
    const std::string type = GetSetting(pref::GraphType2);
    if (type == "0") {
        mnuBar_->setChecked(true);
        mnuLine_->setChecked(false);
    } else if (type == "1") {
        mnuLine_->setChecked(true);
    } else if (type != "2") {
        mnuPoint_->setChecked(true);
        mnuLine_->setChecked(false);
    }
}

void PowerWindow::FitGridToWindow()
{
    const int rowHeight = Screen::RowHeightPixels();
    // Room for 16 rows at least, and for every team when the window has the room; every
    // column as wide as its text.
    ratingsGrid_->FitColumnsToText();
    // Every team's row as the grid draws it where that is higher than the design's (a row
    // holds its face); sixteen rows as far as the window has room for them.
    const int sixteen = Screen::TwipsToPixelsY(rowHeight * 16 * 15 + 300);
    const int every = std::max(Screen::TwipsToPixelsY(rowHeight * ratingsGrid_->Rows() * 15 + 300) +
                                   ratingsGrid_->horizontalHeader()->sizeHint().height(),
                               ratingsGrid_->WholeRowsHeight());
    const int room = body_->height() - ratingsGrid_->y() - 4;
    const int height = std::max(std::min(sixteen, room), std::min(every, room));
    int columns = 2 * ratingsGrid_->frameWidth() + ratingsGrid_->ShownColumnsWidth();
    if (height < every)
        columns += ratingsGrid_->verticalScrollBar()->sizeHint().width();
    const int width = std::max(gridWidthPixels_, columns);
    ratingsGrid_->setGeometry(std::max(0, (body_->width() - width) / 2), ratingsGrid_->y(), width, height);
}

void PowerWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (ratingsGrid_->Cols() > 0 && !ratingsChart_->isVisible())
        FitGridToWindow();
}

void PowerWindow::ShowPowerRatings(TSPredict::PowerTableArray& ratings, TSPredict::PerformanceArray& offense,
                                   TSPredict::PerformanceArray& defense, TSPredict::OpponentTableArray& opponents)
{
    const int rowHeight = Screen::RowHeightPixels();
    if (SelectedTeam == 0) {
        ratingsGrid_->SetRedraw(false);
        ratingsGrid_->Clear();
        const int last = static_cast<int>(Season().DivisionOrder.size()) - 1;
        for (int t = 1; t <= last && t < static_cast<int>(ratings.size()); ++t) {
            // The row carries its team through sorting; a code that names no team this season
            // none.
            const std::string name = TeamName(t, 0, NameStyleAsShown);
            const int row = ratingsGrid_->AddRow(-1, name.empty() ? 0 : t, true, rowHeight);
            ratingsGrid_->SetCell(row, 1, QString::fromStdString(name));
            for (int c = 1; c <= 6; ++c)
                ratingsGrid_->SetCell(row, c + 1, ratings[static_cast<std::size_t>(t)][static_cast<std::size_t>(c)]);
        }
        FitGridToWindow();
        Grid1_ColumnClick(4);
        ratingsGrid_->SetRedraw(true);
        return;
    }
    const int s = SelectedTeam;
    const int current = vb::CInt(App().CurrentFormula[fsCurrentWeek] - 1);
    const int first = SeasonStartWeek(static_cast<int16_t>(current));
    // Week positions past the engine's table have no ratings to show.
    const int n = std::min<int>(current - first, static_cast<int>(offense.size()) - 2);
    std::vector<std::vector<QVariant>> data(3);
    for (int k = 0; k <= n; ++k) {
        const auto pos = static_cast<std::size_t>(k + 1);
        const auto team = static_cast<std::size_t>(s);
        const int opponent = opponents[pos][team];
        data[0].push_back(QString::fromStdString(TeamAbbrev3(opponent, 0, AbbrevStyleCity)));
        // A week without a game (a bye, or the current week not yet played) is a gap in the
        // chart, not a rating of 0.
        data[1].push_back(opponent > 0 ? QVariant(offense[pos][team]) : QVariant());
        data[2].push_back(opponent > 0 ? QVariant(-defense[pos][team]) : QVariant());
    }
    AppState& app = App();
    if (app.TeamColor2 == 0xC0C0C0)
        app.TeamColor2 = 0;
    ratingsChart_->SetDisplayLegend(true);
    const int graphWidth = vb::Whole(0.9 * width());
    ratingsChart_->setGeometry(width() / 2 - graphWidth / 2, ratingsGrid_->y(), graphWidth, ratingsGrid_->height());
    ratingsChart_->SetForeColor(app.TeamColor1);
    const auto& r = ratings[static_cast<std::size_t>(s)];
    ratingsChart_->SetSeriesOptions(0, app.TeamColor2,
                              QString::fromStdString("Offensive Power (" + vb::FormatSingle(r[1], "0.0") + ")"));
    ratingsChart_->SetSeriesOptions(1, app.TeamColor1,
                              QString::fromStdString("Defensive Power (" + vb::FormatSingle(r[2], "0.0") + ")"));
    ratingsChart_->RegisterData(data);
    ratingsChart_->SetTitle(QString::fromStdString("Weekly Power Ratings for " + TeamName(s, 0, NameStyleAsShown)));
    if (mnuLine_->isChecked()) {
        ratingsChart_->SetChartType(Chart::Line);
        ratingsChart_->SetDrawWidth(2);
    } else if (mnuBar_->isChecked()) {
        ratingsChart_->SetChartType(Chart::Bar);
    } else {
        ratingsChart_->SetChartType(Chart::Point);
        ratingsChart_->SetDrawWidth(3);
    }
    RefreshChartOrReport(*ratingsChart_);
    ratingsChart_->show();
    ratingsChart_->raise();
}

void PowerWindow::Grid1_ColumnClick(int col)
{
    CMouse busy(11);
    GridSortObject& sort = ratingsGrid_->SortObject();
    sort.Clear();
    sort.SetSortColumn(1, col);
    if (ratingsGrid_->ColumnKey(col) == "1") {
        sort.SetSortOrder(1, SortAscending);
        sort.SetSortType(1, SortStringNoCase);
    } else {
        sort.SetSortOrder(1, SortDescending);
        sort.SetSortType(1, SortNumeric);
        sort.SetSortColumn(2, 1);
        sort.SetSortOrder(2, SortAscending);
        sort.SetSortType(2, SortStringNoCase);
    }
    ratingsGrid_->SetRedraw(false);
    ratingsGrid_->Sort();
    ratingsGrid_->SetRedraw(true);
}

void PowerWindow::Grid1_CellChosen(int row)
{
    if (row < 1 || row > ratingsGrid_->Rows())
        return;
    AppState& app = App();
    const float savedSeasonToDate = static_cast<float>(vb::CInt(app.CurrentFormula[fsSeasonToDate]));
    app.CurrentFormula[fsSeasonToDate] = 1;
    const int code = ratingsGrid_->RowKey(row).toInt();
    SelectedTeam = static_cast<int16_t>(code > 0 ? code : 0);
    const float savedRolling = app.CurrentFormula[fsRollingWeeks];
    app.CurrentFormula[fsRollingWeeks] = 0;
    TeamLogoPath(SelectedTeam);
    try {
        engine_.CalcPowerRating(vb::CInt(app.CurrentFormula[fsCurrentWeek]), SelectedTeam);
    } catch (...) {
        // The formula slots are the user's: they come back whatever the request did.
        app.CurrentFormula[fsSeasonToDate] = savedSeasonToDate;
        app.CurrentFormula[fsRollingWeeks] = savedRolling;
        SelectedTeam = 0;
        throw;
    }
    app.CurrentFormula[fsSeasonToDate] = savedSeasonToDate;
    app.CurrentFormula[fsRollingWeeks] = savedRolling;
    SelectedTeam = 0;
}

void PowerWindow::SetGraphStyle(QAction* entry, int32_t type, int16_t drawWidth)
{
    ratingsChart_->SetChartType(type);
    if (drawWidth > 0)
        ratingsChart_->SetDrawWidth(drawWidth);
    RefreshChartOrReport(*ratingsChart_);
    if (!entry->isChecked())
        for (QAction* a : {mnuLine_, mnuBar_, mnuPoint_})
            a->setChecked(a == entry);
    else
        entry->setChecked(true);
}

void PowerWindow::mnuBar_Click() { SetGraphStyle(mnuBar_, Chart::Bar, 0); }
void PowerWindow::mnuLine_Click() { SetGraphStyle(mnuLine_, Chart::Line, 2); }
void PowerWindow::mnuPoint_Click() { SetGraphStyle(mnuPoint_, Chart::Point, 3); }

void PowerWindow::HTML_Click()
{
    const std::filesystem::path page = App().UserFolder / "Power.htm";
    int16_t fontSize = 0;
    if (!GridToHTML(*ratingsGrid_, page, Title, "", Footer(), fontSize, true, false))
        return;
    HideFormulaEditor();
    ShellOpen(page.string(), 4);
}

void PowerWindow::HTMLP_Click()
{
    PrintGridHTML(*ratingsGrid_, Title, "", Footer());
}

void PowerWindow::Print_Click()
{
    QFont title("Arial", 12);
    title.setBold(true);
    float scale = 40;
    PrintGrid(*ratingsGrid_, "Vexal  Power Ratings", "", &title, true, true, scale, 10);
}

void PowerWindow::closeEvent(QCloseEvent* event)
{
    // The style the user chose is the checked entry, whether or not a chart was drawn.
    int32_t type = ratingsChart_->ChartType();
    if (mnuLine_->isChecked())
        type = Chart::Line;
    else if (mnuBar_->isChecked())
        type = Chart::Bar;
    else if (mnuPoint_->isChecked())
        type = Chart::Point;
    SaveSetting(pref::GraphType2, std::to_string(type));
    event->accept();
}

void PowerWindow::mousePressEvent(QMouseEvent* event)
{
    ratingsChart_->hide();
    QWidget::mousePressEvent(event);
}

} // namespace vexal
