#include "PrintDialog.h"

#include "Host.h"
#include "VbConvert.h"
#include "VbError.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QWidget>

#include <algorithm>
#include <memory>

namespace vexal {

namespace {

std::unique_ptr<QPrinter>& Printer()
{
    static std::unique_ptr<QPrinter> printer;
    return printer;
}

std::filesystem::path& PrintFileSetting()
{
    static std::filesystem::path file;
    return file;
}

PrintDialogRunner& Runner()
{
    static PrintDialogRunner runner;
    return runner;
}

bool RunSystemDialog(QPrinter& printer, int& fromPage, int& toPage)
{
    QPrintDialog dialog(&printer, QApplication::activeWindow());
    if (fromPage > 0 || toPage > 0)
        dialog.setFromTo(fromPage, toPage);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    fromPage = dialog.fromPage();
    toPage = dialog.toPage();
    return true;
}

// What a cancelled dialog must leave untouched.
struct PrinterSnapshot {
    QString name;
    QPrinter::OutputFormat format;
    QString fileName;
    int copies;
    QPrinter::DuplexMode duplex;
    QPageLayout::Orientation orientation;

    explicit PrinterSnapshot(const QPrinter& p)
        : name(p.printerName()), format(p.outputFormat()), fileName(p.outputFileName()),
          copies(p.copyCount()), duplex(p.duplex()), orientation(p.pageLayout().orientation())
    {
    }
    void Restore(QPrinter& p) const
    {
        p.setOutputFormat(format);
        if (format == QPrinter::NativeFormat && p.printerName() != name)
            p.setPrinterName(name);
        p.setOutputFileName(fileName);
        p.setCopyCount(copies);
        p.setDuplex(duplex);
        p.setPageOrientation(orientation);
    }
};

} // namespace

QPrinter& CurrentPrinter()
{
    auto& printer = Printer();
    if (!printer) {
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        if (QPrinterInfo::availablePrinters().isEmpty()) {
            // Nothing to print on: the printout becomes a PDF file the user can find.
            std::error_code ec;
            std::filesystem::create_directories(DefaultPrintFile().parent_path(), ec);
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(QString::fromStdString(DefaultPrintFile().string()));
        }
    }
    return *printer;
}

void ResetCurrentPrinter() { Printer().reset(); }

bool PrintsToFile() { return CurrentPrinter().outputFormat() == QPrinter::PdfFormat; }

std::filesystem::path DefaultPrintFile()
{
    if (!PrintFileSetting().empty())
        return PrintFileSetting();
    return UserProfileFolder() / "Vexal" / "Printout.pdf";
}

void SetDefaultPrintFile(const std::filesystem::path& pdf) { PrintFileSetting() = pdf; }

void InstallPrintDialogRunner(PrintDialogRunner runner) { Runner() = std::move(runner); }

namespace {
PageSetupRunner& SetupRunner()
{
    static PageSetupRunner runner;
    return runner;
}
} // namespace

void InstallPageSetupRunner(PageSetupRunner runner) { SetupRunner() = std::move(runner); }

bool ShowPrintDialogFor(QPrinter& printer, int& fromPage, int& toPage, int32_t flags, QWidget* owner,
                        const DialogHooks* hooks)
{
    const PrinterSnapshot before(printer);
    const bool setup = (flags & PD_PRINTSETUP) != 0;
    if (flags & PD_COLLATE)
        printer.setCollateCopies(true);
    if (flags & PD_PRINTTOFILE)
        printer.setOutputFormat(QPrinter::PdfFormat);
    int from = fromPage;
    int to = toPage;
    bool confirmed = false;
    if (Runner()) {
        confirmed = Runner()(printer, from, to);
    } else {
        QPrintDialog dialog(&printer, owner ? owner : QApplication::activeWindow());
        QAbstractPrintDialog::PrintDialogOptions options = dialog.options();
        options.setFlag(QAbstractPrintDialog::PrintPageRange, !setup && (flags & PD_PAGENUMS) != 0);
        options.setFlag(QAbstractPrintDialog::PrintSelection, !setup && (flags & PD_NOSELECTION) == 0);
        options.setFlag(QAbstractPrintDialog::PrintCurrentPage, false);
        options.setFlag(QAbstractPrintDialog::PrintToFile,
                        (flags & PD_HIDEPRINTTOFILE) == 0 && (flags & PD_DISABLEPRINTTOFILE) == 0);
        options.setFlag(QAbstractPrintDialog::PrintCollateCopies, !setup);
        options.setFlag(QAbstractPrintDialog::PrintShowPageSize, true);
        dialog.setOptions(options);
        if (setup)
            dialog.setWindowTitle(QStringLiteral("Print Setup"));
        else if (from > 0 || to > 0)
            dialog.setFromTo(from, to);
        ConnectOpenAndClose(dialog, hooks);
        confirmed = dialog.exec() == QDialog::Accepted;
        if (confirmed && !setup) {
            from = dialog.fromPage();
            to = dialog.toPage();
        }
    }
    if (!confirmed) {
        before.Restore(printer);
        return false;
    }
    fromPage = from;
    toPage = to;
    return true;
}

namespace {

QMarginsF Larger(const QMarginsF& a, const QMarginsF& b)
{
    return {std::max(a.left(), b.left()), std::max(a.top(), b.top()), std::max(a.right(), b.right()),
            std::max(a.bottom(), b.bottom())};
}

QMarginsF Smaller(const QMarginsF& a, const QMarginsF& b)
{
    return {std::min(a.left(), b.left()), std::min(a.top(), b.top()), std::min(a.right(), b.right()),
            std::min(a.bottom(), b.bottom())};
}

// Two lengths from opposite edges that together pass `extent`: the larger gives way to what
// the smaller leaves, or both stand at half when each passes half.
void Share(double extent, double& x, double& y)
{
    if (x + y <= extent)
        return;
    double& larger = x >= y ? x : y;
    double& smaller = x >= y ? y : x;
    smaller = std::min(smaller, extent / 2);
    larger = extent - smaller;
}

// One pair of opposite sides across `extent`: the margins and the minimums each share the
// page, a minimum then gives way to the margin the opposite side has (so that side keeps it),
// and each margin is at least its minimum. Nothing is pushed off the page or below 0.
void FitAcross(double extent, double& minA, double& minB, double& a, double& b)
{
    extent = std::max(extent, 0.0);
    for (double* length : {&minA, &minB, &a, &b})
        *length = std::max(*length, 0.0);
    Share(extent, a, b);
    Share(extent, minA, minB);
    minA = std::min(minA, extent - std::max(b, minB));
    minB = std::min(minB, extent - std::max(a, minA));
    a = std::max(a, minA);
    b = std::max(b, minB);
}

// The layout takes the wanted margins and minimum margins as far as its page holds them: no
// margin or minimum lies off the page, opposite margins never overlap, none is below its
// minimum. A minimum larger than the page is cut, never taken as given.
void SetMarginsOnThePage(QPageLayout& layout, const QMarginsF& wantedMinimum, const QMarginsF& wanted)
{
    const QSizeF page = layout.fullRect().size();
    double minLeft = wantedMinimum.left(), minRight = wantedMinimum.right();
    double minTop = wantedMinimum.top(), minBottom = wantedMinimum.bottom();
    double left = wanted.left(), right = wanted.right(), top = wanted.top(), bottom = wanted.bottom();
    FitAcross(page.width(), minLeft, minRight, left, right);
    FitAcross(page.height(), minTop, minBottom, top, bottom);
    // The layout works out each side's largest margin from the page and the opposite minimum
    // itself; a value that its rounding puts a hair above that is brought down to it.
    layout.setMinimumMargins(QMarginsF(minLeft, minTop, minRight, minBottom));
    layout.setMinimumMargins(Smaller(layout.minimumMargins(), layout.maximumMargins()));
    layout.setMargins(
        Larger(layout.minimumMargins(), Smaller(QMarginsF(left, top, right, bottom), layout.maximumMargins())));
}

QMarginsF MinimumMarginsIn(QPageLayout layout, QPageLayout::Unit unit)
{
    layout.setUnits(unit);
    return layout.minimumMargins();
}

// The controls of each part of Qt's page set-up dialog, by the names Qt gives them.
const QStringList PaperControls = {"pageSizeCombo", "pageWidth", "pageHeight", "paperSource"};
const QStringList OrientationControls = {"portrait", "landscape", "reversePortrait", "reverseLandscape"};
const QStringList MarginControls = {"leftMargin", "topMargin", "rightMargin", "bottomMargin"};

bool TakesInput(const QWidget* w)
{
    if (qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QComboBox*>(w) ||
        qobject_cast<const QAbstractSpinBox*>(w))
        return true;
    // A line edit counts unless it is the text field of a spin or combo box.
    const QWidget* parent = w->parentWidget();
    return qobject_cast<const QLineEdit*>(w) && !qobject_cast<const QAbstractSpinBox*>(parent) &&
           !qobject_cast<const QComboBox*>(parent);
}

// Disables one part of the open dialog. A part whose group holds no other control is disabled
// as a whole, so its heading greys with it and the dialog cannot re-enable one of its boxes
// when it updates them; else each control is disabled alone. A control Qt no longer names so
// is left as it is: what the part holds is kept on the way out all the same.
void DisablePart(QDialog& dialog, const QStringList& names)
{
    for (const QString& name : names) {
        QWidget* control = dialog.findChild<QWidget*>(name);
        if (!control)
            continue;
        QGroupBox* group = nullptr;
        for (QWidget* up = control->parentWidget(); up && up != &dialog && !group; up = up->parentWidget())
            group = qobject_cast<QGroupBox*>(up);
        bool alone = group != nullptr;
        if (group)
            for (const QWidget* other : group->findChildren<QWidget*>())
                alone = alone && (!TakesInput(other) || names.contains(other->objectName()));
        (alone ? static_cast<QWidget*>(group) : control)->setEnabled(false);
    }
}

// No margin box of the open dialog goes below its minimum (in the units it shows).
void RaiseMarginMinimums(QDialog& dialog, const QMarginsF& minimum)
{
    const double sides[] = {minimum.left(), minimum.top(), minimum.right(), minimum.bottom()};
    for (int i = 0; i < 4; ++i)
        if (auto* box = dialog.findChild<QDoubleSpinBox*>(MarginControls[i]))
            box->setMinimum(std::max(box->minimum(), sides[i]));
}

} // namespace

bool ShowPageSetupDialogFor(QPrinter& printer, PageSetupRequest& request, QWidget* owner,
                            const DialogHooks* hooks)
{
    const QPageLayout before = printer.pageLayout();
    const bool metric = (request.flags & PSD_INHUNDREDTHSOFMILLIMETERS) != 0;
    const QPageLayout::Unit unit = metric ? QPageLayout::Millimeter : QPageLayout::Inch;
    const double perUnit = metric ? 100.0 : 1000.0;
    const QMarginsF askedMinimum = QMarginsF(request.minMargins) / perUnit;

    // The dialog starts from the printer's layout in the caller's units, with the caller's
    // margins and minimum margins as far as the page holds them.
    QPageLayout start = before;
    start.setUnits(unit);
    const QMarginsF wantedMinimum = Larger(start.minimumMargins(), askedMinimum);
    const QMarginsF margins = request.margins.isNull() ? start.margins() : QMarginsF(request.margins) / perUnit;
    SetMarginsOnThePage(start, wantedMinimum, margins);
    const QMarginsF minimum = start.minimumMargins();
    printer.setPageLayout(start);
    const QPageLayout shown = printer.pageLayout();

    bool confirmed = false;
    if (SetupRunner()) {
        confirmed = SetupRunner()(printer);
    } else {
        QPageSetupDialog dialog(&printer, owner ? owner : QApplication::activeWindow());
        if (request.flags & PSD_DISABLEPAPER)
            DisablePart(dialog, PaperControls);
        if (request.flags & PSD_DISABLEORIENTATION)
            DisablePart(dialog, OrientationControls);
        if (request.flags & PSD_DISABLEMARGINS)
            DisablePart(dialog, MarginControls);
        // A printer may keep its own minimum margins in place of the caller's.
        RaiseMarginMinimums(dialog, Larger(minimum, MinimumMarginsIn(shown, unit)));
        ConnectOpenAndClose(dialog, hooks);
        confirmed = dialog.exec() == QDialog::Accepted;
    }
    if (!confirmed) {
        printer.setPageLayout(before);
        return false;
    }

    // What a disabled part held stays as it was, and no margin is below its minimum or off the
    // page chosen, whatever the dialog let through.
    QPageLayout chosen = printer.pageLayout();
    chosen.setUnits(unit);
    if (request.flags & PSD_DISABLEPAPER)
        chosen.setPageSize(shown.pageSize(), chosen.minimumMargins());
    if (request.flags & PSD_DISABLEORIENTATION)
        chosen.setOrientation(shown.orientation());
    const QMarginsF chosenMargins =
        (request.flags & PSD_DISABLEMARGINS) ? shown.margins(unit) : chosen.margins();
    SetMarginsOnThePage(chosen, Larger(chosen.minimumMargins(), wantedMinimum), chosenMargins);
    printer.setPageLayout(chosen);

    const QMarginsF taken = printer.pageLayout().margins(unit) * perUnit;
    request.margins = QMargins(vb::Whole(taken.left()), vb::Whole(taken.top()), vb::Whole(taken.right()),
                               vb::Whole(taken.bottom()));
    // The caller's minimums as given, unless the page could not hold them.
    const QMarginsF least = Smaller(askedMinimum, chosen.minimumMargins()) * perUnit;
    request.minMargins = QMargins(vb::Whole(least.left()), vb::Whole(least.top()), vb::Whole(least.right()),
                                  vb::Whole(least.bottom()));
    return true;
}

bool clsPrintDialog::ShowPrinter()
{
    QPrinter& printer = CurrentPrinter();
    const PrinterSnapshot before(printer);
    int from = fromPage_;
    int to = toPage_;
    bool confirmed = Runner() ? Runner()(printer, from, to) : RunSystemDialog(printer, from, to);
    if (confirmed) {
        fromPage_ = from;
        toPage_ = to;
        return true;
    }
    before.Restore(printer);
    if (cancelError_)
        throw VbError(PrintDialogCancelled, "Cancel.");
    return false;
}

} // namespace vexal
