#include "FormulaEditor.h"

#include "DefaultFormula.h"
#include "FileChecks.h"
#include "FormulaFile.h"
#include "FormulaFolder.h"
#include "FormulaTexts.h"

#include "AppState.h"
#include "Host.h"
#include "Main.h"
#include "IniFile.h"
#include "MsgBox.h"
#include "NumberInput.h"
#include "QtPlatform.h"
#include "Screen.h"
#include "SeasonData.h"
#include "SeasonLoader.h"
#include "SendKey.h"
#include "SettingsStore.h"
#include "Steps.h"
#include "VbConvert.h"
#include "VbError.h"
#include "WindowNames.h"
#include "Windows.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

namespace vexal {

namespace {

bool FileOrFolderExists(const std::filesystem::path& path)
{
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

FormulaEditor*& Current()
{
    static FormulaEditor* editor = nullptr;
    return editor;
}

// Runs the action after the click that moved the focus: once the press has reached the
// button that took the focus and, while the mouse button is still down, once it is released.
// A refresh may run a prediction that yields to the message loop; inside the press it would
// deliver the release before the press reached the button, and the click would be lost.
void AfterTheClick(QObject* context, std::function<void()> action)
{
    if (QGuiApplication::mouseButtons() == Qt::NoButton) {
        QTimer::singleShot(0, context, std::move(action));
        return;
    }
    class ReleaseWatcher : public QObject {
    public:
        ReleaseWatcher(QObject* context, std::function<void()> action) : context_(context), action_(std::move(action))
        {
            qApp->installEventFilter(this);
        }
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::MouseButtonRelease && !fired_ &&
                QGuiApplication::mouseButtons() == Qt::NoButton) {
                fired_ = true;
                qApp->removeEventFilter(this);
                // Posted behind the release, so the button sees its click first.
                QTimer::singleShot(0, this, [this] {
                    if (context_)
                        action_();
                    deleteLater();
                });
            }
            return false;
        }

    private:
        QPointer<QObject> context_;
        std::function<void()> action_;
        bool fired_ = false;
    };
    new ReleaseWatcher(context, std::move(action));
}

// A check box with the three values of the platform's check box. The user's click ticks an
// unticked or grayed box and unticks a ticked one; grayed is only ever set from code.
class CheckBox : public QCheckBox {
public:
    CheckBox(const char* name, const char* caption, QWidget* parent) : QCheckBox(QString::fromUtf8(caption), parent)
    {
        setObjectName(QString::fromLatin1(name));
    }

protected:
    void nextCheckState() override { setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked); }
};

int Value(const QCheckBox* box)
{
    switch (box->checkState()) {
    case Qt::Checked: return Checked;
    case Qt::PartiallyChecked: return Grayed;
    default: return Unchecked;
    }
}

// Sets a check value from code; a value the box cannot take is refused like the platform's
// "invalid property value", and the caller's step is skipped.
void SetValue(QCheckBox* box, double value)
{
    const double v = vb::RoundHalfEven(value);
    if (!(v >= 0 && v <= 2))
        throw VbError(380, "Invalid property value");
    box->setCheckState(v == 0 ? Qt::Unchecked : (v == 1 ? Qt::Checked : Qt::PartiallyChecked));
}

bool Ticked(const QCheckBox* box) { return box->checkState() == Qt::Checked; }

void Untick(QCheckBox* box) { box->setCheckState(Qt::Unchecked); }

std::string Text(const QComboBox* box) { return S(box->currentText()); }

// Shows a text in a list: its item when there is one, else the text added as an item, so
// that a value read from a file is shown as it is.
void ShowText(QComboBox* box, const std::string& text)
{
    int index = box->findText(Q(text), Qt::MatchExactly);
    if (index < 0) {
        box->addItem(Q(text));
        index = box->count() - 1;
    }
    box->setCurrentIndex(index);
}

// The position of the item equal to text, added at the end when missing; the chosen position
// does not change. The items are file names, which keep their letters: on a file system that
// tells letter cases apart, MyForm.fla and myform.fla are two files.
int FindOrAddComboItem(QComboBox* box, const std::string& text)
{
    const QString t = Q(text);
    for (int i = 0; i < box->count(); ++i)
        if (box->itemText(i) == t)
            return i;
    const int chosen = box->currentIndex();
    const bool blocked = box->blockSignals(true);
    box->addItem(t);
    box->setCurrentIndex(chosen);
    box->blockSignals(blocked);
    return box->count() - 1;
}

std::filesystem::path IniPath() { return ProgramFile("Vexal.ini"); }

void ChangeFormulaName()
{
    if (Main* main = TheMain())
        main->ChangeFormulaName();
}

} // namespace

// Marks the run of one handler; handlers started by another handler's changes run nested.
class HandlerScope {
public:
    explicit HandlerScope(FormulaEditor& editor) : editor_(editor) { ++editor_.handlerDepth_; }
    ~HandlerScope() { --editor_.handlerDepth_; }
    HandlerScope(const HandlerScope&) = delete;
    HandlerScope& operator=(const HandlerScope&) = delete;

private:
    FormulaEditor& editor_;
};

FormulaEditor* FormulaEditor::Instance() { return Current(); }

FormulaEditor* FormulaEditor::Get()
{
    if (Current())
        return Current();
    return qobject_cast<FormulaEditor*>(LoadWindow(WindowName::FormulaEditor));
}

FormulaEditor::FormulaEditor(QWidget* owner) : QWidget(owner, Qt::Window)
{
    Current() = this;
    setObjectName(WindowName::FormulaEditor);
    setWindowTitle(texts::EditorCaption);
    BuildControls();
    FormLoad();
}

FormulaEditor::~FormulaEditor()
{
    if (Current() == this)
        Current() = nullptr;
}

// ---------------------------------------------------------------- controls

void FormulaEditor::BuildControls()
{
    // Sized like the platform's small dialog font, so the whole formula fits the window's
    // size limits.
    QFont small = font();
    small.setPointSizeF(8);
    setFont(small);

    // Three columns: the values, the files over the play filters, the database over the options.
    auto* columns = new QHBoxLayout(this);
    columns->setContentsMargins(4, 2, 4, 2);
    columns->setSpacing(4);
    auto* middle = new QVBoxLayout;
    middle->setSpacing(0);
    auto* right = new QVBoxLayout;
    right->setSpacing(0);
    columns->addLayout(BuildValueBoxes());
    columns->addLayout(middle, 1);
    columns->addLayout(right, 1);
    BuildFileControls();
    middle->addWidget(fraFormula_);
    middle->addWidget(BuildPredictOnlyFrame(), 1);
    right->addWidget(BuildDatabaseFrame(), 1);
    right->addWidget(BuildOptionsFrame());

    // The window's own size limits, in twips of the screen.
    setMinimumSize(Screen::TwipsToPixelsX(texts::MinWidthTwips), Screen::TwipsToPixelsY(texts::MinHeightTwips));
    setMaximumSize(Screen::TwipsToPixelsX(texts::MaxWidthTwips), Screen::TwipsToPixelsY(texts::MaxHeightTwips));

    ConnectHandlers();
}

// The nine value boxes with their caption labels, on the window itself.
QGridLayout* FormulaEditor::BuildValueBoxes()
{
    auto* values = new QGridLayout;
    values->setVerticalSpacing(1);
    values->setHorizontalSpacing(4);
    for (int i = 0; i < 9; ++i) {
        auto* box = new QLineEdit(this);
        box->setObjectName(QStringLiteral("txtFla_%1").arg(i));
        box->setProperty("tag", QString::fromUtf8(texts::ValueTags[i]));
        box->setFixedWidth(44);
        box->installEventFilter(this);
        // What the slot holds: only "Turnovers" takes a sign.
        UseNumberInput(box, SlotNumbers(i));
        auto* caption = new QLabel(QString::fromUtf8(texts::ValueTags[i]) + " ", this);
        caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        caption->setBuddy(box);
        values->addWidget(caption, i, 0);
        values->addWidget(box, i, 1);
        txtFla_[static_cast<std::size_t>(i)] = box;
    }
    values->setRowStretch(9, 1);
    return values;
}

// The formula list with Save, Delete and "Exclude Good/Bad", and the hidden file list.
void FormulaEditor::BuildFileControls()
{
    fraFormula_ = new QGroupBox(texts::FormulaFrame, this);
    fraFormula_->setObjectName("fraFormula");
    auto* files = new QGridLayout(fraFormula_);
    files->setContentsMargins(4, 0, 4, 1);
    files->setSpacing(2);
    formulaNames_ = new QComboBox(fraFormula_);
    formulaNames_->setObjectName("Combo2");
    formulaNames_->setProperty("tag", texts::FormulaListTag);
    formulaNames_->setMinimumContentsLength(8);
    formulaNames_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    auto* formulaCaption = new QLabel(QString(texts::FormulaListTag) + " ", fraFormula_);
    formulaCaption->setBuddy(formulaNames_);
    cmdSave_ = new QPushButton(texts::SaveCaption, fraFormula_);
    cmdSave_->setObjectName("cmdSave");
    cmdDelete_ = new QPushButton(texts::DeleteCaption, fraFormula_);
    cmdDelete_->setObjectName("cmdDelete");
    chkExcludeBestWorst_ = new CheckBox("chkExcludeBestWorst", texts::ExcludeGoodBad, fraFormula_);
    files->addWidget(formulaCaption, 0, 0);
    files->addWidget(formulaNames_, 0, 1, 1, 2);
    files->addWidget(cmdSave_, 1, 1);
    files->addWidget(cmdDelete_, 1, 2);
    files->addWidget(chkExcludeBestWorst_, 2, 0, 1, 3);

    formulaFiles_ = new QListWidget(this);
    formulaFiles_->setObjectName("File1");
    formulaFiles_->setProperty("pattern", "*.fla");
    formulaFiles_->hide();
}

// The play filters: the line range, home or away, favourite or underdog, over or under.
QGroupBox* FormulaEditor::BuildPredictOnlyFrame()
{
    auto* fraOptions = new QGroupBox(texts::PredictOnlyFrame, this);
    fraOptions->setObjectName("fraOptions");
    auto* only = new QGridLayout(fraOptions);
    only->setContentsMargins(4, 0, 4, 1);
    only->setVerticalSpacing(2);
    // The check boxes' own margins part the two columns; their captions need the room.
    only->setHorizontalSpacing(0);
    chkLines_ = new CheckBox("chkLines", texts::LinesCaption, fraOptions);
    cboLinesStart_ = new QComboBox(fraOptions);
    cboLinesStart_->setObjectName("cboLinesStart");
    auto* lblAnd = new QLabel(texts::AndCaption, fraOptions);
    lblAnd->setObjectName("lblAnd");
    cboLinesEnd_ = new QComboBox(fraOptions);
    cboLinesEnd_->setObjectName("cboLinesEnd");
    for (QComboBox* end : {cboLinesStart_, cboLinesEnd_}) {
        end->setMinimumContentsLength(5);
        end->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        end->addItem(SidesLineText);
        end->setEnabled(false);
    }
    chkHome_ = new CheckBox("chkHome", texts::HomeCaption, fraOptions);
    chkAway_ = new CheckBox("chkAway", texts::AwayCaption, fraOptions);
    chkFav_ = new CheckBox("chkFav", texts::FavCaption, fraOptions);
    chkDog_ = new CheckBox("chkDog", texts::DogCaption, fraOptions);
    chkOver_ = new CheckBox("chkOver", texts::OverCaption, fraOptions);
    chkUnder_ = new CheckBox("chkUnder", texts::UnderCaption, fraOptions);
    auto* lineRow = new QHBoxLayout;
    lineRow->setSpacing(3);
    lineRow->addSpacing(16);
    lineRow->addWidget(cboLinesStart_);
    lineRow->addWidget(lblAnd);
    lineRow->addWidget(cboLinesEnd_);
    lineRow->addStretch();
    only->addWidget(chkLines_, 0, 0, 1, 2);
    only->addLayout(lineRow, 1, 0, 1, 2);
    only->addWidget(chkHome_, 2, 0);
    only->addWidget(chkAway_, 2, 1);
    only->addWidget(chkFav_, 3, 0);
    only->addWidget(chkDog_, 3, 1);
    only->addWidget(chkOver_, 4, 0);
    only->addWidget(chkUnder_, 4, 1);
    return fraOptions;
}

// The rolling average, the season-to-date, home/away and high/low switches and the seasons
// loaded at start-up.
QGroupBox* FormulaEditor::BuildDatabaseFrame()
{
    auto* fraDatabase = new QGroupBox(texts::DatabaseFrame, this);
    fraDatabase->setObjectName("fraDatabase");
    auto* database = new QGridLayout(fraDatabase);
    database->setContentsMargins(4, 0, 4, 1);
    database->setSpacing(2);
    auto* Label1 = new QLabel(texts::RollingCaption, fraDatabase);
    Label1->setObjectName("Label1");
    rollingWeeks_ = new QComboBox(fraDatabase);
    rollingWeeks_->setObjectName("Combo1");
    rollingWeeks_->setMinimumContentsLength(5);
    rollingWeeks_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    STD_ = new CheckBox("STD", texts::StdCaption, fraDatabase);
    SHA_ = new CheckBox("SHA", texts::ShaCaption, fraDatabase);
    DHL_ = new CheckBox("DHL", texts::DhlCaption, fraDatabase);
    switches_.emplace_back(SHA_, fsSeparateHomeAway);
    switches_.emplace_back(DHL_, fsDiscardHighLow);
    auto* lblNuberOfYears = new QLabel(texts::YearsCaption, fraDatabase);
    lblNuberOfYears->setObjectName("lblNuberOfYears");
    lblNuberOfYears->setWordWrap(true);
    txtYears_ = new QLineEdit(fraDatabase);
    txtYears_->setObjectName("txtYears");
    txtYears_->setMaximumWidth(28);
    txtYears_->installEventFilter(this);
    // At most two digits, as the loader reads them: a longer paste is refused, not cut.
    UseNumberInput(txtYears_, YearsToLoadNumbers);
    database->setColumnStretch(1, 1);
    database->addWidget(Label1, 0, 0);
    database->addWidget(rollingWeeks_, 0, 1, 1, 2);
    database->addWidget(STD_, 1, 0, 1, 3);
    database->addWidget(SHA_, 2, 0, 1, 3);
    database->addWidget(DHL_, 3, 0, 1, 3);
    database->addWidget(lblNuberOfYears, 4, 0, 1, 2);
    database->addWidget(txtYears_, 4, 2, Qt::AlignLeft | Qt::AlignVCenter);
    return fraDatabase;
}

// Power ratings and the line.
QGroupBox* FormulaEditor::BuildOptionsFrame()
{
    auto* fraOption = new QGroupBox(texts::OptionsFrame, this);
    fraOption->setObjectName("fraOption");
    auto* options = new QVBoxLayout(fraOption);
    options->setContentsMargins(4, 0, 4, 1);
    options->setSpacing(2);
    for (const texts::OptionSwitch& option : texts::OptionSwitches) {
        auto* box = new CheckBox(option.name, option.caption, fraOption);
        options->addWidget(box);
        switches_.emplace_back(box, option.slot);
    }
    return fraOption;
}

// Click handling. A change of value from code runs it too.
void FormulaEditor::ConnectHandlers()
{
    auto onChange = [this](QCheckBox* box, void (FormulaEditor::*handler)()) {
        connect(box, &QCheckBox::stateChanged, this, [this, handler] { (this->*handler)(); });
    };
    onChange(chkHome_, &FormulaEditor::chkHome_Click);
    onChange(chkAway_, &FormulaEditor::chkAway_Click);
    onChange(chkFav_, &FormulaEditor::chkFav_Click);
    onChange(chkDog_, &FormulaEditor::chkDog_Click);
    onChange(chkOver_, &FormulaEditor::chkOver_Click);
    onChange(chkUnder_, &FormulaEditor::chkUnder_Click);
    onChange(chkLines_, &FormulaEditor::chkLines_Click);
    onChange(STD_, &FormulaEditor::STD_Click);
    for (auto [box, slot] : switches_)
        connect(box, &QCheckBox::stateChanged, this, [this, box = box, slot = slot] { SimpleCheck_Click(box, slot); });
    connect(rollingWeeks_, &QComboBox::currentIndexChanged, this, [this] { Combo1_Click(); });
    connect(cboLinesStart_, &QComboBox::currentIndexChanged, this, [this] { LineEnd_Click(); });
    connect(cboLinesEnd_, &QComboBox::currentIndexChanged, this, [this] { LineEnd_Click(); });
    // Only the user's click on "Exclude Good/Bad" is remembered and relists the files.
    connect(chkExcludeBestWorst_, &QCheckBox::clicked, this, [this] { chkExcludeBestWorst_Click(); });
    connect(formulaNames_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index < 0)
            return;
        // The user's choice also reports itself as activated right after this.
        formulaOpenedByChange_ = true;
        QTimer::singleShot(0, this, [this] { formulaOpenedByChange_ = false; });
        OpenFormula();
    });
    // Choosing the entry that is already chosen opens it again.
    connect(formulaNames_, &QComboBox::activated, this, [this] {
        if (!formulaOpenedByChange_)
            OpenFormula();
        formulaOpenedByChange_ = false;
    });
    connect(cmdSave_, &QPushButton::clicked, this, [this] { SaveFormula(); });
    connect(cmdDelete_, &QPushButton::clicked, this, [this] { DeleteFormula(); });
}

// The window's load: every step that fails is skipped.
void FormulaEditor::FormLoad()
{
    SkipStep([&] {
        txtYears_->setText(Q(vb::Trim(vb::CStr(GetYearsToLoad()))));
        yearsInFile_ = txtYears_->text();
    });

    SkipStep([&] {
        const bool blocked = rollingWeeks_->blockSignals(true);
        rollingWeeks_->clear();
        for (const std::string& item : RollingWeekItems(static_cast<int>(Season().WeekItems.size())))
            rollingWeeks_->addItem(Q(item));
        rollingWeeks_->setCurrentIndex(-1);
        rollingWeeks_->blockSignals(blocked);
    });

    const std::string remembered = GetSetting(pref::CurrentFormula);
    SkipStep([&] {
        const bool blocked = chkExcludeBestWorst_->blockSignals(true);
        SetValue(chkExcludeBestWorst_, GetSetting(pref::GoodBad));
        chkExcludeBestWorst_->blockSignals(blocked);
    });

    // The remembered formula when it still exists, else the one the list opens. A remembered
    // default formula that the list does not show (a folder, a broken link, or no file at all in
    // a program folder that could not be given one) is opened all the same, and so is the
    // default formula when such a folder lists nothing to open: the built-in default is then in
    // force, and the boxes show the formula every view uses.
    std::error_code ec;
    const bool builtInDefault = DefaultFormulaFileRefused(ProgramFolder());
    std::string chosen;
    if (IsPlainFileName(remembered) &&
        std::filesystem::is_regular_file(ListedFile(ProgramFolder(), remembered), ec))
        chosen = remembered;
    else if (vb::SameText(remembered, DefaultFormulaName) &&
             (builtInDefault || std::filesystem::symlink_status(ProgramFolder() / DefaultFormulaName, ec).type() !=
                                    std::filesystem::file_type::not_found))
        chosen = DefaultFormulaName;
    // The list opens its choice unless another formula is opened after it: a file the user
    // did not choose is not read (nor named, when it is damaged) on the way.
    const bool blocked = formulaNames_->blockSignals(true);
    RefreshFileList();
    formulaNames_->blockSignals(blocked);
    if (formulaNames_->currentIndex() < 0 && chosen.empty() && builtInDefault)
        chosen = DefaultFormulaName;
    if (formulaNames_->currentIndex() >= 0 && (chosen.empty() || Text(formulaNames_) == chosen))
        OpenFormula();
    Slot(fsPowerRating) = 0.0f;

    if (!chosen.empty()) {
        const int index = FindOrAddComboItem(formulaNames_, chosen);
        if (index == formulaNames_->currentIndex()) {
            OpenFormula();
        } else {
            formulaNames_->setCurrentIndex(index);
        }
    }
    formulaFiles_->setCurrentRow(formulaNames_->currentIndex() < formulaFiles_->count() ? formulaNames_->currentIndex() : -1);
    ChangeFormulaName();
}

FormulaControls FormulaEditor::Controls() const
{
    FormulaControls c;
    for (std::size_t i = 0; i < txtFla_.size(); ++i)
        c.txtFla[i] = S(txtFla_[i]->text());
    c.STD = Value(STD_);
    for (auto [box, slot] : switches_)
        c.switches[static_cast<std::size_t>(slot)] = Value(box);
    c.chkHome = Value(chkHome_);
    c.chkAway = Value(chkAway_);
    c.chkFav = Value(chkFav_);
    c.chkDog = Value(chkDog_);
    c.chkOver = Value(chkOver_);
    c.chkUnder = Value(chkUnder_);
    c.chkLines = Value(chkLines_);
    c.cboLinesStart = Text(cboLinesStart_);
    c.cboLinesEnd = Text(cboLinesEnd_);
    c.Combo1 = Text(rollingWeeks_);
    return c;
}

std::string FormulaEditor::FormulaName() const { return Text(formulaNames_); }

std::vector<std::string> FormulaEditor::FormulaFiles()
{
    // Other windows write formula files at any time (smart predictions, saved best rows):
    // the list is read again so that it holds every file there is now.
    RereadFileList();
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(formulaFiles_->count()));
    for (int i = 0; i < formulaFiles_->count(); ++i)
        names.push_back(S(formulaFiles_->item(i)->text()));
    return names;
}

float& FormulaEditor::Slot(int slot)
{
    Formula& f = IsBusy() ? scratch_ : App().CurrentFormula;
    return f[static_cast<std::size_t>(slot)];
}

void FormulaEditor::RequestRefresh(bool refreshAll)
{
    if (handlerDepth_ == 1 && !App().SuppressRefresh)
        RefreshActiveView(refreshAll);
}

// ---------------------------------------------------------------- showing a formula

void FormulaEditor::LoadFormula()
{
    // Handlers write their slots while the boxes are set; the formula shown is the one
    // that was current when the load began.
    const Formula f = App().CurrentFormula;

    for (std::size_t i = 0; i < txtFla_.size(); ++i)
        txtFla_[i]->setText(Q(vb::CStrSingle(f[i])));
    App().SuppressRefresh = true;

    for (auto [box, slot] : switches_)
        SkipStep([&, box = box, slot = slot] { SetValue(box, f[static_cast<std::size_t>(slot)]); });
    SkipStep([&] { SetValue(chkHome_, f[fsHomeOnly]); });
    SkipStep([&] { SetValue(chkAway_, f[fsAwayOnly]); });

    SkipStep([&] {
        if (f[fsFavOrOver] >= 10 || f[fsDogOrUnder] >= 10) {
            Untick(chkFav_);
            Untick(chkDog_);
            if (f[fsFavOrOver] == 10)
                chkOver_->setCheckState(Qt::Checked);
            else
                chkUnder_->setCheckState(Qt::Checked);
        } else {
            Untick(chkOver_);
            Untick(chkUnder_);
            SetValue(chkFav_, f[fsFavOrOver]);
            SetValue(chkDog_, f[fsDogOrUnder]);
        }
    });

    SkipStep([&] {
        const LineRangeView view = ShowLineRange(f[fsLineStart], f[fsLineEnd]);
        if (!view.on) {
            Untick(chkLines_);
            return;
        }
        if (Ticked(chkLines_))
            FillLineLists();   // the lists may be of the other kind (sides or totals)
        else
            chkLines_->setCheckState(Qt::Checked);
        ShowText(cboLinesStart_, view.start);
        ShowText(cboLinesEnd_, view.end);
    });

    SkipStep([&] {
        if (f[fsRollingWeeks] <= 0) {
            STD_->setCheckState(Qt::Checked);
            return;
        }
        const double index = vb::RoundHalfEven(f[fsRollingWeeks] - 1.0);
        if (index >= rollingWeeks_->count())
            throw VbError(380, "Invalid property value");
        rollingWeeks_->setCurrentIndex(static_cast<int>(index));
        Untick(STD_);
        Slot(fsSeasonToDate) = 0.0f;
    });

    // The boxes' change handlers have all run by now (they run as each box is set), so the
    // refresh they would ask for is suppressed without letting the message loop run.
    App().SuppressRefresh = false;
}

// ---------------------------------------------------------------- option handlers

void FormulaEditor::SimpleCheck_Click(QCheckBox* box, int slot)
{
    HandlerScope scope(*this);
    Slot(slot) = static_cast<float>(Value(box));
    RequestRefresh(true);
}

void FormulaEditor::chkHome_Click()
{
    HandlerScope scope(*this);
    if (Ticked(chkHome_))
        for (QCheckBox* other : {chkAway_, chkOver_, chkUnder_})
            Untick(other);
    Slot(fsHomeOnly) = static_cast<float>(Value(chkHome_));
    RequestRefresh(true);
}

void FormulaEditor::chkAway_Click()
{
    HandlerScope scope(*this);
    if (Ticked(chkAway_))
        for (QCheckBox* other : {chkHome_, chkOver_, chkUnder_})
            Untick(other);
    Slot(fsAwayOnly) = static_cast<float>(Value(chkAway_));
    RequestRefresh(true);
}

void FormulaEditor::chkFav_Click()
{
    HandlerScope scope(*this);
    if (Ticked(chkFav_)) {
        // The line lists hold totals: they no longer fit.
        if (Ticked(chkOver_) || Ticked(chkUnder_))
            Untick(chkLines_);
        for (QCheckBox* other : {chkDog_, chkOver_, chkUnder_})
            Untick(other);
    }
    Slot(fsFavOrOver) = static_cast<float>(Value(chkFav_));
    RequestRefresh(true);
}

void FormulaEditor::chkDog_Click()
{
    HandlerScope scope(*this);
    if (Ticked(chkDog_)) {
        if (Ticked(chkOver_) || Ticked(chkUnder_))
            Untick(chkLines_);
        for (QCheckBox* other : {chkFav_, chkOver_, chkUnder_})
            Untick(other);
    }
    Slot(fsDogOrUnder) = static_cast<float>(Value(chkDog_));
    RequestRefresh(true);
}

void FormulaEditor::chkOver_Click()
{
    HandlerScope scope(*this);
    if (Ticked(chkOver_)) {
        // The line lists hold spreads: they no longer fit.
        if (Ticked(chkFav_) || Ticked(chkDog_))
            Untick(chkLines_);
        for (QCheckBox* other : {chkUnder_, chkHome_, chkAway_, chkFav_, chkDog_})
            Untick(other);
    } else if (Value(chkOver_) == Unchecked && Value(chkUnder_) == Unchecked) {
        ShowText(cboLinesStart_, SidesLineText);
        ShowText(cboLinesEnd_, SidesLineText);
        Untick(chkLines_);
    }
    Slot(fsFavOrOver) = 10.0f * static_cast<float>(Value(chkOver_));
    RequestRefresh(true);
}

void FormulaEditor::chkUnder_Click()
{
    HandlerScope scope(*this);
    if (Ticked(chkUnder_)) {
        if (Ticked(chkFav_) || Ticked(chkDog_))
            Untick(chkLines_);
        for (QCheckBox* other : {chkOver_, chkHome_, chkAway_, chkFav_, chkDog_})
            Untick(other);
    } else if (Value(chkUnder_) == Unchecked && Value(chkOver_) == Unchecked) {
        ShowText(cboLinesStart_, SidesLineText);
        ShowText(cboLinesEnd_, SidesLineText);
        Untick(chkLines_);
    }
    Slot(fsDogOrUnder) = 10.0f * static_cast<float>(Value(chkUnder_));
    RequestRefresh(true);
}

void FormulaEditor::FillLineLists()
{
    const bool totals = Ticked(chkOver_) || Ticked(chkUnder_);
    const std::vector<std::string> items = LineRangeItems(totals);
    for (QComboBox* end : {cboLinesStart_, cboLinesEnd_}) {
        end->setEnabled(true);
        const bool blocked = end->blockSignals(true);
        end->clear();
        for (const std::string& item : items)
            end->addItem(Q(item));
        end->setCurrentIndex(-1);
        end->blockSignals(blocked);
        ShowText(end, totals ? TotalsLineText : SidesLineText);
    }
}

void FormulaEditor::chkLines_Click()
{
    HandlerScope scope(*this);
    if (Ticked(chkLines_)) {
        FillLineLists();
    } else {
        // Off: the lists mean nothing until the filter is ticked again.
        for (QComboBox* end : {cboLinesStart_, cboLinesEnd_}) {
            const bool blocked = end->blockSignals(true);
            end->clear();
            end->addItem(SidesLineText);
            end->setCurrentIndex(0);
            end->blockSignals(blocked);
            end->setEnabled(false);
        }
    }
    RequestRefresh(true);
}

void FormulaEditor::LineEnd_Click()
{
    HandlerScope scope(*this);
    RequestRefresh(true);
}

void FormulaEditor::STD_Click()
{
    HandlerScope scope(*this);
    const bool wasSuppressed = App().SuppressRefresh;
    App().SuppressRefresh = true;
    if (Ticked(STD_)) {
        rollingWeeks_->setCurrentIndex(-1);
        Slot(fsRollingWeeks) = 0.0f;
    } else {
        SkipStep([&] {
            if (LeadingNumber(Text(rollingWeeks_)) <= 0) {
                if (rollingWeeks_->count() < 3)
                    throw VbError(380, "Invalid property value");
                rollingWeeks_->setCurrentIndex(2);
            }
        });
        Slot(fsRollingWeeks) = LeadingNumber(Text(rollingWeeks_));
    }
    Slot(fsSeasonToDate) = static_cast<float>(Value(STD_));
    App().SuppressRefresh = wasSuppressed;
    RequestRefresh(true);
}

void FormulaEditor::Combo1_Click()
{
    HandlerScope scope(*this);
    const float weeks = LeadingNumber(Text(rollingWeeks_));
    if (weeks > 0) {
        Slot(fsRollingWeeks) = weeks;
        if (Ticked(STD_))
            Untick(STD_);
    }
    RequestRefresh(true);
}

void FormulaEditor::chkExcludeBestWorst_Click()
{
    SaveSetting(pref::GoodBad, Value(chkExcludeBestWorst_));
    RefreshFileList();
}

// ---------------------------------------------------------------- value boxes

bool FormulaEditor::eventFilter(QObject* watched, QEvent* event)
{
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (!box)
        return QWidget::eventFilter(watched, event);
    const bool years = box == txtYears_;
    int index = -1;
    for (std::size_t i = 0; i < txtFla_.size(); ++i)
        if (txtFla_[i] == box)
            index = static_cast<int>(i);
    if (!years && index < 0)
        return QWidget::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            // Enter moves on to the next control as a Tab press would.
            SendKey(9, true);
            return true;
        }
        return false;   // the other keys by the rule of number boxes
    }
    case QEvent::FocusIn:
        QTimer::singleShot(0, box, [box] { box->selectAll(); });
        return false;
    case QEvent::FocusOut: {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // Only leaving the box counts, not another window taking the focus.
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
            return false;
        if (years)
            txtYears_LostFocus();
        else
            txtFla_LostFocus(index, reason == Qt::MouseFocusReason);
        return false;
    }
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void FormulaEditor::txtFla_LostFocus(int index, bool byClick)
{
    // Offense and defense, passing and rushing, each add up to 100.
    int partner = -1;
    switch (index) {
    case fsOffense: partner = fsDefense; break;
    case fsDefense: partner = fsOffense; break;
    case fsPassing: partner = fsRushing; break;
    case fsRushing: partner = fsPassing; break;
    default: break;
    }
    if (partner >= 0) {
        // A box that holds no number leaves its partner as it is.
        if (auto v = StrictNumber(S(txtFla_[static_cast<std::size_t>(index)]->text())))
            txtFla_[static_cast<std::size_t>(partner)]->setText(Q(vb::CStrSingle(100.0f - *v)));
    }
    // The partner box is set before a click on Save reads it; the refresh waits for the click.
    if (byClick)
        AfterTheClick(this, [] { RefreshActiveView(false); });
    else
        RefreshActiveView(false);
}

void FormulaEditor::txtYears_LostFocus()
{
    // Only a number the user changed is written: a box merely passed through would put back
    // what it showed over a number another instance saved since.
    const QString years = txtYears_->text();
    if (years == yearsInFile_)
        return;
    std::string reason;
    if (WritePrivateProfileString(texts::IniSection, texts::YearsKey, S(years), IniPath(), reason))
        yearsInFile_ = years;
    else
        MsgBox("The number of seasons to load could not be written to " + IniPath().string() + ": " + reason + ".",
               vbExclamation);
}

// ---------------------------------------------------------------- formula files

void FormulaEditor::RereadFileList()
{
    const QListWidgetItem* chosen = formulaFiles_->currentItem();
    const QString remembered = chosen ? chosen->text() : QString();
    formulaFiles_->clear();
    for (const std::string& name : ListFormulaFiles(ProgramFolder())) {
        formulaFiles_->addItem(Q(name));
        if (!remembered.isEmpty() && Q(name) == remembered)
            formulaFiles_->setCurrentRow(formulaFiles_->count() - 1);
    }
}

void FormulaEditor::RefreshFileList()
{
    const QString remembered = formulaNames_->currentText();
    RereadFileList();
    const bool exclude = Ticked(chkExcludeBestWorst_);
    int found = -1;
    const bool blocked = formulaNames_->blockSignals(true);
    formulaNames_->clear();
    for (int i = 0; i < formulaFiles_->count(); ++i) {
        const QString name = formulaFiles_->item(i)->text();
        if (exclude && (IsGoodName(S(name)) || IsBadName(S(name))))
            continue;
        formulaNames_->addItem(name);
        if (name == remembered)
            found = formulaNames_->count() - 1;
    }
    // The default formula stays chosen when its file is missing or damaged: the built-in one is
    // in force, and it is shown again without a second word about the file.
    if (found < 0 && vb::SameText(S(remembered), DefaultFormulaName)) {
        formulaNames_->addItem(remembered);
        found = formulaNames_->count() - 1;
    }
    formulaNames_->setCurrentIndex(-1);
    formulaNames_->blockSignals(blocked);
    if (formulaNames_->count() > 0)
        formulaNames_->setCurrentIndex(found > 0 ? found : 0);
}

void FormulaEditor::OpenFormula()
{
    if (IsBusy()) {
        // A run reads the formula in place: open it once the run has returned.
        QPointer<FormulaEditor> self = this;
        RunWhenIdle([self] {
            if (self)
                self->OpenFormula();
        });
        return;
    }
    const std::string name = Text(formulaNames_);
    Formula& f = App().CurrentFormula;
    f.fill(0.0f);
    App().CurrentFormulaFile = name;
    SaveSetting(pref::CurrentFormula, name);
    // The toolbar names the formula at once: a message about its file shows beside its name.
    ChangeFormulaName();
    // Every read names what it found wrong, the list's own reopening of the open formula too
    // (a file read well before may fail now): once for the file, until a read finds it sound.
    // A default formula that is not there says nothing here: the built-in one is in force, and
    // a folder that could not be given its file was named when the write failed.
    std::string problem;
    const std::filesystem::path file = ListedFile(ProgramFolder(), name);
    const bool isDefault = vb::SameText(name, DefaultFormulaName);
    if (IsPlainFileName(name)) {
        if (ReadFormulaForUse(file, f, problem))
            ForgetFileProblem(file);   // a whole formula: a later failure is news
        else if (!problem.empty() && (!isDefault || FileOrFolderExists(file)))
            ReportFileProblem(file, problem + (isDefault ? " The built-in default formula is used instead."
                                                         : " Its formula was not loaded."));
    }
    const int index = formulaNames_->currentIndex();
    formulaFiles_->setCurrentRow(index < formulaFiles_->count() ? index : -1);
    LoadFormula();
    RefreshActiveView(true);
    ChangeFormulaName();
    App().SuppressRefresh = false;
}

void FormulaEditor::SaveFormula()
{
    // The chosen name as the file has it: on a file system that tells letter cases apart, a
    // name in lower case would be another file.
    const std::string answer = InputBox(texts::SavePrompt, texts::SaveTitle, Text(formulaNames_));
    if (answer.empty())
        return;
    const std::string name = SavedFormulaFileName(ProgramFolder(), answer);

    Formula& f = IsBusy() ? scratch_ : App().CurrentFormula;
    if (IsBusy())
        scratch_ = App().CurrentFormula;
    StoreFormulaFrom(Controls(), f);

    if (!IsPlainFileName(name)) {
        MsgBox(texts::BadFilenameMessage, vbExclamation, texts::BadFilenameTitle);
        return;
    }
    std::string reason;
    if (!WriteFormulaFile(ListedFile(ProgramFolder(), name), f, reason)) {
        MsgBox(texts::NotSavedPrefix + name + texts::NotSavedIn + ProgramFolder().string() + ": " + reason + ".",
               vbExclamation, texts::NotSavedTitle);
        return;
    }
    MsgBox(texts::SavedMessage, vbExclamation, texts::SavedTitle);
    ListSavedFormula(name);
}

int FormulaEditor::AddFormulaName(const std::string& name)
{
    RereadFileList();
    return FindOrAddComboItem(formulaNames_, name);
}

void FormulaEditor::ListSavedFormula(const std::string& name) { AddFormulaName(name); }

void FormulaEditor::DeleteFormula()
{
    const std::string name = Text(formulaNames_);
    if (MsgBox(texts::DeletePrompt + name + " ?", vbYesNo + vbQuestion, texts::DeleteTitle) == vbNo)
        return;
    bool all = false;
    if (IsGoodName(name))
        all = MsgBox(texts::DeleteAllGoodPrompt, vbYesNo, texts::DeleteAllGoodTitle) == vbYes;
    else if (IsBadName(name))
        all = MsgBox(texts::DeleteAllBadPrompt, vbYesNo, texts::DeleteAllBadTitle) == vbYes;

    if (all) {
        if (const std::string refused = DeleteGoodOrBadFiles(ProgramFolder(), IsGoodName(name)); !refused.empty())
            MsgBox(refused, vbCritical, texts::NotDeletedTitle);
    } else {
        const std::filesystem::path file = ListedFile(ProgramFolder(), name);
        std::error_code ec;
        std::string reason;
        if (!IsPlainFileName(name) || !std::filesystem::is_regular_file(file, ec))
            MsgBox(ProgramFolder().string() + "/" + name + texts::NotFoundMessage, vbCritical, texts::NotFoundTitle);
        else if (!RemoveFile(file, reason))
            MsgBox(RemoveFailure(file, reason), vbCritical, texts::NotDeletedTitle);
    }
    RefreshFileList();
}

// ---------------------------------------------------------------- closing

void FormulaEditor::closeEvent(QCloseEvent* event)
{
    // The user's close only hides the editor: it stays loaded and keeps its state.
    if (event->spontaneous()) {
        event->ignore();
        hide();
        return;
    }
    event->accept();
}

} // namespace vexal
