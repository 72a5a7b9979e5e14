// The chart control: series options and their limit, data with empty values, the scale
// widened to the data and rounded out to the tick interval.
#include "Chart.h"

#include "MsgBox.h"

#include <gtest/gtest.h>

namespace vexal {
namespace {

TEST(ChartTest, SeriesOptionsOutsideTheLimitAreRefused)
{
    ScriptedMessages& messages = InstallScriptedMessages();
    Chart chart;
    chart.SetSeriesOptions(1, 0x123456, "Against");
    chart.SetSeriesOptions(1, 0x654321, "");
    EXPECT_EQ(chart.SeriesColor(1), 0x654321);
    EXPECT_EQ(chart.SeriesLegend(1).toStdString(), "Against");
    chart.SetSeriesOptions(16, 0xFF, "x");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Too many data series -- limit is 15");
    EXPECT_EQ(chart.SeriesLegend(16).toStdString(), "");
    // A series without a colour of its own has a standard one, different per series.
    EXPECT_NE(chart.SeriesColor(2), chart.SeriesColor(3));
}

TEST(ChartTest, ScaleWidensToTheDataAndRoundsOutToTheTick)
{
    Chart chart;
    chart.RegisterData({{"Chi", QVariant(), "GB "}, {21, QVariant(), 7}, {3, 13, QVariant()}});
    EXPECT_EQ(chart.Series(), 2);
    EXPECT_EQ(chart.Value(0, 1), 0);
    chart.SetVerticalTickInterval(2);
    chart.Refresh();
    EXPECT_EQ(chart.DrawnHigh(), 22);
    EXPECT_EQ(chart.DrawnLow(), 0);
    // Stacked bars scale to the column sums.
    chart.SetChartType(Chart::StackedBar);
    chart.Refresh();
    EXPECT_EQ(chart.DrawnHigh(), 24);
    chart.SetChartType(Chart::Line);
    chart.RegisterData({{"a", "b"}, {5, -7.5}, {1, 2}});
    chart.Refresh();
    EXPECT_EQ(chart.DrawnLow(), -8);
    EXPECT_EQ(chart.DrawnHigh(), 6);
    EXPECT_EQ(chart.RefreshCount(), 3);
}

} // namespace
} // namespace vexal
