#pragma once
// Power, the Power Ratings / Strength of Schedule window: every team's power ratings and
// strengths of schedule up to the current week, as the engine computes them, in a sortable
// grid, and one team's weekly ratings as a chart over the grid.
#include "ProgramEngineHost.h"
#include "TSPredict.h"

#include <QWidget>

#include <cstdint>

class QAction;
class QPushButton;

namespace vexal {

class Chart;
class Grid;

class PowerWindow : public QWidget {
    Q_OBJECT
public:
    explicit PowerWindow(QWidget* owner = nullptr);
    ~PowerWindow() override;

    // Builds the table anew: also the refresh (Command1).
    Q_INVOKABLE void Form_Load();
    // The engine's PowerRating event: the table, or the chart of SelectedTeam.
    void ShowPowerRatings(TSPredict::PowerTableArray& ratings, TSPredict::PerformanceArray& offense,
                          TSPredict::PerformanceArray& defense, TSPredict::OpponentTableArray& opponents);
    void Grid1_ColumnClick(int col);
    void Grid1_CellChosen(int row);

    void mnuBar_Click();
    void mnuLine_Click();
    void mnuPoint_Click();
    void HTML_Click();
    void HTMLP_Click();
    void Print_Click();

    int16_t SelectedTeam = 0;
    Grid* Grid1() const { return ratingsGrid_; }
    Chart* Graph1() const { return ratingsChart_; }
    TSPredict& TSPredict1() { return engine_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The table's grid: its columns as wide as their texts, all 32 teams when the window has
    // the room (16 at least), centred in the window.
    void FitGridToWindow();
    void SetGraphStyle(QAction* entry, int32_t type, int16_t drawWidth);

    Grid* ratingsGrid_ = nullptr;
    Chart* ratingsChart_ = nullptr;
    QPushButton* refreshButton_ = nullptr;
    QAction* mnuLine_ = nullptr;
    QAction* mnuBar_ = nullptr;
    QAction* mnuPoint_ = nullptr;
    QWidget* body_ = nullptr;
    TSPredict engine_{ProgramEngineHost()};
    int gridWidthPixels_ = 0;
    bool styleRead_ = false;     // the saved chart style has set the checks
};

} // namespace vexal
