// The search rules of the smart predictions: weeks searched, ranges, file names and numbers,
// and how the engine's best row becomes the current formula.
#include "FormulaFile.h"
#include "SmartPredict.h"

#include <gtest/gtest.h>

namespace vexal::test {
namespace {

TEST(SmartPredictRules, WeekWindowNeverReachesBeforeSlotOne)
{
    using P = std::pair<int, int>;
    EXPECT_EQ(SmartWeekWindow(false, 1), P(1, 1));
    EXPECT_EQ(SmartWeekWindow(true, 1), P(1, 1));
    EXPECT_EQ(SmartWeekWindow(false, 3), P(1, 2));
    EXPECT_EQ(SmartWeekWindow(true, 3), P(1, 2));
    EXPECT_EQ(SmartWeekWindow(false, 4), P(1, 3));
    EXPECT_EQ(SmartWeekWindow(true, 4), P(1, 3));
    EXPECT_EQ(SmartWeekWindow(false, 5), P(1, 4));
    EXPECT_EQ(SmartWeekWindow(true, 5), P(2, 4));
    EXPECT_EQ(SmartWeekWindow(false, 12), P(8, 11));
    EXPECT_EQ(SmartWeekWindow(true, 12), P(9, 11));
}

TEST(SmartPredictRules, RangesFollowTheVariantAndTheBoxes)
{
    SmartBoxes boxes;
    boxes.totalsMode = 0;
    boxes.otherFactors = 1;
    boxes.separateHomeAway = 1;
    boxes.discardHighLow = 2;
    boxes.powerRating = 1;
    boxes.noLine = 1;
    SmartLowEnds low{};
    SmartHighEnds high{};
    SmartSearchRanges(false, 6, boxes, low, high);
    const SmartLowEnds wantLow{3, 1, 4, 30, 70, 70, 30, 4, 0.8f, 3, 1, 2, 0, 2, 0, 1, 1, 1, 0, 0, 0, 0, 99, 99};
    const SmartHighEnds wantHigh{6, 5, 10, 70, 30, 30, 70, 7, 1.2f, 5, 1, 2, 0, 5, 0, 1, 1, 1, 0, 0, 0, 0};
    EXPECT_EQ(low, wantLow);
    EXPECT_EQ(high, wantHigh);

    boxes.totalsMode = 1;
    boxes.poolPicks = 2;   // greyed fixes the difference range like a check
    SmartSearchRanges(true, 6, boxes, low, high);
    const SmartLowEnds wantLowT{3, 0, 99, 40, 60, 60, 40, 6, 0.8f, 4, 1, 2, 0, 3, 1, 1, 1, 1, 0, 0, 0, 0, 99, 99};
    const SmartHighEnds wantHighT{5, 0, 99, 60, 40, 40, 60, 8, 1.2f, 6, 1, 2, 0, 5, 1, 1, 1, 1, 0, 0, 0, 0};
    EXPECT_EQ(low, wantLowT);
    EXPECT_EQ(high, wantHighT);
}

TEST(SmartPredictRules, FileNameDropsPointsBlanksAndOf)
{
    EXPECT_EQ(SmartFormulaFileName("Wk 5 of 2023", "N.Y. Giants", "Dallas", false), "Wk52023NYGDal.FLA");
    EXPECT_EQ(SmartFormulaFileName("Wk 5 of 2023", "N.Y. Giants", "Dallas", true), "Wk52023NYGDalOU.FLA");
    EXPECT_EQ(SmartTeamPart("N.Y. Jets"), "NYJ");
    EXPECT_EQ(SmartTeamPart("Jets"), "Jet");
    EXPECT_EQ(SmartTeamPart("49"), "49");
    // Names agreeing in their first three characters give one file name.
    EXPECT_EQ(SmartFormulaFileName("Wk 2 of 2020", "New England", "San Francisco", false),
              SmartFormulaFileName("Wk 2 of 2020", "New Orleans", "San Diego", false));
}

TEST(SmartPredictRules, FileNumbersSwapRushingAndPassingFromTheBestRow)
{
    std::array<float, 16> best{};
    for (int i = 0; i < 16; ++i)
        best[i] = static_cast<float>(i + 10);
    Formula current{};
    current[fsSeparateHomeAway] = 1;
    current[fsDiscardHighLow] = 2;
    current[fsNoLine] = 3;
    current[fsPowerRating] = 4;
    const auto values = SmartFormulaValues(best, current);
    const std::array<float, 14> want{10, 11, 12, 18, 13, 14, 24, 15, 16, 1, 17, 2, 3, 4};
    EXPECT_EQ(values, want);
    EXPECT_EQ(FormulaFileLine(values), "10,11,12,18,13,14,24,15,16,1,17,2,3,4\r\n");

    // Read back by the formula reader, the file gives the slots the best row stands for.
    Formula read{};
    ApplyFormulaFileNumbers(values, read);
    Formula applied{};
    ApplySmartBest(best, 6, 3, applied);
    for (int slot : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9})
        EXPECT_EQ(read[slot], applied[slot]) << slot;
    EXPECT_EQ(applied[fsPassing], 16);
    EXPECT_EQ(applied[fsRushing], 15);
    EXPECT_EQ(applied[fsCurrentWeek], 7);
    EXPECT_EQ(applied[fsNoLine], 3);

    ClearSmartFilters(applied);
    EXPECT_EQ(applied[fsHomeOnly] + applied[fsAwayOnly] + applied[fsFavOrOver] + applied[fsDogOrUnder], 0);
    EXPECT_EQ(applied[fsLineStart], 99);
    EXPECT_EQ(applied[fsLineEnd], 99);
}

} // namespace
} // namespace vexal::test
