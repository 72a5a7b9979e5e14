// The progress bar's range rules, caption, bar, edges, mouse tracking and saved properties.
#include "ProgBar.h"
#include "Screen.h"

#include <QApplication>
#include <QMouseEvent>

#include <gtest/gtest.h>

using namespace vexal;

namespace {

TEST(ProgBar, NewControlValues)
{
    ProgBar bar;
    EXPECT_EQ(static_cast<uint32_t>(bar.BackColor()), 0x8000000Fu);
    EXPECT_EQ(static_cast<uint32_t>(bar.BarColor()), 0x8000000Du);
    EXPECT_EQ(bar.Max(), 100);
    EXPECT_EQ(bar.Min(), 0);
    EXPECT_EQ(bar.Value(), 50);
    EXPECT_EQ(bar.BorderStyle(), 0);
    EXPECT_FALSE(bar.AddPercent());
    EXPECT_EQ(bar.Caption(), "");
    EXPECT_EQ(bar.CaptionColor(), 0);
}

TEST(ProgBar, RangeSettersKeepTheirInvariants)
{
    ProgBar bar;
    bar.SetValue(150);
    EXPECT_EQ(bar.Value(), 100);
    bar.SetValue(-5);
    EXPECT_EQ(bar.Value(), 0);
    bar.SetMax(0);
    EXPECT_EQ(bar.Max(), 1);
    bar.SetMin(20); // not below Max 1: becomes Max - 1 = 0
    EXPECT_EQ(bar.Min(), 0);
    bar.SetMax(100);
    bar.SetMin(100);
    EXPECT_EQ(bar.Min(), 99);
    bar.SetMin(-3);
    EXPECT_EQ(bar.Min(), 0);
    bar.SetMin(10);
    bar.SetMax(5); // not above Min: Min + 1
    EXPECT_EQ(bar.Max(), 11);
    bar.SetValue(11);
    bar.SetMax(50);
    bar.SetMin(30);
    EXPECT_EQ(bar.Value(), 30) << "Min pulls the value up";
    bar.SetValue(50);
    bar.SetMax(40);
    EXPECT_EQ(bar.Value(), 40) << "Max pulls the value down";
}

TEST(ProgBar, CaptionsAndPercentages)
{
    ProgBar bar;
    bar.resize(200, 20);
    bar.SetCaption("Done");
    bar.SetAddPercent(true);
    bar.SetValue(25);
    EXPECT_EQ(bar.CaptionText(), "Done 25%");
    bar.SetValue(0);
    EXPECT_EQ(bar.CaptionText(), "Done 0%");
    EXPECT_TRUE(bar.BarRect().isEmpty()) << "no bar at Value = Min";
    bar.SetMax(3);
    bar.SetValue(1);
    EXPECT_EQ(bar.PercentText(), "33.3333333333333");
    EXPECT_EQ(bar.CaptionText(), "Done 33.3333333333333%");
    // The percentage counts from Min.
    bar.SetMax(200);
    bar.SetMin(100);
    bar.SetValue(150);
    EXPECT_EQ(bar.PercentText(), "50");
    bar.SetAddPercent(false);
    EXPECT_EQ(bar.CaptionText(), "Done");
}

TEST(ProgBar, BarGrowsAcrossOrUpwards)
{
    ProgBar bar;
    bar.resize(200, 40);
    bar.SetValue(25);
    EXPECT_EQ(bar.BarRect(), QRect(0, 0, 50, 40));
    bar.SetVertical(true);
    bar.SetValue(50);
    EXPECT_EQ(bar.BarRect(), QRect(0, 20, 200, 20)) << "the lower half";

    // The picture: bar colour below, back colour above.
    bar.SetBackColor(RGBColor(255, 255, 255));
    bar.SetBarColor(RGBColor(0, 0, 255));
    const QImage shot = bar.grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(5, 35)), QColor(0, 0, 255));
    EXPECT_EQ(QColor(shot.pixel(5, 5)), QColor(255, 255, 255));
}

TEST(ProgBar, EdgeRingsPerStyle)
{
    using E = ProgBar::Edge;
    EXPECT_EQ(ProgBar::EdgeRingsFor(1, 1), (std::vector<int>{E::SunkenOuter, E::SunkenInner}));
    EXPECT_EQ(ProgBar::EdgeRingsFor(1, 2),
              (std::vector<int>{E::SunkenOuter, E::SunkenOuter, E::SunkenOuter, E::SunkenInner}));
    EXPECT_EQ(ProgBar::EdgeRingsFor(3, 2),
              (std::vector<int>{E::SunkenOuter, E::SunkenOuter, E::RaisedInner, E::RaisedInner}));
    EXPECT_EQ(ProgBar::EdgeRingsFor(4, 1), (std::vector<int>{E::RaisedOuter, E::SunkenInner}));
    EXPECT_EQ(ProgBar::EdgeRingsFor(6, 1), (std::vector<int>{E::RaisedOuter, E::RaisedInner}));
    EXPECT_TRUE(ProgBar::EdgeRingsFor(0, 3).empty());
    EXPECT_TRUE(ProgBar::EdgeRingsFor(5, 3).empty());
    EXPECT_EQ(ProgBar::EdgeRingsFor(9, 1), (std::vector<int>{E::EdgeNone, E::EdgeNone}));
}

TEST(ProgBar, FlatStyleFollowsTheMouse)
{
    ProgBar bar;
    bar.resize(100, 20);
    bar.SetBorderWidth(1);
    bar.SetBorderStyle(5);
    int enters = 0, leaves = 0, clicks = 0;
    QObject::connect(&bar, &ProgBar::MouseEnter, [&] { ++enters; });
    QObject::connect(&bar, &ProgBar::MouseLeave, [&] { ++leaves; });
    QObject::connect(&bar, &ProgBar::Click, [&] { ++clicks; });

    bar.TrackMouse(10, 10);
    bar.TrackMouse(20, 10);
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(bar.BorderStyle(), 6);
    EXPECT_EQ(bar.EdgeRings(), (std::vector<int>{ProgBar::RaisedOuter, ProgBar::RaisedInner}));

    // Pressed under the mouse the edge sinks; a click is reported on release.
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(10, 10), QPointF(10, 10), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&bar, &press);
    EXPECT_EQ(bar.EdgeRings(), (std::vector<int>{ProgBar::SunkenOuter, ProgBar::SunkenInner}));
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(10, 10), QPointF(10, 10), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(&bar, &release);
    EXPECT_EQ(clicks, 1);

    bar.TrackMouse(150, 10);
    bar.TrackMouse(160, 10);
    EXPECT_EQ(leaves, 1);
    EXPECT_EQ(bar.BorderStyle(), 5);
    EXPECT_TRUE(bar.EdgeRings().empty());

    // Other styles do not track.
    bar.SetBorderStyle(1);
    bar.TrackMouse(10, 10);
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(bar.BorderStyle(), 1);
}

TEST(ProgBar, SavedControlComesBackAtMin)
{
    ProgBar saved;
    saved.SetMax(200);
    saved.SetMin(20);
    saved.SetValue(70);
    saved.SetCaption("Loading");
    saved.SetBorderStyle(1);
    const QVariantMap data = saved.SaveProperties();
    EXPECT_EQ(data.value("Value").toInt(), 70);
    EXPECT_FALSE(data.contains("BorderStyle")) << "equal to its stored default";
    EXPECT_FALSE(data.contains("BackColor"));
    EXPECT_EQ(data.value("AddPercent").toBool(), false);

    ProgBar loaded;
    loaded.RestoreProperties(data);
    EXPECT_EQ(loaded.Value(), 20);
    EXPECT_EQ(loaded.Min(), 20);
    EXPECT_EQ(loaded.Max(), 200);
    EXPECT_EQ(loaded.Caption(), "Loading");
    EXPECT_FALSE(loaded.AddPercent());

    // Nothing stored: the stored defaults.
    ProgBar blank;
    blank.RestoreProperties({});
    EXPECT_EQ(blank.Caption(), "Caption");
    EXPECT_TRUE(blank.AddPercent());
    EXPECT_EQ(blank.BorderStyle(), 1);
    EXPECT_EQ(blank.BorderWidth(), 1);
    EXPECT_EQ(blank.CaptionColor(), 0xFFFFFF);
    EXPECT_EQ(blank.Value(), 0);
}

} // namespace
