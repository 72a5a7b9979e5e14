// The HTML page of a grid, text-exactly.
#include "GridPage.h"

#include <gtest/gtest.h>

namespace vexal {
namespace {

GridPageSource ThreeColumns()
{
    GridPageSource g;
    g.fontName = "Arial";
    g.fontSize = 9;
    g.header = true;
    g.backColor = 0xC0FFFF;   // red 255, green 255, blue 192
    g.foreColor = 0x000080;   // dark red
    g.columns = {{"A", "Team", true, 1}, {"B", "Pts", true, 2}, {"C", "Hidden", false, 3}};
    g.rows = {{true, {{"Dallas", false}, {"24.0", true}, {"x", false}}},
              {true, {{"", false}, {"", true}, {"", false}}}};
    return g;
}

TEST(GridPage, WholePageTextExactly)
{
    GridPageOptions o;
    o.caption = "Caption";
    o.heading = "Line 1\r\nLine 2";
    o.footer = "Foot";
    o.themePicture = "";
    const std::string page = GridPageText(ThreeColumns(), o);
    const std::string expected =
        "<HTML>\r\n"
        "<BODY background=\"\"><CENTER>\r\n"
        "<P><FONT FACE=\"Arial\"COLOR=\"#000000\"SIZE=\"4\">Line 1<br>Line 2</FONT></P>\r\n"
        "<TABLE  border=3 cellpadding=3 cellspacing=0>\r\n"
        "<TR ALIGN=\"CENTER\" BGCOLOR=\"#c0c0c0\">\r\n"
        "<TD COLSPAN=\" 3\"><FONT FACE=\"Arial\"COLOR=\"#000000\"SIZE=\"5\">Caption</FONT></TD>\r\n"
        "</TR>\r\n"
        "<TR ALIGN=\"CENTER\" BGCOLOR=\"#c0c0c0\">\r\n"
        "<TD><FONT FACE=\"Arial\" COLOR=\"#000000\" SIZE=\"4\">Team</FONT></TD>\r\n"
        "<TD><FONT FACE=\"Arial\" COLOR=\"#000000\" SIZE=\"4\">Pts</FONT></TD>\r\n"
        "</TR>\r\n"
        "<TR BGCOLOR=\"#FFFFC0\">\r\n"
        "<TD><FONT FACE=\"Arial\" COLOR=\"#800000\" SIZE=\"4\">Dallas</FONT></TD>\r\n"
        "<TD><FONT FACE=\"Arial\" COLOR=\"#800000\" SIZE=\"4\"><B>24.0</B></FONT></TD>\r\n"
        "</TR>\r\n"
        "<TR BGCOLOR=\"#FFFFC0\">\r\n"
        "<TD><FONT FACE=\"Arial\" COLOR=\"#FFFFC0\" SIZE=\"4\">&nbsp;</FONT></TD>\r\n"
        "<TD><FONT FACE=\"Arial\" COLOR=\"#800000\" SIZE=\"4\"><B></B></FONT></TD>\r\n"
        "</TR>\r\n"
        "</TABLE><P>Foot</P>\r\n"
        "</CENTER></BODY>\r\n"
        "</HTML>\r\n";
    EXPECT_EQ(page, expected);
    EXPECT_EQ(o.fontSize, 4);   // the derived size is handed back
}

TEST(GridPage, SizeClassesAreExactComparisons)
{
    EXPECT_EQ(HtmlSizeClass(8), 4);
    EXPECT_EQ(HtmlSizeClass(9), 4);
    EXPECT_EQ(HtmlSizeClass(10), 3);
    EXPECT_EQ(HtmlSizeClass(11), 3);
    EXPECT_EQ(HtmlSizeClass(12), 2);
    EXPECT_EQ(HtmlSizeClass(8.25), 1);
    EXPECT_EQ(HtmlSizeClass(14), 1);
}

TEST(GridPage, ColoursAndSystemColoursByTheTopBit)
{
    EXPECT_EQ(HtmlColor(0xC0FFFF, true), "FFFFC0");
    EXPECT_EQ(HtmlColor(0x000000, false), "000000");
    EXPECT_EQ(HtmlColor(0xFF, false), "FF0000");
    // Hex text that merely begins with 8 is an ordinary colour.
    EXPECT_EQ(HtmlColor(0x80FF00, true), "00FF80");
    EXPECT_EQ(HtmlColor(0x8000, false), "008000");
    EXPECT_EQ(HtmlColor(static_cast<int32_t>(0x8000000F), true), "c0c0c0");
    EXPECT_EQ(HtmlColor(static_cast<int32_t>(0x80000008), false), "000000");
}

TEST(GridPage, TextsAreEscapedButHeadingAndFooterAreMarkup)
{
    GridPageSource g = ThreeColumns();
    g.header = true;
    g.columns[0].header = "W<L";
    g.rows[0].cells[0].text = "A&B <i>";
    GridPageOptions o;
    o.caption = "5 > 3 & \"x\"";
    o.heading = "<b>bold</b>";
    o.footer = "<A HREF=\"x\">site</A>";
    const std::string page = GridPageText(g, o);
    EXPECT_NE(page.find(">5 &gt; 3 &amp; &quot;x&quot;</FONT>"), std::string::npos);
    EXPECT_NE(page.find(">W&lt;L</FONT>"), std::string::npos);
    EXPECT_NE(page.find(">A&amp;B &lt;i&gt;</FONT>"), std::string::npos);
    EXPECT_NE(page.find("\"><b>bold</b></FONT></P>"), std::string::npos);
    EXPECT_NE(page.find("<P><A HREF=\"x\">site</A></P>"), std::string::npos);
}

TEST(GridPage, ThemePictureRowsAndEmptyParts)
{
    GridPageSource g = ThreeColumns();
    g.header = false;
    g.rows[1].visible = false;
    GridPageOptions o;
    o.themePicture = "/p/images/nfl.gif";
    o.themePictureExists = true;
    const std::string page = GridPageText(g, o);
    EXPECT_NE(page.find("<BODY background=\"/p/images/nfl.gif\"><CENTER>\r\n"), std::string::npos);
    EXPECT_EQ(page.find("<P>"), std::string::npos);       // no heading, no footer
    EXPECT_NE(page.find("\r\n<TR>\r\n"), std::string::npos);
    EXPECT_EQ(page.find("Team"), std::string::npos);      // no header row
    EXPECT_NE(page.find("</TABLE></CENTER></BODY>\r\n</HTML>\r\n"), std::string::npos);
    // One caption row and one data row (the hidden row is left out).
    std::size_t rows = 0;
    for (std::size_t at = page.find("<TR"); at != std::string::npos; at = page.find("<TR", at + 1))
        ++rows;
    EXPECT_EQ(rows, 2u);
}

TEST(GridPage, ColumnOrderAndContinuation)
{
    GridPageSource g = ThreeColumns();
    g.columns[0].order = 2;
    g.columns[1].order = 1;
    GridPageOptions o;
    o.finish = false;
    o.continuation = true;
    o.fontSize = 7;
    const std::string page = GridPageText(g, o);
    EXPECT_EQ(page.rfind("<HTML>", 0), std::string::npos);
    EXPECT_LT(page.find(">Pts<"), page.find(">Team<"));
    EXPECT_TRUE(page.size() > 12 && page.substr(page.size() - 18) == "</TABLE><br><br>\r\n");
    EXPECT_EQ(o.fontSize, 7);
    EXPECT_EQ(VisibleColumnsInOrder(g.columns), (std::vector<int>{1, 0}));
}

} // namespace
} // namespace vexal
