// Grid printing and the grid's HTML page, driven through a real Grid: pages are read back
// as text, printouts go to a PDF file that pdftotext reads back.
#include "PdfText.h"
#include "GridReports.h"

#include "AppState.h"
#include "Grid.h"
#include "Host.h"
#include "MsgBox.h"
#include "PrintDialog.h"
#include "RecordFile.h"
#include "Screen.h"
#include "SharedProcs.h"
#include "TempFolder.h"

#include <QFont>
#include <QPrinter>

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <optional>
#include <regex>
#include <utility>

namespace vexal {
namespace {

using test::PdfText;

int Count(const std::string& text, const std::string& what)
{
    int n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size()))
        ++n;
    return n;
}

class GridOutput : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetProgramFolder(folder.Path());
        ResetApp();
        ScreenMetrics m;
        m.widthPixels = 1000;
        Screen::SetMetrics(m);
        ResetCurrentPrinter();
        pdf = folder / "out.pdf";
        // The dialog answers as a user who prints to our PDF file.
        InstallPrintDialogRunner([this](QPrinter& printer, int&, int&) {
            ++dialogs;
            if (cancel)
                return false;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(QString::fromStdString(pdf.string()));
            return true;
        });
        grid = std::make_unique<Grid>();
        grid->resize(500, 300);
        QFont f("DejaVu Sans");
        f.setPointSizeF(9);
        grid->setFont(f);
        grid->AddColumn("Team", "Team", 0, -1, 200);
        grid->AddColumn("Pts", "Pts", 0, -1, 100, true, false, {}, true, "0.0");
        grid->AddColumn("Hide", "Hide", 0, -1, 100, false);
        grid->AddColumn("Score", "Score", 0, -1, 100);
    }
    void TearDown() override
    {
        grid.reset();
        InstallPrintDialogRunner({});
        ResetCurrentPrinter();
        Screen::ResetMetrics();
        SetProgramFolder({});
    }
    void Fill(int rows)
    {
        for (int r = 1; r <= rows; ++r) {
            char name[16];
            std::snprintf(name, sizeof name, "Row%03d", r);
            grid->SetCell(r, 1, QString(name));
            grid->SetCell(r, 2, 10.0f + r);
            grid->SetCell(r, 3, QString("secret"));
            grid->SetCell(r, 4, QString("%1 - %2").arg(r).arg(r + 1));
        }
    }
    ScriptedMessages& messages = InstallScriptedMessages();
    test::TempFolder folder;
    std::filesystem::path pdf;
    std::unique_ptr<Grid> grid;
    bool cancel = false;
    int dialogs = 0;
};

TEST_F(GridOutput, HtmlPageOfAGridIsWrittenAsAnsiText)
{
    Fill(2);
    grid->SetCell(1, 1, QString::fromUtf8("Caf\xC3\xA9 <1>"));
    QFont bold = grid->font();
    bold.setBold(true);
    grid->SetCellFont(2, 4, bold);
    grid->SetBackColor(0xFFFFFF);
    grid->SetForeColor(0x0);
    const auto file = folder / "page.htm";
    ASSERT_TRUE(GridToHTML(*grid, file, "Cap", "Head", "Foot"));
    const std::string page = folder.Read("page.htm");
    const std::string expected =
        "<HTML>\r\n"
        "<BODY background=\"\"><CENTER>\r\n"
        "<P><FONT FACE=\"DejaVu Sans\"COLOR=\"#000000\"SIZE=\"4\">Head</FONT></P>\r\n"
        "<TABLE  border=3 cellpadding=3 cellspacing=0>\r\n"
        "<TR ALIGN=\"CENTER\" BGCOLOR=\"#c0c0c0\">\r\n"
        "<TD COLSPAN=\" 4\"><FONT FACE=\"DejaVu Sans\"COLOR=\"#000000\"SIZE=\"5\">Cap</FONT></TD>\r\n"
        "</TR>\r\n"
        "<TR ALIGN=\"CENTER\" BGCOLOR=\"#c0c0c0\">\r\n"
        "<TD><FONT FACE=\"DejaVu Sans\" COLOR=\"#000000\" SIZE=\"4\">Team</FONT></TD>\r\n"
        "<TD><FONT FACE=\"DejaVu Sans\" COLOR=\"#000000\" SIZE=\"4\">Pts</FONT></TD>\r\n"
        "<TD><FONT FACE=\"DejaVu Sans\" COLOR=\"#000000\" SIZE=\"4\">Score</FONT></TD>\r\n"
        "</TR>\r\n"
        "<TR BGCOLOR=\"#FFFFFF\">\r\n"
        "<TD><FONT FACE=\"DejaVu Sans\" COLOR=\"#000000\" SIZE=\"4\">Caf\xE9 &lt;1&gt;</FONT></TD>\r\n"
        "<TD><FONT FACE=\"DejaVu Sans\" COLOR=\"#000000\" SIZE=\"4\">11.0</FONT></TD>\r\n"
        "<TD><FONT FACE=\"DejaVu Sans\" COLOR=\"#000000\" SIZE=\"4\">1 - 2</FONT></TD>\r\n"
        "</TR>\r\n"
        "<TR BGCOLOR=\"#FFFFFF\">\r\n"
        "<TD><FONT FACE=\"DejaVu Sans\" COLOR=\"#000000\" SIZE=\"4\">Row002</FONT></TD>\r\n"
        "<TD><FONT FACE=\"DejaVu Sans\" COLOR=\"#000000\" SIZE=\"4\">12.0</FONT></TD>\r\n"
        "<TD><FONT FACE=\"DejaVu Sans\" COLOR=\"#000000\" SIZE=\"4\"><B>2 - 3</B></FONT></TD>\r\n"
        "</TR>\r\n"
        "</TABLE><P>Foot</P>\r\n"
        "</CENTER></BODY>\r\n"
        "</HTML>\r\n";
    EXPECT_EQ(page, expected);
}

// A page that cannot be written is named once, by the file and the cause the write met, and an
// older page stays whole.
TEST_F(GridOutput, FailedExportSaysSoAndKeepsNothingOpen)
{
    Fill(1);
    struct Case {
        const char* name;
        std::filesystem::path page;
        bool diskFull;               // else the folder is missing
        std::string cause;
    };
    const Case cases[] = {
        {"missing folder", folder / "missing" / "page.htm", false, ReasonOfError(ENOENT)},
        {"full disk over an older page", folder / "page.htm", true, ReasonOfError(ENOSPC)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        folder.Write("page.htm", "old page");
        messages.shown.clear();
        {
            std::optional<WriteFault> fault;
            if (c.diskFull)
                fault.emplace(4, c.page);
            EXPECT_FALSE(GridToHTML(*grid, c.page, "Cap"));
        }
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, c.page.string() + " could not be written: " + c.cause + ".");
        EXPECT_EQ(folder.Read("page.htm"), "old page");
        // The next export is a page of its own and leaves nothing else behind.
        ASSERT_TRUE(GridToHTML(*grid, folder / "page.htm", "Next"));
        EXPECT_NE(folder.Read("page.htm").find(">Next</FONT>"), std::string::npos);
        EXPECT_EQ(messages.shown.size(), 1u);
    }
}

TEST_F(GridOutput, TablesOfOnePageAndEveryExportStartsANewFile)
{
    Fill(1);
    int16_t size = 0;
    ASSERT_TRUE(GridToHTML(*grid, folder / "two.htm", "First", "", "", size, false, false));
    EXPECT_EQ(size, 4);
    EXPECT_FALSE(FileExists(folder / "two.htm"));
    size = 0;
    ASSERT_TRUE(GridToHTML(*grid, folder / "ignored.htm", "Second", "", "", size, true, true));
    EXPECT_FALSE(FileExists(folder / "ignored.htm"));
    const std::string two = folder.Read("two.htm");
    EXPECT_EQ(Count(two, "<HTML>"), 1);
    EXPECT_EQ(Count(two, "<TABLE "), 2);
    EXPECT_NE(two.find("</TABLE><br><br>\r\n<TABLE "), std::string::npos);

    // A page left unfinished does not swallow the next export.
    ASSERT_TRUE(GridToHTML(*grid, folder / "open.htm", "Open", "", "", size, false, false));
    ASSERT_TRUE(GridToHTML(*grid, folder / "new.htm", "New"));
    EXPECT_EQ(Count(folder.Read("new.htm"), "<TABLE "), 1);
    EXPECT_EQ(folder.Read("new.htm").find(">Open<"), std::string::npos);
    EXPECT_NE(folder.Read("open.htm").find(">Open<"), std::string::npos);
}

TEST_F(GridOutput, PrintedGridReadsBackFromThePdf)
{
    Fill(3);
    PrintGrid(*grid, "My Title\r\nSecond line", "The footer");
    EXPECT_EQ(dialogs, 1);
    EXPECT_FALSE(GridPrintoutOpen());
    const std::string text = PdfText(pdf);
    ASSERT_FALSE(text.empty());
    EXPECT_NE(text.find("My Title"), std::string::npos);
    EXPECT_NE(text.find("Second line"), std::string::npos);
    EXPECT_TRUE(std::regex_search(text, std::regex("Team +Pts +Score")));
    EXPECT_TRUE(std::regex_search(text, std::regex("Row001 +11\\.0 +1 ?- ?2")));
    EXPECT_TRUE(std::regex_search(text, std::regex("Row003 +13\\.0 +3 ?- ?4")));
    EXPECT_EQ(text.find("secret"), std::string::npos);   // hidden column
    EXPECT_NE(text.find("The footer"), std::string::npos);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(GridOutput, PrintedTableShrinksUntilHeadersCellsAndTitlesFit)
{
    // Bold headers and cells far wider than their columns' share of the page, and a title
    // wider than the page: the type is made smaller until each prints whole, apart from the
    // next column, in the face that is really printed.
    grid->SetColumnHeader(1, "Team Name Column");
    grid->SetColumnHeader(2, "Points Scored Per Game");
    grid->SetColumnHeader(4, "Final Score Line");
    Fill(2);
    grid->SetCell(1, 1, QString("A Rather Long Team Name"));
    QFont bold = grid->font();
    bold.setBold(true);
    grid->SetCellFont(1, 1, bold);
    const std::string title(40, 'W');
    PrintGrid(*grid, title + " " + title + " " + title, "");
    const std::string text = PdfText(pdf);
    EXPECT_NE(text.find(title + " " + title + " " + title), std::string::npos) << text;
    EXPECT_TRUE(std::regex_search(text, std::regex("Team Name Column +Points Scored Per Game +Final Score Line"))) << text;
    EXPECT_TRUE(std::regex_search(text, std::regex("A Rather Long Team Name +11\\.0 +1 ?- ?2"))) << text;
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(GridOutput, EmptyGridStillPrintsItsTitleAndHeader)
{
    PrintGrid(*grid, "Nothing Yet", "");
    const std::string text = PdfText(pdf);
    EXPECT_NE(text.find("Nothing Yet"), std::string::npos);
    EXPECT_TRUE(std::regex_search(text, std::regex("Team +Pts +Score")));
    EXPECT_FALSE(GridPrintoutOpen());
}

TEST_F(GridOutput, LongGridWithHeadersRepeatsTitleAndHeaderAndKeepsEveryRow)
{
    Fill(150);
    PrintGrid(*grid, "Long Title", "Foot");
    const std::string text = PdfText(pdf);
    const int pages = Count(text, "\f");
    ASSERT_GE(pages, 2);
    EXPECT_EQ(Count(text, "Long Title"), pages);
    EXPECT_EQ(Count(text, "Score"), pages);
    EXPECT_EQ(Count(text, "Foot"), pages);
    for (int r = 1; r <= 150; ++r) {
        char name[16];
        std::snprintf(name, sizeof name, "Row%03d", r);
        EXPECT_EQ(Count(text, name), 1) << name;
    }
}

TEST_F(GridOutput, LongGridWithoutHeadersLosesNoRowOnLaterPages)
{
    Fill(150);
    grid->SetHeader(false);
    PrintGrid(*grid, "Only Once", "Foot");
    const std::string text = PdfText(pdf);
    ASSERT_GE(Count(text, "\f"), 2);
    EXPECT_EQ(Count(text, "Only Once"), 1);
    EXPECT_EQ(text.find("Score"), std::string::npos);
    for (int r = 1; r <= 150; ++r) {
        char name[16];
        std::snprintf(name, sizeof name, "Row%03d", r);
        EXPECT_EQ(Count(text, name), 1) << name;
    }
}

TEST_F(GridOutput, CancelPrintsNothingAlsoForTheOtherGridsOfThePrintout)
{
    Fill(2);
    cancel = true;
    float scale = 0;
    PrintGrid(*grid, "One", "", nullptr, true, false, scale, 0);
    EXPECT_FLOAT_EQ(scale, 0.5f);     // 500 of 1000 pixels
    PrintGrid(*grid, "Two", "", nullptr, false, false, scale, 0);
    PrintGrid(*grid, "Three", "", nullptr, false, true, scale, 0);
    EXPECT_EQ(dialogs, 1);
    EXPECT_FALSE(FileExists(pdf));
    EXPECT_FALSE(GridPrintoutOpen());
    EXPECT_TRUE(messages.shown.empty());

    // The next printout starts afresh.
    cancel = false;
    PrintGrid(*grid, "Again", "");
    EXPECT_NE(PdfText(pdf).find("Again"), std::string::npos);
}

TEST_F(GridOutput, SeveralGridsShareOnePrintout)
{
    Fill(2);
    float scale = 0;
    PrintGrid(*grid, "First Grid", "", nullptr, true, false, scale, 0);
    EXPECT_TRUE(GridPrintoutOpen());
    scale = 0;
    PrintGrid(*grid, "Last Grid", "", nullptr, false, true, scale, 0);
    EXPECT_FALSE(GridPrintoutOpen());
    EXPECT_EQ(dialogs, 1);
    const std::string text = PdfText(pdf);
    EXPECT_LT(text.find("First Grid"), text.find("Last Grid"));
    EXPECT_EQ(Count(text, "\f"), 1);
}

TEST_F(GridOutput, AnErrorEndsTheJobWithAMessage)
{
    Fill(2);
    pdf = folder / "no such folder" / "out.pdf";
    float scale = 0;
    PrintGrid(*grid, "One", "", nullptr, true, false, scale, 0);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_FALSE(GridPrintoutOpen());
    // The rest of that printout prints nothing and shows nothing more.
    PrintGrid(*grid, "Two", "", nullptr, false, true, scale, 0);
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_FALSE(GridPrintoutOpen());
}

TEST_F(GridOutput, ScaleIsTheGridsShareOfTheScreenAtMost99)
{
    Fill(1);
    float scale = 0;
    grid->resize(2000, 300);
    PrintGrid(*grid, "Wide", "", nullptr, true, true, scale, 0);
    EXPECT_FLOAT_EQ(scale, 0.99f);
    scale = 1.5f;
    PrintGrid(*grid, "Wide", "", nullptr, true, true, scale, 0);
    EXPECT_FLOAT_EQ(scale, 0.99f);
}

TEST_F(GridOutput, BrowserPrintWritesTheTempPageAndPrintsIt)
{
    Fill(2);
    folder.Write("~Temp.htm", "stale");
    PrintGridHTML(*grid, "Html Caption", "Html Heading", "Html Footer");
    const std::string page = folder.Read("~Temp.htm");
    EXPECT_NE(page.find(">Html Caption</FONT>"), std::string::npos);
    const std::string text = PdfText(pdf);
    EXPECT_NE(text.find("Html Caption"), std::string::npos);
    EXPECT_NE(text.find("Row002"), std::string::npos);
    EXPECT_NE(text.find("Html Footer"), std::string::npos);

    std::filesystem::remove(pdf);
    cancel = true;
    PrintGridHTML(*grid, "Cancelled", "", "");
    EXPECT_FALSE(FileExists(pdf));
    EXPECT_TRUE(messages.shown.empty());
}

// A page that cannot be read is named once, by the file and the cause the read met, and
// nothing is asked or printed.
TEST_F(GridOutput, APageThatCannotBeReadIsNamedWithItsCauseAndNotPrinted)
{
    struct Case {
        const char* name;
        bool refused;                // else the disk fails the read
        std::string cause;
    };
    const Case cases[] = {
        {"refused to the reader", true, "could not be read: " + ReasonOfError(EACCES) + "."},
        {"the disk fails the read", false, "could not be read: " + ReasonOfError(EIO) + "."},
    };
    const std::filesystem::path page = folder / "page.htm";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        folder.Write("page.htm", "<P>the page</P>");
        messages.shown.clear();
        {
            std::optional<ReadFault> refused;
            std::optional<ReadErrorFault> failing;
            if (c.refused)
                refused.emplace(page);
            else
                failing.emplace(page);
            EXPECT_FALSE(PrintHtmlFile(page));
        }
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, "The page " + page.string() + " " + c.cause);
        EXPECT_EQ(messages.shown[0].title, "Vexal Error");
        EXPECT_EQ(dialogs, 0);
        EXPECT_FALSE(FileExists(pdf));
        EXPECT_EQ(folder.Read("page.htm"), "<P>the page</P>");
    }
}

} // namespace
} // namespace vexal
