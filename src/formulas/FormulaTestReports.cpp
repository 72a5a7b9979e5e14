// The Test Formula window's files and reports: test templates, the printed summary of the
// last test and the All Formula Report.
#include "FormulaTestWindow.h"

#include "AppState.h"
#include "CMouse.h"
#include "Clock.h"
#include "CurrentFormula.h"
#include "FlagScope.h"
#include "FormulaEditorValues.h"
#include "FormulaFile.h"
#include "Host.h"
#include "MsgBox.h"
#include "PrintDialog.h"
#include "PrintFit.h"
#include "PrinterCanvas.h"
#include "ProgBar.h"
#include "RecordFile.h"
#include "SeasonData.h"
#include "Steps.h"
#include "TextDamage.h"
#include "VbConvert.h"
#include "VbError.h"
#include "Win1252.h"
#include "WindowNames.h"
#include "Windows.h"
#include "cCommonDialog.h"

#include <QCheckBox>
#include <QComboBox>
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
    cCommonDialog dialog;
    dialog.hwnd = owner;
    dialog.CancelError = true;
    dialog.DialogTitle = title;
    dialog.Filter = "Formula Templates|*.ftp";
    dialog.Filename = proposed;
    dialog.InitDir = ProgramFolder().string();
    try {
        if (save)
            dialog.ShowSave();
        else
            dialog.ShowOpen();
    } catch (const VbError& e) {
        if (e.Number() == CommonDialogCancelled)
            return std::nullopt;
        throw;
    }
    if (dialog.Filename.empty())
        return std::nullopt;
    return dialog.Filename;
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
        f.push_back(Text(lowBoxes_[static_cast<std::size_t>(row)]));
    for (int row = 1; row <= 9; ++row)
        f.push_back(Text(highBoxes_[static_cast<std::size_t>(row)]));
    for (const QCheckBox* box : {chkUsePowerRatings_, chkDonTUseLine_, chkSeparateHomeAway_, chkDiscardHighLow_,
                                 chkHome_, chkAway_, chkFav_, chkDog_, chkFast_, chkLinear_, chkLimitWeek_})
        check(box);
    index(cboLimitStart_);
    index(cboLimitEnd_);
    check(chkSingle_);
    index(homeTeam_);
    index(awayTeam_);
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
    // Any other failure ends the command; the step log keeps it.
    SkipStep([&] {
        const std::string line = TemplateLine(TemplateFields());
        const auto chosen = AskForFile(true, "Save Formula Template", "Default.ftp", this);
        if (!chosen)
            return;
        AtomicFileWrite file(TemplatePath(*chosen));
        if (!file.Write(win1252::FromUtf8(line)) || !file.Commit())
            MsgBox(file.Describe(), vbExclamation, "Save Formula Template");
    });
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
        return text(lowBoxes_[static_cast<std::size_t>(field - 1)]);
    if (field <= 19)
        return text(highBoxes_[static_cast<std::size_t>(field - 10)]);
    if (field <= 30)
        return check(this->*Checks[field - 20]);
    switch (field) {
    case 31: return index(cboLimitStart_);
    case 32: return index(cboLimitEnd_);
    case 33: return check(chkSingle_);
    case 34: return index(homeTeam_);
    case 35: return index(awayTeam_);
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
    SkipStep([&] {
        const auto chosen = AskForFile(false, "Select Formula Template", "Default.ftp", this);
        if (!chosen)
            return;
        std::string bytes, problem;
        if (!ReadWholeFile(*chosen, bytes, problem, FileKind::Template)) {
            MsgBox(problem, vbExclamation);
            return;
        }
        // A template holding bytes no text holds is named and changes no control: a piece cut
        // at such a byte would pass for the template's own value.
        if (const std::string damage = formulatest::TemplateTextDamage(bytes); !damage.empty()) {
            MsgBox(*chosen + " is damaged: " + damage + ". Its settings were not loaded.", vbExclamation);
            return;
        }
        // A piece its control does not take stops the load there; the ones before it are set.
        std::string damage;
        const std::vector<std::string> pieces = TemplatePieces(TextFileToUtf8(bytes));
        for (int field = 0; field < formulatest::TemplateFields && static_cast<std::size_t>(field) < pieces.size(); ++field)
            if (!ApplyTemplateField(field, pieces[static_cast<std::size_t>(field)])) {
                damage = "field " + std::to_string(field + 1) + " (\"" + pieces[static_cast<std::size_t>(field)] +
                         "\") is no value its control takes";
                break;
            }
        if (!damage.empty())
            MsgBox(*chosen + " is damaged: " + damage + ". Its settings were loaded as far as they go.",
                   vbExclamation);
    });
}

// ---------------------------------------------------------------- the printed summary

namespace {

// The summary's page on the printer.
class CanvasPage : public SummaryPage {
public:
    CanvasPage(PrinterCanvas& canvas, QPrinter& printer) : canvas_(canvas), printer_(printer) {}
    double Width() const override { return canvas_.ScaleWidth(); }
    void SetPointSize(double points) override
    {
        QFont font = canvas_.Font();
        font.setPointSizeF(points);
        canvas_.SetFont(font);
    }
    double TextWidth(const std::string& text) const override { return canvas_.TextWidth(Q(text)); }
    double AverageCharWidth() const override
    {
        return canvas_.PixelsToTwips(QFontMetricsF(canvas_.Font(), &printer_).averageCharWidth());
    }
    double X() const override { return canvas_.CurrentX; }
    double Y() const override { return canvas_.CurrentY; }
    void MoveTo(double x, double y) override
    {
        canvas_.CurrentX = x;
        canvas_.CurrentY = y;
    }
    void Print(const std::string& text) override { canvas_.Print(Q(text)); }
    void Rule() override
    {
        const double y = canvas_.CurrentY;
        canvas_.CurrentX = 0;
        canvas_.LineStep(canvas_.ScaleWidth(), 0);
        canvas_.CurrentX = 0;
        canvas_.CurrentY = y;
    }

private:
    PrinterCanvas& canvas_;
    QPrinter& printer_;
};

} // namespace

SummaryTexts FormulaTestWindow::ReadSummaryTexts() const
{
    SummaryTexts t;
    t.seasonYear = Season().SeasonYear;
    t.startWeek = CboStartWeek_->currentText().toStdString();
    t.endWeek = CboEndWeek_->currentText().toStdString();
    for (std::size_t row = 1; row < t.low.size(); ++row) {
        t.low[row] = Text(lowBoxes_[row]);
        t.high[row] = Text(highBoxes_[row]);
    }
    for (std::size_t i = 0; i < t.best.size(); ++i) {
        t.best[i] = Text(best_[i]);
        t.worst[i] = Text(worst_[i]);
    }
    t.breakdown = vbaRE_->toPlainText().toStdString();
    return t;
}

void FormulaTestWindow::Print_Click()
{
    // The printout ends by writing the formula the engine reads while a run yields.
    if (running_)
        return;
    try {
        clsPrintDialog dialog;
        dialog.CancelError(true);
        dialog.ShowPrinter();
    } catch (const VbError& e) {
        if (e.Number() != PrintDialogCancelled)
            throw;
        return;   // cancelled: nothing is printed, the formula is unchanged
    }
    CMouse mouse;
    mouse.SetPointer(vbHourglass);
    // A print that fails says so, and leaves the formula as it is.
    ReportStep([&] {
        QPrinter& printer = CurrentPrinter();
        PrinterCanvas canvas(printer);
        if (!canvas.Begin())
            throw VbError::Of(VbError::PrinterError);
        const SummaryTexts texts = ReadSummaryTexts();
        CanvasPage page(canvas, printer);
        // Every size is scaled by one factor, below 1 only when some line would run past the
        // page edge (or the left column into the right one) in the face the printer really has.
        const double size =
            FitPointSize(10, [&](double points) { return SummaryOverflow(texts, page, points / 10); });
        PrintSummary(texts, page, size / 10);
        canvas.EndDoc();
        ApplyRangeLowEnds(texts.low, App().CurrentFormula);
    });
}

// ---------------------------------------------------------------- All Formula Report

void FormulaTestWindow::cmdAllForm_Click()
{
    if (running_ || IsBusy())
        return;
    // With no formula file there is nothing to test: a report of its title alone, shown
    // without a word, would only puzzle.
    std::vector<std::string> names = EditorFormulaFiles();
    if (names.empty()) {
        MsgBox("There is no formula file to test: save a formula in the formula editor first.", vbInformation);
        return;
    }
    // The run ends before the report is shown: the viewer must close from its close box and
    // the window be usable while it is open.
    std::optional<FlagScope> runEnd(std::in_place, running_);
    std::optional<BusyScope> busy(std::in_place);
    AppState& app = App();
    app.StopTest = false;
    stopRequested_ = false;
    BeginTestMode();
    std::optional<CMouse> mouse(std::in_place);
    mouse->SetPointer(vbHourglass);

    AllFormulaSettings settings;
    settings.folder = ProgramFolder();
    settings.totals = cmdOU_->isChecked();
    settings.otherFactors = cmdOtherFac_->isChecked();
    settings.startWeekIndex = CboStartWeek_->currentIndex();
    settings.endWeekIndex = CboEndWeek_->currentIndex();
    settings.limitWeek = chkLimitWeek_->checkState() == Qt::Checked;
    settings.limitStart = cboLimitStart_->currentText().toStdString();
    settings.limitEnd = cboLimitEnd_->currentText().toStdString();
    settings.weekText = CurrentWeekText();
    settings.date = TodayDateText();
    settings.names = std::move(names);
    if (const std::optional<int> seasonToDate = EditorControls().STD)
        settings.seasonToDate = static_cast<float>(*seasonToDate);
    allFormula_.emplace(std::move(settings));
    runProgress_->show();
    allFormula_->Run(engine_, app.CurrentFormula, FormulaHigh, app.TestFilters, [&] {
        if (!app.StopTest && !stopRequested_)
            return false;
        app.StopTest = false;
        runProgress_->SetCaption("Stopped");
        runProgress_->SetValue(0);
        runProgress_->hide();
        return true;
    });
    // A last formula whose file gave none has no result to end the bar with: the run is over.
    if (runProgress_->isVisible()) {
        runProgress_->SetCaption("Progress");
        runProgress_->SetValue(0);
        runProgress_->hide();
    }
    app.StopTest = false;
    ReadFormula();
    if (const std::string message = allFormula_->DamagedMessage(); !message.empty())
        MsgBox(message, vbOKOnly);
    const std::filesystem::path path = allFormula_->ReportPath();
    std::string problem;
    const bool written = allFormula_->WriteReport(problem);
    if (!written)
        DocumentNotWritten(path, problem);
    allFormula_.reset();
    // A report that could not be written is not shown, even when an older one is there: it
    // would pass for this run's.
    if (written) {
        HideFormulaEditor();
        app.DocumentPath = path;
    }
    mouse.reset();
    EndTestMode();
    runEnd.reset();
    busy.reset();
    if (written)
        ShowModal(WindowName::DocumentViewer);
}

} // namespace vexal
