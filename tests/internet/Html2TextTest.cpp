// HTML to text: the body's layout rules and the character references.
#include "Html2Text.h"

#include <gtest/gtest.h>

namespace vexal {
namespace {

TEST(Html2Text, OnlyTheTitleBeforeTheBody)
{
    EXPECT_EQ(HTML2Text("<html><head><title>My Page</title></head>dropped text</html>"), "My Page\r\n\r\n");
}

TEST(Html2Text, ReferencesInTheBody)
{
    EXPECT_EQ(HTML2Text("<body>A&amp;B</body>"), "A&B");
    EXPECT_EQ(HTML2Text("<body>A & B and more</body>"), "A & B and more");
    EXPECT_EQ(HTML2Text("<body>&#65;&66;</body>"), "AB");
    EXPECT_EQ(HTML2Text("<body>&Eacute;&eacute;&lt;&quot;&bogus;x</body>"), "\xC9\xE9<\"x");
    EXPECT_EQ(HTML2Text("<body>&nbsp;&copy;</body>"), "\xA0\xA9");
}

TEST(Html2Text, ParagraphsListsAndBreaks)
{
    EXPECT_EQ(HTML2Text("<body>one<p><p>two</body>"), "one\r\n\r\ntwo");
    EXPECT_EQ(HTML2Text("<body>a<br>b</body>"), "a\r\nb");
    EXPECT_EQ(HTML2Text("<body>x<ol><li>a<li>b</ol>y</body>"), "x\r\n\r\n\r\n1. a\r\n2. b\r\n\r\ny");
    EXPECT_EQ(HTML2Text("<body>x<ul><li>a</ul></body>"), "x\r\n\r\n\r\n\x95 a\r\n\r\n");
    EXPECT_EQ(HTML2Text("<body><script>var a = 1;</script>t<!-- hidden -->u</body>"), "tu");
    EXPECT_EQ(HTML2Text("<body>-a-b</body>"), "a-b");
}

TEST(Html2Text, TableRows)
{
    EXPECT_EQ(HTML2Text("<body><table><tr><td>one</td><td>two</td></tr></table></body>"), "\r\none   two");
    const std::string longCell(70, 'x');
    EXPECT_EQ(HTML2Text("<body><table><tr><td>" + longCell + "</td><td>b</td></tr></table></body>"),
              "\r\n" + longCell + "\r\nb");
}

TEST(Html2Text, LongLinesWrapAtBlanks)
{
    std::string words;
    for (int i = 0; i < 20; ++i)
        words += "word ";
    const std::string text = HTML2Text("<body>" + words + "</body>");
    const auto firstBreak = text.find("\r\n");
    ASSERT_NE(firstBreak, std::string::npos);
    EXPECT_EQ(firstBreak, 75u);
}

} // namespace
} // namespace vexal
