// The chart control: series options and their limit, standard colours, data with empty
// values, the scale widened to the data, every series visible, plotting errors and the saved
// properties, the surface's input events.
#include "Chart.h"

#include "MsgBox.h"
#include "Screen.h"
#include "VbError.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPixmap>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

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
}

TEST(ChartTest, SeriesWithoutAColourTakeTheStandardOnesAndKeepThem)
{
    Chart chart;
    chart.SetSeriesOptions(2, 0x00C0FF, "Own");
    chart.RegisterData({{"a", "b"}, {1, 2}, {3, 4}, {5, 6}});
    EXPECT_EQ(chart.SeriesColor(0), 0x000000);   // black
    EXPECT_EQ(chart.SeriesColor(1), 0x800000);   // navy
    EXPECT_EQ(chart.SeriesColor(2), 0x00C0FF);
    EXPECT_EQ(chart.SeriesColor(5), -1);         // no such series yet
    chart.RegisterData({{"a"}, {1}, {2}});
    EXPECT_EQ(chart.SeriesColor(1), 0x800000);
}

// Pixels of one colour in the drawn chart.
int PixelsOf(Chart& chart, int32_t bgr)
{
    const QImage image = chart.grab().toImage();
    const QColor colour(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == colour)
                ++n;
    return n;
}

TEST(ChartTest, EverySeriesShowsOnTheBackgroundInEveryStyle)
{
    // A club whose second colour is white: its series on the white chart.
    Chart chart;
    chart.resize(400, 300);
    chart.SetForeColor(0x0000C0);
    chart.SetSeriesOptions(0, 0xFFFFFF, "Points For (20)");
    chart.SetSeriesOptions(1, 0x0000C0, "Points Against (17)");
    chart.SetDisplayLegend(true);
    chart.SetVerticalTickInterval(2);
    chart.RegisterData({{"Chi", "GB ", "Min", "Det"}, {20, 27, 3, 14}, {17, 10, 31, 24}});
    const int32_t drawn = chart.DrawnSeriesColor(0);
    EXPECT_NE(drawn, 0xFFFFFF);
    EXPECT_NE(drawn, chart.DrawnSeriesColor(1));
    EXPECT_EQ(chart.DrawnSeriesColor(1), 0x0000C0);
    for (int32_t type : {Chart::Line, Chart::Point, Chart::Bar, Chart::StackedBar}) {
        chart.SetChartType(type);
        chart.SetDrawWidth(type == Chart::Point ? 3 : 2);
        chart.Refresh();
        EXPECT_GT(PixelsOf(chart, drawn), 20) << type;
    }
}

// A week without a game (a bye) is a gap in every style: nothing of the series is drawn in
// its column, where a 0-0 game would show a point, a line down to 0 or a bar.
TEST(ChartTest, AnEmptyValueIsAGapNotAZero)
{
    Chart chart;
    chart.resize(400, 300);
    chart.SetLowScale(0);
    chart.SetSeriesOptions(0, 0x0000FF, "Points For");
    chart.SetSeriesOptions(1, 0xFF0000, "Points Against");
    chart.SetVerticalTickInterval(2);
    chart.RegisterData({{"Chi", QVariant(), "GB ", "Min"}, {20, QVariant(), 10, 14}, {-17, QVariant(), -24, -3}});
    EXPECT_TRUE(chart.IsGap(0, 1));
    EXPECT_FALSE(chart.IsGap(0, 2));
    // The plot's columns: its left edge at 50, its width the chart's less 60.
    const double column = (400 - 60) / 4.0;
    for (int32_t type : {Chart::Line, Chart::Point, Chart::Bar, Chart::StackedBar}) {
        chart.SetChartType(type);
        chart.SetDrawWidth(type == Chart::Point ? 3 : 2);
        chart.Refresh();
        const QImage image = chart.grab().toImage();
        int inGap = 0;
        for (int x = static_cast<int>(50 + column * 1.2); x < static_cast<int>(50 + column * 1.8); ++x)
            for (int y = 0; y < image.height(); ++y)
                if (image.pixelColor(x, y) == QColor(255, 0, 0) || image.pixelColor(x, y) == QColor(0, 0, 255))
                    ++inGap;
        EXPECT_EQ(inGap, 0) << "type " << type;
    }
    chart.SetChartType(Chart::Line);
    chart.Refresh();
    EXPECT_EQ(chart.DrawnHigh(), 20);
    EXPECT_EQ(chart.DrawnLow(), -24);
}

TEST(ChartTest, PlottingErrors)
{
    ScriptedMessages& messages = InstallScriptedMessages();
    Chart chart;
    chart.resize(300, 200);
    // Nothing registered: error 32007, from the legend when it is on.
    auto plotError = [&]() -> std::string {
        try {
            chart.Refresh();
        } catch (const VbError& e) {
            EXPECT_EQ(e.Number(), 32007);
            EXPECT_EQ(e.Source(), "DadudUzizProject.DadudUziz");
            return e.Description();
        }
        return "";
    };
    EXPECT_EQ(plotError(), "Error 9 plotting graph: Subscript out of range");
    chart.SetDisplayLegend(true);
    EXPECT_EQ(plotError(), "Error 9 plotting legend: Subscript out of range");
    // A scale of no height.
    chart.RegisterData({{"a", "b"}, {0, 0}});
    EXPECT_EQ(plotError(), "Error 11 plotting graph: Division by zero");
    // One column: nothing to space the columns by.
    chart.RegisterData({{"a"}, {3}});
    EXPECT_EQ(plotError(), "Error 11 plotting graph: Division by zero");
    EXPECT_TRUE(chart.Blank());
    // Negative data on stacked bars: the message once, and a blank chart.
    chart.RegisterData({{"a", "b"}, {5, -2}, {1, 2}});
    chart.SetChartType(Chart::StackedBar);
    chart.Refresh();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Cannot plot stacked bar graph with negative data");
    EXPECT_EQ(messages.shown[0].title, "Plot Error");
    EXPECT_EQ(messages.shown[0].buttons, vbCritical);
    EXPECT_TRUE(chart.Blank());
    chart.SetChartType(Chart::Line);
    chart.Refresh();
    EXPECT_FALSE(chart.Blank());
    EXPECT_EQ(messages.shown.size(), 1u);
}

TEST(ChartTest, PropertiesAreSavedInTheirOrderAndRestoredWithDefaults)
{
    Chart chart;
    std::vector<QString> changed;
    QObject::connect(&chart, &Chart::PropertyChanged, [&](const QString& name) { changed.push_back(name); });
    chart.SetChartType(Chart::Point);
    chart.SetTitle("Weekly");
    chart.SetDisplayLegend(true);
    chart.SetVerticalTickInterval(5);
    chart.SetSeriesOptions(0, 0x123456, "Own");
    EXPECT_EQ(changed, (std::vector<QString>{"ChartType", "Title", "DisplayLegend", "VerticalTickInterval"}));
    Chart::PropertyBag bag;
    chart.WriteProperties(bag);
    std::vector<QString> keys;
    for (const auto& [key, value] : bag)
        keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<QString>{"BackColor", "ForeColor", "Enabled", "Font", "BackStyle", "BorderStyle",
                                          "ChartType", "DisplayLegend", "PlotPoints", "Title", "VerticalTickInterval",
                                          "HorizontalTickFrequency", "TitleFont"}));
    Chart restored;
    restored.ReadProperties(bag);
    EXPECT_EQ(restored.ChartType(), Chart::Point);
    EXPECT_EQ(restored.Title().toStdString(), "Weekly");
    EXPECT_TRUE(restored.DisplayLegend());
    EXPECT_EQ(restored.VerticalTickInterval(), 5);
    EXPECT_EQ(restored.SeriesColor(0), -1);
    EXPECT_EQ(restored.SeriesLegend(0).toStdString(), "");
    // An empty bag gives the defaults.
    Chart fresh;
    fresh.SetChartType(Chart::Line);
    fresh.ReadProperties({});
    EXPECT_EQ(fresh.ChartType(), Chart::Bar);
    EXPECT_EQ(fresh.VerticalTickInterval(), 1);
    EXPECT_EQ(fresh.HorizontalTickFrequency(), 1);
    EXPECT_FALSE(fresh.DisplayLegend());
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
    chart.SetHighScale(0);
    chart.RegisterData({{"a", "b"}, {5, -7.5}, {1, 2}});
    chart.Refresh();
    EXPECT_EQ(chart.DrawnLow(), -8);
    EXPECT_EQ(chart.DrawnHigh(), 6);
    EXPECT_EQ(chart.RefreshCount(), 3);
}

// The widened scale is the control's own: it reads back after the drawing and the next
// drawing starts from it, until the host sets it again.
TEST(ChartTest, TheWidenedScaleStaysUntilTheHostSetsItAgain)
{
    Chart chart;
    chart.SetHighScale(5);
    chart.SetLowScale(0);
    chart.RegisterData({{"a", "b", "c"}, {3, 12, QVariant()}, {-2.5, 1, 4}});
    chart.Refresh();
    EXPECT_EQ(chart.HighScale(), 12);
    EXPECT_EQ(chart.LowScale(), -2.5);
    // Smaller data draws on the scale the larger data left.
    chart.RegisterData({{"a", "b"}, {1, 2}, {0, 1}});
    chart.Refresh();
    EXPECT_EQ(chart.HighScale(), 12);
    EXPECT_EQ(chart.LowScale(), -2.5);
    EXPECT_EQ(chart.DrawnHigh(), 12);
    EXPECT_EQ(chart.DrawnLow(), -3);
    // Stacked bars widen it to their column sums.
    chart.SetChartType(Chart::StackedBar);
    chart.RegisterData({{"a", "b"}, {10, 2}, {6, 1}});
    chart.Refresh();
    EXPECT_EQ(chart.HighScale(), 16);
    // The host's own values start it afresh.
    chart.SetChartType(Chart::Line);
    chart.SetHighScale(0);
    chart.SetLowScale(0);
    chart.Refresh();
    EXPECT_EQ(chart.HighScale(), 10);
    EXPECT_EQ(chart.LowScale(), 0);
}

// Data that leave nothing to scale (a season's first week, weeks not yet played): the
// plotting error for a host that has not asked for them to be drawn, and for one that has,
// a drawing on a scale of some height in every style.
TEST(ChartTest, NothingToScaleIsDrawnForTheHostThatAsksForIt)
{
    const QVariant gap;
    const struct {
        const char* what;
        std::vector<std::vector<QVariant>> data;
        std::string error;
        double low, high;   // the scale drawn
        bool pointsShown;
        bool negative = false;
    } cases[] = {
        {"one column with its values", {{"Chi"}, {3}, {-2}}, "Error 11 plotting graph: Division by zero", -2, 3, true,
         true},
        {"one column not yet rated", {{""}, {gap}, {gap}}, "Error 11 plotting graph: Division by zero", -1, 1, false},
        {"every value a gap", {{"a", "b", "c"}, {gap, gap, gap}, {gap, gap, gap}},
         "Error 11 plotting graph: Division by zero", -1, 1, false},
        {"every value 0", {{"a", "b"}, {0, 0}, {0, gap}}, "Error 11 plotting graph: Division by zero", -1, 1, true},
        {"no columns", {{}, {}, {}}, "Error 9 plotting graph: Subscript out of range", -1, 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (int32_t type : {Chart::Line, Chart::Point, Chart::Bar, Chart::StackedBar}) {
            SCOPED_TRACE(type);
            Chart chart;
            chart.resize(300, 200);
            chart.SetSeriesOptions(0, 0x0000FF, "Offensive Power (0.0)");
            chart.SetSeriesOptions(1, 0xFF0000, "Defensive Power (0.0)");
            chart.SetChartType(type);
            chart.SetDrawWidth(3);
            chart.SetPlotPoints(true);
            chart.RegisterData(c.data);
            if (type != Chart::StackedBar) {
                try {
                    chart.Refresh();
                    ADD_FAILURE() << "no plotting error";
                } catch (const VbError& e) {
                    EXPECT_EQ(e.Description(), c.error);
                }
                EXPECT_TRUE(chart.Blank());
            }
            chart.SetNothingToScaleDrawn(true);
            chart.SetHighScale(0);
            chart.SetLowScale(0);
            ScriptedMessages& messages = InstallScriptedMessages();
            EXPECT_NO_THROW(chart.Refresh());
            if (type == Chart::StackedBar && c.negative) {
                // Negative data on stacked bars keeps its own message.
                EXPECT_EQ(messages.shown.size(), 1u);
                continue;
            }
            EXPECT_TRUE(messages.shown.empty());
            EXPECT_FALSE(chart.Blank());
            if (type != Chart::StackedBar) {
                EXPECT_EQ(chart.DrawnLow(), c.low);
                EXPECT_EQ(chart.DrawnHigh(), c.high);
            }
            EXPECT_GT(chart.DrawnHigh(), chart.DrawnLow());
            // (Bars and stacked bars of 0 have no height to show their colour in.)
            if (c.pointsShown && (type == Chart::Line || type == Chart::Point)) {
                EXPECT_GT(PixelsOf(chart, 0x0000FF), 0);
            } else if (!c.pointsShown) {
                EXPECT_EQ(PixelsOf(chart, 0x0000FF) + PixelsOf(chart, 0xFF0000), 0);
            }
        }
    }
}

// What the user does on the surface, and the events it raises with their values.
TEST(ChartTest, InputOnTheSurfaceRaisesItsEventsWithTheirValues)
{
    ScreenMetrics metrics;
    metrics.twipsPerPixelX = 15;
    metrics.twipsPerPixelY = 12;
    Screen::SetMetrics(metrics);
    Chart chart;
    chart.resize(200, 100);
    std::vector<std::string> seen;
    auto log = [&](const char* name, std::initializer_list<double> values) {
        std::ostringstream out;
        out << name;
        for (double v : values)
            out << " " << v;
        seen.push_back(out.str());
    };
    QObject::connect(&chart, &Chart::Click, [&] { log("Click", {}); });
    QObject::connect(&chart, &Chart::DblClick, [&] { log("DblClick", {}); });
    QObject::connect(&chart, &Chart::KeyDown, [&](int16_t k, int16_t s) { log("KeyDown", {double(k), double(s)}); });
    QObject::connect(&chart, &Chart::KeyPress, [&](int16_t k) { log("KeyPress", {double(k)}); });
    QObject::connect(&chart, &Chart::KeyUp, [&](int16_t k, int16_t s) { log("KeyUp", {double(k), double(s)}); });
    QObject::connect(&chart, &Chart::MouseDown,
                     [&](int16_t b, int16_t s, float x, float y) { log("MouseDown", {double(b), double(s), x, y}); });
    QObject::connect(&chart, &Chart::MouseMove,
                     [&](int16_t b, int16_t s, float x, float y) { log("MouseMove", {double(b), double(s), x, y}); });
    QObject::connect(&chart, &Chart::MouseUp,
                     [&](int16_t b, int16_t s, float x, float y) { log("MouseUp", {double(b), double(s), x, y}); });

    auto mouse = [&](QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held,
                     Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QMouseEvent e(type, at, chart.mapToGlobal(at), button, held, mods);
        QApplication::sendEvent(&chart, &e);
    };
    auto key = [&](QEvent::Type type, int k, Qt::KeyboardModifiers mods, const QString& text) {
        QKeyEvent e(type, k, mods, text);
        QApplication::sendEvent(&chart, &e);
    };
    const struct {
        const char* what;
        std::function<void()> act;
        std::vector<std::string> expected;
    } cases[] = {
        {"a left click", [&] {
             mouse(QEvent::MouseButtonPress, {10, 20}, Qt::LeftButton, Qt::LeftButton);
             mouse(QEvent::MouseButtonRelease, {10, 20}, Qt::LeftButton, Qt::NoButton);
         }, {"MouseDown 1 0 150 240", "MouseUp 1 0 150 240", "Click"}},
        {"a right press with Shift and Ctrl, released outside", [&] {
             mouse(QEvent::MouseButtonPress, {4, 5}, Qt::RightButton, Qt::RightButton,
                   Qt::ShiftModifier | Qt::ControlModifier);
             mouse(QEvent::MouseButtonRelease, {250, 5}, Qt::RightButton, Qt::NoButton, Qt::ShiftModifier);
         }, {"MouseDown 2 3 60 60", "MouseUp 2 1 3750 60"}},
        {"a move with the middle button held and Alt", [&] {
             mouse(QEvent::MouseMove, {2, 3}, Qt::NoButton, Qt::MiddleButton, Qt::AltModifier);
         }, {"MouseMove 4 4 30 36"}},
        {"a double click", [&] {
             mouse(QEvent::MouseButtonPress, {1, 1}, Qt::LeftButton, Qt::LeftButton);
             mouse(QEvent::MouseButtonRelease, {1, 1}, Qt::LeftButton, Qt::NoButton);
             mouse(QEvent::MouseButtonDblClick, {1, 1}, Qt::LeftButton, Qt::LeftButton);
             mouse(QEvent::MouseButtonRelease, {1, 1}, Qt::LeftButton, Qt::NoButton);
         }, {"MouseDown 1 0 15 12", "MouseUp 1 0 15 12", "Click", "DblClick", "MouseUp 1 0 15 12"}},
        {"a capital A", [&] {
             key(QEvent::KeyPress, Qt::Key_A, Qt::ShiftModifier, "A");
             key(QEvent::KeyRelease, Qt::Key_A, Qt::ShiftModifier, "A");
         }, {"KeyDown 65 1", "KeyPress 65", "KeyUp 65 1"}},
        {"Ctrl with the left arrow, which types nothing", [&] {
             key(QEvent::KeyPress, Qt::Key_Left, Qt::ControlModifier, "");
             key(QEvent::KeyRelease, Qt::Key_Left, Qt::ControlModifier, "");
         }, {"KeyDown 37 2", "KeyUp 37 2"}},
        {"F1, Enter and a keypad 5", [&] {
             key(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier, "");
             key(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
             key(QEvent::KeyPress, Qt::Key_5, Qt::KeypadModifier, "5");
         }, {"KeyDown 112 0", "KeyDown 13 0", "KeyPress 13", "KeyDown 101 0", "KeyPress 53"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        seen.clear();
        c.act();
        EXPECT_EQ(seen, c.expected);
    }
    Screen::ResetMetrics();
}

} // namespace
} // namespace vexal
