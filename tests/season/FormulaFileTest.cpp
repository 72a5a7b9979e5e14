// The formula file codec: the line's bytes, the position order, number texts, and the
// reading rule for short, damaged and missing files.
#include "FormulaFile.h"
#include "Golden.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace vexal::test {
namespace {

Formula Example()
{
    Formula f{};
    f[fsHomeField] = 3;
    f[fsMinDiff] = 1;
    f[fsMaxDiff] = 99;
    f[fsMultiplier] = 1;
    f[fsOffense] = 50;
    f[fsDefense] = 50;
    f[fsRollingWeeks] = 0;
    f[fsRushing] = 50;
    f[fsPassing] = 50;
    f[fsTurnovers] = 4;
    f[fsLineStart] = 99;
    f[fsLineEnd] = 99;
    return f;
}

TEST(FormulaFile, LineOfTheExampleFormula)
{
    EXPECT_EQ(FormulaFileLine(Example()), "3,1,99,1,50,50,0,50,50,0,4,0,0,0,0,0,0,0,99,99\r\n");
}

TEST(FormulaFile, PositionsFollowTheirSlots)
{
    Formula f{};
    for (int slot = 0; slot < FormulaSlots; ++slot)
        f[static_cast<std::size_t>(slot)] = static_cast<float>(slot + 100);
    EXPECT_EQ(FormulaFileLine(f),
              "100,101,102,108,103,104,109,106,105,110,107,111,117,116,118,119,120,121,122,123\r\n");
    EXPECT_EQ(FormulaFileLine(f, ShortFormulaFilePositions), "100,101,102,108,103,104,109,106,105,110,107,111,117,116\r\n");
}

TEST(FormulaFile, NumberTexts)
{
    EXPECT_EQ(FormulaNumberText(2.5f), "2.5");
    EXPECT_EQ(FormulaNumberText(-1), "-1");
    EXPECT_EQ(FormulaNumberText(103.5f), "103.5");
    EXPECT_EQ(FormulaNumberText(0.1f), "0.1");
    EXPECT_EQ(FormulaNumberText(1.1000001f), "1.1");
    EXPECT_EQ(FormulaNumberText(-0.0f), "0");
}

TEST(FormulaFile, WrittenFileIsTheLineAndReadsBack)
{
    TempFolder folder;
    Formula f = Example();
    f[fsTurnovers] = -2.5f;
    f[fsLineStart] = 103.5f;
    f[fsLineEnd] = 107;
    f[fsFavOrOver] = 10;
    f[fsCurrentWeek] = 12;   // never stored
    ASSERT_TRUE(WriteFormulaFile(folder / "mine.fla", f));
    EXPECT_EQ(folder.Read("mine.fla"), "3,1,99,1,50,50,0,50,50,0,-2.5,0,0,0,0,0,10,0,103.5,107\r\n");
    Formula read{};
    read.fill(7);
    ASSERT_TRUE(ReadFormulaFile(folder / "mine.fla", read));
    f[fsCurrentWeek] = 0;
    EXPECT_EQ(read, f);
}

TEST(FormulaFile, ShortLineLeavesTheMissingPositionsZero)
{
    TempFolder folder;
    folder.Write("short.fla", "3,1,99,1,50,50,4,50,50,1,4,1,0,1\r\n");
    Formula read{};
    read.fill(9);
    ASSERT_TRUE(ReadFormulaFile(folder / "short.fla", read));
    EXPECT_EQ(read[fsPowerRating], 1);
    EXPECT_EQ(read[fsRollingWeeks], 4);
    EXPECT_EQ(read[fsHomeOnly], 0);
    EXPECT_EQ(read[fsLineStart], 0);
    EXPECT_EQ(read[fsLineEnd], 0);
    EXPECT_EQ(read[fsSeasonToDate], 0) << "every slot is cleared first";
}

TEST(FormulaFile, MissingFileGivesAllZeros)
{
    TempFolder folder;
    Formula read{};
    read.fill(5);
    EXPECT_FALSE(ReadFormulaFile(folder / "nothing.fla", read));
    EXPECT_EQ(read, Formula{});
}

TEST(FormulaFile, ReaderAcceptsFractionsWithoutLeadingZeroBlanksAndSeveralLines)
{
    const std::vector<float> numbers = ParseFormulaFileNumbers(" .5 , -0.5,3\r\n4,,6\r\n");
    EXPECT_EQ(numbers, (std::vector<float>{0.5f, -0.5f, 3, 4, 0, 6}));
    const std::vector<float> many = ParseFormulaFileNumbers("1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22\r\n");
    EXPECT_EQ(many.size(), 20u);
    EXPECT_EQ(ParseFormulaFileNumbers("1,2,1e60,4").size(), 2u) << "a number beyond the Single range ends the reading";
}

TEST(FormulaFile, AWriteThatCannotBeMadeReportsIt)
{
    TempFolder folder;
    EXPECT_FALSE(WriteFormulaFile(folder / "no such folder" / "a.fla", Example()));
    EXPECT_FALSE(std::filesystem::exists(folder / "no such folder"));
}


// A formula with fractional and negative values saved as the formula editor saves it, all 20
// positions or the 14 the smart predictions keep, compared byte for byte with golden/<case>/.
// The slots never stored (season to date, current week, totals mode, other factors) hold
// values here that must not reach the file.
struct FormulaCase {
    const char* name;
    int positions;
};

class FormulaGolden : public ::testing::TestWithParam<FormulaCase> {};

TEST_P(FormulaGolden, SavedFileMatchesExpected)
{
    Formula f{};
    f[fsHomeField] = 2.5f;
    f[fsMinDiff] = 0.5f;
    f[fsMaxDiff] = 14;
    f[fsOffense] = 62.5f;
    f[fsDefense] = 37.5f;
    f[fsPassing] = 45;
    f[fsRushing] = 55;
    f[fsTurnovers] = -1.25f;
    f[fsMultiplier] = 0.75f;
    f[fsRollingWeeks] = 4;
    f[fsSeparateHomeAway] = 1;
    f[fsDiscardHighLow] = 0;
    f[fsSeasonToDate] = 7;
    f[fsCurrentWeek] = 13;
    f[fsTotalsMode] = 1;
    f[fsOtherFactors] = 1;
    f[fsPowerRating] = -0.1f;
    f[fsNoLine] = 1;
    f[fsHomeOnly] = 0;
    f[fsAwayOnly] = 1;
    f[fsFavOrOver] = -3;
    f[fsDogOrUnder] = 0.25f;
    f[fsLineStart] = -7.5f;
    f[fsLineEnd] = 10.5f;
    TempFolder folder;
    std::string reason;
    ASSERT_TRUE(WriteFormulaFile(folder / "saved.fla", f, reason, GetParam().positions)) << reason;
    EXPECT_TRUE(FileMatchesGolden(folder / "saved.fla", GoldenFolder("season") / GetParam().name / "expected.fla"));
}

INSTANTIATE_TEST_SUITE_P(Cases, FormulaGolden,
                         ::testing::Values(FormulaCase{"formula-full", FormulaFilePositions},
                                           FormulaCase{"formula-short", ShortFormulaFilePositions}),
                         [](const ::testing::TestParamInfo<FormulaCase>& info) {
                             return info.param.positions == FormulaFilePositions ? std::string("Full")
                                                                                 : std::string("Short");
                         });

} // namespace
} // namespace vexal::test
