// The control's properties and small methods, and the money-line factor table.
#include "EngineTestSupport.h"
#include "MoneyLineTable.h"

namespace vexal::test {
namespace {

TEST(EngineInterface, NewControlHasItsPropertiesAtZero)
{
    StubEngineHost host;
    TSPredict engine{host};
    EXPECT_EQ(engine.CliffAdjust(), 0);
    EXPECT_EQ(engine.Teaser(), 0);
    EXPECT_EQ(engine.MoneyLine(), 0);
}

TEST(EngineInterface, TeaserIsStoredRoundedHalfToEven)
{
    StubEngineHost host;
    TSPredict engine{host};
    engine.SetTeaser(6.5);
    EXPECT_EQ(engine.Teaser(), 6);
    engine.SetTeaser(7.5);
    EXPECT_EQ(engine.Teaser(), 8);
    engine.SetTeaser(9);
    EXPECT_EQ(engine.Teaser(), 9);
}

TEST(EngineInterface, ClearBestEmptiesBothRowsAndNothingElse)
{
    StubEngineHost host;
    TSPredict engine{host};
    engine.BestRow.fill(3);
    engine.WorstRow.fill(-2);
    engine.TeamTotals[0] = 5;
    engine.ClearBest();
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(engine.BestRow[static_cast<std::size_t>(i)], 0);
        EXPECT_EQ(engine.WorstRow[static_cast<std::size_t>(i)], 0);
    }
    EXPECT_EQ(engine.TeamTotals[0], 5);
}

TEST(EngineInterface, SwapExchangesTwoValues)
{
    float a = 7, b = 3;
    TSPredict::swap(a, b);
    EXPECT_EQ(a, 3);
    EXPECT_EQ(b, 7);
    std::string x = "x", y = "y";
    TSPredict::swap(x, y);
    EXPECT_EQ(x, "y");
}

TEST(MoneyLineTable, PayoutAndRiskFactorsBySpread)
{
    const int16_t payout = -1;
    EXPECT_FLOAT_EQ(SpreadToMoneyLineFactor(7, payout), 2.5f);
    EXPECT_FLOAT_EQ(SpreadToMoneyLineFactor(-7, payout), 2.5f);
    EXPECT_FLOAT_EQ(SpreadToMoneyLineFactor(7, 0), 3.3f);
    EXPECT_FLOAT_EQ(SpreadToMoneyLineFactor(-7, 0), 3.3f);
    EXPECT_EQ(SpreadToMoneyLineFactor(1, payout), 1.0f);
    EXPECT_EQ(SpreadToMoneyLineFactor(1, 0), 1.2f);
    EXPECT_EQ(SpreadToMoneyLineFactor(0, payout), 1.0f);
    EXPECT_EQ(SpreadToMoneyLineFactor(0, 0), 1.1f);
    EXPECT_EQ(SpreadToMoneyLineFactor(1.5f, payout), 1.05f);
    EXPECT_EQ(SpreadToMoneyLineFactor(5.5f, 0), 2.4f);
    EXPECT_EQ(SpreadToMoneyLineFactor(13.5f, payout), 4.5f);
    EXPECT_EQ(SpreadToMoneyLineFactor(13.5f, 0), 6.5f);
    // Exact keys only; 1 (not True) is the risk table.
    EXPECT_EQ(SpreadToMoneyLineFactor(3.25f, payout), 1.0f);
    EXPECT_EQ(SpreadToMoneyLineFactor(14, 0), 1.1f);
    EXPECT_EQ(SpreadToMoneyLineFactor(10, 1), 4.5f);
}

} // namespace
} // namespace vexal::test
