#include "CDates.h"

#include "MsgBox.h"
#include "VbConvert.h"

#include <gtest/gtest.h>

#include <vector>

namespace vexal {
namespace {

class FakeControl : public DatesListControl {
public:
    explicit FakeControl(Kind kind) : kind_(kind) {}
    Kind ControlKind() const override { return kind_; }
    void AddItem(const std::string& text) override { items.push_back(text); }
    std::vector<std::string> items;

private:
    Kind kind_;
};

using Items = std::vector<std::string>;
double D(int y, int m, int d) { return vb::DateSerial(y, m, d); }
ScriptedMessages& Shown() { return dynamic_cast<ScriptedMessages&>(Messages()); }

TEST(CDates, CompareByNamedOperator)
{
    CDates dates;
    const DateValue first = D(2024, 3, 1);
    const DateValue second = D(2024, 3, 2);
    EXPECT_TRUE(dates.Compare(first, second, "LT"));
    EXPECT_TRUE(dates.Compare(first, second, "<"));
    EXPECT_FALSE(dates.Compare(first, second, "lt"));
    EXPECT_TRUE(dates.Compare(first, second, "<="));
    EXPECT_TRUE(dates.Compare(first, first, "LE"));
    EXPECT_TRUE(dates.Compare(first, first, "="));
    EXPECT_TRUE(dates.Compare(first, first, "EQ"));
    EXPECT_TRUE(dates.Compare(first, second, "<>"));
    EXPECT_TRUE(dates.Compare(first, second, "NE"));
    EXPECT_TRUE(dates.Compare(second, first, ">"));
    EXPECT_TRUE(dates.Compare(second, first, "GT"));
    EXPECT_TRUE(dates.Compare(second, second, ">="));
    EXPECT_TRUE(dates.Compare(second, first, "GE"));
    EXPECT_FALSE(dates.Compare(second, first, "=>"));
    // Texts that read as dates are dates; anything else is not.
    EXPECT_TRUE(dates.Compare(DateValue("3/1/2024"), second, "EQ") == false);
    EXPECT_TRUE(dates.Compare(DateValue("3/1/2024"), first, "EQ"));
    EXPECT_FALSE(dates.Compare(DateValue("not a date"), first, "<>"));
    EXPECT_FALSE(dates.Compare(first, DateValue(), "<>"));
}

TEST(CDates, AnniversaryYears)
{
    CDates dates;
    EXPECT_EQ(dates.AnnivYears(D(2000, 6, 1), D(2005, 7, 1)), 6);
    EXPECT_EQ(dates.AnnivYears(D(2000, 6, 1), D(2005, 5, 1)), 5);
    EXPECT_EQ(dates.AnnivYears(D(2005, 7, 1), D(2000, 6, 1)), 0);
    EXPECT_EQ(dates.AnnivYears(D(2000, 6, 1), D(2000, 6, 1)), 0);
    EXPECT_EQ(dates.AnnivYears(DateValue("junk"), D(2000, 6, 1)), 0);
}

TEST(CDates, DatePartsAndWeekdays)
{
    CDates dates;
    const DateValue day = D(2024, 9, 10);
    EXPECT_EQ(dates.DayOfWeek(day), "Tuesday");
    EXPECT_EQ(dates.DayOfWeek(D(2024, 9, 8)), "Sunday");
    EXPECT_EQ(dates.DayOfWeek(D(2024, 9, 14)), "Saturday");
    EXPECT_EQ(dates.DayofYear(day), 254);
    EXPECT_EQ(dates.DayofYear(D(2024, 12, 31)), 366);
    EXPECT_EQ(dates.Month(day), 9);
    EXPECT_EQ(dates.Day(day), 10);
    EXPECT_EQ(dates.Year(day), 2024);

    const DateValue none("Week 5");
    EXPECT_EQ(dates.DayOfWeek(none), "");
    EXPECT_EQ(dates.DayofYear(none), 0);
    EXPECT_EQ(dates.Month(none), 0);
    EXPECT_EQ(dates.Day(none), 0);
    EXPECT_EQ(dates.Year(none), 0);
}

class Schedule : public ::testing::Test {
protected:
    void SetUp() override { dates.SetContainer(&list); }
    CDates dates;
    FakeControl list{DatesListControl::Kind::ListBox};
};

TEST_F(Schedule, MonthlyFromAMonthEndDoesNotDrift)
{
    dates.ComputeSchedule(D(2024, 1, 31), 5, std::nullopt, 3);
    EXPECT_EQ(list.items, (Items{"1/31/2024", "2/29/2024", "3/31/2024"}));
}

TEST_F(Schedule, WeeklyUpToAnEndDateIncludesIt)
{
    dates.ComputeSchedule(D(2024, 1, 1), 7, DateValue(D(2024, 1, 15)));
    EXPECT_EQ(list.items, (Items{"1/1/2024", "1/8/2024", "1/15/2024"}));
}

TEST_F(Schedule, EveryIntervalCode)
{
    const Items expected[] = {
        {"1/1/2024", "1/1/2026"}, {"1/1/2024", "1/1/2025"}, {"1/1/2024", "7/1/2024"}, {"1/1/2024", "4/1/2024"},
        {"1/1/2024", "3/1/2024"}, {"1/1/2024", "2/1/2024"}, {"1/1/2024", "1/15/2024"}, {"1/1/2024", "1/8/2024"},
        {"1/1/2024", "1/2/2024"},
    };
    for (int code = 0; code <= 8; ++code) {
        list.items.clear();
        dates.ComputeSchedule(D(2024, 1, 1), code, std::nullopt, 2);
        EXPECT_EQ(list.items, expected[code]) << code;
    }
}

TEST_F(Schedule, NeedsExactlyOneOfEndDateAndCount)
{
    dates.ComputeSchedule(D(2024, 1, 1), 7, DateValue(D(2024, 1, 15)), 3);
    dates.ComputeSchedule(D(2024, 1, 1), 7);
    EXPECT_TRUE(list.items.empty());
}

TEST_F(Schedule, BadArgumentsListNothing)
{
    dates.ComputeSchedule(DateValue("soon"), 7, std::nullopt, 3);
    dates.ComputeSchedule(D(2024, 1, 1), -1, std::nullopt, 3);
    dates.ComputeSchedule(D(2024, 1, 1), std::nullopt, std::nullopt, 3);
    dates.ComputeSchedule(D(2024, 1, 1), 7, std::nullopt, 0);
    dates.ComputeSchedule(D(2024, 1, 1), 7, DateValue("never"));
    EXPECT_TRUE(list.items.empty());
}

TEST_F(Schedule, UnknownCodeOnAFreshInstanceListsNothingAndEnds)
{
    // Without an interval the schedule would never advance past its start.
    dates.ComputeSchedule(D(2024, 1, 1), 9, DateValue(D(2024, 2, 1)));
    EXPECT_TRUE(list.items.empty());
}

TEST_F(Schedule, UnknownCodeKeepsThePreviousInterval)
{
    dates.ComputeSchedule(D(2024, 1, 1), 1, std::nullopt, 1);
    list.items.clear();
    dates.ComputeSchedule(D(2024, 1, 1), 12, std::nullopt, 3);
    EXPECT_EQ(list.items, (Items{"1/1/2024", "1/1/2025", "1/1/2026"}));
}

TEST_F(Schedule, CountStopsAtTheEndOfTheDateRange)
{
    dates.ComputeSchedule(D(9998, 6, 1), 1, std::nullopt, 5);
    EXPECT_EQ(list.items, (Items{"6/1/9998", "6/1/9999"}));
    list.items.clear();
    dates.ComputeSchedule(D(9999, 12, 30), 8, DateValue(D(9999, 12, 31)));
    EXPECT_EQ(list.items, (Items{"12/30/9999", "12/31/9999"}));
}

TEST_F(Schedule, ContainerMustBeAListOrComboBox)
{
    FakeControl combo{DatesListControl::Kind::ComboBox};
    dates.SetContainer(&combo);
    EXPECT_EQ(dates.Container(), &combo);
    EXPECT_TRUE(Shown().shown.empty());

    FakeControl textBox{DatesListControl::Kind::Other};
    dates.SetContainer(&textBox);
    ASSERT_EQ(Shown().shown.size(), 1u);
    EXPECT_EQ(Shown().shown[0].text, "Dates container must be a list box or combo box.");
    EXPECT_EQ(Shown().shown[0].title, "Dates");
    EXPECT_EQ(Shown().shown[0].buttons, vbOKOnly);
    EXPECT_EQ(dates.Container(), &combo);

    dates.ComputeSchedule(D(2024, 1, 1), 8, std::nullopt, 2);
    EXPECT_EQ(combo.items, (Items{"1/1/2024", "1/2/2024"}));
    EXPECT_TRUE(textBox.items.empty());

    dates.SetContainer(nullptr);
    EXPECT_EQ(Shown().shown.size(), 2u);
    EXPECT_EQ(dates.Container(), &combo);
}

} // namespace
} // namespace vexal
