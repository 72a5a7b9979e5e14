#include "EngineTestSupport.h"

#include "SampleSeasons.h"
#include "SeasonLoader.h"
#include "VbConvert.h"

#include <fstream>

namespace vexal::test {

double FixedNow()
{
    return vb::DateSerial(2024, 3, 5) + vb::TimeSerial(14, 7, 9);
}

void EventRecorder::Attach(TSPredict& engine)
{
    engine.Progress = [this](TSPredict::FormulaRow& best, TSPredict::FormulaRow& worst, std::string& percent,
                             std::string& message) {
        order.push_back("Progress " + percent);
        progress.push_back({best, worst, percent, message});
    };
    engine.Weekly = [this](WeeklyTableArray& table) {
        order.push_back("Weekly");
        weekly.push_back(table);
    };
    engine.Done = [this] {
        order.push_back("Done");
        ++done;
    };
    engine.Stats = [this](TSPredict::TotalsArray&, TSPredict::TotalsArray&, TSPredict::AveragesArray&,
                          TSPredict::AveragesArray&) { ++stats; };
    engine.PowerRating = [this](TSPredict::PowerTableArray&, TSPredict::PerformanceArray&,
                                TSPredict::PerformanceArray&, TSPredict::OpponentTableArray&) { ++powerRatings; };
}

std::vector<std::string> EventRecorder::Percents() const
{
    std::vector<std::string> out;
    for (const auto& p : progress)
        out.push_back(p.percent);
    return out;
}

Formula PlainFormula(int week)
{
    Formula f{};
    f[fsHomeField] = 0;
    f[fsMinDiff] = 0;
    f[fsMaxDiff] = 99;
    f[fsOffense] = 100;
    f[fsDefense] = 0;
    f[fsPassing] = 0;
    f[fsRushing] = 100;
    f[fsTurnovers] = 0;
    f[fsMultiplier] = 1;
    f[fsRollingWeeks] = 1;
    f[fsCurrentWeek] = static_cast<float>(week);
    f[fsLineStart] = 99;
    f[fsLineEnd] = 99;
    return f;
}

void BuildMatchWeek(const std::vector<Match>& matches)
{
    BuildMatchWeeks({matches});
}

void BuildMatchWeeks(const std::vector<std::vector<Match>>& groups)
{
    SeasonBuilder builder(1, 2024);
    // The prior games of a pair of weeks are played against one filler team (32 for the first
    // pair, 31 for the second, ...), whose own figures never matter and which has no earlier game.
    int filler = 33;
    int week = 0;
    for (const auto& matches : groups) {
        --filler;
        const int prior = builder.AddWeek(2024, ++week);
        const int tested = builder.AddWeek(2024, ++week);
        // Each team's prior game: own rushing 10 x points - 100 with 0 passing and points - 10
        // scored (10 yards per point), against a filler that rushed 100: the prediction is
        // (own rushing + 100) / 10.
        auto priorGame = [&](int team, int points, int ownTop, int oppTop) {
            GameSpec g;
            g.home = team;
            g.away = filler;
            g.homeScore = points - 10;
            g.awayScore = 10;
            g.homeRush = 10 * points - 100;
            g.homeRushAtt = 20;
            g.awayRush = 100;
            g.awayRushAtt = 20;
            g.homeTop = ownTop;
            g.awayTop = oppTop;
            g.homeFirstDowns = 15;
            g.awayFirstDowns = 12;
            builder.AddGame(prior, g);
        };
        for (const Match& m : matches) {
            priorGame(m.home, m.homePoints, m.homeTop, 3600 - m.homeTop);
            priorGame(m.away, m.awayPoints, 3600 - m.awayOppTop, m.awayOppTop);
            GameSpec g;
            g.home = m.home;
            g.away = m.away;
            g.homeScore = m.homeScore;
            g.awayScore = m.awayScore;
            g.spread = m.spread;
            g.total = m.total;
            builder.AddGame(tested, g);
        }
    }
}

bool LoadSampleSeasons(int years, int unplayedFromWeek, uint64_t seed)
{
    samplegen::SampleOptions options;
    options.Seed = seed;
    options.FromYear = 2024 - years + 1;
    options.ToYear = 2024;
    options.UnplayedFromWeek = unplayedFromWeek;
    if (!samplegen::WriteSampleSeasons(ProgramFolder(), options))
        return false;
    std::ofstream(ProgramFolder() / "Vexal.ini") << "[Vexal]\r\nYear to Load=" << years << "\r\n";
    return SelectSeason(2024);
}

void EngineTest::SetUp()
{
    ResetSeasonLoader();
    ResetSeason();
    ResetApp();
    SetDoEventsHook({});
    engine.SetClock(FixedNow);
    events.Attach(engine);
}

void EngineTest::TearDown()
{
    SetDoEventsHook({});
    ResetSeasonLoader();
    ResetSeason();
    ResetApp();
}

void EngineTest::Predict(bool singleGame, uint8_t home, uint8_t away)
{
    Formula& f = App().CurrentFormula;
    engine.TestFormulas({.Low = f, .High = f, .Filters = filters, .HomeTeam = home, .AwayTeam = away,
                         .SingleGame = singleGame});
}

void EngineTest::BackTest(bool sortByWin)
{
    Formula& f = App().CurrentFormula;
    FormulaHighEnds high{};
    for (int k = 0; k < RangeSlots; ++k)
        high[static_cast<std::size_t>(k)] = f[static_cast<std::size_t>(k)];
    engine.TestFormulas({.Low = f, .High = high, .Filters = filters, .PlayedGamesOnly = true, .SortByWin = sortByWin});
}

std::string Cell(const WeeklyTableArray& table, int row, int column)
{
    const WeeklyCell& cell = table[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
    if (IsEmptyCell(cell))
        return "<empty>";
    return CellText(cell);
}

} // namespace vexal::test
