#include "InputStatsWindow.h"

#include "AppMenu.h"
#include "AppState.h"
#include "BoxScorePrint.h"
#include "FittingFace.h"
#include "GameEntry.h"
#include "Host.h"
#include "LeavingControl.h"
#include "LineFiles.h"
#include "Main.h"
#include "MsgBox.h"
#include "NumberInput.h"
#include "Preferences.h"
#include "Screen.h"
#include "SeasonData.h"
#include "SendKey.h"
#include "Steps.h"
#include "TeamLists.h"
#include "Teams.h"
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
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>

namespace vexal {

namespace {

const char* const Caption = "Input Stats";
const char* const DateMessage = "Date must be in the format MM/DD/YYYY";

// The design's twips, grown with a desktop's larger font.
int Px(double twips) { return Screen::DesignTwipsToPixelsX(twips); }
int PxY(double twips) { return Screen::DesignTwipsToPixelsY(twips); }

// Where a box-score field stands: its column and its line in the column, the away team's box
// in the upper block and the home team's 1440 twips below it; in tab order.
struct Place {
    GameText away;
    GameText home;
    int column;
    int line;
};
constexpr Place Places[] = {
    {gtAwayScore, gtHomeScore, 0, 0},       {gtAwayFirstDowns, gtHomeFirstDowns, 1, 0},
    {gtAwayRushAtt, gtHomeRushAtt, 2, 0},   {gtAwayRushYds, gtHomeRushYds, 2, 1},
    {gtAwayPassYds, gtHomePassYds, 3, 0},   {gtAwayTDs, gtHomeTDs, 3, 1},
    {gtAwayPassAtt, gtHomePassAtt, 4, 0},   {gtAwayPassComp, gtHomePassComp, 4, 1},
    {gtAwayInt, gtHomeInt, 4, 2},           {gtAwayRetYds, gtHomeRetYds, 5, 0},
    {gtAwayFum, gtHomeFum, 6, 0},           {gtAwayFumLost, gtHomeFumLost, 6, 1},
    {gtAwaySacks, gtHomeSacks, 7, 0},       {gtAwaySackYds, gtHomeSackYds, 7, 1},
    {gtAwayPen, gtHomePen, 8, 0},           {gtAwayPenYds, gtHomePenYds, 8, 1},
    {gtAwayTOPMin, gtHomeTOPMin, 9, 0},     {gtAwayTOPSec, gtHomeTOPSec, 10, 0},
};
// Every box but the date and the two lines has its place.
static_assert(std::size(Places) * 2 + gtTotal + 1 == GameTextCount);
const char* const ColumnLabels[] = {"Score", "First Downs", "R.Att.  R.Yds.", "Pass Yds. TDs", "P.Att.  P.Com.  Ints.",
                                    "Ret. Y",  "Fum.   F.Lost", "Sack   S.Yds.", "Pen. P.Yds.",
                                    "Time Of Possesion Min. : Sec."};
constexpr int ColumnLeft = 2640;
constexpr int ColumnWidth = 600;
constexpr int BoxWidth = 540;
constexpr int BoxHeight = 315;

// A heading is as wide as the boxes under it: one column's, the possession time's two.
int HeadingWidth(int column) { return column == 9 ? ColumnWidth + BoxWidth : BoxWidth; }

// The headings' face: the window's own, made smaller (FittingFace) where the longest word of a
// heading is wider than its column, since a heading wraps between words, never inside one
// ("Downs" of "First Downs" ran into the next heading). The resizer grows it with the window
// from there, by no more than it widens the columns, so a word that fits here fits at every
// size the window follows.
QFont HeadingFace(QFont face)
{
    constexpr double SmallestPoints = 7;
    auto fits = [](const QFont& f) {
        const QFontMetrics fm(f);
        for (int c = 0; c < static_cast<int>(std::size(ColumnLabels)); ++c)
            for (const QString& word : QString(ColumnLabels[c]).split(' ', Qt::SkipEmptyParts))
                if (fm.horizontalAdvance(word) > Px(HeadingWidth(c)))
                    return false;
        return true;
    };
    // Whole points: at a desktop's 13 points a half point more cuts "First Downs" once the
    // resizer has grown the window's faces with the window.
    return FittingFace(face, SmallestPoints, fits, 1);
}

} // namespace

InputStatsWindow::InputStatsWindow(QWidget* owner) : QWidget(owner)
{
    setObjectName(WindowName::InputStats);
    setWindowTitle(Caption);
    BuildControls();
    BuildMenus();
}

InputStatsWindow::~InputStatsWindow() = default;

void InputStatsWindow::BuildControls()
{
    body_ = AddMenuBarAndBody(this, menuBar_, "InputStatsBody");

    const char* navNames[4] = {"cmdFirst", "cmdPrev", "cmdNext", "cmdLast"};
    const char* navCaptions[4] = {"First Game", "Previous Game", "Next Game", "Last Game"};
    for (int i = 0; i < 4; ++i) {
        auto* b = new QPushButton(navCaptions[i], body_);
        b->setObjectName(navNames[i]);
        b->setGeometry(Px(480 + i * 2100), PxY(40), Px(1900), PxY(280));
        connect(b, &QPushButton::clicked, this, [this, i] { Navigate(i); });
        nav_[static_cast<std::size_t>(i)] = b;
    }

    // The labels are named so that the resize rules move them with the boxes they caption.
    auto label = [this](const QString& name, const char* text, int left, int top, int width) {
        auto* l = new QLabel(text, body_);
        l->setObjectName(name);
        l->setGeometry(Px(left), PxY(top), Px(width), PxY(255));
        return l;
    };
    label("lblDate", "Date:", 480, 390, 800);
    label("lblSurface", "Surface:", 480, 750, 800);
    label("lblAwayTeam", "Away Team", 480, 1060, 1500);
    label("lblHomeTeam", "Home Team", 480, 2500, 1500);
    label("lblLine", "Line", 720, 1780, 700);
    label("lblTotal", "Total", 1440, 1780, 700);
    // The column headings wrap to two or three lines: each stands on the boxes it captions, as
    // wide as they are, and grows upwards into the free band beside the date and surface boxes.
    // The gap between two columns of boxes parts their headings too.
    const QFont face = HeadingFace(body_->font());
    for (int c = 0; c < 10; ++c) {
        QLabel* heading = label(QString("lblColumn_%1").arg(c), ColumnLabels[c], ColumnLeft + c * ColumnWidth, 1000,
                                HeadingWidth(c));
        heading->setFont(face);
        heading->setWordWrap(true);
        heading->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
        heading->setGeometry(Px(ColumnLeft + c * ColumnWidth), PxY(400), heading->width(), PxY(855));
    }
    label("lblColon_0", ":", ColumnLeft + 10 * ColumnWidth - 60, 1320, 60);
    label("lblColon_1", ":", ColumnLeft + 10 * ColumnWidth - 60, 2760, 60);

    auto teamList = [this](const char* name, const char* text, int top) {
        auto* c = new QComboBox(body_);
        c->setObjectName(name);
        c->setEditable(true);
        c->setInsertPolicy(QComboBox::NoInsert);
        c->setEditText(text);
        c->setGeometry(Px(480), PxY(top), Px(2055), PxY(BoxHeight));
        return c;
    };
    cboAway_ = teamList("cboAway", "Away Team", 1320);
    cboHome_ = teamList("cboHome", "Home Team", 2760);
    connect(cboAway_, &QComboBox::activated, this, [this] { SaveGame(); });
    connect(cboHome_, &QComboBox::activated, this, [this] { SaveGame(); });
    cboSurface_ = new QComboBox(body_);
    cboSurface_->setObjectName("cboSurface");
    cboSurface_->setEditable(true);
    cboSurface_->setInsertPolicy(QComboBox::NoInsert);
    cboSurface_->setGeometry(Px(1320), PxY(720), Px(1200), PxY(BoxHeight));
    cboSurface_->installEventFilter(this);
    if (cboSurface_->lineEdit())
        cboSurface_->lineEdit()->installEventFilter(this);

    for (int i = 0; i < GameTextCount; ++i) {
        auto* box = new QLineEdit(body_);
        box->setObjectName(QString("txtData_%1").arg(i));
        box->setProperty("Tag", QString::fromLatin1(GameTextFields()[static_cast<std::size_t>(i)].tag));
        box->installEventFilter(this);
        // What a box takes follows its record field: a count refuses a decimal point, a
        // Byte a sign; the lines take both, the date its "/" besides.
        const GameRecord::Field field = GameTextFields()[static_cast<std::size_t>(i)].field;
        UseNumberInput(box, NumberKindOf(GameRecord::FieldOf(field).type));
        txtData_[static_cast<std::size_t>(i)] = box;
    }
    txtData_[gtDate]->setGeometry(Px(1320), PxY(360), Px(1200), PxY(BoxHeight));
    txtData_[gtLine]->setGeometry(Px(720), PxY(2040), Px(660), PxY(BoxHeight));
    txtData_[gtTotal]->setGeometry(Px(1440), PxY(2040), Px(660), PxY(BoxHeight));
    for (const Place& p : Places) {
        const int left = ColumnLeft + p.column * ColumnWidth;
        const int top = 1320 + p.line * 360;
        txtData_[p.away]->setGeometry(Px(left), PxY(top), Px(BoxWidth), PxY(BoxHeight));
        txtData_[p.home]->setGeometry(Px(left), PxY(top + 1440), Px(BoxWidth), PxY(BoxHeight));
    }

    // Tab order: teams, date, surface, lines, the away fields, the home fields, navigation.
    std::vector<QWidget*> order = {cboAway_, cboHome_, txtData_[gtDate], cboSurface_, txtData_[gtLine],
                                   txtData_[gtTotal]};
    for (const Place& p : Places)
        order.push_back(txtData_[p.away]);
    for (const Place& p : Places)
        order.push_back(txtData_[p.home]);
    for (int i : {0, 3, 1, 2})
        order.push_back(nav_[static_cast<std::size_t>(i)]);
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);

    showGameButton_ = new QPushButton("Command1", body_);
    showGameButton_->setObjectName("Command1");
    showGameButton_->hide();
    connect(showGameButton_, &QPushButton::clicked, this, [this] {
        ResetGameForm();
        ShowGame();
    });
    refreshButton_ = new QPushButton("Command2", body_);
    refreshButton_->setObjectName("Command2");
    SetViewRefresh(this, [this] { refreshButton_->click(); });
    refreshButton_->hide();
    connect(refreshButton_, &QPushButton::clicked, this, [this] {
        Season().CurrentGame = 0;
        showGameButton_->click();
    });
}

void InputStatsWindow::BuildMenus()
{
    QMenu* file = menuBar_->addMenu("&File");
    file->setObjectName("mnuFile");
    QAction* print = file->addAction("&Print");
    print->setObjectName("mnuPrint");
    connect(print, &QAction::triggered, this, &InputStatsWindow::mnuPrint_Click);

    QMenu* navigate = menuBar_->addMenu("&Navigate");
    navigate->setObjectName("mnuNavigate");
    const char* names[4] = {"mnuFirst", "mnuPrev", "mnuNext", "mnuLast"};
    const char* captions[4] = {"&First Game", "&Previous Game", "&Next Game", "&Last Game"};
    for (int i = 0; i < 4; ++i) {
        QAction* a = navigate->addAction(captions[i]);
        a->setObjectName(names[i]);
        connect(a, &QAction::triggered, this, [this, i] { nav_[static_cast<std::size_t>(i)]->click(); });
    }
    QMenu* help = menuBar_->addMenu("&Help");
    help->setObjectName("mnuHelpMenu");
    QAction* helpItem = help->addAction("&Help");
    helpItem->setObjectName("mnuHelp");
    connect(helpItem, &QAction::triggered, this, [] { ShowHelpTopic("InputStats.htm"); });
}

void InputStatsWindow::Form_Load()
{
    if (loaded_)
        return;
    loaded_ = true;
    SkipStep([&] { resize(Px(9540), PxY(5205)); });
    SkipStep([&] { resize_ = new cResizer(this); });
    SkipStep([&] {
        const bool whiteLabels = App().ThemeName.empty();
        for (QLabel* l : body_->findChildren<QLabel*>())
            if (whiteLabels) {
                QPalette palette = l->palette();
                palette.setColor(QPalette::WindowText, Qt::white);
                l->setPalette(palette);
            }
        QList<QWidget*> buttons;
        for (QPushButton* b : body_->findChildren<QPushButton*>())
            buttons.append(b);
        TakeMainPicture(buttons, PictureOn::Button);
    });
    SkipStep([&] {
        resize_->AddPropotional(body_);
        resize_->AddFontResizing(body_);
        resize_->AddRule(cResizer::EqualWidths, body_, 100, {nav_[0], nav_[1], nav_[2], nav_[3]});
        QList<QWidget*> boxes;
        // Every box but the two touchdown boxes, which keep their own height.
        for (int i = gtDate; i <= gtHomeTOPSec; ++i)
            boxes.push_back(txtData_[static_cast<std::size_t>(i)]);
        resize_->AddMaxHeight(static_cast<int32_t>(Screen::PixelsToTwipsY(cboHome_->height())), boxes);
        resize_->FollowLargeFonts();
        resize_->TargetForm(body_);
    });
    SkipStep([&] {
        for (int code = 0; code <= 3; ++code)
            cboSurface_->addItem(QString::fromStdString(SurfaceName(code)));
    });
    SkipStep([&] {
        Season().CurrentGame = 0;
        ResetGameForm();
        ShowGame();
    });
}

void InputStatsWindow::closeEvent(QCloseEvent* event)
{
    SaveGame();
    event->accept();
}

// ---------------------------------------------------------------- the game on show

bool InputStatsWindow::ChosenWeek(int& season, int& week) const
{
    const std::optional<SeasonWeek> chosen = CurrentSeasonWeek();
    if (!chosen)
        return false;
    season = chosen->year;
    week = chosen->week;
    return true;
}

void InputStatsWindow::FillTeamCombos()
{
    cboAway_->clear();
    cboHome_->clear();
    for (int code = 1; code <= LastTeamCode; ++code) {
        int16_t year = 0;
        const QString name = QString::fromStdString(TeamName(code, year, NameStyleAsShown));
        AddTeamEntry(cboAway_, code, name);
        AddTeamEntry(cboHome_, code, name);
    }
}

void InputStatsWindow::ResetGameForm()
{
    SkipStep([&] { FillTeamCombos(); });
    // The week's games counted here: the range of a file's last week ends at the record
    // count, which would leave out its last game.
    weekGames_ = 0;
    int season = 0, week = 0;
    if (!ChosenWeek(season, week)) {
        SetWeekRange(0, 0);   // no loaded season holds the week: no file is read
        return;
    }
    // A season file that cannot be read is named once, and the week shows no game.
    const std::filesystem::path file = SeasonFilePath(season);
    ReportFileStep(file, [&] {
        SetWeekRange(0, 0);
        const WeekLines lines = ReadWeekLines(file, false, week);
        if (lines.FirstRecord == Season().WeekFirstRecord)
            weekGames_ = static_cast<int>(lines.Games.size());
    });
}

bool InputStatsWindow::GameOnShow() const
{
    const SeasonData& s = Season();
    return s.WeekFirstRecord > 0 && s.CurrentGame >= 0 && s.CurrentGame < weekGames_;
}

std::array<QString, GameTextCount + 5> InputStatsWindow::ControlTexts() const
{
    std::array<QString, GameTextCount + 5> texts;
    for (int i = 0; i < GameTextCount; ++i)
        texts[static_cast<std::size_t>(i)] = txtData_[static_cast<std::size_t>(i)]->text();
    texts[GameTextCount] = cboHome_->currentText();
    texts[GameTextCount + 1] = cboAway_->currentText();
    texts[GameTextCount + 2] = cboSurface_->currentText();
    // The other club of a shared name chosen changes no text.
    texts[GameTextCount + 3] = QString::number(cboHome_->currentIndex());
    texts[GameTextCount + 4] = QString::number(cboAway_->currentIndex());
    return texts;
}

void InputStatsWindow::PutTexts(const GameRecord& game, double line, double total)
{
    const bool wasShowing = showing_;
    showing_ = true;
    int16_t year = 0;
    ShowTeam(cboHome_, game.HomeTeam, QString::fromStdString(TeamName(game.HomeTeam, year, NameStyleAsShown)));
    year = 0;
    ShowTeam(cboAway_, game.AwayTeam, QString::fromStdString(TeamName(game.AwayTeam, year, NameStyleAsShown)));
    cboSurface_->setCurrentIndex(game.Surface <= 3 ? game.Surface : -1);
    const auto texts = GameTexts(game, line, total);
    for (int i = 0; i < GameTextCount; ++i)
        txtData_[static_cast<std::size_t>(i)]->setText(QString::fromStdString(texts[static_cast<std::size_t>(i)]));
    shown_.texts = ControlTexts();
    showing_ = wasShowing;
}

void InputStatsWindow::ShowGame()
{
    int season = 0, week = 0;
    if (!ChosenWeek(season, week))
        return;
    seasonFile_ = SeasonFilePath(season);
    const SeasonData& s = Season();
    showing_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{showing_};
    shown_ = Shown{};
    auto showNoGame = [this] {
        for (QLineEdit* box : txtData_)
            box->clear();
        cboAway_->setEditText("Away Team");
        cboHome_->setEditText("Home Team");
        cboSurface_->setCurrentIndex(-1);
    };
    if (!GameOnShow()) {
        // A week with no game in its season file: nothing to show, nothing to save.
        showNoGame();
        return;
    }
    int32_t record = s.WeekFirstRecord + s.CurrentGame;
    const bool seasonLines = UseSeasonFileLines();
    const std::filesystem::path lineFile = seasonLines ? std::filesystem::path()
                                                       : LineFilePath(LineFileInUse(), s.SeasonYear);
    GameRecord game;
    double line = 0, total = 0;
    // A game that cannot be read is named once; the boxes never keep the game shown before.
    auto read = [&] {
        return ReportFileStep(seasonFile_, [&] {
            ReadShownGame(seasonFile_, record, seasonLines, lineFile, s.SeasonYear, game, line, total);
        });
    };
    bool wasRead = read();
    if (wasRead && game.Week != week) {
        // Another program moved the season's records since the week was scanned: the week is
        // scanned again, so that no game of another week shows under this one.
        const int place = s.CurrentGame;
        ResetGameForm();
        Season().CurrentGame = static_cast<int16_t>(std::min(place, std::max(weekGames_ - 1, 0)));
        wasRead = GameOnShow();
        if (wasRead) {
            record = s.WeekFirstRecord + s.CurrentGame;
            wasRead = read();
        }
    }
    if (!wasRead) {
        showNoGame();
        return;
    }
    shown_.record = record;
    shown_.slot = static_cast<int>(App().CurrentFormula[fsCurrentWeek]) - 1;
    shown_.game = s.CurrentGame;
    shown_.seasonLines = seasonLines;
    shown_.lineFile = lineFile;
    shown_.stored = game;
    shown_.line = line;
    shown_.total = total;
    PutTexts(game, line, total);
}

void InputStatsWindow::SaveGame()
{
    if (showing_ || shown_.record < 1 || seasonFile_.empty())
        return;
    // Nothing typed or chosen since the game was shown or saved: nothing to write, so a game
    // passed through on the way to another stays as it is on disk.
    if (saving_ || ControlTexts() == shown_.texts)
        return;
    saving_ = true;
    struct Saved {
        bool& flag;
        ~Saved() { flag = false; }
    } saved{saving_};
    SeasonData& s = Season();
    const int32_t record = shown_.record;
    GameEdits edits;
    for (int i = 0; i < GameTextCount; ++i)
        edits.texts[static_cast<std::size_t>(i)] = txtData_[static_cast<std::size_t>(i)]->text().toStdString();
    // The club of the entry chosen, never the name read back: a team the user left as it was
    // stays the one stored.
    edits.homeTeam = ChosenTeam(cboHome_, shown_.stored.Year);
    edits.awayTeam = ChosenTeam(cboAway_, shown_.stored.Year);
    edits.surface = cboSurface_->findText(cboSurface_->currentText());

    // A write that fails leaves the file as it was: the boxes go back to what it holds.
    auto refused = [&](const std::filesystem::path& file, const std::string& what, const std::string& reason) {
        MsgBox(what + " could not be saved in " + file.string() + ": " + reason + ".", vbExclamation, Caption);
        PutTexts(shown_.stored, shown_.line, shown_.total);
    };
    const GameSave result = SaveGameEdits(edits, seasonFile_, record, shown_.stored, shown_.seasonLines,
                                          shown_.lineFile, shown_.line, shown_.total);
    switch (result.status) {
    case GameSave::Status::Invalid: MsgBox(result.message, vbExclamation, Caption); return;
    case GameSave::Status::Stale:
        // Another program or a copy changed the file under the window: nothing of this edit is
        // written, and the week shows as the file now holds it, in the arrays too.
        MsgBox(result.message, vbExclamation, Caption);
        ShowWeekAsStored();
        return;
    case GameSave::Status::GameRefused: refused(seasonFile_, "The game", result.message); return;
    case GameSave::Status::LinesRefused:
        shown_.stored = result.game;
        refused(shown_.lineFile, "The line and total", result.message);
        break;
    case GameSave::Status::Saved: break;
    }
    shown_.stored = result.game;
    shown_.line = result.line;
    shown_.total = result.total;
    // The game as the files hold it now: another instance may have written other fields of
    // it since it was shown (an import of its week), and a box still showing the old value
    // would write that back at the next save.
    if (result.status == GameSave::Status::Saved)
        PutTexts(result.game, result.line, result.total);

    // Then the loaded arrays, with every field the loader takes from the record.
    const int slot = shown_.slot;
    const int g = shown_.game;
    if (slot < 0 || g < 0 || g >= GamesPerWeekSlot ||
        (static_cast<std::size_t>(slot) + 1) * WeekSlotStride > s.SeasonGames.size())
        return;
    const auto fields = result.game.GameFields();
    for (int f = 0; f < FieldsPerGame; ++f)
        if (f != gfWeek && (f < gfInjury || f > gfSituational))
            s.Game(slot, g, f) = fields[static_cast<std::size_t>(f)];
    if ((static_cast<std::size_t>(slot) + 1) * LineSlotStride <= s.SeasonLines.size()) {
        s.Spread(slot, g) = static_cast<float>(result.line);
        s.Total(slot, g) = static_cast<float>(result.total);
    }
}

void InputStatsWindow::ShowWeekAsStored()
{
    int season = 0, week = 0;
    if (!ChosenWeek(season, week))
        return;
    const std::filesystem::path file = SeasonFilePath(season);
    const std::filesystem::path lineFile = shown_.seasonLines ? std::filesystem::path() : shown_.lineFile;
    // The game on show stays on show, wherever the week's records now are.
    int place = Season().CurrentGame;
    ReportFileStep(file, [&] {
        place = ReloadWeekKeepingGame(file, season, week, lineFile, GameKey::Of(shown_.stored), place);
    });
    ResetGameForm();
    Season().CurrentGame = static_cast<int16_t>(std::min(place, std::max(weekGames_ - 1, 0)));
    ShowGame();
}

// ---------------------------------------------------------------- navigation and input

void InputStatsWindow::Navigate(int which)
{
    SeasonData& s = Season();
    const int last = std::max(weekGames_ - 1, 0);
    int game = s.CurrentGame;
    switch (which) {
    case 0: game = 0; break;
    case 1: game = std::max(game - 1, 0); break;
    case 2: game = std::max(std::min(game + 1, last), 0); break;
    default: game = last; break;
    }
    s.CurrentGame = static_cast<int16_t>(game);
    ShowGame();
}

bool InputStatsWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == cboSurface_ || (cboSurface_->lineEdit() && watched == cboSurface_->lineEdit())) {
        if (LeavesControl(cboSurface_, event))
            SaveGame();
        return QWidget::eventFilter(watched, event);
    }
    const auto found = std::find(txtData_.begin(), txtData_.end(), watched);
    if (found == txtData_.end())
        return QWidget::eventFilter(watched, event);
    QLineEdit* box = *found;
    const bool dateBox = box == txtData_[0];
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            SendKey(9, true);
            return true;
        }
        break;
    }
    case QEvent::FocusIn:
        // Back from another program the box is as it was, caret and selection too.
        if (!EntersControl(box, event))
            break;
        // After the focus change has settled, as a click would otherwise move the caret.
        QTimer::singleShot(0, box, [box] { box->selectAll(); });
        box->selectAll();
        break;
    case QEvent::FocusOut: {
        // A message over the window is not the box being left, nor is the focus passing
        // through on its way back to a date box that refuses to be left.
        if (!LeavesControl(box, event))
            break;
        if (dateBox) {
            double date = 0;
            if (!IsGameDate(box->text().toStdString(), date)) {
                const LeaveRefused refused(box);
                MsgBox(DateMessage, vbOKOnly, Caption);
                box->setFocus();
                return false;
            }
        }
        SaveGame();
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void InputStatsWindow::mnuPrint_Click()
{
    int season = 0, week = 0;
    if (Season().WeekFirstRecord < 1 || weekGames_ < 1 || !ChosenWeek(season, week))
        return;
    PrintBoxScores(SeasonFilePath(season), Season().WeekFirstRecord, weekGames_);
}

} // namespace vexal
