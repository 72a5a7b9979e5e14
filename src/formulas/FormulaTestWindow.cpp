#include "FormulaTestWindow.h"

#include "AppMenu.h"
#include "AppState.h"
#include "CMouse.h"
#include "CurrentFormula.h"
#include "FlagScope.h"
#include "FormulaEditor.h"
#include "FormulaEditorValues.h"
#include "FormulaFile.h"
#include "FormulaFolder.h"
#include "Host.h"
#include "Main.h"
#include "MsgBox.h"
#include "NumberInput.h"
#include "ProgBar.h"
#include "ReadableText.h"
#include "RecordFile.h"
#include "SeasonData.h"
#include "SettingsStore.h"
#include "Screen.h"
#include "SharedProcs.h"
#include "Steps.h"
#include "TeamLists.h"
#include "Teams.h"
#include "VbConvert.h"
#include "VbError.h"
#include "ViewFrame.h"
#include "Win1252.h"
#include "WindowNames.h"
#include "Windows.h"
#include "cResizer.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QListView>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QTabBar>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>

#include <fstream>
#include <sstream>
#include <utility>

namespace vexal {

namespace {

using namespace formulatest;

const char* const Caption = "Test Formula";
const char* const TabCaptions[4] = {"Options", "Save", "Best/Worst", "Breakdown"};
const char* const RowTags[10] = {"Rolling Average",  "Min. Point Diff.", "Max. Point Diff.", "Home Field Adv.",
                                 "% Offense",        "% Defense",        "% Rushing",        "% Passing",
                                 "Turnover Value",   "Pred. Score Mult."};
const char* const BestTags[13] = {"Min. Point Diff.", "Max. Point Diff.", "H.F.A.",    "% Offense", "% Defense",
                                  "% Rushing",        "% Passing",        "Turnovers", "Score Multiplier",
                                  "",                 "",                 "",          "Rolling Ave."};
const char* const TeaserItems[6] = {"-", "6", "6.5", "7", "7.5", "9"};

int CheckValue(const QCheckBox* box)
{
    switch (box->checkState()) {
    case Qt::Checked: return 1;
    case Qt::PartiallyChecked: return 2;
    default: return 0;
    }
}

// A box state from a number: 0, 1 or 2, else the runtime's "Invalid property value".
void SetCheck(QCheckBox* box, double value)
{
    const double whole = vb::RoundHalfEven(value);
    if (whole < 0 || whole > 2)
        throw VbError::Of(380);
    box->setCheckState(whole == 0 ? Qt::Unchecked : whole == 1 ? Qt::Checked : Qt::PartiallyChecked);
}

std::string Text(const QLineEdit* box) { return box->text().toStdString(); }
std::string Text(const QComboBox* box) { return box->currentText().toStdString(); }
QString Q(const std::string& s) { return QString::fromStdString(s); }

// A value stored by an earlier version may hold a comma: the box shows the number the test
// used, the part before it.
QString WithoutComma(const std::string& stored)
{
    return Q(stored.substr(0, stored.find(',')));
}

QLineEdit* MakeBox(QWidget* parent, const QString& name, const QString& text = QString())
{
    auto* box = new QLineEdit(text, parent);
    box->setObjectName(name);
    return box;
}

// Every entry of a list is one line in the list's own face, so its drop-down measures one of
// them rather than each (the week lists hold every week of every season) whenever the face
// grows with the window. The drop-down is told so as the first change of face makes it, not
// sooner: one made before the list is filled would follow every entry added.
class UniformDropDown : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::FontChange) {
            if (auto* list = qobject_cast<QComboBox*>(watched)) {
                if (auto* view = qobject_cast<QListView*>(list->view()))
                    view->setUniformItemSizes(true);
                list->removeEventFilter(this);
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

// Every week of every season loaded, as the week lists show them: added to a list at once,
// not one by one.
QStringList WeekList()
{
    QStringList weeks;
    weeks.reserve(static_cast<qsizetype>(Season().WeekItems.size()));
    for (const std::string& item : Season().WeekItems)
        weeks.append(Q(item));
    return weeks;
}

QComboBox* MakeList(QWidget* parent, const char* name, bool editable)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(name);
    list->setEditable(editable);
    list->installEventFilter(new UniformDropDown(list));
    return list;
}

QCheckBox* MakeCheck(QWidget* parent, const char* name, const char* caption)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    return box;
}

// A colour of the platform (0x00BBGGRR) as Qt's.
QColor FromBgr(int32_t bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }

// The link under a point of the breakdown pane: the character the point lies on (not merely
// the nearest one, so a click beside a line opens nothing) inside a web address.
std::string LinkUnder(QTextEdit* pane, const QPoint& point)
{
    QTextDocument* doc = pane->document();
    const int nearest = pane->cursorForPosition(point).position();
    const int last = doc->characterCount() - 1;
    for (int i : {nearest - 1, nearest}) {
        if (i < 0 || i + 1 > last)
            continue;
        QTextCursor a(doc);
        a.setPosition(i);
        QTextCursor b(doc);
        b.setPosition(i + 1);
        const QRect from = pane->cursorRect(a);
        const QRect to = pane->cursorRect(b);
        if (from.top() != to.top())
            continue;   // the line's end
        if (point.x() >= from.left() && point.x() < to.left() && point.y() >= from.top() && point.y() <= from.bottom()) {
            const QString text = pane->toPlainText();
            return LinkAt(text.toStdString(), static_cast<std::size_t>(text.left(i).toUtf8().size()));
        }
    }
    return std::string();
}

void SetListIndex(QComboBox* list, int index)
{
    if (index < -1 || index >= list->count())
        throw VbError::Of(380);
    list->setCurrentIndex(index);
}

} // namespace

namespace formulatest_detail {
FormulaTestWindow::FileDialog& Dialog()
{
    static FormulaTestWindow::FileDialog dialog;
    return dialog;
}
} // namespace formulatest_detail

void FormulaTestWindow::SetFileDialog(FileDialog dialog) { formulatest_detail::Dialog() = std::move(dialog); }

// ---------------------------------------------------------------- construction

FormulaTestWindow::FormulaTestWindow(QWidget* owner) : QWidget(owner)
{
    setObjectName(WindowName::TestFormula);
    setWindowTitle(Caption);
    BuildControls();
    BuildMenus();
    OnBusyChanged(this, [this](bool busy) { ShowCommandsAvailable(!busy); });
    m_Timer.setSingleShot(true);
    connect(&m_Timer, &QTimer::timeout, this, &FormulaTestWindow::m_Timer_ThatTime);
    engine_.Progress = [this](TSPredict::FormulaRow& best, TSPredict::FormulaRow& worst, std::string& percent,
                              std::string& message) { TSPredict1_Progress(best, worst, percent, message); };
    engine_.Done = [this] { TSPredict1_Done(); };
}

FormulaTestWindow::~FormulaTestWindow() = default;

// The window's controls stand where the window's design puts them, in twips on a client area
// of DesignClient; PlaceControls scales that design to the client area the window opens with,
// and the resizer keeps the proportions from then on.
void FormulaTestWindow::At(QWidget* w, int left, int top, int width, int height)
{
    design_.push_back({w, QRect(left, top, width, height)});
}

void FormulaTestWindow::PlaceControls(double sx, double sy)
{
    for (const auto& [w, r] : design_) {
        if (!w)
            continue;
        // Both edges snap to pixels, so that neighbours that touch in the design still touch.
        const int l = Screen::TwipsToPixelsX(r.left() * sx);
        const int t = Screen::TwipsToPixelsY(r.top() * sy);
        const int rr = Screen::TwipsToPixelsX((r.left() + r.width()) * sx);
        const int b = Screen::TwipsToPixelsY((r.top() + r.height()) * sy);
        w->setGeometry(l, t, std::max(0, rr - l), std::max(0, b - t));
    }
}

void FormulaTestWindow::BuildControls()
{
    body_ = AddMenuBarAndBody(this, menuBar_, "frmTestBody");
    // The design's face size; the resizer grows it with the window.
    QFont face = body_->font();
    face.setPointSize(8);
    body_->setFont(face);

    // The tested ranges, low and high end side by side, with the rolling average on top.
    // Each caption ends beside its control, as wide as the column of row captions or its own.
    // The column is as wide as its two week lists need to show a week ("Wk 10 of 2024") whole
    // beside their arrows, which keep their size as the window shrinks; the tab strip stands
    // to its right.
    auto rowLabel = [this](const QString& name, const QString& text, int top, int width = 1500, int height = 255) {
        auto* label = new QLabel(text, body_);
        label->setObjectName(name);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        At(label, 60, top, width, height);
        return label;
    };
    for (int i = 0; i < 2; ++i) {
        txtrola_[static_cast<std::size_t>(i)] = MakeBox(body_, QString("txtrola_%1").arg(i));
        txtrola_[static_cast<std::size_t>(i)]->installEventFilter(this);
        At(txtrola_[static_cast<std::size_t>(i)], 1590 + i * 765, 45, 735, 255);
    }
    rowLabel("lblTag_txtrola_0", QString(RowTags[0]) + " ", 45);
    for (int row = 1; row <= 9; ++row) {
        const auto r = static_cast<std::size_t>(row);
        const int top = 45 + row * 270;
        lowBoxes_[r] = MakeBox(body_, QString("Text1_%1").arg(row));
        highBoxes_[r] = MakeBox(body_, QString("Text2_%1").arg(row));
        lowBoxes_[r]->installEventFilter(this);
        highBoxes_[r]->installEventFilter(this);
        At(lowBoxes_[r], 1590, top, 735, 255);
        At(highBoxes_[r], 2355, top, 735, 255);
        rowLabel(QString("lblTag_Text1_%1").arg(row), QString(RowTags[row]) + " ", top);
    }
    // A template keeps "," as its field separator: a typed comma is the decimal point here too.
    // Each box takes what the slot it tests holds.
    for (QLineEdit* box : txtrola_)
        UseNumberInput(box, SlotNumbers(fsRollingWeeks));
    for (int row = 1; row <= 9; ++row)
        for (QLineEdit* box : {lowBoxes_[static_cast<std::size_t>(row)], highBoxes_[static_cast<std::size_t>(row)]})
            UseNumberInput(box, SlotNumbers(formulatest::RangeRowSlot[row]));
    // The defence and passing boxes always show the complements of offense and rushing.
    for (QLineEdit* box : {lowBoxes_[5], highBoxes_[5], lowBoxes_[7], highBoxes_[7]})
        box->setReadOnly(true);

    SortByW_ = new QRadioButton("Win %", body_);
    SortByW_->setObjectName("SortByW");
    sortbyu_ = new QRadioButton("Unit Win", body_);
    sortbyu_->setObjectName("sortbyu");
    sortbyu_->setChecked(true);
    // The ranking choice's caption keeps its buttons' row and height.
    lblRankOn_ = rowLabel("lblTag_SortByW", "Rank on: ", 2790, 840, 330);
    At(SortByW_, 960, 2790, 900, 330);
    At(sortbyu_, 1890, 2790, 1200, 330);
    const char* summary[3] = {"0-0-0", "100%", "0"};
    for (int i = 0; i < 3; ++i) {
        txtBest_[static_cast<std::size_t>(i)] = MakeBox(body_, QString("txtBest_%1").arg(i), summary[i]);
        txtBest_[static_cast<std::size_t>(i)]->setReadOnly(true);
        At(txtBest_[static_cast<std::size_t>(i)], 60 + i * 1020, 3165, 990, 255);
    }
    CboStartWeek_ = MakeList(body_, "CboStartWeek", false);
    CboEndWeek_ = MakeList(body_, "CboEndWeek", false);
    At(CboStartWeek_, 60, 3465, 1485, 300);
    At(CboEndWeek_, 1605, 3465, 1485, 300);
    connect(CboStartWeek_, &QComboBox::currentIndexChanged, this, [this] { CboWeek_Click(); });
    connect(CboEndWeek_, &QComboBox::currentIndexChanged, this, [this] { CboWeek_Click(); });

    // The tab strip and its four panes, which share the strip's client area.
    tabs_ = new QTabBar(body_);
    tabs_->setObjectName("Tab1");
    tabs_->setExpanding(false);
    At(tabs_, 3150, 45, 6210, 345);
    auto* client = new QWidget(body_);
    client->setObjectName("Tab1Client");
    At(client, 3150, 390, 6210, 3375);
    picTab_[0] = BuildOptionsPane(client);
    picTab_[1] = BuildSavePane(client);
    picTab_[2] = BuildBestWorstPane(client);
    vbaRE_ = new QTextEdit(client);
    vbaRE_->setObjectName("vbaRE");
    SetViewPicture(this, vbaRE_);
    // The breakdown's text is in the theme's text colour, whichever theme is chosen now, on
    // the page (the view's picture, else the plain page) it is set with.
    SetViewThemeColors(this, [this] {
        QTextCursor all(vbaRE_->document());
        all.select(QTextCursor::Document);
        QTextCharFormat themed;
        themed.setForeground(BreakdownTextColor());
        all.mergeCharFormat(themed);
    });
    vbaRE_->setFontFamily("Courier New");
    vbaRE_->viewport()->installEventFilter(this);
    for (QWidget* pane : {picTab_[0], picTab_[1], picTab_[2], static_cast<QWidget*>(vbaRE_)})
        At(pane, 0, 0, 6210, 3375);
    connect(tabs_, &QTabBar::currentChanged, this, [this](int index) { Tab1_Click(index + 1); });

    // The run commands share one row along the bottom: five equal widths, 150 twips apart and
    // from the edges, as the resize rule keeps them.
    auto button = [this](QPushButton*& b, const char* name, const char* caption, bool checkable, int index) {
        b = new QPushButton(caption, body_);
        b->setObjectName(name);
        b->setCheckable(checkable);
        const int width = DesignClient.width() / 5 - 150 * 6 / 5;
        At(b, 150 * (index + 1) + index * width, 3810, width, 330);
    };
    button(cmdStart_, "cmdStart", "Start", false, 0);
    button(cmdStop_, "cmdStop", "Stop", false, 1);
    button(cmdOtherFac_, "cmdOtherFac", "Other Factors", true, 2);
    button(cmdOU_, "cmdOU", "Testing Sides", true, 3);
    button(cmdAllForm_, "cmdAllForm", "View All Formulas", false, 4);
    cmdStop_->setEnabled(false);
    connect(cmdStart_, &QPushButton::clicked, this, &FormulaTestWindow::cmdStart_Click);
    connect(cmdStop_, &QPushButton::clicked, this, &FormulaTestWindow::cmdStop_Click);
    connect(cmdOU_, &QPushButton::toggled, this, [this] { cmdOU_Click(); });
    connect(cmdAllForm_, &QPushButton::clicked, this, &FormulaTestWindow::cmdAllForm_Click);

    refreshButton_ = new QPushButton("Refresh", body_);
    refreshButton_->setObjectName("Command1");
    SetViewRefresh(this, [this] { refreshButton_->click(); });
    refreshButton_->hide();
    connect(refreshButton_, &QPushButton::clicked, this, &FormulaTestWindow::Command1_Click);
    chkCliffAdjust_ = MakeCheck(body_, "chkCliffAdjust", "Cliff Adjust");
    chkCliffAdjust_->hide();
    connect(chkCliffAdjust_, &QCheckBox::stateChanged, this, [this] { chkCliffAdjust_Click(); });

    runProgress_ = new ProgBar(body_);
    runProgress_->setObjectName("Stat1");
    runProgress_->SetCaption("Progress");
    runProgress_->hide();
    At(runProgress_, 60, 4185, 9300, 240);

    PlaceControls(1.0, 1.0);
    for (const char* caption : TabCaptions)
        tabs_->addTab(caption);
    Tab1_Click(1);
}

QWidget* FormulaTestWindow::BuildOptionsPane(QWidget* client)
{
    auto* pane = new QWidget(client);
    pane->setObjectName("picTab_0");

    auto* situation = new QGroupBox("Situation Options", pane);
    situation->setObjectName("fraSituationOptions");
    // The two frames stop short of the pane's right and bottom edges: scaled on their own,
    // they must not outgrow the pane as it is fitted to the strip's client area.
    At(situation, 0, 0, 4110, 3345);
    chkDog_ = MakeCheck(situation, "chkDog", "Underdog");
    chkFav_ = MakeCheck(situation, "chkFav", "Favorite");
    chkHome_ = MakeCheck(situation, "chkHome", "Home");
    chkAway_ = MakeCheck(situation, "chkAway", "Away");
    At(chkFav_, 120, 240, 1050, 270);
    At(chkDog_, 1200, 240, 1230, 270);
    At(chkHome_, 2460, 240, 810, 270);
    At(chkAway_, 3300, 240, 750, 270);
    connect(chkHome_, &QCheckBox::stateChanged, this, [this] { Partner_Click(chkHome_, chkAway_); });
    connect(chkAway_, &QCheckBox::stateChanged, this, [this] { Partner_Click(chkAway_, chkHome_); });
    connect(chkFav_, &QCheckBox::stateChanged, this, [this] { Partner_Click(chkFav_, chkDog_); });
    connect(chkDog_, &QCheckBox::stateChanged, this, [this] { Partner_Click(chkDog_, chkFav_); });

    auto* speed = new QGroupBox("Speed Options", situation);
    speed->setObjectName("fraSpeedOptions");
    At(speed, 60, 525, 3990, 570);
    chkFast_ = MakeCheck(speed, "chkFast", "Show Weekly Breakdown");
    chkLinear_ = MakeCheck(speed, "chkLinear", "Quick Mode");
    At(chkFast_, 90, 240, 2400, 270);
    At(chkLinear_, 2550, 240, 1380, 270);
    connect(chkFast_, &QCheckBox::stateChanged, this, [this] { SettingCheck_Click(chkFast_, pref::ShowWeekly); });
    connect(chkLinear_, &QCheckBox::stateChanged, this, [this] { SettingCheck_Click(chkLinear_, pref::QuickMode); });

    // Three filters, each a frame of two lists whose check box stands on the frame's caption,
    // in the blanks the caption leaves for it; each list's caption ends beside it. A list is as
    // wide as the longest item a user can choose in it needs ("ABS 10.5", "San Francisco") at
    // every size from a main window of 800 x 600 up: its arrow keeps its size as the faces
    // shrink, and the faces grow in whole pixels, ahead of the lists now and then. Two team
    // lists so wide do not fit side by side: the away team stands under the home team, in
    // the height the rows above give up.
    struct Widths {
        int labelA, list, labelB;
        bool twoRows = false;
    };
    auto frame = [&](QCheckBox*& check, const char* checkName, QGroupBox*& fra, const char* fraName,
                     const char* fraCaption, QComboBox*& a, const char* aName, const char* aTag, QComboBox*& b,
                     const char* bName, const char* bTag, int top, int height, Widths w) {
        fra = new QGroupBox(fraCaption, situation);
        fra->setObjectName(fraName);
        fra->setEnabled(false);
        At(fra, 60, top, 3990, height);
        check = MakeCheck(situation, checkName, "");
        At(check, 60, top, 240, 255);
        a = MakeList(fra, aName, true);
        b = MakeList(fra, bName, true);
        auto* la = new QLabel(QString(aTag) + " ", fra);
        la->setObjectName(QString("lbl") + aName);
        auto* lb = new QLabel(QString(bTag) + " ", fra);
        lb->setObjectName(QString("lbl") + bName);
        // A caption ends where its list begins, its trailing blanks between them.
        for (QLabel* l : {la, lb})
            l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        const int row = w.twoRows ? 285 : 300;
        At(la, 30, 255, w.labelA, row);
        At(a, 30 + w.labelA, 255, w.list, row);
        if (w.twoRows) {
            At(lb, 30, 570, w.labelB, row);
            At(b, 30 + w.labelB, 570, w.list, row);
            return;
        }
        const int x = 30 + w.labelA + w.list + 30;
        At(lb, x, 255, w.labelB, row);
        At(b, x + w.labelB, 255, w.list, row);
    };
    frame(chkLines_, "chkLines", fraLines_, "fraLines", "    Test Lines:", cboLinesStart_, "cboLinesStart",
          "Only Test From", cboLinesEnd_, "cboLinesEnd", "thru ", 1125, 630, {1290, 1080, 450});
    frame(chkLimitWeek_, "chkLimitWeek", fraLimitWeeks_, "fraLimitWeeks", "    Limit Tested Weeks:", cboLimitStart_,
          "cboLimitStart", "Only Test From", cboLimitEnd_, "cboLimitEnd", "thru   ", 1785, 630, {1290, 900, 600});
    frame(chkSingle_, "chkSingle", fraSingleGame_, "fraSingleGame", "    Single Game", homeTeam_, "Combo1",
          "Home Team", awayTeam_, "Combo2", "Away Team", 2445, 900, {1290, 1560, 1290, true});
    for (QComboBox* list : {cboLinesStart_, cboLinesEnd_, homeTeam_, awayTeam_})
        list->setEnabled(false);
    cboLinesStart_->setEditText("0");
    cboLinesEnd_->setEditText("0");
    cboLimitStart_->setEditText("1");
    cboLimitEnd_->setEditText("21");
    homeTeam_->setEditText("None");
    awayTeam_->setEditText("None");
    // The line ends may read "ABS 3.5": only their comma is ruled. The weeks are whole numbers.
    UseNumberInput(cboLinesStart_->lineEdit(), SlotNumbers(fsLineStart));
    UseNumberInput(cboLinesEnd_->lineEdit(), SlotNumbers(fsLineEnd));
    // The limited weeks are carried in the tens of the home-only and away-only slots.
    UseNumberInput(cboLimitStart_->lineEdit(), SlotNumbers(fsHomeOnly));
    UseNumberInput(cboLimitEnd_->lineEdit(), SlotNumbers(fsAwayOnly));
    connect(chkLines_, &QCheckBox::stateChanged, this,
            [this] { FrameCheck_Click(chkLines_, fraLines_, cboLinesStart_, cboLinesEnd_); });
    connect(chkLimitWeek_, &QCheckBox::stateChanged, this,
            [this] { FrameCheck_Click(chkLimitWeek_, fraLimitWeeks_, cboLimitStart_, cboLimitEnd_); });
    connect(chkSingle_, &QCheckBox::stateChanged, this,
            [this] { FrameCheck_Click(chkSingle_, fraSingleGame_, homeTeam_, awayTeam_); });

    auto* formula = new QGroupBox("Formula Options", pane);
    formula->setObjectName("fraFormulaOptions");
    At(formula, 4140, 0, 2040, 3345);
    chkMoneyLine_ = MakeCheck(formula, "chkMoneyLine", "Money Line");
    chkUsePowerRatings_ = MakeCheck(formula, "chkUsePowerRatings", "Use Power Ratings");
    chkDonTUseLine_ = MakeCheck(formula, "chkDonTUseLine", "Don't Use Line");
    chkSeparateHomeAway_ = MakeCheck(formula, "chkSeparateHomeAway", "Separate Home/Away");
    chkDiscardHighLow_ = MakeCheck(formula, "chkDiscardHighLow", "Discard High/Low");
    int top = 255;
    for (QWidget* w : std::initializer_list<QWidget*>{chkMoneyLine_, chkUsePowerRatings_, chkDonTUseLine_,
                                                      chkSeparateHomeAway_, chkDiscardHighLow_}) {
        At(w, 60, top, 1950, 270);
        top += 300;
    }
    auto* lblTeaser = new QLabel("Teaser Points", formula);
    lblTeaser->setObjectName("lblTeaser");
    At(lblTeaser, 90, 1800, 1800, 255);
    cboTeaser_ = MakeList(formula, "cboTeaser", false);
    At(cboTeaser_, 90, 2085, 1200, 300);
    connect(cboTeaser_, &QComboBox::currentIndexChanged, this, [this] { cboTeaser_Click(); });
    return pane;
}

QWidget* FormulaTestWindow::BuildSavePane(QWidget* client)
{
    auto* pane = new QWidget(client);
    pane->setObjectName("picTab_1");
    ChkSaveFormulas_ = MakeCheck(pane, "ChkSaveFormulas", "Save formulas to disk that meet the following criteria:");
    At(ChkSaveFormulas_, 120, 120, 5520, 300);
    connect(ChkSaveFormulas_, &QCheckBox::stateChanged, this,
            [this] { SettingCheck_Click(ChkSaveFormulas_, pref::SaveFormulas); });
    txtUnitLower_ = MakeBox(pane, "txtUnitLower", "0");
    txtUnitUpper_ = MakeBox(pane, "txtUnitUpper", "100");
    txtPercentLower_ = MakeBox(pane, "txtPercentLower", "0");
    txtPercentUpper_ = MakeBox(pane, "txtPercentUpper", "100");
    txtMin_ = MakeBox(pane, "txtMin", "0");
    for (QLineEdit* box : {txtUnitLower_, txtUnitUpper_, txtPercentLower_, txtPercentUpper_, txtMin_})
        box->installEventFilter(this);
    // In the order of TestFilters, whose slots they fill.
    const std::array<QLineEdit*, TestFilterCount> criteria = {txtUnitLower_, txtUnitUpper_, txtPercentLower_,
                                                              txtPercentUpper_, txtMin_};
    for (int i = 0; i < TestFilterCount; ++i)
        UseNumberInput(criteria[static_cast<std::size_t>(i)], TestFilterNumbers(i));
    auto label = [this, pane](const char* name, const char* caption, int left, int top, int width) {
        auto* l = new QLabel(caption, pane);
        l->setObjectName(name);
        At(l, left, top, width, 285);
        return l;
    };
    label("lblAUnitWinBetween", "A Unit Win Between", 120, 570, 3000);
    At(txtUnitLower_, 3180, 555, 900, 285);
    label("lblAnd_0", "and", 4140, 570, 480);
    At(txtUnitUpper_, 4680, 555, 900, 285);
    label("lblAWinningBetween", "A Winning % between", 120, 945, 3000);
    At(txtPercentLower_, 3180, 930, 900, 285);
    label("lblAnd_1", "And", 4140, 945, 480);
    At(txtPercentUpper_, 4680, 930, 900, 285);
    label("lblMinimumNumberOfGamesPlayed", "Minimum number of games played", 120, 1320, 3000);
    At(txtMin_, 3180, 1305, 900, 285);
    label("lblAnd_2", "And", 4140, 1320, 480)->hide();
    cmdLog_ = new QPushButton("View Log", pane);
    cmdLog_->setObjectName("cmdLog");
    At(cmdLog_, 120, 1800, 1500, 330);
    connect(cmdLog_, &QPushButton::clicked, this, &FormulaTestWindow::cmdLog_Click);
    return pane;
}

QWidget* FormulaTestWindow::BuildBestWorstPane(QWidget* client)
{
    auto* pane = new QWidget(client);
    pane->setObjectName("picTab_2");
    // Top to bottom and in two blocks as the range rows run: rolling weeks, then the nine weights.
    static constexpr int ScreenOrder[10] = {12, 0, 1, 2, 3, 4, 5, 6, 7, 8};
    for (int i = 0; i < 13; ++i) {
        const auto k = static_cast<std::size_t>(i);
        best_[k] = MakeBox(pane, QString("best_%1").arg(i));
        worst_[k] = MakeBox(pane, QString("worst_%1").arg(i));
        if (i != 2 && i != 12) {
            best_[k]->setReadOnly(true);
            worst_[k]->setReadOnly(true);
        } else {
            // The home-field advantage and the rolling weeks stay open to typing; each takes
            // what the slot it is saved into holds.
            for (const formulatest::RowWeightBox& b : formulatest::RowWeightBoxes)
                if (b.box == i) {
                    UseNumberInput(best_[k], SlotNumbers(b.slot));
                    UseNumberInput(worst_[k], SlotNumbers(b.slot));
                }
        }
        if (*BestTags[i]) {
            best_[k]->setToolTip(BestTags[i]);
            worst_[k]->setToolTip(BestTags[i]);
        }
    }
    for (int r = 0; r < 10; ++r) {
        const auto k = static_cast<std::size_t>(ScreenOrder[r]);
        const int left = r < 5 ? 0 : 3120;
        const int top = 60 + (r % 5) * 300;
        auto* label = new QLabel(QString(BestTags[k]) + " ", pane);
        label->setObjectName(QString("lblTag_best_%1").arg(ScreenOrder[r]));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        At(label, left + 60, top + 15, 1350, 270);
        At(best_[k], left + 1440, top, 780, 285);
        At(worst_[k], left + 2250, top, 780, 285);
    }
    // The record, win % and unit win of the best formula, and below them the worst's.
    for (int i = 9; i <= 11; ++i) {
        At(best_[static_cast<std::size_t>(i)], 60 + (i - 9) * 2040, 1680, 1980, 285);
        At(worst_[static_cast<std::size_t>(i)], 60 + (i - 9) * 2040, 2025, 1980, 285);
    }
    cmdBest_ = new QPushButton("Save Best", pane);
    cmdBest_->setObjectName("cmdBest");
    cmdWorst_ = new QPushButton("Save Worst", pane);
    cmdWorst_->setObjectName("cmdWorst");
    At(cmdBest_, 60, 2460, 1980, 330);
    At(cmdWorst_, 2100, 2460, 1980, 330);
    connect(cmdBest_, &QPushButton::clicked, this, &FormulaTestWindow::cmdBest_Click);
    connect(cmdWorst_, &QPushButton::clicked, this, &FormulaTestWindow::cmdWorst_Click);
    return pane;
}

void FormulaTestWindow::BuildMenus()
{
    QMenu* file = menuBar_->addMenu("&File");
    file->setObjectName("file");
    mnuLTT_ = file->addAction("Load Test Template");
    mnuLTT_->setObjectName("mnuLTT");
    connect(mnuLTT_, &QAction::triggered, this, &FormulaTestWindow::mnuLTT_Click);
    QAction* stt = file->addAction("Save Test Template");
    stt->setObjectName("mnuSTT");
    connect(stt, &QAction::triggered, this, &FormulaTestWindow::mnuSTT_Click);
    mnuPrint_ = file->addAction("&Print");
    mnuPrint_->setObjectName("Print");
    connect(mnuPrint_, &QAction::triggered, this, &FormulaTestWindow::Print_Click);
    QAction* exit = file->addAction("E&xit");
    exit->setObjectName("exit");
    connect(exit, &QAction::triggered, this, [] { UnloadAllForms(); });
    // Help stands at the right end of the menu bar.
    auto* helpBar = new QMenuBar(menuBar_);
    helpBar->setObjectName("mnuHelpBar");
    QAction* help = helpBar->addAction("&Help");
    help->setObjectName("Help");
    menuBar_->setCornerWidget(helpBar, Qt::TopRightCorner);
    connect(help, &QAction::triggered, this, &FormulaTestWindow::Help_Click);
}

// ---------------------------------------------------------------- load and unload

void FormulaTestWindow::Form_Load()
{
    if (loaded_)
        return;
    loaded_ = true;
    AppState& app = App();
    const Formula& f = app.CurrentFormula;
    ReportStep([&] { TakeButtonPictures(); });
    ReportStep([&] {
        const int n = Season().SeasonYear < 2021 ? 21 : 22;
        for (int i = 1; i <= n; ++i) {
            cboLimitStart_->addItem(QString::number(i));
            cboLimitEnd_->addItem(QString::number(i));
        }
        cboLimitStart_->setCurrentIndex(-1);
        cboLimitEnd_->setCurrentIndex(-1);
        cboLimitStart_->setEditText("1");
        cboLimitEnd_->setEditText("21");
    });
    ReportStep([&] {
        for (const std::string& item : LineRangeItems(false)) {
            cboLinesStart_->addItem(Q(item));
            cboLinesEnd_->addItem(Q(item));
        }
        cboLinesStart_->setCurrentIndex(-1);
        cboLinesEnd_->setCurrentIndex(-1);
        cboLinesStart_->setEditText("0");
        cboLinesEnd_->setEditText("0");
    });
    ReportStep([&] {
        CboStartWeek_->clear();
        CboEndWeek_->clear();
        const QStringList weeks = WeekList();
        CboStartWeek_->addItems(weeks);
        CboEndWeek_->addItems(weeks);
        const int current = static_cast<int>(f[fsCurrentWeek]);
        const auto& first = Season().SeasonFirstWeek;
        std::size_t k = 0;
        while (k < first.size() && first[k] > current - 1)
            ++k;
        if (k >= first.size() || current < 1)
            throw VbError::Of(9);
        SetListIndex(CboStartWeek_, first[k]);
        SetListIndex(CboEndWeek_, current - 1);
    });
    ReportStep([&] { SortByW_->setChecked(GetSetting(pref::SortByWin)); });
    auto restoreCheck = [&](QCheckBox* box, const CheckSetting& key) {
        ReportStep([&] { SetCheck(box, GetSetting(key)); });
    };
    restoreCheck(chkFast_, pref::ShowWeekly);
    restoreCheck(chkLinear_, pref::QuickMode);
    restoreCheck(ChkSaveFormulas_, pref::SaveFormulas);
    ReportStep([&] {
        txtUnitLower_->setText(WithoutComma(GetSetting(pref::SaveFormulasUnitLower)));
        txtUnitUpper_->setText(WithoutComma(GetSetting(pref::SaveFormulasUnitUpper)));
        txtPercentLower_->setText(WithoutComma(GetSetting(pref::SaveFormulasPercentLower)));
        txtPercentUpper_->setText(WithoutComma(GetSetting(pref::SaveFormulasPercentUpper)));
        txtMin_->setText(WithoutComma(GetSetting(pref::MinGames)));
    });
    ReportStep([&] {
        app.TestFilters[0] = LeadingNumber(Text(txtUnitLower_));
        app.TestFilters[1] = LeadingNumber(Text(txtUnitUpper_));
        app.TestFilters[2] = LeadingNumber(Text(txtPercentLower_));
        app.TestFilters[3] = LeadingNumber(Text(txtPercentUpper_));
        app.TestFilters[4] = LeadingNumber(Text(txtMin_));
    });
    ReportStep([&] { SetRangeBoxes(); });
    ReportStep([&] { SetCheck(chkHome_, f[fsHomeOnly]); });
    ReportStep([&] { SetCheck(chkAway_, f[fsAwayOnly]); });
    ReportStep([&] { SetCheck(chkDiscardHighLow_, f[fsDiscardHighLow]); });
    ReportStep([&] { SetCheck(chkDonTUseLine_, f[fsNoLine]); });
    ReportStep([&] { SetCheck(chkSeparateHomeAway_, f[fsSeparateHomeAway]); });
    ReportStep([&] { SetCheck(chkUsePowerRatings_, f[fsPowerRating]); });
    ReportStep([&] { FillTeamLists(); });
    ReportStep([&] { ShowLineRange(); });
    ReportStep([&] {
        QSignalBlocker block(cboTeaser_);
        for (const char* item : TeaserItems)
            cboTeaser_->addItem(item);
        cboTeaser_->setCurrentIndex(-1);
    });
    engine_.ClearBest();
    ReportStep([&] { SetOpeningSize(); });
    ListSeasonIndex = Season().SeasonYear;
    ReportStep([&] { AddLayoutRules(); });
}

void FormulaTestWindow::TakeButtonPictures()
{
    TakeMainPicture({cmdLog_, cmdStart_, cmdStop_, cmdAllForm_, cmdOU_, cmdOtherFac_, cmdBest_, cmdWorst_},
                    PictureOn::ButtonAndWindow);
}

// The window opens 9540 x 5205 twips from frame edge to frame edge; its client area is what
// the frame leaves.
void FormulaTestWindow::SetOpeningSize()
{
    const QSize outer(Screen::TwipsToPixelsX(9540), Screen::TwipsToPixelsY(5205));
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        const QStyle* style = frame->style();
        const int border = style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, frame);
        const int title = style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, frame);
        frame->resize(outer);
        resize(outer - QSize(2 * border, title + border));
    } else {
        resize(outer);
    }
    if (layout())
        layout()->activate();
}

// The controls scale with the client area and their faces with it; the run and ranking
// buttons keep one height, and the five run commands share the width in one row.
void FormulaTestWindow::AddLayoutRules()
{
    PlaceControls(Screen::PixelsToTwipsX(body_->width()) / DesignClient.width(),
                  Screen::PixelsToTwipsY(body_->height()) / DesignClient.height());
    resize_ = new cResizer(this);
    resize_->AddPropotional(body_);
    resize_->AddFontResizing(body_);
    resize_->AddMaxHeight(330, {cmdStart_, cmdStop_, cmdOtherFac_, cmdOU_, cmdAllForm_, cmdLog_, cmdBest_, cmdWorst_,
                                SortByW_, sortbyu_, lblRankOn_});
    resize_->AddRule(cResizer::EqualWidths, body_, 150, {cmdStart_, cmdStop_, cmdOtherFac_, cmdOU_, cmdAllForm_});
    resize_->TargetForm(body_);
    connect(resize_, &cResizer::AfterResizing, this, &FormulaTestWindow::Form_Resize);
    Form_Resize();
}

// Every pane fills the tab strip's client area, whatever the proportions made of each.
void FormulaTestWindow::Form_Resize()
{
    QWidget* client = vbaRE_->parentWidget();
    if (client->width() <= 0 || client->height() <= 0)
        return;
    for (QWidget* pane : {picTab_[0], picTab_[1], picTab_[2], static_cast<QWidget*>(vbaRE_)})
        pane->setGeometry(client->rect());
}

void FormulaTestWindow::closeEvent(QCloseEvent* event)
{
    // Not while a run yields: the engine still reads the formula and writes into this window.
    if (running_) {
        event->ignore();
        return;
    }
    SkipStep([&] { SaveSetting(pref::SortByWin, SortByW_->isChecked()); });
    SkipStep([&] { SaveSetting(pref::SaveFormulasUnitLower, Text(txtUnitLower_)); });
    SkipStep([&] { SaveSetting(pref::SaveFormulasUnitUpper, Text(txtUnitUpper_)); });
    SkipStep([&] { SaveSetting(pref::SaveFormulasPercentLower, Text(txtPercentLower_)); });
    SkipStep([&] { SaveSetting(pref::SaveFormulasPercentUpper, Text(txtPercentUpper_)); });
    SkipStep([&] { SaveSetting(pref::MinGames, Text(txtMin_)); });
    SkipStep([] { ReadFormula(); });
    App().CurrentFormula[fsTotalsMode] = 0;
    App().CurrentFormula[fsOtherFactors] = 0;
    m_Timer.stop();
    event->accept();
}

// ---------------------------------------------------------------- refresh and options

void FormulaTestWindow::SetRangeBoxes()
{
    const Formula& f = App().CurrentFormula;
    auto both = [](QLineEdit* a, QLineEdit* b, double v) {
        const QString text = Q(vb::CStr(v));
        a->setText(text);
        b->setText(text);
    };
    both(txtrola_[0], txtrola_[1], f[fsRollingWeeks]);
    both(lowBoxes_[1], highBoxes_[1], f[fsMinDiff]);
    both(lowBoxes_[2], highBoxes_[2], f[fsMaxDiff]);
    both(lowBoxes_[3], highBoxes_[3], f[fsHomeField]);
    both(lowBoxes_[4], highBoxes_[4], f[fsOffense]);
    both(lowBoxes_[5], highBoxes_[5], 100.0 - static_cast<double>(f[fsOffense]));
    both(lowBoxes_[7], highBoxes_[7], 100.0 - static_cast<double>(f[fsRushing]));
    both(lowBoxes_[6], highBoxes_[6], f[fsRushing]);
    both(lowBoxes_[8], highBoxes_[8], f[fsTurnovers]);
    both(lowBoxes_[9], highBoxes_[9], f[fsMultiplier]);
}

// Both team lists hold every team by its shown name, and show "None" until one is chosen.
void FormulaTestWindow::FillTeamLists()
{
    homeTeam_->clear();
    awayTeam_->clear();
    for (int code = 1; code <= LastTeamCode; ++code) {
        const QString name = Q(TeamName(code, 0, NameStyleAsShown));
        AddTeamEntry(homeTeam_, code, name);
        AddTeamEntry(awayTeam_, code, name);
    }
    homeTeam_->setCurrentIndex(-1);
    awayTeam_->setCurrentIndex(-1);
    homeTeam_->setEditText("None");
    awayTeam_->setEditText("None");
}

void FormulaTestWindow::FillSeasonLists()
{
    ListSeasonIndex = Season().SeasonYear;
    CboStartWeek_->clear();
    CboEndWeek_->clear();
    const QStringList weeks = WeekList();
    CboStartWeek_->addItems(weeks);
    CboEndWeek_->addItems(weeks);
    const int current = static_cast<int>(App().CurrentFormula[fsCurrentWeek]);
    const auto& first = Season().SeasonFirstWeek;
    std::size_t k = 0;
    while (k < first.size() && first[k] > current - 1)
        ++k;
    ReportStep([&] { FillTeamLists(); });
    if (k >= first.size())
        throw VbError::Of(9);
    SetListIndex(CboStartWeek_, first[k]);
    SetListIndex(CboEndWeek_, current - 1);
}

void FormulaTestWindow::Command1_Click()
{
    if (running_)
        return;
    const Formula& f = App().CurrentFormula;
    if (Season().SeasonYear != ListSeasonIndex)
        ReportStep([&] { FillSeasonLists(); });
    ReportStep([&] { SetRangeBoxes(); });
    if (!cmdOU_->isChecked()) {
        ReportStep([&] { SetCheck(chkHome_, f[fsHomeOnly]); });
        ReportStep([&] { SetCheck(chkAway_, f[fsAwayOnly]); });
        ReportStep([&] { SetCheck(chkFav_, f[fsFavOrOver]); });
        ReportStep([&] { SetCheck(chkDog_, f[fsDogOrUnder]); });
    } else {
        ReportStep([&] {
            chkHome_->setCheckState(Qt::Unchecked);
            chkAway_->setCheckState(Qt::Unchecked);
            chkFav_->setCheckState(f[fsFavOrOver] > 0 ? Qt::Checked : Qt::Unchecked);
            chkDog_->setCheckState(f[fsDogOrUnder] == 10 ? Qt::Checked : Qt::Unchecked);
        });
    }
    ReportStep([&] { ShowLineRange(); });
    engine_.ClearBest();
}

void FormulaTestWindow::Tab1_Click(int tab)
{
    if (tab < 1 || tab > 4)
        return;
    for (int i = 0; i < 3; ++i)
        picTab_[static_cast<std::size_t>(i)]->setVisible(tab == i + 1);
    vbaRE_->setVisible(tab == 4);
}

void FormulaTestWindow::CboWeek_Click() { engine_.ClearBest(); }

void FormulaTestWindow::cboTeaser_Click()
{
    const double points = vb::Val(Text(cboTeaser_));
    engine_.SetTeaser(points);
}

void FormulaTestWindow::chkCliffAdjust_Click()
{
    // The engine adjusts only for 1: the box's value, as every check box is stored.
    engine_.SetCliffAdjust(chkCliffAdjust_->checkState() == Qt::Checked ? 1 : 0);
}

QColor FormulaTestWindow::BreakdownTextColor()
{
    return SetSurfaceText(vbaRE_, TextSurface::Box, FromBgr(App().ThemeForeColor));
}

void FormulaTestWindow::FrameCheck_Click(QCheckBox* box, QGroupBox* frame, QComboBox* a, QComboBox* b)
{
    const bool on = box->checkState() == Qt::Checked;
    const QColor mark = on ? QColor(255, 0, 0) : QColor(0x80, 0x80, 0x80);
    for (QWidget* w : std::initializer_list<QWidget*>{a, b, frame})
        w->setEnabled(on);
    // The frame's title is a caption on the view's own background; the lists' red goes on a
    // face and a box set with it.
    QPalette palette = frame->palette();
    palette.setColor(QPalette::WindowText, mark);
    frame->setPalette(palette);
    for (QWidget* list : {a, b}) {
        SetSurfaceText(list, TextSurface::Button, mark);
        SetSurfaceText(list, TextSurface::Box, mark);
    }
}

void FormulaTestWindow::Partner_Click(QCheckBox* box, QCheckBox* partner)
{
    engine_.ClearBest();
    if (box->checkState() == Qt::Checked)
        partner->setCheckState(Qt::Unchecked);
}

void FormulaTestWindow::SettingCheck_Click(QCheckBox* box, const CheckSetting& key)
{
    SaveSetting(key, CheckValue(box));
}

void FormulaTestWindow::RangeBox_LostFocus(QLineEdit* box)
{
    auto complement = [](QLineEdit* from, QLineEdit* to, bool check) {
        double v = vb::Val(Text(from));
        if (check && (v > 100 || v < 0)) {
            from->setText("50");
            v = 50;
        }
        to->setText(Q(vb::CStr(100.0 - v)));
    };
    if (box == lowBoxes_[4])
        complement(lowBoxes_[4], lowBoxes_[5], true);
    else if (box == lowBoxes_[6])
        complement(lowBoxes_[6], lowBoxes_[7], true);
    else if (box == highBoxes_[4])
        complement(highBoxes_[4], highBoxes_[5], false);
    else if (box == highBoxes_[6])
        complement(highBoxes_[6], highBoxes_[7], false);
}

bool FormulaTestWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (vbaRE_ && watched == vbaRE_->viewport()) {
        // A double-click in the breakdown saves it and opens it in the document viewer.
        if (event->type() == QEvent::MouseButtonDblClick) {
            vbaRE_SaveAndOpen();
            return true;
        }
        // A left button pressed on a web address opens it.
        if (event->type() == QEvent::MouseButtonPress) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton) {
                const std::string link = LinkUnder(vbaRE_, mouse->position().toPoint());
                if (!link.empty()) {
                    ShellOpen(link, 1);
                    return true;
                }
            }
        }
        return QWidget::eventFilter(watched, event);
    }
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (!box)
        return QWidget::eventFilter(watched, event);
    if (box == txtMin_)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::FocusIn:
        QTimer::singleShot(0, box, [box] { box->selectAll(); });
        break;
    case QEvent::FocusOut:
        RangeBox_LostFocus(box);
        break;
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            focusNextChild();
            return true;
        }
        break;
    }
    default: break;
    }
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------- sides/totals and line range

void FormulaTestWindow::cmdOU_Click()
{
    const Formula& f = App().CurrentFormula;
    engine_.ClearBest();
    const bool totals = cmdOU_->isChecked();
    auto fill = [this](bool totalsItems, const char* shown) {
        for (QComboBox* list : {cboLinesStart_, cboLinesEnd_}) {
            list->clear();
            for (const std::string& item : LineRangeItems(totalsItems))
                list->addItem(Q(item));
            list->setCurrentIndex(-1);
            list->setEditText(shown);
        }
    };
    if (totals) {
        cmdOU_->setText("Testing Totals");
        chkFav_->setText("Overs");
        chkDog_->setText("Unders");
        chkHome_->setCheckState(Qt::Unchecked);
        chkAway_->setCheckState(Qt::Unchecked);
        chkHome_->setEnabled(false);
        chkAway_->setEnabled(false);
        chkFav_->setCheckState(f[fsFavOrOver] == 10 ? Qt::Checked : Qt::Unchecked);
        chkDog_->setCheckState(f[fsDogOrUnder] == 10 ? Qt::Checked : Qt::Unchecked);
        fill(true, TotalsLineText);
    } else {
        cmdOU_->setText("Testing Sides");
        chkFav_->setText("Favorites");
        chkDog_->setText("Underdogs");
        chkHome_->setEnabled(true);
        chkAway_->setEnabled(true);
        // Slots holding limited weeks in their tens have no box state: such a box stays clear.
        SkipStep([&] { SetCheck(chkHome_, f[fsHomeOnly]); });
        SkipStep([&] { SetCheck(chkAway_, f[fsAwayOnly]); });
        chkFav_->setCheckState(f[fsFavOrOver] == 1 ? Qt::Checked : Qt::Unchecked);
        chkDog_->setCheckState(f[fsDogOrUnder] == 1 ? Qt::Checked : Qt::Unchecked);
        cboLinesEnd_->setEnabled(true);
        fill(false, SidesLineText);
    }
}

void FormulaTestWindow::ShowLineRange()
{
    const Formula& f = App().CurrentFormula;
    const LineRangeView view = vexal::ShowLineRange(f[fsLineStart], f[fsLineEnd]);
    if (!view.on) {
        chkLines_->setCheckState(Qt::Unchecked);
        return;
    }
    chkLines_->setCheckState(Qt::Checked);
    cboLinesStart_->setEditText(Q(view.start));
    cboLinesEnd_->setEditText(Q(view.end));
}

bool FormulaTestWindow::ReadLineRange()
{
    const auto codes = SavedLineRange(CheckValue(chkLines_), Text(cboLinesStart_), Text(cboLinesEnd_));
    if (!codes)
        return false;
    App().CurrentFormula[fsLineStart] = (*codes)[0];
    App().CurrentFormula[fsLineEnd] = (*codes)[1];
    return true;
}

// ---------------------------------------------------------------- the run

void FormulaTestWindow::cmdStart_Click()
{
    // One run at a time, and none while other work yields.
    if (running_ || IsBusy() || m_Timer.isActive())
        return;
    App().StopTest = false;
    stopRequested_ = false;
    // The click returns at once and the run starts from the next turn of the message loop;
    // waiting longer than that gains nothing.
    m_Timer.start(0);
}

void FormulaTestWindow::cmdStop_Click()
{
    // A stop with nothing running leaves no request behind for a later run.
    if (running_) {
        App().StopTest = true;
        stopRequested_ = true;
    }
    // The engine reads the formula in place until it has obeyed: the window is unlocked
    // and the formula rebuilt once it has returned.
    QPointer<FormulaTestWindow> self(this);
    RunWhenIdle([self] {
        if (!self)
            return;
        self->EndTestMode();
        ReadFormula();
    });
}

// While a run or load yields, what cannot be done meanwhile is disabled: loading a template,
// printing and saving a row (each would change the formula the run reads) and the log (a
// window over the run). A run of this window's own locks its options and run commands itself
// and keeps Stop; other work (a season load) holds the run commands back too.
void FormulaTestWindow::ShowCommandsAvailable(bool available)
{
    for (QWidget* w : std::initializer_list<QWidget*>{cmdLog_, cmdBest_, cmdWorst_})
        w->setEnabled(available);
    for (QAction* a : {mnuLTT_, mnuPrint_})
        a->setEnabled(available);
    if (!available && !running_) {
        for (QWidget* w : std::initializer_list<QWidget*>{cmdStart_, cmdAllForm_})
            if (w->isEnabled()) {
                w->setEnabled(false);
                heldBack_.push_back(w);
            }
    } else if (available) {
        for (const QPointer<QWidget>& w : std::exchange(heldBack_, {}))
            if (w)
                w->setEnabled(true);
    }
}

void FormulaTestWindow::BeginTestMode()
{
    for (QWidget* w : std::initializer_list<QWidget*>{picTab_[0], cmdStart_, cmdOU_, cmdOtherFac_, cmdAllForm_})
        w->setEnabled(false);
    cmdStop_->setEnabled(true);
}

void FormulaTestWindow::EndTestMode()
{
    for (QWidget* w : std::initializer_list<QWidget*>{picTab_[0], cmdStart_, cmdOU_, cmdOtherFac_, cmdAllForm_})
        w->setEnabled(true);
    cmdStop_->setEnabled(false);
    Formula& f = App().CurrentFormula;
    f[fsCurrentWeek] = static_cast<float>(Season().WeekListIndex + 1);
    const FormulaControls editor = EditorControls();
    for (std::size_t i = 0; i < editor.txtFla.size(); ++i)
        if (editor.txtFla[i])
            f[i] = LeadingNumber(*editor.txtFla[i]);
}

LaunchSettings FormulaTestWindow::ReadLaunchSettings() const
{
    LaunchSettings s;
    for (int row = 1; row <= 9; ++row) {
        s.Text1[static_cast<std::size_t>(row)] = Text(lowBoxes_[static_cast<std::size_t>(row)]);
        s.Text2[static_cast<std::size_t>(row)] = Text(highBoxes_[static_cast<std::size_t>(row)]);
    }
    s.txtrola = {Text(txtrola_[0]), Text(txtrola_[1])};
    s.StartWeekIndex = CboStartWeek_->currentIndex();
    s.EndWeekIndex = CboEndWeek_->currentIndex();
    s.OtherFactors = cmdOtherFac_->isChecked() ? 1 : 0;
    s.TotalsMode = cmdOU_->isChecked() ? 1 : 0;
    s.SeparateHomeAway = CheckValue(chkSeparateHomeAway_);
    s.DiscardHighLow = CheckValue(chkDiscardHighLow_);
    s.UsePowerRatings = CheckValue(chkUsePowerRatings_);
    s.DontUseLine = CheckValue(chkDonTUseLine_);
    s.Home = CheckValue(chkHome_);
    s.Away = CheckValue(chkAway_);
    s.Fav = CheckValue(chkFav_);
    s.Dog = CheckValue(chkDog_);
    s.LimitWeek = CheckValue(chkLimitWeek_);
    s.LimitStart = Text(cboLimitStart_);
    s.LimitEnd = Text(cboLimitEnd_);
    s.Lines = CheckValue(chkLines_);
    s.LinesStart = Text(cboLinesStart_);
    s.LinesEnd = Text(cboLinesEnd_);
    s.SaveFormulas = CheckValue(ChkSaveFormulas_);
    s.UnitLower = Text(txtUnitLower_);
    s.UnitUpper = Text(txtUnitUpper_);
    s.PercentLower = Text(txtPercentLower_);
    s.PercentUpper = Text(txtPercentUpper_);
    s.Min = Text(txtMin_);
    return s;
}

void FormulaTestWindow::m_Timer_ThatTime()
{
    m_Timer.stop();
    if (running_ || IsBusy())
        return;
    // Running first: the busy state's watchers tell this run from other work by it.
    const FlagScope runEnd(running_);
    BusyScope busy;

    bool stopped = false;
    // A failing step asks whether to go on; No ends the launch with the window locked.
    auto step = [&stopped](int line, const std::function<void()>& body) {
        if (stopped)
            return false;
        try {
            body();
            return true;
        } catch (const VbError& e) {
            const std::string text = "An error " + std::to_string(e.Number()) + " has occered at line " +
                                     std::to_string(line) + "\r\n\r\n" + e.Description();
            stopped = MsgBox(text, vbYesNo + vbQuestion, "Try and Continue?") != vbYes;
        } catch (const std::exception& e) {
            const std::string text =
                "An error 5 has occered at line " + std::to_string(line) + "\r\n\r\n" + e.what();
            stopped = MsgBox(text, vbYesNo + vbQuestion, "Try and Continue?") != vbYes;
        }
        return !stopped;
    };

    AppState& app = App();
    if (!step(2, [&] { BeginTestMode(); }))
        return;
    const LaunchSettings settings = ReadLaunchSettings();
    if (!ApplyLaunchSettings(settings, app.CurrentFormula, FormulaHigh, app.TestFilters, step))
        return;
    uint8_t home = 0, away = 0;
    if (!step(5, [&] {
            if (chkSingle_->checkState() != Qt::Checked)
                return;
            const int16_t h = ChosenTeam(homeTeam_);
            const int16_t a = ChosenTeam(awayTeam_);
            if (h < 0 || a < 0)
                throw VbError::Of(6);
            home = static_cast<uint8_t>(h);
            away = static_cast<uint8_t>(a);
        }))
        return;
    const bool quick = chkLinear_->checkState() == Qt::Checked;
    const bool weekly = chkFast_->checkState() == Qt::Checked;
    const bool save = ChkSaveFormulas_->checkState() == Qt::Checked;
    // The bar paints with the run's first report, which is always shown.
    if (!step(12, [&] { runProgress_->show(); }))
        return;
    if (!step(13, [&] { engine_.SetMoneyLine(static_cast<int16_t>(CheckValue(chkMoneyLine_))); }))
        return;
    if (!step(14, [&] {
            // The engine yields after its reports; the message loop runs only when one was shown.
            struct ProgressByTime {
                FormulaTestWindow* w;
                std::function<void()> previous;
                ~ProgressByTime()
                {
                    SetDoEventsHook(previous);
                    w->progressByTime_ = false;
                    if (w->progressPending_)
                        w->ShowPendingProgress();
                    w->yieldDue_ = false;
                }
            } byTime{this, DoEventsHook()};
            progressByTime_ = true;
            progressPending_ = false;
            progressShownOnce_ = false;
            yieldDue_ = false;
            pendingBreakdown_.clear();
            SetDoEventsHook([this, previous = byTime.previous] {
                if (!yieldDue_)
                    return;
                yieldDue_ = false;
                if (previous)
                    previous();
            });
            TestRequest request;
            request.Low = app.CurrentFormula;
            request.High = FormulaHigh;
            request.PlayedGamesOnly = true;
            request.Filters = app.TestFilters;
            request.HomeTeam = home;
            request.AwayTeam = away;
            request.SortByWin = SortByW_->isChecked();
            request.SaveFormulas = save;
            request.ShowWeekly = weekly;
            request.QuickMode = quick ? int16_t(-1) : int16_t(0);
            engine_.TestFormulas(request);
        }))
        return;
    // The run is over: a stop that came after the engine's last look must not reach the next run.
    app.StopTest = false;
    step(15, [&] { runProgress_->hide(); });
    if (save)
        step(16, [&] {
            RefreshEditorFileList();
        });
}

void FormulaTestWindow::TSPredict1_Done()
{
    if (AllFormulaRunning())
        return;
    EndTestMode();
    runProgress_->SetCaption("Progress");
    runProgress_->SetValue(0);
    runProgress_->hide();
}

void FormulaTestWindow::TSPredict1_Progress(TSPredict::FormulaRow& best, TSPredict::FormulaRow& worst,
                                            std::string& percentDone, std::string& breakdown)
{
    if (AllFormulaRunning()) {
        const std::optional<ProgressView> v = allFormula_->Result(percentDone, breakdown);
        if (!v)
            return;
        runProgress_->SetCaption(Q(v->caption));
        if (v->value)
            runProgress_->SetValue(*v->value);
        // The engine yields right after this report, which paints it.
        if (runProgress_->Value() >= 100) {
            runProgress_->SetCaption("Progress");
            runProgress_->SetValue(0);
            runProgress_->hide();
        }
        return;
    }
    const std::string reported = percentDone;
    if (!App().StopTest && vb::Val(percentDone) > 100)
        percentDone = "100";
    pendingBest_ = best;
    pendingWorst_ = worst;
    pendingPercent_ = reported;
    // Each breakdown replaces the pane's text, so only the newest one waiting matters.
    if (!breakdown.empty())
        pendingBreakdown_ = breakdown;
    progressPending_ = true;
    if (progressByTime_) {
        using namespace std::chrono;
        constexpr auto ProgressInterval = milliseconds(33);
        const auto now = steady_clock::now();
        const bool due = !progressShownOnce_ || vb::Val(reported) >= 100 || App().StopTest != progressShownStop_ ||
                         now - progressShownAt_ >= ProgressInterval;
        if (!due)
            return;
    }
    ShowPendingProgress();
}

void FormulaTestWindow::ShowPendingProgress()
{
    progressPending_ = false;
    progressShownOnce_ = true;
    progressShownStop_ = App().StopTest;
    progressShownAt_ = std::chrono::steady_clock::now();
    yieldDue_ = true;
    const TSPredict::FormulaRow& best = pendingBest_;
    const TSPredict::FormulaRow& worst = pendingWorst_;
    const ProgressView v = TestProgress(pendingPercent_, App().StopTest, App().CurrentFormula[fsPowerRating]);
    runProgress_->SetCaption(Q(v.caption));
    if (v.value)
        runProgress_->SetValue(*v.value);

    const auto bestTexts = RowTexts(best);
    const auto worstTexts = RowTexts(worst);
    for (std::size_t i = 0; i < 13; ++i) {
        best_[i]->setText(Q(bestTexts[i]));
        worst_[i]->setText(Q(worstTexts[i]));
    }
    txtBest_[0]->setText(best_[9]->text());
    txtBest_[1]->setText(best_[10]->text());
    txtBest_[2]->setText(best_[11]->text() + " units");
    if (txtBest_[0]->text() == "0-0-0") {
        txtBest_[0]->setText(worst_[9]->text());
        txtBest_[1]->setText(worst_[10]->text());
        txtBest_[2]->setText(worst_[11]->text() + " units");
    }
    if (pendingBreakdown_.empty())
        return;

    const std::string breakdown = std::exchange(pendingBreakdown_, std::string());
    const BreakdownPieces pieces = SplitBreakdown(breakdown);
    vbaRE_->setUpdatesEnabled(false);
    vbaRE_->clear();
    QTextCursor cursor(vbaRE_->document());
    QTextCharFormat format;
    format.setFontFamilies({"Courier New"});
    format.setFontFixedPitch(true);
    format.setForeground(BreakdownTextColor());
    format.setFontWeight(QFont::Bold);
    cursor.insertText(Q(pieces.first), format);
    format.setFontUnderline(true);
    cursor.insertText(Q(pieces.second), format);
    format.setFontUnderline(false);
    format.setFontWeight(QFont::Normal);
    cursor.insertText(Q(pieces.rest), format);
    vbaRE_->setUpdatesEnabled(true);
    vbaRE_->update();
}

// ---------------------------------------------------------------- log, best and worst

void FormulaTestWindow::cmdLog_Click()
{
    const std::filesystem::path log = ProgramFolder() / "FormulaList.txt";
    if (!FileExists(log)) {
        MsgBox("There is currently no log. It will be created when you run a test with the log option turned on.",
               vbInformation, "No Log Yet");
        return;
    }
    App().DocumentPath = log;
    ShowModal(WindowName::DocumentViewer);
}

void FormulaTestWindow::cmdBest_Click() { SaveRow(true); }
void FormulaTestWindow::cmdWorst_Click() { SaveRow(false); }

void FormulaTestWindow::SaveRow(bool best)
{
    if (running_)
        return;
    savedName_ = InputBox("Please enter a filename", "Filename", "File1");
    if (savedName_.empty())
        return;
    const std::string name = SavedFormulaName(savedName_);
    const char* const badName = "You entered a bad filename, The formula was not saved !";
    const auto& row = best ? best_ : worst_;
    std::array<std::string, 13> boxes;
    for (std::size_t i = 0; i < 13; ++i)
        boxes[i] = Text(row[i]);
    // The line range is checked before anything changes: a half-built formula is never written.
    const auto codes = SavedLineRange(CheckValue(chkLines_), Text(cboLinesStart_), Text(cboLinesEnd_));
    if (!IsPlainFileName(name) || !codes) {
        MsgBox(badName, vbOKOnly);
        return;
    }
    Formula& f = App().CurrentFormula;
    ApplyRowTexts(boxes, f);
    FormulaEditor* editor = FormulaEditor::Get();
    if (editor)
        f[fsSeasonToDate] = static_cast<float>(editor->Controls().STD.value_or(Unchecked));
    f[fsDiscardHighLow] = static_cast<float>(CheckValue(chkDiscardHighLow_));
    f[fsPowerRating] = static_cast<float>(CheckValue(chkUsePowerRatings_));
    f[fsSeparateHomeAway] = static_cast<float>(CheckValue(chkSeparateHomeAway_));
    f[fsNoLine] = static_cast<float>(CheckValue(chkDonTUseLine_));
    f[fsLineStart] = (*codes)[0];
    f[fsLineEnd] = (*codes)[1];
    // A good name the folder would not take: the window's message, then the file and the cause.
    if (std::string reason; !WriteFormulaFile(ProgramFolder() / name, f, reason)) {
        MsgBox(std::string(badName) + "\r\n\r\n" + WriteFailure(ProgramFolder() / name, reason), vbOKOnly);
        return;
    }
    auto listFiles = [editor, &name] {
        if (!editor)
            return;
        // The editor's file list is read again; its chosen formula is not opened again.
        editor->ListSavedFormula(name);
    };
    if (best) {
        MsgBox("File Saved !", vbOKOnly);
        listFiles();
    } else {
        listFiles();
        MsgBox("File saved !", vbOKOnly);
    }
    if (editor)
        editor->LoadFormula();
}

void FormulaTestWindow::vbaRE_SaveAndOpen()
{
    const std::filesystem::path path = ProgramFolder() / "Breakdown.rtf";
    const std::string text = win1252::FromUtf8(vbaRE_->toPlainText().toStdString());
    AtomicFileWrite file(path);
    if (!file.Write(RichTextOf(text)) || !file.Commit()) {
        DocumentNotWritten(path, file.Describe());
        return;
    }
    App().DocumentPath = path;
    ShowModal(WindowName::DocumentViewer);
}

void FormulaTestWindow::DocumentNotWritten(const std::filesystem::path& path, const std::string& problem)
{
    MsgBox("Error saving or opening the file\r\n\r\n" + problem, vbCritical, "Error with " + path.string());
}

void FormulaTestWindow::Help_Click() { ShowHelpTopic("TestForm.htm"); }

// ---------------------------------------------------------------- registration

void RegisterFormulaTestWindow()
{
    RegisterWindow(WindowName::TestFormula, WindowKind::ChildView,
                   [](QWidget* owner) -> QWidget* { return new FormulaTestWindow(owner); });
}

} // namespace vexal
