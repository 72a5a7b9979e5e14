#pragma once
// FORM1, the Standings window: division standings with straight-up and against-the-spread
// records up to the chosen week under the game filters, one team's schedule over every
// loaded season, and a team's points for and against as a chart. Carries the application
// menu.
#include "StandingsCalc.h"

#include <QWidget>

#include <cstdint>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QMenuBar;
class QPushButton;

namespace vexal {

class Chart;
class Grid;
class cResizer;

class StandingsWindow : public QWidget {
    Q_OBJECT
public:
    explicit StandingsWindow(QWidget* owner = nullptr);
    ~StandingsWindow() override;

    Q_INVOKABLE void Form_Load();
    void Form_Activate();

    // The standings computations, before 2002 and from 2002 on, and the refresh.
    void wl();
    void wl2002();
    void RefreshStandings();
    void SetupStandingsGrid();
    void SetupStandingsGrid2002();
    float TeaserPoints() const;

    // Schedule and points chart.
    void ShowTeamSchedule();
    // Fits the schedule's text and rows to its view, the text in face at most.
    void FitSchedule(const QFont& face);
    // Fits the grids' columns and text to the view they have now, in the face the resize rules set.
    void FitGridsToView();
    void grdTeam_CellChosen(int row, int col);
    void grdSched_CellChosen(int row, int col);
    void grdSched_ColumnClick(int col);
    void grdSched_MouseDown(int button);
    void GraphPointsForAgainst(int16_t team);

    // Menu commands.
    void mnuBar_Click();
    void mnuLine_Click();
    void mnuPoint_Click();
    void mnuStacked_Click();
    void mnuExport_Click();
    void mnuHTMLPrint_Click();
    void mnuPrint_Click();

    const standings::GameFilters& Filters() const { return filters_; }
    int16_t ScheduleTeam = 0;
    int16_t ScheduleOpponent = 0;

    Grid* grdTeam() const { return grdTeam_; }
    Grid* grdSched() const { return grdSched_; }
    Chart* Graph1() const { return pointsChart_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    enum class Showing { Chart, Standings, Schedule };
    Showing WhatIsShowing() const;
    void Compute(bool from2002);
    void LayOut(bool from2002);
    void SetGraphStyle(QAction* entry, int16_t drawWidth, int32_t type);
    std::string ScheduleTitle() const;
    void WatchFrameActivation();
    void chkFavorite_Click();
    void chkDog_Click();

    QWidget* body_ = nullptr;
    QMenuBar* menuBar_ = nullptr;
    QCheckBox* chkFavorite_ = nullptr;
    QCheckBox* chkDog_ = nullptr;
    QComboBox* cboSi_ = nullptr;
    QCheckBox* allgames_ = nullptr;
    QPushButton* cmdUpdate_ = nullptr;
    Grid* grdTeam_ = nullptr;
    Grid* grdSched_ = nullptr;
    Chart* pointsChart_ = nullptr;
    QAction* mnuLine_ = nullptr;
    QAction* mnuBar_ = nullptr;
    QAction* mnuStacked_ = nullptr;
    QAction* mnuPoint_ = nullptr;
    cResizer* resize_ = nullptr;
    standings::GameFilters filters_;
    std::vector<standings::StandingsRow> rows_;        // the team rows the standings grid shows
    std::vector<standings::ScheduleGame> schedule_;    // the games of the schedule grid, by row key
    int16_t shownTeam_ = 0;     // the team whose schedule the schedule grid holds
    bool loaded_ = false;
    bool frameWatched_ = false;
};

} // namespace vexal
