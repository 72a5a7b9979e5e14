#pragma once
// PREDICT, the Predictions window: one row per game of the chosen week, predicted with the
// current formula by its engine control, with the line file, teaser, totals, other-factor
// and pool-pick options around the grid, printing and HTML export of the grid, and the report
// menu of the consensus button. "Smart Predict" runs each game with its own searched formula.
#include "PopupMenu.h"
#include "ProgramEngineHost.h"
#include "SeasonData.h"
#include "TSPredict.h"

#include <QFont>
#include <QWidget>

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QMenuBar;
class QPushButton;

namespace vexal {

class Grid;
class Notice;
class ProgBar;
class cResizer;

class PredictWindow : public QWidget {
    Q_OBJECT
public:
    explicit PredictWindow(QWidget* owner = nullptr);
    ~PredictWindow() override;

    // The load handler: settings, default.fla when no formula is read yet, the grid's
    // columns, the consensus folders and the line-file list (whose choice runs Predict).
    Q_INVOKABLE void Form_Load();
    // The window became the active view: predicts again and rebuilds the popup menu.
    void Form_Activate();

    // Predicts the current week with the current formula into the grid.
    void Predict();
    // The engine's Weekly event: grid rows, or the consensus picks or range limits of a report run.
    void ShowPredictionRow(WeeklyTableArray& table);
    // Fills the Pool column and sorts the grid by it, largest first (with Pool Picks on).
    void CalcPoolPicks();

    // Members the report runs share with the week prediction.
    int16_t WeeklyStartGame = 0;
    bool ConsensusMode = false;
    bool RangeMode = false;
    std::array<std::string, WeeklyRows> ConsensusPicks;
    std::array<std::array<float, WeeklyRows>, 6> RangeLimits{};   // [item 0..5][weekly table row]
    bool SmartRun = false;
    std::string SmartFormulaName;
    int16_t ReportRow = 0;

    Grid* grid() const { return Grid_; }
    TSPredict& TSPredict1() { return engine_; }
    ProgBar* progBar() const { return ProgBar_; }
    PopupMenu& cPop() { return cPop_; }
    // True while the engine call of a prediction runs (and yields to the message loop).
    bool Running() const { return running_; }

    // The window's boxes as the runs read them: 0, 1, or 2 when greyed.
    int TotalsBox() const;
    int OtherFactorsBox() const;
    int PoolPicksBox() const;
    // The check mark of "Save &Formulas".
    bool SaveFormulasChecked() const;
    // The consensus set as its folder holds it when a report runs: the consensus file list is
    // read again (files copied in or removed since it was shown), then its names in list order.
    std::vector<std::string> ConsensusFileNames();
    // Reads both file lists again (the consensus list and the formula list).
    void RefreshFileLists();
    // The grid shows smart predictions: activating the window again keeps them; a refresh or
    // an option change predicts with the editor's formula again.
    void KeepSmartResults() { smartShown_ = true; }

    // The texts of the title lines: the week's item and the name of what made the grid's
    // numbers (the formula's name, or SmartFormulasName after smart predictions).
    static constexpr const char* SmartFormulasName = "smart formulas, one for each game";
    std::string WeekText() const;
    std::string FormulaName() const;

    // Menu commands.
    void mnuPrint_Click();
    void mnuHTMLPrint_Click();
    void mnuExportHTML_Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void BuildControls();
    void BuildMenus();
    void LayOut();
    void AddGridColumns();
    void FillLineFiles();
    void SetFileList(QListWidget* list, const std::string& folder, const std::string& pattern);
    void TakeButtonPictures();
    void CentreGridAndProgress();
    // Sizes the grid as at the window's default size: its share of the main window's width,
    // every column at least as wide as its text, every row shown that the window has room for.
    void FitGridToWindow();
    void WatchFrameActivation();

    // Handlers.
    void cmdpred_Click();
    void cboLines_Click();
    void cboTeaser_Click();
    void chkOtherFac_Click();
    void chkOu_Click();
    void chkPoolPicks_Click();
    void Grid_ColumnClick(int column);
    void CmdWeb_Click();
    void CmdClose_Click();
    void SUConsensus_Click();
    // Drops between the file lists: the program list's selection onto the consensus list adds
    // those formulas to the current set; the consensus list's onto the program list removes them.
    void File1_DragDrop(const QString& source);
    void File2_DragDrop(const QString& source);
    std::filesystem::path ConsensusFolder() const;
    void cmdConsensus_Click();
    void mnuExit_Click();
    void mnuHelp_Click();

    // True (and the handler queued) when an option is chosen while the engine call yields.
    bool DeferWhileRunning(void (PredictWindow::*handler)());
    // Grid mode of the Weekly handler.
    void ShowGridRows(const WeeklyTableArray& table);
    void ShowThemeColors();
    Grid* Grid_ = nullptr;
    QFont gridFace_;   // the grid's face as the window opened, before any fitting
    // The figures the pool picks rank each game of the grid by, by game slot; a slot the
    // last prediction did not fill holds none.
    struct PoolFigures {
        float line = 0, homePoints = 0, awayPoints = 0;
    };
    std::array<std::optional<PoolFigures>, GamesPerWeekSlot> poolFigures_{};
    TSPredict engine_{ProgramEngineHost()};
    QWidget* body_ = nullptr;
    QMenuBar* menuBar_ = nullptr;
    QPushButton* cmdpred_ = nullptr;
    QComboBox* cboTeaser_ = nullptr;
    QLabel* lblTeaser_ = nullptr;
    QComboBox* cboLines_ = nullptr;
    QLabel* lblLines_ = nullptr;
    QCheckBox* chkOu_ = nullptr;
    QCheckBox* chkOtherFac_ = nullptr;
    QCheckBox* chkPoolPicks_ = nullptr;
    QCheckBox* chkCliffAdjust_ = nullptr;
    QPushButton* cmdSmartPred_ = nullptr;
    QPushButton* cmdConsensus_ = nullptr;
    QPushButton* CmdWeb_ = nullptr;
    QGroupBox* fraFileBox_ = nullptr;
    QListWidget* consensusFiles_ = nullptr;
    QListWidget* formulaFiles_ = nullptr;
    QPushButton* CmdClose_ = nullptr;
    ProgBar* ProgBar_ = nullptr;
    QAction* mnuPrint_ = nullptr;
    QAction* mnuHTMLPrint_ = nullptr;
    QAction* mnuExportHTML_ = nullptr;
    QAction* mnuExit_ = nullptr;
    QAction* mnuSUConsensus_ = nullptr;
    QAction* mnuSaveFormulas_ = nullptr;
    QAction* mnuHelp_ = nullptr;
    PopupMenu cPop_;
    std::unique_ptr<Notice> notice_;
    cResizer* resize_ = nullptr;

    bool loaded_ = false;
    bool running_ = false;
    bool predictPending_ = false;
    bool frameWatched_ = false;
    bool smartShown_ = false;

    // What a prediction is made from, as far as the window and the formula editor hold it.
    struct PredictInputs {
        Formula formula{};
        std::optional<float> minDiff, maxDiff;
        std::optional<int> seasonToDate;
        int pool = 0, totals = 0, otherFactors = 0;
        std::string lines, teaser;
        bool operator==(const PredictInputs&) const = default;
    };
    PredictInputs CurrentInputs() const;
    // The load predicts the week as it fills its lists; the activation that shows the window
    // right after finds those predictions still standing unless something they were made from
    // changed in between.
    int predictionsMade_ = 0;
    std::optional<PredictInputs> loadPrediction_;
};

} // namespace vexal
