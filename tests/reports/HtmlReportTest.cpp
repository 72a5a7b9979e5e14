#include "HtmlReport.h"
#include "RecordFile.h"
#include "TempFolder.h"
#include "VbError.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace vexal {
namespace {

const std::string Head =
    "<HTML><BODY MARGINWIDTH=10 MARGINHEIGHT=10 LEFTMARGIN=10 TOPMARGIN=10 BGCOLOR=#FFFFFF TEXT=#000000 "
    "Background=> <center>\r\n";

std::string Cell(const std::string& attrs, const std::string& open, const std::string& body,
                 const std::string& close, const std::string& colour = "#000000")
{
    return "<TD WIDTH=" + attrs + ">\r\n<FONT FACE=Arial, Helvetica, Sans-Serif SIZE=2 Color=" + colour + ">\r\n" +
           open + "\r\n" + body + close + "\r\n</FONT>\r\n</TD>\r\n";
}

TEST(HtmlReport, PageTablesAndClosingWrittenExactly)
{
    test::TempFolder folder;
    clsHTML html;
    html.OpenFile(folder / "r.htm");
    html.OpenGrid(true, 400);
    html.BColor("#99FFFF");
    html.CellString(1, 1, 1, 1, 30, "Head");
    html.CellString(1, 0, 0, 0, 0, "");
    html.CloseRow();
    html.OpenGrid(true, 0);
    html.CloseGrid();
    html.AddBreak();
    html.TextBox("<B>x</B>");
    html.CloseFile();
    const std::string expected =
        Head + "<TABLE BORDER=0 CELLPADDING=3 CELLSPACING=1 WIDTH=400 BGCOLOR=#999999>\r\n<TR>\r\n" +
        Cell("30 ALIGN=CENTER BGCOLOR=#99FFFF", "<B>", "Head\r\n", "</B>") +
        Cell("0 BGCOLOR=#99FFFF", "", "&nbsp;\r\n", "") + "</TR>\r\n" +
        "<TABLE BORDER=0 CELLPADDING=3 CELLSPACING=1 BGCOLOR=#999999>\r\n</TD></TR></TABLE>\r\n<BR>\r\n"
        "<P>\r\n<TABLE BORDER=0 CELLPADDING=0 CELLSPACING=0 WIDTH =600 BGCOLOR=#000000>\r\n<TR><TD>\r\n"
        "<TABLE BORDER=0 CELLPADDING=5 CELLSPACING=1 WIDTH=600 HEIGHT=50 VALIGN=TOP>\r\n"
        "<TR><TD BGCOLOR=#FFFFFF VALIGN=TOP><FONT FACE=Arial, Helvetica, Sans-Serif SIZE=2><B>x</B></FONT></TD></TR>\r\n"
        "</TABLE>\r\n</TD></TR></TABLE>\r\n</P>\r\n</CENTER></BODY></HTML>\r\n";
    EXPECT_EQ(folder.Read("r.htm"), expected);
}

TEST(HtmlReport, CellTextBlanksBreaksStylesAndEscaping)
{
    clsHTML html;
    html.FColor("#0000FF");
    html.CellString(2, 0, 3, 3, -1, "a  b c");
    html.CellString(2, 0, 2, 2, 5, "one\r\ntwo\rthree\nfour\n\nfive");
    html.CellString(2, 0, 9, 7, 0, "<i>&\"");
    html.CellString(2, 0, 0, 0, 0, "<Big>x  y</Big>", true);
    const std::string expected =
        Cell("-1 ALIGN=RIGHT BGCOLOR=#FFFFFF", "<B><I>", "a&nbsp; b c\r\n", "</I></B>", "#0000FF") +
        Cell("5 ALIGN=LEFT BGCOLOR=#FFFFFF", "<I>", "one<BR>\r\ntwo<BR>\r\nthree<BR>\r\nfour<BR>\r\nfive\r\n", "</I>",
             "#0000FF") +
        Cell("0 BGCOLOR=#FFFFFF", "", "&lt;i&gt;&amp;&quot;\r\n", "", "#0000FF") +
        Cell("0 BGCOLOR=#FFFFFF", "", "<Big>x&nbsp; y</Big>\r\n", "", "#0000FF");
    EXPECT_EQ(html.Text(), expected);
}

TEST(HtmlReport, BackgroundPictureOnlyWhenTheFileExists)
{
    test::TempFolder folder;
    folder.Write("bg.jpg", "x");
    clsHTML html;
    html.BPic((folder / "bg.jpg").string());
    html.BPic((folder / "missing.jpg").string());
    EXPECT_EQ(html.BPic(), (folder / "bg.jpg").string());
    html.BColor("#111111");
    html.FColor("#222222");
    html.OpenFile(folder / "p.htm");
    EXPECT_EQ(html.Text(), "<HTML><BODY MARGINWIDTH=10 MARGINHEIGHT=10 LEFTMARGIN=10 TOPMARGIN=10 BGCOLOR=#111111 "
                           "TEXT=#222222 Background=" + (folder / "bg.jpg").string() + "> <center>\r\n");
}

TEST(HtmlReport, FailedWriteRaisesAndKeepsNothingHalfWritten)
{
    test::TempFolder folder;
    clsHTML html;
    html.OpenFile(folder / "no-such-folder" / "p.htm");
    try {
        html.CloseFile();
        ADD_FAILURE() << "the page was written";
    } catch (const VbError& e) {
        // The page and the cause the write met, not a guess.
        EXPECT_EQ(e.Description(), (folder / "no-such-folder" / "p.htm").string() +
                                       " could not be written: " + ReasonOfError(ENOENT) + ".");
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "no-such-folder"));
}

} // namespace
} // namespace vexal
