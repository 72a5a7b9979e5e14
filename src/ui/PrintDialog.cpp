#include "PrintDialog.h"

#include "Host.h"
#include "VbError.h"

#include <QApplication>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QWidget>

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

bool ShowPageSetupDialogFor(QPrinter& printer, QWidget* owner, const DialogHooks* hooks)
{
    if (SetupRunner())
        return SetupRunner()(printer);
    QPageSetupDialog dialog(&printer, owner ? owner : QApplication::activeWindow());
    ConnectOpenAndClose(dialog, hooks);
    return dialog.exec() == QDialog::Accepted;
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
