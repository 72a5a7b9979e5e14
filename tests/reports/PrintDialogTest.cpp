// The print dialog object and memory blocks handed over by handle.
#include "Memory.h"
#include "PrintDialog.h"
#include "TempFolder.h"
#include "VbError.h"

#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>

#include <gtest/gtest.h>

namespace vexal {
namespace {

class PrintDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetDefaultPrintFile(folder / "Printout.pdf");
        ResetCurrentPrinter();
    }
    void TearDown() override
    {
        InstallPrintDialogRunner({});
        ResetCurrentPrinter();
        SetDefaultPrintFile({});
    }
    // A user who changes copies, orientation and the file, then confirms or cancels.
    void UserWho(bool confirms)
    {
        InstallPrintDialogRunner([this, confirms](QPrinter& p, int& from, int& to) {
            p.setCopyCount(3);
            p.setPageOrientation(QPageLayout::Landscape);
            p.setOutputFormat(QPrinter::PdfFormat);
            p.setOutputFileName(QString::fromStdString((folder / "chosen.pdf").string()));
            from = 2;
            to = 4;
            return confirms;
        });
    }
    test::TempFolder folder;
};

TEST_F(PrintDialogTest, WithNoPrinterInstalledPrintoutsGoToAPdfFile)
{
    if (!QPrinterInfo::availablePrinters().isEmpty())
        GTEST_SKIP() << "a printer is installed";
    EXPECT_TRUE(PrintsToFile());
    EXPECT_EQ(CurrentPrinter().outputFileName().toStdString(), (folder / "Printout.pdf").string());
}

TEST_F(PrintDialogTest, CancelLeavesThePrinterAsItWas)
{
    QPrinter& printer = CurrentPrinter();
    const QString file = printer.outputFileName();
    const int copies = printer.copyCount();
    const auto orientation = printer.pageLayout().orientation();
    UserWho(false);
    clsPrintDialog dialog;
    EXPECT_FALSE(dialog.ShowPrinter());
    EXPECT_EQ(printer.outputFileName(), file);
    EXPECT_EQ(printer.copyCount(), copies);
    EXPECT_EQ(printer.pageLayout().orientation(), orientation);

    dialog.CancelError(true);
    try {
        dialog.ShowPrinter();
        FAIL() << "no cancel error";
    } catch (const VbError& e) {
        EXPECT_EQ(e.Number(), 32755);
        EXPECT_EQ(e.Description(), "Cancel.");
    }
    EXPECT_EQ(printer.outputFileName(), file);
    EXPECT_EQ(printer.copyCount(), copies);
}

TEST_F(PrintDialogTest, ConfirmMakesTheChoiceCurrentForLaterPrintouts)
{
    UserWho(true);
    clsPrintDialog dialog;
    dialog.CancelError(true);
    EXPECT_TRUE(dialog.ShowPrinter());
    EXPECT_EQ(CurrentPrinter().copyCount(), 3);
    EXPECT_EQ(CurrentPrinter().pageLayout().orientation(), QPageLayout::Landscape);
    EXPECT_EQ(CurrentPrinter().outputFileName().toStdString(), (folder / "chosen.pdf").string());
    // A later dialog starts from that printer.
    InstallPrintDialogRunner([](QPrinter& p, int&, int&) { return p.copyCount() == 3; });
    EXPECT_TRUE(clsPrintDialog().ShowPrinter());
}

TEST(Memory, BlocksAreOwnedLockedAndFreed)
{
    const int32_t before = GlobalBlockCount();
    {
        cMemory m;
        EXPECT_EQ(m.Handle(), 0);
        EXPECT_EQ(m.Pointer(), nullptr);
        EXPECT_EQ(m.Size(), 0);
        EXPECT_FALSE(m.LockMemory());
        ASSERT_TRUE(m.AllocateMemory(122, GMEM_MOVEABLE | GMEM_ZEROINIT));
        EXPECT_EQ(m.Size(), 122);
        uint8_t* p = m.Pointer();
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p[121], 0);
        p[0] = 7;
        // Already locked: no second lock, the same address.
        EXPECT_FALSE(m.LockMemory());
        EXPECT_EQ(m.Pointer(), p);
        m.UnlockMemory();
        EXPECT_EQ(m.Pointer()[0], 7);
        EXPECT_EQ(GlobalBlockCount(), before + 1);

        // A new block or an adopted handle frees the one held.
        const int32_t other = GlobalAlloc(GMEM_ZEROINIT, 10);
        EXPECT_EQ(GlobalBlockCount(), before + 2);
        m.Handle(other);
        EXPECT_EQ(GlobalBlockCount(), before + 1);
        EXPECT_EQ(m.Size(), 10);
        ASSERT_TRUE(m.AllocateMemory(4, 0));
        EXPECT_EQ(GlobalBlockCount(), before + 1);
    }
    EXPECT_EQ(GlobalBlockCount(), before);   // the object's end frees its block

    int32_t kept = 0;
    {
        cMemory m;
        ASSERT_TRUE(m.AllocateMemory(8, GMEM_MOVEABLE));
        kept = m.Handle();
        m.Pointer();
        m.ReleaseDontFreeMemory();
        EXPECT_EQ(m.Handle(), 0);
    }
    EXPECT_EQ(GlobalSize(kept), 8);          // still alive: it belongs to its taker now
    EXPECT_EQ(GlobalFree(kept), 0);
    EXPECT_EQ(GlobalFree(kept), kept);       // an unknown handle is not freed twice
    EXPECT_EQ(GlobalBlockCount(), before);
    EXPECT_FALSE(cMemory().AllocateMemory(-1, 0));
}

} // namespace
} // namespace vexal
