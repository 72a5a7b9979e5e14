// The GUI-free rules of a week's predictions.
#include "Predict.h"

#include "SeasonData.h"

#include <gtest/gtest.h>

namespace vexal::predict {
namespace {

TEST(PoolValue, RoundsHalvesToEvenAndDropsTheSign)
{
    EXPECT_EQ(PoolValue(2.5, 0, 0), 2);
    EXPECT_EQ(PoolValue(-3.5, 0, 0), 4);
    EXPECT_EQ(PoolValue(-3, 24, 17), 4);      // line + home - away
    EXPECT_EQ(PoolValue(7, 10, 20), 3);
    EXPECT_EQ(PoolValue(0, 20.5f, 20), 0);
}

TEST(ColumnClick, SortRules)
{
    for (int c : {2, 4, 5, 6}) {
        EXPECT_EQ(ColumnClickSort(c).order, 2) << c;
        EXPECT_EQ(ColumnClickSort(c).type, 100) << c;
    }
    for (int c : {7, 9}) {
        EXPECT_EQ(ColumnClickSort(c).order, 2) << c;
        EXPECT_EQ(ColumnClickSort(c).type, 102) << c;
    }
    for (int c : {1, 3, 8, 10}) {
        EXPECT_EQ(ColumnClickSort(c).order, 1) << c;
        EXPECT_EQ(ColumnClickSort(c).type, 102) << c;
    }
}

TEST(Teaser, ListItemsRoundHalvesToEven)
{
    EXPECT_EQ(TeaserPoints("-"), 0);
    EXPECT_EQ(TeaserPoints("6"), 6);
    EXPECT_EQ(TeaserPoints("6.5"), 6);
    EXPECT_EQ(TeaserPoints("7"), 7);
    EXPECT_EQ(TeaserPoints("7.5"), 8);
    EXPECT_EQ(TeaserPoints("9"), 9);
}

TEST(WholeNumber, TypedLinesAndTotals)
{
    EXPECT_EQ(WholeNumber("3.5"), 4);
    EXPECT_EQ(WholeNumber("2.5"), 2);
    EXPECT_EQ(WholeNumber("44.5"), 44);
    EXPECT_EQ(WholeNumber("-3"), -3);
    EXPECT_EQ(WholeNumber(""), 0);
    EXPECT_EQ(WholeNumber("abc"), 0);
    EXPECT_EQ(WholeNumber("99999999"), 0);   // no whole-number box holds it
}

TEST(SingleGame, MarksAreStrict)
{
    // Home favoured by 3: 24 - 3 = 21 > 17 + 3.
    SingleGamePlays p = SingleGameMarks(24, 17, -3, 0, 3, 99);
    EXPECT_TRUE(p.home);
    EXPECT_FALSE(p.away);
    // A predicted total exactly at Total + Min marks nothing.
    p = SingleGameMarks(24, 20, 0, 41, 3, 99);
    EXPECT_FALSE(p.over);
    EXPECT_FALSE(p.under);
    p = SingleGameMarks(24, 20, 0, 40, 3, 99);
    EXPECT_TRUE(p.over);
    p = SingleGameMarks(14, 20, 0, 40, 3, 99);
    EXPECT_TRUE(p.under);
    EXPECT_TRUE(p.away);            // 20 - 0 > 14 + 3
    // Beyond the maximum difference there is no play.
    p = SingleGameMarks(40, 10, 0, 40, 3, 10);
    EXPECT_FALSE(p.home);
}

TEST(RangeLimits, SidesAndTotalsMoveEachEndAndKeepOneDecimal)
{
    // Whole points put every end on a half, which the one-decimal format rounds away from 0.
    RangeItems r = RangeLimitsOf(24, 17, 3, 10, false);   // A - H = -7
    EXPECT_FLOAT_EQ(r.item1, -10.1f);   // -7 - 3 - 0.05
    EXPECT_FLOAT_EQ(r.item2, -17.0f);   // -7 - 10 + 0.05
    EXPECT_FLOAT_EQ(r.item4, -4.0f);    // -7 + 3 + 0.05
    EXPECT_FLOAT_EQ(r.item5, 3.0f);     // -7 + 10 - 0.05
    r = RangeLimitsOf(24, 17, 3, 10, true);                // A + H = 41
    EXPECT_FLOAT_EQ(r.item1, 44.1f);
    EXPECT_FLOAT_EQ(r.item2, 51.0f);
    EXPECT_FLOAT_EQ(r.item4, 38.0f);
    EXPECT_FLOAT_EQ(r.item5, 31.1f);
    // Points off the half: the 0.05 moves each end inward.
    r = RangeLimitsOf(24.5f, 17.25f, 3, 10, false);        // A - H = -7.25
    EXPECT_FLOAT_EQ(r.item1, -10.3f);
    EXPECT_FLOAT_EQ(r.item2, -17.2f);
    EXPECT_FLOAT_EQ(r.item4, -4.2f);
    EXPECT_FLOAT_EQ(r.item5, 2.7f);
}

class WeekSlots : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSeason();
        Season().Allocate(1);
    }
    void TearDown() override { ResetSeason(); }
    static void Put(int week, int game, int away, int home, int awayScore, int homeScore)
    {
        SeasonData& s = Season();
        s.Game(week, game, gfAwayTeam) = static_cast<int16_t>(away);
        s.Game(week, game, gfHomeTeam) = static_cast<int16_t>(home);
        s.Game(week, game, gfAwayScore) = static_cast<int16_t>(awayScore);
        s.Game(week, game, gfHomeScore) = static_cast<int16_t>(homeScore);
    }
};

TEST_F(WeekSlots, StopAtTheFirstEmptySlot)
{
    for (int g = 0; g < 14; ++g)
        Put(2, g, g + 1, g + 15, -1, -1);
    EXPECT_EQ(WeekGameSlots(2, 0).size(), 14u);
    EXPECT_EQ(WeekGameSlots(2, 5).front(), 5);
    for (int g = 0; g < 16; ++g)
        Put(3, g, 1, 2, 10, 7);
    EXPECT_EQ(WeekGameSlots(3, 0).size(), 16u);
    // Outside the loaded arrays there is no game, and no read past them.
    EXPECT_TRUE(WeekGameSlots(22, 0).empty());
    EXPECT_TRUE(WeekGameSlots(-1, 0).empty());
    EXPECT_FALSE(GameAt(21, 16).has_value());
}

TEST_F(WeekSlots, PlayedAndScoreText)
{
    Put(0, 0, 1, 2, -1, -1);
    Put(0, 1, 1, 2, 17, 24);
    Season().Spread(0, 1) = -3.5f;
    Season().Total(0, 1) = 44.5f;
    EXPECT_FALSE(IsPlayed(*GameAt(0, 0)));
    const ScheduledGame g = *GameAt(0, 1);
    EXPECT_TRUE(IsPlayed(g));
    EXPECT_EQ(ScoreText(g.awayScore, g.homeScore), "17 - 24");
    EXPECT_FLOAT_EQ(g.line, -3.5f);
    EXPECT_FLOAT_EQ(g.total, 44.5f);
    EXPECT_EQ(ResultColor("Win"), Green);
    EXPECT_EQ(ResultColor("Loss"), Red);
    EXPECT_EQ(ResultColor("Tie"), Blue);
    EXPECT_EQ(ResultColor(""), Black);
}

} // namespace
} // namespace vexal::predict
