#include "LinesWindow.h"
#include "ReadableText.h"

#include "AppMenu.h"
#include "AppState.h"
#include "GameForm.h"
#include "GameRecord.h"
#include "Grid.h"
#include "GridPage.h"
#include "GridReports.h"
#include "Host.h"
#include "FileChecks.h"
#include "FittingFace.h"
#include "LeavingControl.h"
#include "LineFiles.h"
#include "LineRecord.h"
#include "Main.h"
#include "MsgBox.h"
#include "Notice.h"
#include "NumberInput.h"
#include "RecordFile.h"
#include "Screen.h"
#include "SeasonData.h"
#include "SendKey.h"
#include "SettingsStore.h"
#include "SharedProcs.h"
#include "Steps.h"
#include "Teams.h"
#include "TypedNumber.h"
#include "VbConvert.h"
#include "VbError.h"
#include "ViewFrame.h"
#include "WeekRange.h"
#include "WindowNames.h"
#include "Windows.h"
#include "cResizer.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

namespace vexal {

namespace {

const char* const Caption = "Enter Lines";
const char* const DefaultLineFile = pref::LineFile.defaultValue;
const char* const HelpTopic = "Lines.htm";

// Column shares of the grid's width: home, line, total, away.
constexpr double ColumnShares[4] = {0.35, 0.14, 0.14, 0.35};
const char* const ColumnHeaders[4] = {"Home Team", "Line", "O / U", "Away Team"};
constexpr int LineColumn = 2;
constexpr int TotalColumn = 3;

// What a cell's editor takes: what the field its column writes holds, the spread or the total
// of a game (the season record's or the line file's, both Currency).
NumberKind CellNumbers(int column)
{
    using F = GameRecord::Field;
    return NumberKindOf(GameRecord::FieldOf(column == TotalColumn ? F::Total : F::Line).type);
}

// The field a column's cells write, as Input Stats names it in a message.
const GameTextField& CellField(int column) { return GameTextFields()[column == TotalColumn ? gtTotal : gtLine]; }

int Px(double twips) { return Screen::TwipsToPixelsX(twips); }
int PxY(double twips) { return Screen::TwipsToPixelsY(twips); }


// The line file a name of the list stands for, in the chosen season.
std::filesystem::path LineFileOf(const std::string& name) { return LineFilePath(name, Season().SeasonYear); }

} // namespace

LinesWindow::LinesWindow(QWidget* owner) : QWidget(owner)
{
    setObjectName(WindowName::EnterLines);
    setWindowTitle(Caption);
    BuildControls();
    BuildMenus();
    resize(Px(9345), PxY(6510));
}

LinesWindow::~LinesWindow() = default;

void LinesWindow::BuildControls()
{
    body_ = AddMenuBarAndBody(this, menuBar_, "LinesBody");

    cboLines_ = new QComboBox(body_);
    cboLines_->setObjectName("cboLines");
    cboLines_->setGeometry(Px(480), PxY(120), Px(1695), PxY(315));
    connect(cboLines_, &QComboBox::currentIndexChanged, this, [this] {
        if (!refreshing_)
            cboLines_Click();
    });

    cmdAddNewLines_ = new QPushButton("New Line File", body_);
    cmdAddNewLines_->setObjectName("cmdAddNewLines");
    cmdAddNewLines_->setGeometry(Px(2280), PxY(120), Px(1695), PxY(315));
    connect(cmdAddNewLines_, &QPushButton::clicked, this, &LinesWindow::cmdAddNewLines_Click);

    cmdDelete_ = new QPushButton("Delete Line File", body_);
    cmdDelete_->setObjectName("cmdDelete");
    cmdDelete_->setGeometry(Px(4200), PxY(120), Px(1575), PxY(315));
    connect(cmdDelete_, &QPushButton::clicked, this, &LinesWindow::cmdDelete_Click);

    linesGrid_ = new Grid(body_);
    linesGrid_->setObjectName("Grid1");
    SetViewPicture(this, linesGrid_);
    SetViewThemeColors(this, [this] { linesGrid_->SetThemeBackColor(App().ThemeBackColor); });
    linesGrid_->setGeometry(Px(1320), PxY(480), Px(7455), PxY(2175));
    linesGrid_->setFont(QFont("Tahoma"));
    connect(linesGrid_, &Grid::RequestEdit, this, &LinesWindow::Grid1_RequestEdit);
    connect(linesGrid_, &Grid::EditEnded, this, [this](bool) {
        editing_ = false;
        txtEdit_->hide();
        linesGrid_->SetRedraw(true);
    });
    connect(linesGrid_, &Grid::SelectionChange, this, &LinesWindow::Grid1_SelectionChange);

    txtEdit_ = new QLineEdit(body_);
    txtEdit_->setObjectName("txtEdit");
    txtEdit_->setFont(QFont("Tahoma"));
    txtEdit_->hide();
    txtEdit_->installEventFilter(this);
    UseNumberInput(txtEdit_, CellNumbers(LineColumn));

    flLines_ = new QListWidget(body_);
    flLines_->setObjectName("flLines");
    flLines_->hide();

    refreshButton_ = new QPushButton("Refresh", body_);
    refreshButton_->setObjectName("Command1");
    SetViewRefresh(this, [this] { refreshButton_->click(); });
    refreshButton_->hide();
    connect(refreshButton_, &QPushButton::clicked, this, &LinesWindow::LoadLines);
}

void LinesWindow::BuildMenus()
{
    QMenu* file = menuBar_->addMenu("&File");
    file->setObjectName("file");
    struct Item {
        const char* name;
        const char* caption;
        void (LinesWindow::*handler)();
    };
    const Item items[] = {{"Print", "&Print", &LinesWindow::mnuPrint_Click},
                          {"HTMLP", "&HTML Print", &LinesWindow::mnuHTMLP_Click},
                          {"Export", "&Export to HTML", &LinesWindow::mnuExport_Click}};
    for (const Item& item : items) {
        QAction* action = file->addAction(item.caption);
        action->setObjectName(item.name);
        connect(action, &QAction::triggered, this, item.handler);
    }
    QAction* exitAction = file->addAction("E&xit");
    exitAction->setObjectName("exit");
    connect(exitAction, &QAction::triggered, this, [] { UnloadAllForms(); });

    // Help stands apart at the right end of the menu bar.
    auto* helpBar = new QMenuBar(menuBar_);
    helpBar->setObjectName("mnuHelpBar");
    QAction* help = helpBar->addAction("Help");
    help->setObjectName("Hlp");
    menuBar_->setCornerWidget(helpBar, Qt::TopRightCorner);
    connect(help, &QAction::triggered, this, [] { ShowHelpTopic(HelpTopic); });
}

// ---------------------------------------------------------------- load, activation, unload

void LinesWindow::Form_Load()
{
    if (loaded_)
        return;
    loaded_ = true;
    linesGrid_->SetRedraw(false);
    linesGrid_->SetEditable(true);
    for (int c = 0; c < 4; ++c)
        linesGrid_->AddColumn(ColumnHeaders[c], ColumnHeaders[c], HdrAlignLeft, -1,
                          static_cast<int>(vb::RoundHalfEven(linesGrid_->width() * ColumnShares[c])));
    linesGrid_->SetRedraw(true);

    TakeMainPicture({cmdAddNewLines_, cmdDelete_}, PictureOn::Button);
    resize_ = new cResizer(this);
    connect(resize_, &cResizer::AfterResizing, this, &LinesWindow::resize_AfterResizing);
    resize_->AddPropotional(body_);
    resize_->AddFontResizing(body_);
    resize_->AddRule(cResizer::EqualWidths, body_, 300, {cboLines_, cmdAddNewLines_, cmdDelete_});
    const QMainWindow* main = MainWindow();
    const double mainWidthTwips = Screen::PixelsToTwipsX(main ? main->frameGeometry().width() : width());
    resize_->AddRule(cResizer::FullWidthMargin, body_, static_cast<int32_t>(vb::RoundHalfEven(mainWidthTwips / 3)),
                     {linesGrid_});
    resize_->TargetForm(body_);

    rememberedName_ = LineFileInUse();
}

void LinesWindow::Form_Activate()
{
    // A cell edit still open is the window back from another program or from a message over
    // it, which left the edit open: the grid under it stays as it was too.
    if (!loaded_ || editing_)
        return;
    RefreshFileList();
}

void LinesWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    WatchFrameActivation();
}

void LinesWindow::WatchFrameActivation()
{
    if (!frameWatched_)
        frameWatched_ = OnFrameActivated(this, [this] { Form_Activate(); });
}

bool LinesWindow::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate && isWindow())
        Form_Activate();
    if (event->type() == QEvent::ParentChange)
        WatchFrameActivation();
    return QWidget::event(event);
}

void LinesWindow::closeEvent(QCloseEvent* event)
{
    // Every commit is written at once: nothing is pending here.
    notice_.reset();
    event->accept();
}

void LinesWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
}

void LinesWindow::resize_AfterResizing()
{
    linesGrid_->SetRedraw(false);
    // The grid's margin on each side is a third of the main window's width, as the load set it,
    // but of the main window as it is now: a margin kept from a wider main window left the grid
    // a sliver whose names and lines no face could show once the main window was made smaller.
    if (const QMainWindow* main = MainWindow()) {
        const int margin = Px(vb::RoundHalfEven(Screen::PixelsToTwipsX(main->frameGeometry().width()) / 3));
        if (body_->width() > 2 * margin)
            linesGrid_->setGeometry(margin, linesGrid_->y(), body_->width() - 2 * margin, linesGrid_->height());
    }
    // A window narrower than twice the grid's margin leaves the margin rule nothing to give
    // (its width is refused) and the grid would stand past the right edge: keep it inside,
    // centred, with the margin of the row above it.
    if (linesGrid_->x() + linesGrid_->width() > body_->width()) {
        const int width = std::max(0, std::min(linesGrid_->width(), body_->width() - 2 * Px(300)));
        linesGrid_->setGeometry((body_->width() - width) / 2, linesGrid_->y(), width, linesGrid_->height());
    }
    HoldGridRows();
    // The columns share the width the grid shows: what its frame and a vertical scroll bar
    // (the rows may outnumber what the window has room for) leave, so that no column stands
    // under the scroll bar.
    const int frame = 2 * linesGrid_->frameWidth();
    int rowsHeight = linesGrid_->Header() ? linesGrid_->horizontalHeader()->sizeHint().height() : 0;
    for (int r = 1; r <= linesGrid_->Rows(); ++r)
        rowsHeight += linesGrid_->RowHeight(r);
    const int scrollBar = rowsHeight > linesGrid_->height() - frame
                              ? linesGrid_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, linesGrid_)
                              : 0;
    const int shown = std::max(0, linesGrid_->width() - frame - scrollBar);
    for (int c = 1; c <= linesGrid_->Cols() && c <= 4; ++c)
        linesGrid_->SetColumnWidth(c, static_cast<int>(vb::RoundHalfEven(shown * ColumnShares[c - 1])));
    FitGridFont();
    HoldGridRows();
    linesGrid_->Refresh();
    linesGrid_->SetRedraw(true);
}

// The grid's height scales with the window, and its rows hold their face, which grows with
// the window too: the grid is never lower than its rows, heading and frame take, so that the
// whole week shows, as far as the window has room under it; beyond that it scrolls.
void LinesWindow::HoldGridRows()
{
    const int needed = linesGrid_->WholeRowsHeight();
    // The room under it keeps the margin the row of commands keeps above; a window too low
    // for even the heading and a row still shows those.
    const int first = needed - linesGrid_->ShownRowsHeight() + (linesGrid_->Rows() > 0 ? linesGrid_->RowHeight(1) : 0);
    const int room = std::max(body_->height() - linesGrid_->y() - PxY(120), std::min(needed, first));
    const int height = std::min(std::max(linesGrid_->height(), needed), room);
    if (height > 0 && height != linesGrid_->height())
        linesGrid_->resize(linesGrid_->width(), height);
}

// The font grows with the window and the columns with the grid, each by its own rule: where
// the widest heading or team name would no longer fit its column, the grid's font is made
// smaller (FittingFace, down to 6 points) until it does.
void LinesWindow::FitGridFont()
{
    // What the style draws around a cell's text, and the grid line.
    const int cellMargin = 2 * (linesGrid_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, linesGrid_) + 1) + 1;
    auto fits = [this, cellMargin](const QFont& font) {
        const QFontMetrics fm(font);
        for (int c = 1; c <= linesGrid_->Cols(); ++c) {
            const int room = linesGrid_->ColumnWidth(c);
            if (!linesGrid_->ColumnVisible(c) || room <= 0)
                continue;
            if (linesGrid_->Header() && fm.horizontalAdvance(linesGrid_->ColumnHeader(c)) + 6 > room)
                return false;
            for (int r = 1; r <= linesGrid_->Rows(); ++r)
                if (fm.horizontalAdvance(linesGrid_->CellFormattedText(r, c)) + cellMargin > room)
                    return false;
        }
        return true;
    };
    const QFont font = FittingFace(linesGrid_->font(), 6, fits);
    if (font != linesGrid_->font())
        linesGrid_->setFont(font);
}

void LinesWindow::ShowNotice(const std::string& text, const std::string& title)
{
    if (!notice_)
        notice_ = CreateNotice();
    notice_->SetText(text);
    notice_->SetTitle(title);
    notice_->SetNumber(4);
    notice_->SetOwner(objectName().toStdString());
    notice_->Show();
}

// ---------------------------------------------------------------- the week's lines

bool LinesWindow::ChooseSource(LineSource& source, bool checkExists, bool& fellBack) const
{
    fellBack = false;
    const std::optional<SeasonWeek> chosenWeek = CurrentSeasonWeek();
    if (!chosenWeek)
        return false;
    source.weekSeason = chosenWeek->year;
    source.week = chosenWeek->week;

    const std::string chosen = cboLines_->currentText().toStdString();
    const std::string weekText = WeekSelectorText();
    const bool currentSeasonWeek = vb::Val(vb::Right(weekText, 4)) == CurrentSeason;
    if (chosen != DefaultLineFile && currentSeasonWeek) {
        const std::filesystem::path path = LineFileOf(chosen);
        if (!checkExists || FileExists(path)) {
            source.file = path;
            source.lineFile = true;
            return true;
        }
    }
    fellBack = chosen != DefaultLineFile;
    source.file = SeasonFilePath(source.weekSeason);
    source.lineFile = false;
    return true;
}

void LinesWindow::LoadLines()
{
    SeasonData& season = Season();
    linesGrid_->SetRedraw(false);
    linesGrid_->Clear();
    linesGrid_->SetEditable(true);
    bool noSource = false;
    ReportStep([&] {
        LineSource source;
        bool fellBack = false;
        if (!ChooseSource(source, true, fellBack)) {
            noSource = true;
            return;
        }
        season.CurrentGame = 0;
        shownFirstRecord_ = 0;
        storedLines_.clear();
        if (fellBack) {
            ShowNotice("Only default lines can be used for previous seasons", "Previous Season");
            {
                const QSignalBlocker block(cboLines_);
                cboLines_->setCurrentIndex(cboLines_->findText(DefaultLineFile));
            }
            SaveSetting(pref::LineFile, DefaultLineFile);
        }
        WeekLines lines;
        std::string problem;
        if (source.lineFile && !CheckLineFile(source.file, season.SeasonYear, problem)) {
            // Read at every activation: named once, and no line of it is shown or written.
            ReportFileProblem(source.file, problem);
            linesGrid_->SetRedraw(true);
            return;
        }
        try {
            lines = ReadWeekLines(source.file, source.lineFile, source.week);
        } catch (const VbError& e) {
            // Read at every activation: named once, with the file's own problem.
            ReportFileProblem(source.file, e.Description());
            linesGrid_->SetRedraw(true);
            return;
        }
        season.WeekFirstRecord = lines.FirstRecord;
        season.NextWeekFirstRecord = lines.NextFirstRecord;
        shownSource_ = source;
        shownFirstRecord_ = lines.FirstRecord;
        shownSlot_ = static_cast<int>(App().CurrentFormula[fsCurrentWeek]) - 1;
        storedLines_ = lines.Games;

        const AppState& app = App();
        const bool picture = !app.ThemePicture.empty() && FileExists(app.ThemePicture);
        linesGrid_->SetThemeBackColor(app.ThemeBackColor);
        const int rowHeight = Screen::RowHeightPixels();
        int16_t year = 0;
        int row = 0;
        for (const WeekLine& game : lines.Games) {
            ++row;
            if (linesGrid_->Rows() < row)
                linesGrid_->AddRow(-1, QVariant(), true, rowHeight);
            const int32_t back = picture ? GridNoColor : (row % 2 == 1 ? GridThemeBack : 0xFFFFFF);
            const int flags = DtSingleLine | DtWordEllipsis;
            year = 0;
            linesGrid_->SetCell(row, 1, QString::fromStdString(TeamName(game.HomeTeam, year, 3)), flags, -1, back);
            linesGrid_->SetCell(row, LineColumn, game.Line, flags, -1, back);
            linesGrid_->SetCell(row, TotalColumn, game.Total, flags, -1, back);
            year = 0;
            linesGrid_->SetCell(row, 4, QString::fromStdString(TeamName(game.AwayTeam, year, 3)), flags, -1, back);
        }
    }, "");
    if (noSource) {
        linesGrid_->SetRedraw(true);
        return;
    }
    // The rows and an allowance for the heading; then as the window lays the grid out after
    // each resize: the rows whole as far as there is room, the columns sharing what a scroll
    // bar leaves.
    linesGrid_->resize(linesGrid_->width(), linesGrid_->Rows() * Screen::RowHeightPixels() + PxY(380));
    linesGrid_->move(width() / 2 - linesGrid_->width() / 2, linesGrid_->y());
    if (resize_)
        resize_AfterResizing();
    else
        FitGridFont();
    linesGrid_->SetRedraw(true);
}

void LinesWindow::SaveLines()
{
    SeasonData& season = Season();
    season.CurrentGame = 0;
    const LineSource& source = shownSource_;
    const int slot = shownSlot_;
    // The rows written reach the disk together, once the last is written.
    RecordSyncBatch written;
    // What each row written held before in the file, for a disk that then fails to take them.
    struct Before {
        int row;
        WeekLine stored;     // as the file held it before
        WeekLine put;        // as this save left it
    };
    std::vector<Before> before;
    bool stale = false;
    for (int i = 0; i < linesGrid_->Rows() && static_cast<std::size_t>(i) < storedLines_.size(); ++i) {
        WeekLine& shown = storedLines_[static_cast<std::size_t>(i)];
        double values[2] = {0, 0};
        for (int c = 0; c < 2; ++c) {
            const QVariant cell = linesGrid_->CellText(i + 1, LineColumn + c);
            if (cell.isValid() && !ParseLineValue(cell.toString().toStdString(), values[c]))
                values[c] = 0;
            values[c] = vb::CurrencyToDouble(vb::CurrencyFromDouble(values[c]));
        }
        // Only the value typed is written: the other one of the row stays as the file holds it,
        // whoever changed it since the week was shown. A row as shown needs no write.
        const bool lineTyped = values[0] != shown.Line;
        const bool totalTyped = values[1] != shown.Total;
        if (!lineTyped && !totalTyped)
            continue;
        double storedLine = shown.Line, storedTotal = shown.Total;
        const GameWrite result = shownFirstRecord_ < 1 ? GameWrite{GameWrite::Status::Failed, "the week has no game in it"}
                                 : WriteRecordLines(source.file, source.lineFile, shown.Record, shown,
                                                    lineTyped ? std::optional<double>(values[0]) : std::nullopt,
                                                    totalTyped ? std::optional<double>(values[1]) : std::nullopt,
                                                    &written, &storedLine, &storedTotal);
        if (result.Stale()) {
            MsgBox(ChangedSinceShown(source.file, result.reason), vbExclamation, Caption);
            stale = true;
            break;
        }
        if (!result.Written()) {
            MsgBox("The lines could not be saved in " + source.file.string() + ": " + result.reason + ".", vbCritical,
                   "Lines not saved");
            // The rows not written show what the file holds.
            for (int r = i; r < linesGrid_->Rows() && static_cast<std::size_t>(r) < storedLines_.size(); ++r) {
                linesGrid_->SetCellText(r + 1, LineColumn, storedLines_[static_cast<std::size_t>(r)].Line);
                linesGrid_->SetCellText(r + 1, TotalColumn, storedLines_[static_cast<std::size_t>(r)].Total);
            }
            break;
        }
        before.push_back({i, shown, shown});
        shown.Line = storedLine;
        shown.Total = storedTotal;
        before.back().put = shown;
        linesGrid_->SetCellText(i + 1, LineColumn, storedLine);
        linesGrid_->SetCellText(i + 1, TotalColumn, storedTotal);
    }
    const std::vector<RecordSyncBatch::Failure> failures = written.Finish();
    if (!failures.empty()) {
        for (const RecordSyncBatch::Failure& f : failures)
            MsgBox("The lines could not be saved in " + f.file.string() + ": " + f.reason + ".", vbCritical,
                   "Lines not saved");
        // Not known to be on the disk, the rows do not count as saved: as after a write that
        // failed, the screen shows what the file held, and the file is given it back.
        RecordSyncBatch putBack;
        for (const Before& was : before) {
            const std::size_t r = static_cast<std::size_t>(was.row);
            storedLines_[r] = was.stored;
            linesGrid_->SetCellText(was.row + 1, LineColumn, was.stored.Line);
            linesGrid_->SetCellText(was.row + 1, TotalColumn, was.stored.Total);
            const GameWrite back = WriteRecordLines(source.file, source.lineFile, was.put.Record, was.put,
                                                    was.stored.Line, was.stored.Total, &putBack);
            if (!back.Written())
                LogStepFailure("skipped: putting back the lines of " + source.file.string() + ": " + back.reason);
        }
        // The disk failed once already and the user was told the lines were not saved.
        for (const RecordSyncBatch::Failure& f : putBack.Finish())
            LogStepFailure("skipped: putting back the lines of " + f.file.string() + ": " + f.reason);
    }
    if (!stale) {
        // The week's loaded lines are the grid's, every row of it: a row not typed in shows the
        // chosen file's line, which the arrays may not hold yet (they were loaded from another).
        // A row is the line of the game it is paired with as a load pairs it: the season file's
        // game at the row's record number, where the row holds that game. A line file that no
        // longer pairs with its season file leaves those games the lines a new start gives them.
        std::vector<WeekLine> games = source.lineFile ? std::vector<WeekLine>() : storedLines_;
        if (source.lineFile)
            SkipStep([&] { games = ReadWeekLines(SeasonFilePath(source.weekSeason), false, source.week).Games; });
        for (std::size_t g = 0; slot >= 0 && g < games.size() && g < static_cast<std::size_t>(GamesPerWeekSlot); ++g) {
            const std::size_t at = static_cast<std::size_t>(slot) * LineSlotStride + g * LinesPerGame;
            for (std::size_t r = 0; r < storedLines_.size() && static_cast<int>(r) < linesGrid_->Rows(); ++r) {
                const WeekLine& row = storedLines_[r];
                if (row.Record == games[g].Record && row.HomeTeam == games[g].HomeTeam &&
                    row.AwayTeam == games[g].AwayTeam && at + 1 < season.SeasonLines.size()) {
                    season.SeasonLines[at] = static_cast<float>(row.Line);
                    season.SeasonLines[at + 1] = static_cast<float>(row.Total);
                }
            }
        }
    } else {
        // Another program or a copy changed the file under the grid: the week shows as the
        // files now hold it, in the arrays too.
        const std::filesystem::path seasonFile = source.lineFile ? SeasonFilePath(source.weekSeason) : source.file;
        ReportFileStep(seasonFile, [&] {
            ReloadWeekSlot(seasonFile, source.weekSeason, source.week,
                           source.lineFile ? source.file : std::filesystem::path());
        });
        LoadLines();
    }
}

// ---------------------------------------------------------------- line files

bool LinesWindow::MakeLineFile()
{
    const std::string name = InputBox("Please enter a name for this line file", "Enter a Filename", "MyLines");
    if (name.empty())
        return true;
    if (!IsPlainLineFileName(name) || vb::SameText(name, DefaultLineFile)) {
        MsgBox("\"" + name + "\" can not be used as the name of a line file." + "\r\n" +
                   "Please use a name without \\ / : * ? \" < > | or \"..\", other than \"Default\".",
               vbCritical, "Enter a Filename");
        return true;
    }
    const std::filesystem::path seasonFile = SeasonFilePath(Season().SeasonYear);
    std::string problem;
    if (!CreateLineFile(seasonFile, LineFileOf(name), &problem)) {
        MsgBox(problem + " The line file " + name + " was not created.", vbCritical, "File not created");
        return false;
    }
    // The season's own lines go back into the arrays; a season file that fails now says so.
    ReportStep([&] { RestoreSeasonLines(seasonFile); });
    MsgBox("New Line File Created", vbInformation, "File created");
    return true;
}

void LinesWindow::RefreshFileList()
{
    flLines_->clear();
    for (const std::string& name : ListLineFiles(ProgramFolder(), Season().SeasonYear))
        flLines_->addItem(QString::fromStdString(LineFileOf(name).filename().string()));
    {
        refreshing_ = true;
        const QSignalBlocker block(cboLines_);
        cboLines_->clear();
        cboLines_->addItem(DefaultLineFile);
        for (int i = 0; i < flLines_->count(); ++i) {
            const QString file = flLines_->item(i)->text();
            cboLines_->addItem(file.left(file.size() - 4));
        }
        int chosen = 0;
        if (!rememberedName_.empty())
            for (int i = 1; i < cboLines_->count(); ++i)
                if (cboLines_->itemText(i).toStdString() == rememberedName_)
                    chosen = i;
        if (chosen == 0 && LineFileStaysChosen(rememberedName_, Season().SeasonYear)) {
            cboLines_->addItem(QString::fromStdString(rememberedName_));
            chosen = cboLines_->count() - 1;
        }
        cboLines_->setCurrentIndex(chosen);
        refreshing_ = false;
    }
    // The choice is the list's selection: it stores the setting and loads the week's lines.
    cboLines_Click();
}

void LinesWindow::DeleteLineFile()
{
    const std::string name = cboLines_->currentText().toStdString();
    const std::filesystem::path path = LineFileOf(name);
    if (IsPlainLineFileName(name) && FileExists(path)) {
        if (std::string reason; !RemoveFile(path, reason)) {
            MsgBox(RemoveFailure(path, reason), vbCritical, "Can not delete");
            return;
        }
        MsgBox("Line File Deleted", vbInformation, "File deleted");
    } else if (name == DefaultLineFile) {
        MsgBox("The default line file can not be deleted", vbCritical, "Can not delete");
    } else {
        MsgBox("File now found", vbCritical, "Can not delete");
    }
}

// ---------------------------------------------------------------- handlers

void LinesWindow::cboLines_Click()
{
    SaveSetting(pref::LineFile, vb::Trim(cboLines_->currentText().toStdString()));
    LoadLines();
}

void LinesWindow::cmdAddNewLines_Click()
{
    if (Season().SeasonYear != CurrentSeason) {
        MsgBox("You can not create line files for previous years\r\nPlease select " + std::to_string(CurrentSeason) +
                   " for the year and try again",
               vbCritical, "Can't create previous");
        return;
    }
    // A file that could not be made changed nothing to list, and the list's reload of the week
    // would name the same season file a second time.
    if (MakeLineFile())
        RefreshFileList();
}

void LinesWindow::cmdDelete_Click()
{
    DeleteLineFile();
    RefreshFileList();
}

void LinesWindow::Grid1_RequestEdit(int row, int col, int keyAscii, bool& cancel)
{
    if (col != LineColumn && col != TotalColumn) {
        cancel = true;
        return;
    }
    const QRect cell = linesGrid_->CellBoundary(row, col);
    txtEdit_->setGeometry(linesGrid_->x() + cell.left(), linesGrid_->y() + cell.top() + 1, cell.width(), cell.height());
    const QString start = linesGrid_->CellText(row, col).isValid() ? linesGrid_->CellFormattedText(row, col) : QString();
    // The key that starts the edit is typed by the rule of every number box: a comma is the
    // decimal point, a letter is dropped and the cell's text is then selected whole.
    UseNumberInput(txtEdit_, CellNumbers(col));
    QString first;
    if (keyAscii != 0 && keyAscii != 9 && keyAscii != 13) {
        const TypedCharacter typed = TypedIntoNumber(QChar(keyAscii), CellNumbers(col));
        if (typed.refused)
            ShowNumberBoxMessage(CellNumbers(col));
        first = typed.text;
    }
    startKey_ = first;
    startText_ = start;
    if (first.isEmpty()) {
        txtEdit_->setText(start);
        txtEdit_->selectAll();
    } else {
        txtEdit_->setText(first + start);
        txtEdit_->setSelection(static_cast<int>(first.size()), static_cast<int>(start.size()));
    }
    txtEdit_->setFont(linesGrid_->CellFont(row, col));
    // The box stands in for the cell: its background and its text, both.
    const QColor back = linesGrid_->CellBackQColor(row, col);
    SetTextAndBackground(txtEdit_, TextSurface::Box, linesGrid_->CellForeQColor(row, col),
                         QBrush(back.isValid() ? back : linesGrid_->BackQColor()));
    editing_ = true;
    txtEdit_->show();
    txtEdit_->raise();
    txtEdit_->setFocus();
}

void LinesWindow::Grid1_SelectionChange(int row, int col)
{
    if (col == 1)
        linesGrid_->SetSelection(row, LineColumn);
    else if (col == 4)
        linesGrid_->SetSelection(row < linesGrid_->Rows() ? row + 1 : 1, LineColumn);
}

void LinesWindow::CommitEdit()
{
    committing_ = true;
    const int row = linesGrid_->SelectedRow();
    const int col = linesGrid_->SelectedCol();
    const std::string typed = TextToCommit(col);
    linesGrid_->EndEdit();
    linesGrid_->setFocus();
    committing_ = false;
    const GameTextField& field = CellField(col);
    std::string problem;
    const std::optional<double> value =
        ReadTypedNumber(typed, GameRecord::FieldOf(field.field).type, field.label, problem);
    if (!value) {
        MsgBox(problem + " The line was not changed.", vbExclamation, Caption);
        return;
    }
    SendKey(9, true);
    linesGrid_->SetRedraw(false);
    linesGrid_->SetCellText(row, col, *value);
    // A line wider than the week's own must show whole too, as the week's lines do when it loads.
    FitGridFont();
    SaveLines();
    linesGrid_->SetRedraw(true);
}

std::string LinesWindow::TextToCommit(int col) const
{
    const std::string shown = txtEdit_->text().toStdString();
    // The key typed over a value stands for the new value: 3 typed over 6.5 and Enter is 3, not
    // 36.5. A key that is no number alone (a minus) keeps the value behind it, as shown.
    const bool asStarted = !startKey_.isEmpty() && !startText_.isEmpty() &&
                           txtEdit_->text() == startKey_ + startText_ &&
                           txtEdit_->selectionStart() == startKey_.size() && txtEdit_->selectedText() == startText_;
    if (!asStarted)
        return shown;
    const GameTextField& field = CellField(col);
    std::string problem;
    const std::string key = startKey_.toStdString();
    return ReadTypedNumber(key, GameRecord::FieldOf(field.field).type, field.label, problem) ? key : shown;
}

bool LinesWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtEdit_) {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            switch (key->key()) {
            case Qt::Key_Tab:
            case Qt::Key_Backtab:
            case Qt::Key_Return:
            case Qt::Key_Enter:
            case Qt::Key_Escape:
                CommitEdit();
                return true;
            default:
                break;
            }
        } else if (editing_ && !committing_ && LeavesControl(txtEdit_, event)) {
            // A message over the window (a paste the cell refuses) leaves the edit open.
            linesGrid_->CancelEdit();
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------- output

std::string LinesWindow::OutputCaption() const { return "Vexal Lines for " + WeekSelectorText(); }

void LinesWindow::mnuPrint_Click()
{
    float scale = 0;
    PrintGrid(*linesGrid_, OutputCaption(), "", nullptr, true, true, scale, 0);
}

void LinesWindow::mnuHTMLP_Click() { PrintGridHTML(*linesGrid_, OutputCaption(), "", ""); }

void LinesWindow::mnuExport_Click()
{
    const std::string footer =
        "These Statistics are being brought to you by: <A HREF='" + HtmlEscape(WebSiteAddress()) + "'> Vexal </A>";
    const std::filesystem::path page = App().UserFolder / "VexalLines.htm";
    int16_t fontSize = 0;
    if (!GridToHTML(*linesGrid_, page, OutputCaption(), "", footer, fontSize, true, false))
        return;
    HideFormulaEditor();
    ShellOpen(page.string(), 4);
}

} // namespace vexal
