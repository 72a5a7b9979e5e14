// The Standings, Statistics and Power Ratings views carry nothing from one to the next:
// after a week is chosen, a visit to every other view and its commands leaves the standings,
// a team's table and its charts as a fresh start on that week shows them, before 2002 (six
// divisions, 31 clubs) and from 2002.
#include "AppState.h"
#include "Chart.h"
#include "Grid.h"
#include "MsgBox.h"
#include "PopupMenu.h"
#include "PowerWindow.h"
#include "SampleSeasons.h"
#include "SeasonData.h"
#include "SeasonLoader.h"
#include "StandIns.h"
#include "StandingsWindow.h"
#include "StandingsWindows.h"
#include "StatisticsWindows.h"
#include "StatsWindow.h"
#include "TempFolder.h"
#include "Teams.h"
#include "ViewTestSupport.h"
#include "WeekRange.h"
#include "Windows.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vexal::test {
namespace {

using Table = std::vector<std::vector<std::string>>;

Table TextsOf(const Grid& g)
{
    Table t;
    for (int r = 1; r <= g.Rows(); ++r) {
        std::vector<std::string> row;
        for (int c = 1; c <= g.Cols(); ++c)
            row.push_back(g.CellFormattedText(r, c).toStdString());
        t.push_back(row);
    }
    return t;
}

Table ChartOf(const Chart& chart)
{
    Table t;
    for (const auto& row : chart.Data()) {
        std::vector<std::string> texts;
        for (const QVariant& v : row)
            texts.push_back(v.toString().toStdString());
        t.push_back(texts);
    }
    t.push_back({chart.Title().toStdString(), chart.SeriesLegend(0).toStdString(), chart.SeriesLegend(1).toStdString(),
                 std::to_string(chart.DrawnSeriesColor(0)), std::to_string(chart.DrawnSeriesColor(1))});
    return t;
}

struct SeasonRange {
    int from;
    int to;
};

class ViewRoundTripTest : public ::testing::TestWithParam<SeasonRange> {
protected:
    void SetUp() override
    {
        ResetApp();
        ResetSeason();
        ResetSeasonLoader();
        SetProgramFolder(folder.Path());
        App().UserFolder = folder / "user";
        std::filesystem::create_directories(App().UserFolder);
        samplegen::SampleOptions options;
        options.Seed = 11;
        options.FromYear = GetParam().from;
        options.ToYear = GetParam().to;
        std::string error;
        ASSERT_TRUE(samplegen::WriteSampleSeasons(folder.Path(), options, &error)) << error;
        ASSERT_TRUE(SelectSeason(GetParam().to));
        RegisterBareMainWindow();
        RegisterStandInWindows();
        RegisterStandingsWindows();
        RegisterStatisticsWindows();
        App().CurrentFormula[fsRollingWeeks] = 4;
    }

    void TearDown() override
    {
        PopupMenu::SetChooser({});
        for (const char* name : {"FORM6", "Power", "FORM1", "Main"})
            UnloadWindow(name);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ResetSeasonLoader();
        ResetSeason();
        ResetApp();
        SetProgramFolder({});
    }

    template <class W>
    W& Show(const char* name)
    {
        auto* w = qobject_cast<W*>(ShowWindow(name));
        EXPECT_NE(w, nullptr) << name;
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        return *w;
    }

    // What the user sees of the chosen week: the standings, a club's schedule and points
    // chart, its averages table and its weekly power ratings chart.
    struct Views {
        Table standings, schedule, points, averages, power;
    };
    Views Look()
    {
        Views v;
        StandingsWindow& standings = Show<StandingsWindow>("FORM1");
        v.standings = TextsOf(*standings.grdTeam());
        emit standings.grdTeam()->CellClick(3, 1);
        v.schedule = TextsOf(*standings.grdSched());
        emit standings.grdSched()->CellClick(1, 1);   // back to the standings
        emit standings.grdTeam()->CellClick(3, 4);
        v.points = ChartOf(*standings.Graph1());
        emit standings.Graph1()->Click();

        StatsWindow& stats = Show<StatsWindow>("FORM6");
        PopupMenu::SetChooser([](const std::vector<PopupMenu::Item>& items) {
            for (std::size_t i = 0; i < items.size(); ++i)
                if (items[i].icon == Club)
                    return static_cast<int>(i) + 1;
            return 0;
        });
        stats.MenuItem("TAS")->trigger();
        v.averages = TextsOf(*stats.grdStats());
        v.averages.push_back({stats.lblHeading()->text().toStdString()});

        PowerWindow& power = Show<PowerWindow>("Power");
        for (int r = 1; r <= power.Grid1()->Rows(); ++r)
            if (TeamCode(power.Grid1()->CellFormattedText(r, 1).toStdString(), 0, 0) == Club)
                emit power.Grid1()->CellClick(r, 1);
        v.power = ChartOf(*power.Graph1());
        return v;
    }

    // Every other command of the three views, as a user might try them.
    void VisitEverything()
    {
        StatsWindow& stats = Show<StatsWindow>("FORM6");
        for (const char* item : {"PTS", "DS", "AVPTS", "mnuOTOP", "TTS", "BXST", "NUMS", "LETTS"})
            stats.MenuItem(item)->trigger();
        stats.WeekMenuUp = true;
        stats.WK02_Click(2);
        stats.WeekMenuUp = false;
        PowerWindow& power = Show<PowerWindow>("Power");
        emit power.Grid1()->ColumnClick(1);
        emit power.Grid1()->CellClick(2, 1);
        power.findChild<QAction*>("mnuPoint")->trigger();
        StandingsWindow& standings = Show<StandingsWindow>("FORM1");
        standings.findChild<QAction*>("mnuStacked")->trigger();
        standings.findChild<QAction*>("mnuBar")->trigger();
        emit standings.grdTeam()->CellClick(2, 7);
        Show<StatsWindow>("FORM6");
    }

    static constexpr int Club = 5;
    ScriptedMessages& messages = InstallScriptedMessages();
    TempFolder folder;
};

TEST_P(ViewRoundTripTest, VisitingTheOtherViewsChangesNothingAFreshStartWouldShow)
{
    const int year = GetParam().to;
    ASSERT_TRUE(ChooseWeekText(WeekText(8, year)));
    const Views first = Look();
    VisitEverything();
    const Views again = Look();
    // The shared alignment is the chosen season's.
    const auto order = DivisionOrderOf(year);
    for (std::size_t i = 0; i < order.size(); ++i)
        EXPECT_EQ(Season().DivisionOrder[i], order[i]) << i;

    // A fresh start on the same week.
    for (const char* name : {"FORM6", "Power", "FORM1"})
        UnloadWindow(name);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(ChooseWeekText(WeekText(8, year)));
    const Views fresh = Look();

    for (const Views* v : {&first, &again}) {
        EXPECT_EQ(v->standings, fresh.standings);
        EXPECT_EQ(v->schedule, fresh.schedule);
        EXPECT_EQ(v->points, fresh.points);
        EXPECT_EQ(v->averages, fresh.averages);
        EXPECT_EQ(v->power, fresh.power);
    }
    EXPECT_FALSE(fresh.standings.empty());
    EXPECT_FALSE(fresh.schedule.empty());
    EXPECT_GT(fresh.points.size(), 3u);
    EXPECT_EQ(fresh.averages.size(), 9u);
    EXPECT_GT(fresh.power.size(), 3u);
}

INSTANTIATE_TEST_SUITE_P(Seasons, ViewRoundTripTest, ::testing::Values(SeasonRange{1998, 1999}, SeasonRange{2023, 2024}),
                         [](const auto& info) { return std::to_string(info.param.to); });

} // namespace
} // namespace vexal::test
