#include "OtherFactorsWindow.h"

#include "AppState.h"
#include "GameEntry.h"
#include "Host.h"
#include "LeavingControl.h"
#include "LineFiles.h"
#include "Main.h"
#include "MsgBox.h"
#include "Preferences.h"
#include "Screen.h"
#include "SeasonData.h"
#include "Steps.h"
#include "TextLimit.h"
#include "Teams.h"
#include "VbError.h"
#include "WeekRange.h"
#include "WindowNames.h"
#include "Windows.h"
#include "cResizer.h"

#include <QCloseEvent>
#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace vexal {

namespace {

const char* const Caption = "Other Factors";

// The design's twips, grown with a desktop's larger font.
int Px(double twips) { return Screen::DesignTwipsToPixelsX(twips); }
int PxY(double twips) { return Screen::DesignTwipsToPixelsY(twips); }

struct FactorRow {
    const char* awayName;
    const char* homeName;
    const char* label;
    const char* labelCaption;
    int top;
    int awayLeft;
    int homeLeft;
    int field;            // SeasonGames field
    GameRecord::Field stored;     // season record field
};

// Indexed by OtherFactorsWindow::Factor.
constexpr FactorRow Rows[4] = {
    {"inja3d", "injh3d", "lblInjuries", "Injuries", 960, 3255, 5790, gfInjury, GameRecord::Field::Injuries},
    {"weata3d", "weath3d", "lblWeather", "Weather", 1395, 3255, 5790, gfWeather, GameRecord::Field::Weather},
    {"sita3d", "sith3d", "lblSituation", "Situation", 1830, 3240, 5790, gfSituational, GameRecord::Field::Situational},
    {"psya3d", "psyh3d", "lblPsycological", "Psychological", 2265, 3240, 5790, gfPsychological, GameRecord::Field::Psychological},
};

constexpr int ButtonTwips = 340;

QString ColorSheet(int32_t color)
{
    return QString("background-color: rgb(%1, %2, %3); color: white; font-weight: bold;")
        .arg(color & 0xFF)
        .arg((color >> 8) & 0xFF)
        .arg((color >> 16) & 0xFF);
}

bool AllBlanks(const GameRecord& game)
{
    return std::all_of(game.Comment.begin(), game.Comment.end(), [](uint8_t c) { return c == ' '; });
}

// A team's name as wide as its text and a blank and as high as its design place: the resize
// rules scale the label and its face apart, and a label no wider than its text would lose a
// pixel of it to their rounding.
void FitTeamLabel(QLabel* label)
{
    label->adjustSize();
    label->resize(label->width() + QFontMetrics(label->font()).horizontalAdvance(QLatin1Char(' ')),
                  std::max(label->height(), PxY(285)));
}

} // namespace

OtherFactorsWindow::OtherFactorsWindow(QWidget* owner) : QWidget(owner)
{
    setObjectName(WindowName::OtherFactors);
    setWindowTitle(Caption);
    BuildControls();
}

OtherFactorsWindow::~OtherFactorsWindow() = default;

void OtherFactorsWindow::BuildControls()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    body_ = new QWidget(this);
    body_->setObjectName("InjuriesBody");
    layout->addWidget(body_);
    const QFont labelFont("Tahoma", 12);
    QFont boldLabel = labelFont;
    boldLabel.setBold(true);
    QFont buttonFont("Tahoma");
    buttonFont.setPointSizeF(8.25);

    struct Nav {
        QPushButton** button;
        const char* name;
        const char* caption;
        int left;
        int game;   // -1 first, -2 previous, -3 next, -4 last
    };
    const Nav navs[] = {{&cmdFirst_, "cmdFirst", "First Game", 1320, -1},
                        {&cmdPrev_, "cmdPrev", "Previous Game", 3285, -2},
                        {&cmdNext_, "cmdNext", "Next Game", 5040, -3},
                        {&cmdLast_, "cmdLast", "Last Game", 6720, -4}};
    for (const Nav& n : navs) {
        auto* b = new QPushButton(n.caption, body_);
        b->setObjectName(n.name);
        b->setGeometry(Px(n.left), PxY(120), Px(1665), PxY(300));
        b->setFont(buttonFont);
        const int which = n.game;
        connect(b, &QPushButton::clicked, this, [this, which] {
            SeasonData& s = Season();
            const int last = std::max(weekGames_ - 1, 0);
            switch (which) {
            case -1: Navigate(0); break;
            case -2: Navigate(std::max(s.CurrentGame - 1, 0)); break;
            case -3: Navigate(std::max(std::min(s.CurrentGame + 1, last), 0)); break;
            default: Navigate(last); break;
            }
        });
        *n.button = b;
    }

    lblAway_ = new QLabel("Away", body_);
    lblAway_->setObjectName("lblAway");
    lblAway_->setFont(boldLabel);
    lblAway_->setGeometry(Px(2040), PxY(600), Px(675), PxY(285));
    lblHome_ = new QLabel("Home", body_);
    lblHome_->setObjectName("lblHome");
    lblHome_->setFont(boldLabel);
    lblHome_->setGeometry(Px(6720), PxY(600), Px(705), PxY(285));

    QFont boldButton = buttonFont;
    boldButton.setBold(true);
    for (int f = 0; f < 4; ++f) {
        const FactorRow& row = Rows[f];
        auto* label = new QLabel(row.labelCaption, body_);
        label->setObjectName(row.label);
        label->setFont(labelFont);
        label->setAlignment(Qt::AlignCenter);
        label->setGeometry(Px(3700), PxY(row.top), Px(2000), PxY(281));
        for (int side = 0; side < 2; ++side)
            for (int i = 0; i < 7; ++i) {
                // The away row grows to the left of level 1, the home row to the right, each
                // button one button width from the one before it, so that they touch.
                const int firstLeft = Px(side == Away ? row.awayLeft : row.homeLeft);
                const int width = Px(ButtonTwips);
                const int left = side == Away ? firstLeft - i * width : firstLeft + i * width;
                auto* b = new QPushButton(QString::number(i + 1), body_);
                b->setObjectName(QString("%1_%2").arg(side == Away ? row.awayName : row.homeName).arg(i));
                b->setFont(boldButton);
                b->setGeometry(left, PxY(row.top), width, PxY(ButtonTwips));
                b->setFocusPolicy(Qt::StrongFocus);
                b->installEventFilter(this);
                connect(b, &QPushButton::clicked, this, [this, f, side, i] {
                    LevelButton_Click(f, side, i);
                    factorEdited_[f] = true;
                });
                buttons_[f][side][i] = b;
                SetPressed(f, side, i, false);
            }
    }
    auto* lblComment = new QLabel("Comment:", body_);
    lblComment->setObjectName("lblComment");
    lblComment->setFont(boldLabel);
    // Wide enough for the bold caption in any face: it keeps its right edge by the box.
    lblComment->setGeometry(Px(560), PxY(3184), Px(1390), PxY(300));
    txtComment_ = new QLineEdit(body_);
    txtComment_->setObjectName("txtComment");
    txtComment_->setFont(labelFont);
    UseTextLimit(txtComment_, static_cast<int>(GameRecord::CommentLength), "A comment holds at most 75 characters.");
    txtComment_->setGeometry(Px(2040), PxY(3165), Px(6600), PxY(375));
    txtComment_->installEventFilter(this);

    refreshButton_ = new QPushButton("Command1", body_);
    refreshButton_->setObjectName("Command1");
    SetViewRefresh(this, [this] { refreshButton_->click(); });
    refreshButton_->setGeometry(Px(480), PxY(3960), Px(8940), PxY(495));
    refreshButton_->hide();
    connect(refreshButton_, &QPushButton::clicked, this, &OtherFactorsWindow::LoadGameFactors);
}

void OtherFactorsWindow::Form_Load()
{
    if (loaded_)
        return;
    loaded_ = true;
    // Every step goes on past a failing one.
    SkipStep([&] { TakeMainPicture({cmdFirst_, cmdPrev_, cmdNext_, cmdLast_}, PictureOn::Button); });
    SkipStep([&] {
        Season().CurrentGame = 0;
        LoadGameFactors();
    });
    SkipStep([&] { resize(Px(9540), PxY(5205)); });
    SkipStep([&] {
        resize_ = new cResizer(this);
        connect(resize_, &cResizer::BeforeResizing, this, [this](bool&) { resize_BeforeResizing(); });
        resize_->AddPropotional(body_);
        resize_->AddFontResizing(body_);
        resize_->AddRule(cResizer::EqualWidths, body_, 50, {cmdFirst_, cmdPrev_, cmdNext_, cmdLast_});
        resize_->FollowLargeFonts();
        resize_->TargetForm(body_);
    });
}

void OtherFactorsWindow::resize_BeforeResizing()
{
    const int outer = Px(9540);
    FitTeamLabel(lblHome_);
    FitTeamLabel(lblAway_);
    lblHome_->move(static_cast<int>(outer * 0.75 - lblHome_->width() / 2.0), lblHome_->y());
    lblAway_->move(static_cast<int>(outer * 0.25 - lblAway_->width() / 2.0), lblAway_->y());
}

// ---------------------------------------------------------------- the game on show

bool OtherFactorsWindow::GameOnShow() const { return !fileName_.empty() && shownRecord_ > 0; }

void OtherFactorsWindow::LoadGameFactors()
{
    SeasonData& s = Season();
    const std::optional<SeasonWeek> chosen = CurrentSeasonWeek();
    if (!chosen)
        return;
    const int slot = static_cast<int>(App().CurrentFormula[fsCurrentWeek]) - 1;
    const int year = chosen->year;
    const int week = chosen->week;
    fileName_ = SeasonFilePath(year);

    // A season file that cannot be read is named once, and the week shows no game.
    WeekLines scan;
    ReportFileStep(fileName_, [&] { scan = ReadWeekLines(fileName_, false, week); });
    weekGames_ = static_cast<int>(scan.Games.size());
    if (scan.FirstRecord > 0) {
        s.WeekFirstRecord = scan.FirstRecord;
        s.NextWeekFirstRecord = scan.NextFirstRecord;
    }
    // A game left from a longer week shows the new week's last game, never another week's.
    if (s.CurrentGame >= weekGames_)
        s.CurrentGame = static_cast<int16_t>(std::max(weekGames_ - 1, 0));
    if (s.CurrentGame < 0)
        s.CurrentGame = 0;

    values_.fill(0);
    ReleaseAll();
    record_ = GameRecord{};
    factorEdited_.fill(false);
    shownRecord_ = 0;
    shownSlot_ = slot;
    shownGame_ = s.CurrentGame;
    const bool inWeek = s.WeekFirstRecord > 0 && s.CurrentGame >= 0 && s.CurrentGame < weekGames_;
    const int32_t record = s.WeekFirstRecord + s.CurrentGame;
    if (inWeek)
        ReportFileStep(fileName_, [&] {
            if (ReadGame(fileName_, record, record_))
                shownRecord_ = record;
        });
    if (!GameOnShow()) {
        // A week without games: nothing to show and nothing to write.
        record_ = GameRecord{};
        lblHome_->setText(QString());
        lblAway_->setText(QString());
        txtComment_->clear();
        return;
    }
    int16_t teamYear = 0;
    lblHome_->setText(QString::fromStdString(TeamName(record_.HomeTeam, teamYear, 3)));
    teamYear = 0;
    lblAway_->setText(QString::fromStdString(TeamName(record_.AwayTeam, teamYear, 3)));
    FitTeamLabel(lblHome_);
    FitTeamLabel(lblAway_);

    for (int f = 0; f < 4; ++f)
        ShowFactor(f, StoredFactor(f));
    txtComment_->setText(QString::fromStdString(FullCommentText(record_)));
}

int16_t OtherFactorsWindow::StoredFactor(int factor) const
{
    return static_cast<int16_t>(record_.Number(Rows[factor].stored));
}

void OtherFactorsWindow::ShowFactor(int factor, int16_t value)
{
    for (int side = 0; side < 2; ++side)
        for (int i = 0; i < 7; ++i)
            if (pressed_[factor][side][i])
                SetPressed(factor, side, i, false);
    values_[factor] = 0;
    // A level outside 1..7 has no button and is shown as none.
    if (value >= 1 && value <= 7)
        LevelButton_Click(factor, Home, value - 1);
    else if (value <= -1 && value >= -7)
        LevelButton_Click(factor, Away, -value - 1);
}

// ---------------------------------------------------------------- factor buttons

bool OtherFactorsWindow::Pressed(int factor, int side, int index) const { return pressed_[factor][side][index]; }

void OtherFactorsWindow::SetPressed(int factor, int side, int index, bool pressed)
{
    pressed_[factor][side][index] = pressed;
    QPushButton* b = buttons_[factor][side][index];
    const int32_t color = pressed ? PressedColor : ReleasedColor;
    b->setProperty("BackColor", color);
    // Setting a sheet parses and polishes it again even when it is the one in place: each
    // load releases every button.
    if (const QString sheet = ColorSheet(color); b->styleSheet() != sheet)
        b->setStyleSheet(sheet);
}

void OtherFactorsWindow::ReleaseAll()
{
    for (int f = 0; f < 4; ++f)
        for (int side = 0; side < 2; ++side)
            for (int i = 0; i < 7; ++i)
                SetPressed(f, side, i, false);
}

void OtherFactorsWindow::LevelButton_Click(int factor, int side, int index)
{
    if (pressed_[factor][side][index]) {
        SetPressed(factor, side, index, false);
        values_[factor] = 0;
        return;
    }
    for (int s = 0; s < 2; ++s)
        for (int i = 0; i < 7; ++i)
            if (pressed_[factor][s][i])
                SetPressed(factor, s, i, false);
    SetPressed(factor, side, index, true);
    values_[factor] = static_cast<int16_t>(side == Away ? -(index + 1) : index + 1);
}

void OtherFactorsWindow::StoreFactor(int factor)
{
    if (!factorEdited_[factor])
        return;
    // With no season on show only the arrays and the window's record take the value; a
    // week without a game on show takes it nowhere, so no other week's game changes.
    const bool toFile = !fileName_.empty();
    if (toFile && !GameOnShow())
        return;
    const int16_t value = values_[factor];
    // The file first: a level the file refused is not shown, nor given to the arrays.
    if (toFile) {
        GameRecord stored;
        const GameWrite written = PutGameFactor(fileName_, shownRecord_, record_, Rows[factor].stored, value, &stored);
        if (written.Stale()) {
            MsgBox(ChangedSinceShown(fileName_, written.reason), vbExclamation, Caption);
            ShowWeekAsStored();
            return;
        }
        if (!written.Written()) {
            factorEdited_[factor] = false;
            MsgBox(std::string("The ") + Rows[factor].labelCaption + " level could not be saved in " +
                       fileName_.string() + ": " + written.reason + ".",
                   vbExclamation, Caption);
            ShowFactor(factor, StoredFactor(factor));
            return;
        }
        // The record as the file now holds it.
        record_ = stored;
    }
    factorEdited_[factor] = false;
    record_.SetNumber(Rows[factor].stored, value);
    SeasonData& s = Season();
    const int slot = shownSlot_;
    if (slot >= 0 && shownGame_ >= 0 && shownGame_ < GamesPerWeekSlot &&
        (static_cast<std::size_t>(slot) + 1) * WeekSlotStride <= s.SeasonGames.size())
        s.Game(slot, shownGame_, Rows[factor].field) = value;
}

// ---------------------------------------------------------------- comment

void OtherFactorsWindow::txtComment_GotFocus() { ShowStoredComment(); }

// The stored comment ready to be typed over: a comment of blanks is none, so typing starts at
// the box's start rather than after 75 blanks.
void OtherFactorsWindow::ShowStoredComment()
{
    if (!AllBlanks(record_)) {
        txtComment_->setText(QString::fromStdString(FullCommentText(record_)));
        txtComment_->selectAll();
    } else {
        txtComment_->clear();
    }
}

void OtherFactorsWindow::txtComment_LostFocus()
{
    // A box left as the record holds it writes nothing, so a comment never set keeps its bytes.
    const QString text = txtComment_->text();
    const auto bytes = CommentBytes(text.toStdString());
    if (bytes == record_.Comment || text.toStdString() == FullCommentText(record_))
        return;
    if (fileName_.empty()) {
        record_.Comment = bytes;
        return;
    }
    if (!GameOnShow())
        return;
    GameRecord stored;
    const GameWrite written = PutGameComment(fileName_, shownRecord_, record_, bytes, &stored);
    if (written.Stale()) {
        MsgBox(ChangedSinceShown(fileName_, written.reason), vbExclamation, Caption);
        ShowWeekAsStored();
        return;
    }
    if (!written.Written()) {
        MsgBox("The comment could not be saved in " + fileName_.string() + ": " + written.reason + ".", vbExclamation,
               Caption);
        ShowStoredComment();
        return;
    }
    // The record as the file now holds it.
    record_ = stored;
}

void OtherFactorsWindow::ShowWeekAsStored()
{
    SeasonData& s = Season();
    if (const std::optional<SeasonWeek> shown = WeekOfSlot(shownSlot_)) {
        const int year = shown->year;
        const int week = shown->week;
        const std::filesystem::path lineFile =
            UseSeasonFileLines() ? std::filesystem::path() : LineFilePath(LineFileInUse(), s.SeasonYear);
        // The game on show stays on show, wherever the week's records now are.
        ReportFileStep(fileName_, [&] {
            s.CurrentGame = static_cast<int16_t>(
                ReloadWeekKeepingGame(fileName_, year, week, lineFile, GameKey::Of(record_), s.CurrentGame));
        });
    }
    LoadGameFactors();
}

void OtherFactorsWindow::closeEvent(QCloseEvent* event)
{
    // A level clicked or a comment typed just before the window closes is stored like one
    // whose control lost the focus.
    for (int f = 0; f < 4; ++f)
        StoreFactor(f);
    txtComment_LostFocus();
    event->accept();
}

void OtherFactorsWindow::Navigate(int game)
{
    Season().CurrentGame = static_cast<int16_t>(game);
    LoadGameFactors();
}

bool OtherFactorsWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtComment_) {
        if (EntersControl(txtComment_, event))
            txtComment_GotFocus();
        else if (LeavesControl(txtComment_, event))
            txtComment_LostFocus();
    } else if (LeavesControl(qobject_cast<QWidget*>(watched), event)) {
        for (int f = 0; f < 4; ++f)
            for (int side = 0; side < 2; ++side)
                for (int i = 0; i < 7; ++i)
                    if (watched == buttons_[f][side][i])
                        StoreFactor(f);
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace vexal
