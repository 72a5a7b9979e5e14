// The Test Formula window's files and reports: test templates, the printed summary of the
// last test and the All Formula Report.
#include "FormulaTestWindow.h"

#include "AppState.h"
#include "CMouse.h"
#include "Clock.h"
#include "CurrentFormula.h"
#include "FlagScope.h"
#include "FormulaEditor.h"
#include "FormulaFile.h"
#include "Host.h"
#include "MsgBox.h"
#include "PrintDialog.h"
#include "PrintFit.h"
#include "PrinterCanvas.h"
#include "ProgBar.h"
#include "RecordFile.h"
#include "SeasonData.h"
#include "VbConvert.h"
#include "VbError.h"
#include "Win1252.h"
#include "Windows.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace vexal {

namespace {

using namespace formulatest;

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string Text(const QLineEdit* box) { return box->text().toStdString(); }

int CheckValue(const QCheckBox* box)
{
    switch (box->checkState()) {
    case Qt::Checked: return 1;
    case Qt::PartiallyChecked: return 2;
    default: return 0;
    }
}

const char* const TemplateFilter = "Formula Templates|*.ftp";

std::optional<std::string> AskForFile(bool save, const std::string& title, const std::string& proposed,
                                      QWidget* owner);

} // namespace

namespace formulatest_detail {
FormulaTestWindow::FileDialog& Dialog();
}

namespace {

std::optional<std::string> AskForFile(bool save, const std::string& title, const std::string& proposed, QWidget* owner)
{
    if (auto& dialog = formulatest_detail::Dialog())
        return dialog(save, title, proposed);
    const QString start = Q((ProgramFolder() / proposed).string());
    const QString filter = "Formula Templates (*.ftp)";
    const QString chosen = save ? QFileDialog::getSaveFileName(owner, Q(title), start, filter)
                                : QFileDialog::getOpenFileName(owner, Q(title), start, filter);
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen.toStdString();
}

std::string CurrentWeekText()
{
    const int week = static_cast<int>(App().CurrentFormula[fsCurrentWeek]);
    const auto& items = Season().WeekItems;
    if (week >= 1 && static_cast<std::size_t>(week) <= items.size())
        return items[static_cast<std::size_t>(week - 1)];
    return std::string();
}

} // namespace

// ---------------------------------------------------------------- test templates

std::vector<std::string> FormulaTestWindow::TemplateFields() const
{
    std::vector<std::string> f;
    auto check = [&f](const QCheckBox* box) { f.push_back(std::to_string(CheckValue(box))); };
    auto index = [&f](const QComboBox* list) { f.push_back(std::to_string(list->currentIndex())); };
    f.push_back(Text(txtrola_[0]));
    f.push_back(Text(txtrola_[1]));
    for (int row = 1; row <= 9; ++row)
        f.push_back(Text(Text1_[static_cast<std::size_t>(row)]));
    for (int row = 1; row <= 9; ++row)
        f.push_back(Text(Text2_[static_cast<std::size_t>(row)]));
    for (const QCheckBox* box : {chkUsePowerRatings_, chkDonTUseLine_, chkSeparateHomeAway_, chkDiscardHighLow_,
                                 chkHome_, chkAway_, chkFav_, chkDog_, chkFast_, chkLinear_, chkLimitWeek_})
        check(box);
    index(cboLimitStart_);
    index(cboLimitEnd_);
    check(chkSingle_);
    index(Combo1_);
    index(Combo2_);
    check(ChkSaveFormulas_);
    for (const QLineEdit* box : {txtUnitLower_, txtUnitUpper_, txtPercentLower_, txtPercentUpper_})
        f.push_back(Text(box));
    f.push_back(sortbyu_->isChecked() ? "True" : "False");
    f.push_back(SortByW_->isChecked() ? "True" : "False");
    index(CboStartWeek_);
    index(CboEndWeek_);
    f.push_back(Text(txtMin_));
    return f;
}

void FormulaTestWindow::mnuSTT_Click()
{
    try {
        const std::string line = TemplateLine(TemplateFields());
        const auto chosen = AskForFile(true, "Save Formula Template", "Default.ftp", this);
        if (!chosen)
            return;
        const std::string path = TemplatePath(*chosen);
        if (!WriteFileAtomically(path, win1252::FromUtf8(line)))
            MsgBox("The template " + path + " could not be written.", vbExclamation, "Save Formula Template");
    } catch (...) {
        // Any other failure ends the command silently.
    }
}

bool FormulaTestWindow::ApplyTemplateField(int field, const std::string& piece)
{
    auto check = [&piece](QCheckBox* box) {
        const auto v = TemplateWhole(piece);
        if (!v || *v < 0 || *v > 2)
            return false;
        box->setCheckState(*v == 0 ? Qt::Unchecked : *v == 1 ? Qt::Checked : Qt::PartiallyChecked);
        return true;
    };
    auto index = [&piece](QComboBox* list) {
        const auto v = TemplateWhole(piece);
        if (!v || *v < -1 || *v >= list->count())
            return false;
        list->setCurrentIndex(*v);
        return true;
    };
    auto option = [&piece](QRadioButton* button) {
        const auto v = TemplateOption(piece);
        if (!v)
            return false;
        button->setChecked(*v);
        return true;
    };
    auto text = [&piece](QLineEdit* box) {
        box->setText(Q(piece));
        return true;
    };
    static QCheckBox* FormulaTestWindow::*const Checks[] = {
        &FormulaTestWindow::chkUsePowerRatings_, &FormulaTestWindow::chkDonTUseLine_,
        &FormulaTestWindow::chkSeparateHomeAway_, &FormulaTestWindow::chkDiscardHighLow_,
        &FormulaTestWindow::chkHome_, &FormulaTestWindow::chkAway_, &FormulaTestWindow::chkFav_,
        &FormulaTestWindow::chkDog_, &FormulaTestWindow::chkFast_, &FormulaTestWindow::chkLinear_,
        &FormulaTestWindow::chkLimitWeek_};
    if (field <= 1)
        return text(txtrola_[static_cast<std::size_t>(field)]);
    if (field <= 10)
        return text(Text1_[static_cast<std::size_t>(field - 1)]);
    if (field <= 19)
        return text(Text2_[static_cast<std::size_t>(field - 10)]);
    if (field <= 30)
        return check(this->*Checks[field - 20]);
    switch (field) {
    case 31: return index(cboLimitStart_);
    case 32: return index(cboLimitEnd_);
    case 33: return check(chkSingle_);
    case 34: return index(Combo1_);
    case 35: return index(Combo2_);
    case 36: return check(ChkSaveFormulas_);
    case 37: return text(txtUnitLower_);
    case 38: return text(txtUnitUpper_);
    case 39: return text(txtPercentLower_);
    case 40: return text(txtPercentUpper_);
    case 41: return option(sortbyu_);
    case 42: return option(SortByW_);
    case 43:
    case 44: {
        // Guarded against a week list that changed since the template was saved.
        const auto v = TemplateWhole(piece);
        if (!v)
            return false;
        const int last = CboStartWeek_->count() - 1;
        if (field == 43) {
            const auto& first = Season().SeasonFirstWeek;
            const int fallback = first.empty() ? -1 : first[0];
            const int chosen = (*v < last && *v >= -1) ? *v : fallback;
            if (chosen >= CboStartWeek_->count())
                return false;
            CboStartWeek_->setCurrentIndex(chosen);
        } else {
            const int chosen = (*v < last && *v >= -1) ? *v : last;
            CboEndWeek_->setCurrentIndex(chosen);
        }
        return true;
    }
    case 45: return text(txtMin_);
    default: return false;
    }
}

void FormulaTestWindow::mnuLTT_Click()
{
    if (running_)
        return;
    try {
        const auto chosen = AskForFile(false, "Select Formula Template", "Default.ftp", this);
        if (!chosen)
            return;
        std::ifstream in(*chosen, std::ios::binary);
        if (!in)
            return;
        const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        const std::vector<std::string> pieces = TemplatePieces(win1252::ToUtf8(bytes));
        for (int field = 0; field < formulatest::TemplateFields && static_cast<std::size_t>(field) < pieces.size(); ++field)
            if (!ApplyTemplateField(field, pieces[static_cast<std::size_t>(field)]))
                return;
    } catch (...) {
    }
}

// ---------------------------------------------------------------- the printed summary

void FormulaTestWindow::Print_Click()
{
    // The printout ends by writing the formula the engine reads while a run yields.
    if (running_)
        return;
    try {
        clsPrintDialog dialog;
        dialog.CancelError(true);
        dialog.ShowPrinter();
    } catch (const VbError&) {
        return;   // cancelled (or no printer): nothing is printed, the formula is unchanged
    }
    CMouse mouse;
    mouse.SetPointer(vbHourglass);
    QPrinter& printer = CurrentPrinter();
    PrinterCanvas canvas(printer);
    if (!canvas.Begin())
        return;
    // Every size is scaled by one factor, below 1 only when some line would run past the
    // page edge (or the left column into the right one) in the face the printer really has.
    double factor = 1;
    auto sized = [&canvas, &factor](int points) {
        QFont font = canvas.Font();
        font.setPointSizeF(points * factor);
        canvas.SetFont(font);
    };
    auto column = [&canvas, &printer](int n) {
        const QFontMetricsF metrics(canvas.Font(), &printer);
        return canvas.PixelsToTwips(metrics.averageCharWidth()) * n;
    };
    auto centred = [&canvas](const QString& text) {
        canvas.CurrentX = canvas.ScaleWidth() / 2 - canvas.TextWidth(text) / 2;
        canvas.Print(text);
    };
    auto rule = [&canvas] {
        const double y = canvas.CurrentY;
        canvas.CurrentX = 0;
        canvas.LineStep(canvas.ScaleWidth(), 0);
        canvas.CurrentX = 0;
        canvas.CurrentY = y;
    };
    static const char* const Labels[9] = {
        "Minimum Point Differential - ", "Maximum Point Differential - ", "Home Field Advantage       - ",
        "Offensive Percentage       - ", "Defensive Percentage       - ", "Rushing Percentage         - ",
        "Passing Percentage         - ", "Turnover Value             - ", "Predicted Score Multiplier - "};

    const QString title = Q("Vexal Formulas for - " + std::to_string(Season().SeasonYear));
    const QString weeks = "(for " + CboStartWeek_->currentText() + " thru " + CboEndWeek_->currentText() + ")";
    auto range = [this](int row) {
        return QString(Labels[row - 1]) + Text1_[static_cast<std::size_t>(row)]->text() + " To " +
               Text2_[static_cast<std::size_t>(row)]->text();
    };
    const std::string units = Text(best_[11]);
    const QString unitLine =
        Q("The Unit Win would be      - " + (vb::IsNumeric(units) ? vb::Format(vb::Val(units), "0.0") : units));
    const QStringList lines = vbaRE_->toPlainText().split('\n');
    factor = FitPointSize(10, [&](double size) {
        factor = size / 10;
        const double page = canvas.ScaleWidth();
        double worst = 0;
        auto fits = [&](double start, const QString& text, double limit) {
            if (limit > 0)
                worst = std::max(worst, (start + canvas.TextWidth(text)) / limit);
        };
        sized(14);
        fits(0, title, page);
        sized(12);
        fits(0, weeks, page);
        fits(0, "For the following Range of Values:", page);
        const double rightColumn = column(33);
        fits(rightColumn, "Best Formula Win - Loss by Week", page);
        fits(0, "The Worst Formula was:", page);
        sized(10);
        for (int row = 1; row <= 9; ++row)
            fits(column(31), range(row), page);
        for (int i = 0; i < 9; ++i) {
            fits(0, QString(Labels[i]) + best_[static_cast<std::size_t>(i)]->text(), rightColumn);
            fits(0, QString(Labels[i]) + worst_[static_cast<std::size_t>(i)]->text(), page);
        }
        fits(0, unitLine, rightColumn);
        for (const QString& line : lines)
            fits(column(39), line, page);
        fits(0, "Win/Loss/Lie               - " + worst_[9]->text(), page);
        fits(0, "Losing Percenatge          - " + worst_[10]->text(), page);
        fits(0, "Units won betting against  - " + worst_[11]->text(), page);
        return worst;
    });
    factor /= 10;

    sized(14);
    canvas.CurrentX = canvas.ScaleWidth() / 2 - canvas.TextWidth("Vexal Formulas for - 1999") / 2;
    canvas.Print(title);
    sized(12);
    centred(weeks);
    canvas.Print("");
    rule();
    centred("For the following Range of Values:");
    sized(10);
    for (int row = 1; row <= 9; ++row) {
        canvas.CurrentX = column(31);
        canvas.Print(range(row));
    }
    rule();
    canvas.Print("");
    canvas.Print("");
    const double y0 = static_cast<double>(static_cast<long long>(canvas.CurrentY));
    sized(12);
    canvas.Print("The Best Formula was:");
    sized(10);
    for (int i = 0; i < 9; ++i)
        canvas.Print(QString(Labels[i]) + best_[static_cast<std::size_t>(i)]->text());
    canvas.Print(unitLine);
    canvas.CurrentY = y0;
    sized(12);
    canvas.CurrentX = column(33);
    canvas.Print("Best Formula Win - Loss by Week");
    sized(10);
    for (const QString& line : lines) {
        canvas.CurrentX = column(39);
        canvas.Print(line);
    }
    if (!worst_[9]->text().isEmpty()) {
        canvas.CurrentY = 8600;
        rule();
        canvas.Print("");
        sized(12);
        canvas.Print("The Worst Formula was:");
        sized(10);
        for (int i = 0; i < 9; ++i)
            canvas.Print(QString(Labels[i]) + worst_[static_cast<std::size_t>(i)]->text());
        canvas.Print("Win/Loss/Lie               - " + worst_[9]->text());
        canvas.Print("Losing Percenatge          - " + worst_[10]->text());
        canvas.Print("Units won betting against  - " + worst_[11]->text());
    }
    canvas.EndDoc();

    // The range's low ends become the formula's weights; a box that is no number is skipped.
    static constexpr int RowOfSlot[9] = {3, 1, 2, 4, 5, 7, 6, 8, 9};
    for (int slot = 0; slot < 9; ++slot)
        if (const auto v = StrictNumber(Text(Text1_[static_cast<std::size_t>(RowOfSlot[slot])])))
            App().CurrentFormula[static_cast<std::size_t>(slot)] = *v;
}

// ---------------------------------------------------------------- All Formula Report

void FormulaTestWindow::WriteAllFormulaLine(const std::string& text) { allFormulaText_ += text + "\r\n"; }

void FormulaTestWindow::cmdAllForm_Click()
{
    if (running_ || IsBusy())
        return;
    BusyScope busy;
    const FlagScope runEnd(running_);
    AppState& app = App();
    app.StopTest = false;
    stopRequested_ = false;
    BeginTestMode();
    std::optional<CMouse> mouse(std::in_place);
    mouse->SetPointer(vbHourglass);

    const bool totals = cmdOU_->isChecked();
    const std::filesystem::path path = ProgramFolder() / (totals ? "AllOUConsensus.txt" : "AllConsensus.txt");
    allFormulaText_.clear();
    WriteAllFormulaLine(AllFormulaTitle(totals, CurrentWeekText(), TodayDateText()));
    WriteAllFormulaLine("");

    FormulaEditor* editor = FormulaEditor::Get();
    std::vector<std::string> names;
    if (editor)
        for (int i = 0; i < editor->FileList()->count(); ++i)
            names.push_back(editor->FileList()->item(i)->text().toStdString());
    AllFormulaCount = static_cast<int>(names.size()) - 1;
    AllFormulaReported = 0;
    Stat1_->show();

    // Files too short for either kind of formula file, named together once the report is done.
    std::vector<std::string> damaged;
    for (const std::string& name : names) {
        if (app.StopTest || stopRequested_) {
            app.StopTest = false;
            Stat1_->SetCaption("Stopped");
            Stat1_->SetValue(0);
            Stat1_->hide();
            break;
        }
        Formula& f = app.CurrentFormula;
        f.fill(0.0f);
        f[fsTotalsMode] = totals ? 1.0f : 0.0f;
        if (editor)
            f[fsSeasonToDate] = static_cast<float>(editor->SeasonToDate());
        f[fsOtherFactors] = cmdOtherFac_->isChecked() ? 1.0f : 0.0f;
        {
            std::ifstream in(ProgramFolder() / name, std::ios::binary);
            if (in) {
                const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
                const std::vector<float> numbers = ParseFormulaFileNumbers(bytes);
                for (std::size_t i = 0; i < numbers.size(); ++i)
                    f[static_cast<std::size_t>(FormulaFileSlots[i])] = numbers[i];
                if (numbers.size() == ShortFormulaFilePositions) {
                    // A smart formula file: its short form holds no filters and no line range.
                    f[fsLineStart] = 99;
                    f[fsLineEnd] = 99;
                } else if (numbers.size() < FormulaFilePositions) {
                    damaged.push_back(name);
                }
            }
        }
        WriteAllFormulaLine(AllFormulaName(name));
        WriteAllFormulaLine(AllFormulaHeader);
        WriteAllFormulaLine(AllFormulaValues(f));
        if (f[fsSeparateHomeAway] == -1)
            f[fsSeparateHomeAway] = 0;
        if (const std::string options = AllFormulaOptions(f); !options.empty())
            WriteAllFormulaLine(options);
        if (const std::string optimized = AllFormulaOptimized(f); !optimized.empty())
            WriteAllFormulaLine(optimized);
        for (int i = 0; i < 22; ++i)
            FormulaHigh[static_cast<std::size_t>(i)] = f[static_cast<std::size_t>(i)];
        f[fsCurrentWeek] = static_cast<float>(CboStartWeek_->currentIndex() + 1);
        FormulaHigh[fsCurrentWeek] = static_cast<float>(CboEndWeek_->currentIndex() + 1);
        if (chkLimitWeek_->checkState() == Qt::Checked) {
            const float s = LeadingNumber(cboLimitStart_->currentText().toStdString());
            const float e = LeadingNumber(cboLimitEnd_->currentText().toStdString());
            f[fsHomeOnly] += 10.0f * (s > e ? e : s);
            f[fsAwayOnly] += 10.0f * (s > e ? s : e);
        }
        AllFormulaRunning = true;
        try {
            engine_.TestFormulas(false, 0, 0, std::span<float>(f), std::span<float>(FormulaHigh), false,
                                 std::span<const float>(app.TestFilters), true, 0);
        } catch (const std::exception&) {
        }
        AllFormulaRunning = false;
    }
    app.StopTest = false;
    ReadFormula();
    if (!damaged.empty()) {
        std::string list;
        for (const std::string& name : damaged)
            list += (list.empty() ? "" : ", ") + name;
        MsgBox("62 - Input past end of file\r\n There was an error using the formula" +
                   std::string(damaged.size() > 1 ? "s " : " ") + list + " you should load and re-save " +
                   (damaged.size() > 1 ? "these formulas to make sure they are" : "this formula to make sure it is") +
                   " correct.",
               vbOKOnly);
    }
    if (!WriteFileAtomically(path, win1252::FromUtf8(allFormulaText_)))
        MsgBox("Error saving or opening the file", vbCritical, "Error with " + path.string());
    if (editor)
        editor->hide();
    app.DocumentPath = path;
    mouse.reset();
    ShowModal("frmRichEdit");
    EndTestMode();
}

} // namespace vexal
