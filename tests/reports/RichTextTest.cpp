#include "RichText.h"

#include <gtest/gtest.h>

using namespace vexal::richtext;
using TextRun = vexal::richtext::Run;

TEST(RichText, RecognisesRichTextByItsFirstBytes)
{
    EXPECT_TRUE(IsRichText("{\\rtf1\\ansi"));
    EXPECT_FALSE(IsRichText("Week 1    "));
    EXPECT_FALSE(IsRichText(" {\\rtf1"));
    EXPECT_FALSE(IsRichText(""));
}

TEST(RichText, ReadsTheBreakdownReport)
{
    // The form the formula tester writes its breakdown in.
    const std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fmodern Courier New;}}\\f0\\fs20 \\b Title\\par\r\n"
                            "\\b\\ul Head\\par\r\n\\b0\\ulnone 1\\tab 2 \\{x\\} \\'e9\\par\r\n}\r\n";
    const Document doc = ReadRtf(rtf);
    ASSERT_EQ(doc.paragraphs.size(), 3u);
    EXPECT_EQ(doc.PlainText(), "Title\nHead\n1\t2 {x} \xC3\xA9");
    const TextRun& title = doc.paragraphs[0].runs.at(0);
    EXPECT_TRUE(title.bold);
    EXPECT_FALSE(title.underline);
    EXPECT_EQ(title.font, "Courier New");
    EXPECT_EQ(title.halfPoints, 20);
    EXPECT_TRUE(doc.paragraphs[1].runs.at(0).underline);
    EXPECT_FALSE(doc.paragraphs[2].runs.at(0).bold);
}

TEST(RichText, ReadsColoursLinksUnicodeAndSkipsUnknownDestinations)
{
    const std::string rtf =
        "{\\rtf1{\\colortbl ;\\red255\\green0\\blue0;\\red255\\green255\\blue0;}{\\*\\generator Some;}"
        "{\\info{\\title T}}\\cf1 red\\highlight2 lit\\plain  \\u8364?\\uc2\\u8212\\'97\\'97!"
        "{\\field{\\*\\fldinst HYPERLINK \"http://x/vexalup.exe\"}{\\fldrslt get it}}\\par}";
    const Document doc = ReadRtf(rtf);
    ASSERT_EQ(doc.paragraphs.size(), 1u);
    const auto& runs = doc.paragraphs[0].runs;
    ASSERT_GE(runs.size(), 4u);
    EXPECT_EQ(runs[0].text, "red");
    EXPECT_EQ(runs[0].color, 255);
    EXPECT_EQ(runs[1].text, "lit");
    EXPECT_EQ(runs[1].backColor, 255 | (255 << 8));
    EXPECT_EQ(runs[2].text, " \xE2\x82\xAC\xE2\x80\x94!");
    EXPECT_EQ(runs[2].color, -1);
    EXPECT_EQ(runs[3].text, "get it");
    EXPECT_EQ(runs[3].link, "http://x/vexalup.exe");
}

TEST(RichText, MalformedInputNeverReadsPastTheEnd)
{
    for (const std::string bad : {"{\\rtf1 \\", "{\\rtf1 \\'", "{\\rtf1 \\'4", "}}}{\\rtf1 a", "{\\rtf1\\u",
                                  "{\\rtf1\\fs999999999999 x}", "{\\rtf1{\\colortbl;}\\cf9 x\\highlight-1 y}"}) {
        const Document doc = ReadRtf(bad);
        EXPECT_FALSE(doc.paragraphs.empty()) << bad;
    }
}

TEST(RichText, WritesExactRtf)
{
    Document doc;
    Paragraph p;
    TextRun plain;
    plain.text = "a{b}\\ \xC3\xA9\xE2\x82\xAC\xE2\x88\x9E";
    TextRun bold = plain;
    bold.text = "B";
    bold.bold = true;
    bold.color = 255;
    bold.backColor = 255 | (255 << 8);
    p.runs = {plain, bold};
    Paragraph bulleted;
    bulleted.bullet = true;
    TextRun link;
    link.text = "site";
    link.link = "http://example.com/";
    link.font = "Arial";
    link.halfPoints = 24;
    bulleted.runs = {link};
    doc.paragraphs = {p, bulleted};
    EXPECT_EQ(WriteRtf(doc),
              "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil Courier New;}{\\f1\\fnil Arial;}}\r\n"
              "{\\colortbl ;\\red255\\green0\\blue0;\\red255\\green255\\blue0;}\r\n"
              "\\pard {\\plain\\f0\\fs16 a\\{b\\}\\\\ \\'e9\\'80\\u8734?}"
              "{\\plain\\f0\\fs16\\b\\cf1\\highlight2 B}\\par\r\n"
              "\\pard{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnindent360{\\pntxtb\\'b7}}\\fi-360\\li360 "
              "{\\field{\\*\\fldinst HYPERLINK \"http://example.com/\"}{\\fldrslt {\\plain\\f1\\fs24 site}}}\\par\r\n"
              "}\r\n");
}

TEST(RichText, WhatIsWrittenReadsBackTheSame)
{
    Document doc;
    for (int i = 0; i < 3; ++i) {
        Paragraph p;
        p.bullet = i == 1;
        TextRun r;
        r.text = "line " + std::to_string(i) + "\ttab";
        r.italic = i == 0;
        r.underline = i == 2;
        r.strike = i == 2;
        r.protect = i == 1;
        r.color = i == 1 ? (153 | (153 << 8) | (102 << 16)) : -1;
        r.halfPoints = 16 + i * 2;
        p.runs.push_back(r);
        doc.paragraphs.push_back(p);
    }
    const Document back = ReadRtf(WriteRtf(doc));
    ASSERT_EQ(back.paragraphs.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        const TextRun& a = doc.paragraphs[i].runs[0];
        const TextRun& b = back.paragraphs[i].runs.at(0);
        EXPECT_EQ(back.paragraphs[i].bullet, doc.paragraphs[i].bullet) << i;
        EXPECT_EQ(b.text, a.text);
        EXPECT_EQ(b.italic, a.italic);
        EXPECT_EQ(b.underline, a.underline);
        EXPECT_EQ(b.strike, a.strike);
        EXPECT_EQ(b.protect, a.protect);
        EXPECT_EQ(b.color, a.color);
        EXPECT_EQ(b.halfPoints, a.halfPoints);
    }
}

// Saving and opening again must give the same document: an empty bulleted paragraph at the end
// stays one paragraph, and characters beyond U+FFFF survive as surrogate pairs.
TEST(RichText, RoundTripsKeepTheDocument)
{
    Document doc;
    Paragraph first;
    TextRun r;
    r.text = "G clef \xF0\x9D\x84\x9E and smile \xF0\x9F\x98\x80, euro \xE2\x82\xAC";
    first.runs.push_back(r);
    doc.paragraphs.push_back(first);
    Paragraph bulleted;
    bulleted.bullet = true;
    doc.paragraphs.push_back(bulleted);

    const std::string once = WriteRtf(doc);
    EXPECT_NE(once.find("\\u-10188?\\u-8930?"), std::string::npos) << once; // U+1D11E as a pair
    Document back = ReadRtf(once);
    for (int round = 0; round < 3; ++round) {
        ASSERT_EQ(back.paragraphs.size(), 2u) << "round " << round;
        EXPECT_TRUE(back.paragraphs[1].bullet);
        EXPECT_TRUE(back.paragraphs[1].runs.empty());
        ASSERT_EQ(back.paragraphs[0].runs.size(), 1u);
        EXPECT_EQ(back.paragraphs[0].runs[0].text, r.text);
        back = ReadRtf(WriteRtf(back));
    }
    EXPECT_EQ(WriteRtf(back), once);
    // A lone half of a pair reads as the replacement character, never as a broken byte sequence.
    EXPECT_EQ(ReadRtf("{\\rtf1 a\\u-8418?b}").paragraphs[0].runs.at(0).text, "a\xEF\xBF\xBD" "b");
}
