#pragma once
// FORM6, the Statistics window: the week's matchup sheet (raw, projected or letter grades),
// the league ranking of one statistic, one team's averages or totals and box scores, all in
// the grid grdStats under the heading lblHeading, with printing and HTML export of the grid.
// Every statistic comes from its engine control through the Stats event.
#include "PopupMenu.h"
#include "StatSheet.h"
#include "ProgramEngineHost.h"
#include "TSPredict.h"

#include <QFont>
#include <QWidget>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;

namespace vexal {

class Grid;
class cResizer;

class StatsWindow : public QWidget {
    Q_OBJECT
public:
    explicit StatsWindow(QWidget* owner = nullptr);
    ~StatsWindow() override;

    Q_INVOKABLE void Form_Load();
    // The window became the active view: the menus of teams and the weekly sheet again.
    void Form_Activate();

    // Members of the window.
    int16_t StatCode = 0;
    int16_t SheetGame = 0;
    int16_t GridTeam = 0;
    int16_t MenuTeam = 0;
    bool AveragesMode = false;
    bool WeekMenuUp = false;

    // Views.
    void RefreshStats();
    void RankStat();
    void CalcTeamStats(int16_t team);
    void ShowBoxScores(int16_t week, int16_t team, int16_t opponent);
    void LoadTeamTree();

    // Handlers (public so that the window's commands can be driven as a user would).
    void TSPredict1_Stats(stats::Totals& teamTotals, stats::Totals& oppTotals, stats::Averages& teamAverages,
                          stats::Averages& oppAverages);
    void StatItem_Click(int16_t code);
    void grdStats_ColumnClick(int column);
    void grdStats_RowChosen(int row);
    void TAS_Click();
    void TTS_Click();
    void BXST_Click();
    void BXSW_Click();
    void WK02_Click(int index);
    void LETTS_Click();
    void NUMS_Click();
    void print_Click();
    void Html_Click();
    void Help_Click();

    Grid* grdStats() const { return grdStats_; }
    Grid* grdInvisible() const { return grdInvisible_; }
    // The clubs of the last league ranking, in the order they were asked for, with the
    // figures the engine gave them.
    const std::vector<stats::RankEntry>& RankEntries() const { return rankEntries_; }
    QLabel* lblHeading() const { return lblHeading_; }
    TSPredict& TSPredict1() { return engine_; }
    PopupMenu& cPop() { return cPop_; }
    QAction* MenuItem(const std::string& name) const;

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildControls();
    void BuildMenus();
    QAction* AddItem(QMenu* menu, const char* name, const char* caption);
    void WatchFrameActivation();
    void SetupStatsColumns();
    void CalcWeekStats();
    void ShowStatsRaw(const stats::Averages& teamAverages, const stats::Averages& oppAverages);
    void ShowStatsProjected(const stats::Averages& teamAverages, const stats::Averages& oppAverages);
    void ShowStatsGrades(const stats::Averages& teamAverages, const stats::Averages& oppAverages);
    void ShowTeamTable(const std::array<stats::TeamTableRow, 8>& rows, bool averages);
    void AddRankRow(int team);
    void ChooseTeamThenShow(bool averages);
    void AddBoxRows(const stats::BoxGame& game, int32_t back, bool weekRow);
    void ShowBoxScoreColors();
    int32_t SheetCellBack() const;
    std::string WeekItem(int index) const;
    std::string TeamNameOf(int code) const;
    double WindowWidthTwips() const;
    int CentredLeft(double gridTwips) const;

    QMenuBar* menuBar_ = nullptr;
    QLabel* lblHeading_ = nullptr;
    Grid* grdStats_ = nullptr;
    Grid* grdInvisible_ = nullptr;
    QPushButton* refreshButton_ = nullptr;
    QMenu* weekMenu_ = nullptr;
    std::map<std::string, QAction*> items_;
    std::vector<stats::RankEntry> rankEntries_;   // the clubs of the ranking being collected
    TSPredict engine_{ProgramEngineHost()};
    PopupMenu cPop_;
    cResizer* resize_ = nullptr;
    // The grid's own face, before any fitting to a small window made it smaller.
    QFont gridFace_;
    // After a resize or a fill: every column whole (the text smaller in a small window) and
    // as many rows as the window has room for.
    void FitGridToWindow();
    void ShowHeading(const QString& text);
    bool loaded_ = false;
    bool frameWatched_ = false;
    bool activatedOnce_ = false;
    bool otherViewActive_ = false;
    bool building_ = false;
    bool teamTableShown_ = false;   // the Stats event of the team request built its table
    // Where each game of the box scores shown starts (its week row, if any, then its two
    // team rows), so that a theme change colours the games as a new fill would.
    struct BoxGameRows {
        int firstRow = 0;
        bool weekRow = false;
    };
    std::vector<BoxGameRows> boxGames_;
};

} // namespace vexal
