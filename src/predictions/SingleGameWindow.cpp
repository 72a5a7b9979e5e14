#include "SingleGameWindow.h"
#include "ReadableText.h"

#include "AppState.h"
#include "CMouse.h"
#include "FlagScope.h"
#include "GameRecord.h"
#include "MsgBox.h"
#include "NumberInput.h"
#include "Predict.h"
#include "SendKey.h"
#include "Steps.h"
#include "TeamLists.h"
#include "Teams.h"
#include "TypedNumber.h"
#include "VbConvert.h"
#include "VbError.h"
#include "WindowNames.h"
#include "Windows.h"
#include "cBackGround.h"
#include "cResizer.h"
#include "Screen.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <span>
#include <string>
#include <tuple>
#include <utility>

namespace vexal {

namespace {
const char* const Caption = "Single Game Prediction";
const char* const NoTeamsText =
    "You must select a team for both home and away\r\nYou should also enter a line, or I will use zero for both.";
const char* const SameTeamText = "A team cannot play itself: choose two different teams.";
} // namespace

SingleGameWindow::SingleGameWindow(QWidget* owner) : GuardedDialog(owner)
{
    setObjectName(WindowName::SingleGame);
    setWindowTitle(Caption);

    // Sizes in pixels for the font the window is laid out for, grown with a desktop's larger
    // font, so that the captions left of the lists and boxes keep their room.
    auto px = [](int designPixels) { return Screen::DesignPixels(designPixels); };
    homeTeam_ = new QComboBox(this);
    homeTeam_->setObjectName("Combo1");
    homeTeam_->setProperty("Tag", "Home Team");
    homeTeam_->setGeometry(px(100), px(12), px(170), px(24));
    awayTeam_ = new QComboBox(this);
    awayTeam_->setObjectName("Combo2");
    awayTeam_->setProperty("Tag", "Away Team");
    awayTeam_->setGeometry(px(100), px(46), px(170), px(24));
    lineBox_ = new QLineEdit(this);
    lineBox_->setObjectName("Text1");
    lineBox_->setProperty("Tag", "Line");
    lineBox_->setGeometry(px(100), px(80), px(60), px(24));
    totalBox_ = new QLineEdit(this);
    totalBox_->setObjectName("Text2");
    totalBox_->setProperty("Tag", "Over / Under");
    totalBox_->setGeometry(px(100), px(114), px(60), px(24));
    lblHome_ = new QLabel(this);
    lblHome_->setObjectName("lblHome");
    lblHome_->setAlignment(Qt::AlignCenter);
    lblHome_->setGeometry(px(290), px(12), px(60), px(24));
    lblAway_ = new QLabel(this);
    lblAway_->setObjectName("lblAway");
    lblAway_->setAlignment(Qt::AlignCenter);
    lblAway_->setGeometry(px(290), px(46), px(60), px(24));
    predictButton_ = new QPushButton("Predict", this);
    predictButton_->setObjectName("Command3d1");
    predictButton_->setGeometry(px(60), px(156), px(110), px(28));
    exitButton_ = new QPushButton("Exit", this);
    exitButton_->setObjectName("Command3d2");
    exitButton_->setGeometry(px(200), px(156), px(110), px(28));
    predictButton_->setAutoDefault(false);
    exitButton_->setAutoDefault(false);
    setFixedSize(px(380), px(200));

    // A line and a total, as a game record holds them: decimals and a sign.
    using F = GameRecord::Field;
    for (auto [box, field] : {std::pair{lineBox_, F::Line}, std::pair{totalBox_, F::Total}}) {
        box->installEventFilter(this);
        AnswerEnterWithTab(box);
        UseNumberInput(box, NumberKindOf(GameRecord::FieldOf(field).type));
    }
    SetBack(lblHome_, NeutralLabel, false);
    SetBack(lblAway_, NeutralLabel, false);
    SetBack(totalBox_, NeutralTotal, true);

    connect(predictButton_, &QPushButton::clicked, this, &SingleGameWindow::Command3d1_Click);
    // One prediction at a time: the button waits while one yields.
    OnBusyChanged(this, [this](bool busy) { predictButton_->setEnabled(!busy); });
    connect(exitButton_, &QPushButton::clicked, this, [this] { close(); });
    engine_.Weekly = [this](WeeklyTableArray& table) { ShowResult(table); };
}

SingleGameWindow::~SingleGameWindow() = default;

void SingleGameWindow::SetBack(QWidget* w, int32_t color, bool textBox)
{
    // The text goes with the colour it is shown on.
    SetSurfaceBackground(w, textBox ? TextSurface::Box : TextSurface::Window, QBrush(TranslateColor(color)));
    w->setAutoFillBackground(true);
    w->setProperty("BackColor", color);
}

void SingleGameWindow::Form_Load()
{
    CMouse mouse;
    mouse.SetPointer(vbHourglass);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    for (int code = 1; code <= LastTeamCode; ++code) {
        std::string name;
        SkipStep([&] { name = TeamName(code, 0, NameStyleAsShown); });
        // A code that names no team in the season (before its franchise began) is left out.
        if (name.empty())
            continue;
        AddTeamEntry(homeTeam_, code, QString::fromStdString(name));
        AddTeamEntry(awayTeam_, code, QString::fromStdString(name));
    }
    background_ = new cBackGround(this);
    background_->GradientForm(this, App().ThemeForeColor, App().ThemeBackColor, cBackGround::Vertical, true);
}

void SingleGameWindow::Form_Activate()
{
    // The caption labels are made once; every later activation would stack copies.
    if (captionsAdded_)
        return;
    captionsAdded_ = true;
    resize_ = new cResizer(this);
    resize_->AddCaptions(this, nullptr, 60, 2, {homeTeam_, awayTeam_, lineBox_, totalBox_});
}

bool SingleGameWindow::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return GuardedDialog::event(event);
}

bool SingleGameWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn) {
        if (auto* box = qobject_cast<QLineEdit*>(watched))
            QTimer::singleShot(0, box, [box] { box->selectAll(); });
    }
    return GuardedDialog::eventFilter(watched, event);
}

bool SingleGameWindow::QueryClose()
{
    // Not while a prediction runs: its result has a window to go to.
    return !running_;
}

void SingleGameWindow::Command3d1_Click()
{
    if (running_)
        return;
    SetBack(lblHome_, NeutralLabel, false);
    SetBack(lblAway_, NeutralLabel, false);
    SetBack(totalBox_, NeutralTotal, true);

    // The club of the entry chosen: two may share the name it shows.
    const int16_t home = ChosenTeam(homeTeam_);
    const int16_t away = ChosenTeam(awayTeam_);
    if (home <= 0 || away <= 0 || home > LastTeamCode || away > LastTeamCode) {
        MsgBox(NoTeamsText, vbOKOnly);
        return;
    }
    if (home == away) {
        MsgBox(SameTeamText, vbOKOnly);
        return;
    }
    // The line and the total are read as a game record's fields are typed (an empty box is 0).
    using F = GameRecord::Field;
    for (const auto& [box, field, label] : {std::tuple{lineBox_, F::Line, "the line"},
                                            std::tuple{totalBox_, F::Total, "the over/under"}}) {
        std::string problem;
        if (!ReadTypedNumber(box->text().toStdString(), GameRecord::FieldOf(field).type, label, problem)) {
            MsgBox(problem + " Nothing was predicted.", vbOKOnly);
            return;
        }
    }
    HomeCode = static_cast<uint8_t>(home);
    AwayCode = static_cast<uint8_t>(away);

    BusyScope busy;
    const FlagScope runEnd(running_);
    AppState& app = App();
    ReportStep([&] {
        // A single game cannot be stopped: an earlier stop request must not end it.
        app.StopTest = false;
        TestRequest request;
        request.Low = app.CurrentFormula;
        request.High = app.CurrentFormula;
        request.Filters = app.TestFilters;
        request.HomeTeam = HomeCode;
        request.AwayTeam = AwayCode;
        request.SingleGame = true;
        engine_.TestFormulas(request);
    }, AppTitle);
}

void SingleGameWindow::ShowResult(WeeklyTableArray& table)
{
    const float home = static_cast<float>(CellNumber(table[0][2]));
    const float away = static_cast<float>(CellNumber(table[0][3]));
    const Formula& f = App().CurrentFormula;
    const int line = predict::WholeNumber(lineBox_->text().toStdString());
    const int total = predict::WholeNumber(totalBox_->text().toStdString());
    lblHome_->clear();
    lblAway_->clear();
    lblHome_->setText(QString::fromStdString(vb::Format(home, "0.0")));
    lblAway_->setText(QString::fromStdString(vb::Format(away, "0.0")));
    const predict::SingleGamePlays plays = predict::SingleGameMarks(home, away, line, total, f[fsMinDiff], f[fsMaxDiff]);
    if (plays.away)
        SetBack(lblAway_, PlayMark, false);
    if (plays.home)
        SetBack(lblHome_, PlayMark, false);
    if (plays.over || plays.under)
        SetBack(totalBox_, PlayMark, true);
}

} // namespace vexal
