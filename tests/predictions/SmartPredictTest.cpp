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
    Formula low{};
    FormulaHighEnds high{};
    SmartSearchRanges(false, 6, boxes, low, high);
    const Formula wantLow{3, 1, 4, 30, 70, 70, 30, 4, 0.8f, 3, 1, 2, 0, 2, 0, 1, 1, 1, 0, 0, 0, 0, 99, 99};
    const FormulaHighEnds wantHigh{6, 5, 10, 70, 30, 30, 70, 7, 1.2f, 5, 1, 2, 0, 5, 0, 1, 1, 1, 0, 0, 0, 0};
    EXPECT_EQ(low, wantLow);
    EXPECT_EQ(high, wantHigh);

    boxes.totalsMode = 1;
    boxes.poolPicks = 2;   // greyed fixes the difference range like a check
    SmartSearchRanges(true, 6, boxes, low, high);
    const Formula wantLowT{3, 0, 99, 40, 60, 60, 40, 6, 0.8f, 4, 1, 2, 0, 3, 1, 1, 1, 1, 0, 0, 0, 0, 99, 99};
    const FormulaHighEnds wantHighT{5, 0, 99, 60, 40, 40, 60, 8, 1.2f, 6, 1, 2, 0, 5, 1, 1, 1, 1, 0, 0, 0, 0};
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

TEST(SmartPredictRules, FileAndFormulaTakeEachWeightFromItsOwnElementAndKeepTheSearchOptions)
{
    // A search won by rushing 70 / passing 30: the engine's row holds passing in element 5 and
    // rushing in element 6.
    const ResultRow best{3, 1, 7, 60, 40, 30, 70, 5, 1.1f, 6, 2, 0, 75, 3.8f, 4, 0};
    Formula search{};
    search[fsSeparateHomeAway] = 1;
    search[fsDiscardHighLow] = 2;
    search[fsSeasonToDate] = 0;
    search[fsTotalsMode] = 0;
    search[fsOtherFactors] = 1;
    search[fsPowerRating] = 1;
    search[fsNoLine] = 1;
    const std::string line = FormulaFileLine(SmartFormula(best, search), ShortFormulaFilePositions);
    EXPECT_EQ(line, "3,1,7,1.1,60,40,4,70,30,1,5,2,1,1\r\n");

    // Read back by the formula reader, the file gives the formula the prediction runs with.
    Formula read{};
    ApplyFormulaFileNumbers(ParseFormulaFileNumbers(line), read);
    Formula applied{};
    applied.fill(9);
    ApplySmartBest(best, search, 6, applied);
    for (int slot : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 16, 17})
        EXPECT_EQ(read[slot], applied[slot]) << slot;
    EXPECT_EQ(applied[fsRushing], 70);
    EXPECT_EQ(applied[fsPassing], 30);
    EXPECT_EQ(applied[fsRollingWeeks], 4);
    EXPECT_EQ(applied[fsCurrentWeek], 7);
    // The options the search ran with, the sides run's other factors and power rating too.
    EXPECT_EQ(applied[fsOtherFactors], 1);
    EXPECT_EQ(applied[fsPowerRating], 1);
    EXPECT_EQ(applied[fsTotalsMode], 0);
    EXPECT_EQ(applied[fsSeasonToDate], 0);
    EXPECT_EQ(applied[fsNoLine], 1);
    EXPECT_EQ(applied[fsHomeOnly], 9);   // the filters are the caller's

    ClearSmartFilters(applied);
    EXPECT_EQ(applied[fsHomeOnly] + applied[fsAwayOnly] + applied[fsFavOrOver] + applied[fsDogOrUnder], 0);
    EXPECT_EQ(applied[fsLineStart], 99);
    EXPECT_EQ(applied[fsLineEnd], 99);
}

} // namespace
} // namespace vexal::test
