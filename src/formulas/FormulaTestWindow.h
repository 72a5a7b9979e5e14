#pragma once
// frmTest, the Test Formula window: back-tests ranges of formula values over chosen weeks
// with its engine control, shows the best and worst formula found and the best formula's
// weekly breakdown, saves them as formula files, keeps test templates (.ftp), prints a
// summary and runs the All Formula Report over the formula editor's list.
//
// Control arrays carry their index in the objectName: "Text1_1".."Text1_9", "Text2_1"..,
// "txtrola_0", "best_0".."best_12", "worst_0".., "txtBest_0".., "picTab_0".., "lblAnd_0"..
// Check boxes hold 0, 1 or 2 (grayed); setting one or a list's position from code runs that
// control's click handling when the value changes, as the window's refresh relies on.
#include "Preferences.h"
#include "FormulaTestCore.h"
#include "ProgramEngineHost.h"
#include "TSPredict.h"

#include <QColor>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QTimer>
#include <QWidget>

#include <array>
#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QAbstractButton;
class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenuBar;
class QPushButton;
class QRadioButton;
class QTabBar;
class QTextEdit;

namespace vexal {

class ProgBar;
class cResizer;

class FormulaTestWindow : public QWidget {
    Q_OBJECT
public:
    explicit FormulaTestWindow(QWidget* owner = nullptr);
    ~FormulaTestWindow() override;

    // The open and save dialogs of the template commands: the chosen path, or nothing on
    // Cancel. The program shows the system's dialogs; tests install an answer.
    using FileDialog = std::function<std::optional<std::string>(bool save, const std::string& title,
                                                                const std::string& proposed)>;
    static void SetFileDialog(FileDialog dialog);

    Q_INVOKABLE void Form_Load();
    // The hidden refresh button's click: the current formula as a one-point test range.
    void Command1_Click();
    void Tab1_Click(int tab);

    // The run.
    void cmdStart_Click();
    void cmdStop_Click();
    void m_Timer_ThatTime();
    void BeginTestMode();
    void EndTestMode();
    void TSPredict1_Progress(TSPredict::FormulaRow& best, TSPredict::FormulaRow& worst, std::string& percentDone,
                             std::string& breakdown);
    void TSPredict1_Done();
    // True from the launch to the engine's return (and through an All Formula Report).
    bool Running() const { return running_; }
    // True between Start and the timer's tick that launches the run.
    bool Armed() const { return m_Timer.isActive(); }

    // Sides/totals and the line range.
    void cmdOU_Click();
    void ShowLineRange();
    void FillTeamLists();
    // False (and the formula unchanged) when an "ABS" text leaves no number.
    bool ReadLineRange();

    // Templates, results, log, breakdown, printout, All Formula Report.
    void mnuSTT_Click();
    void mnuLTT_Click();
    void cmdBest_Click();
    void cmdWorst_Click();
    void cmdLog_Click();
    void vbaRE_SaveAndOpen();
    void Print_Click();
    void cmdAllForm_Click();
    void Help_Click();

    TSPredict& TSPredict1() { return engine_; }
    formulatest::FormulaHighArray FormulaHigh{};
    // True while an All Formula Report tests one of its formulas.
    bool AllFormulaRunning() const { return allFormula_ && allFormula_->Testing(); }
    int ListSeasonIndex = -1;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A document the window writes for the viewer (the breakdown, the All Formula Report)
    // that could not be written: the window's message, then the file and the cause it met.
    static void DocumentNotWritten(const std::filesystem::path& path, const std::string& problem);

    void BuildControls();
    void BuildMenus();
    // The theme's text colour as the breakdown shows it: on the breakdown's page, readable.
    QColor BreakdownTextColor();
    QWidget* BuildOptionsPane(QWidget* client);
    QWidget* BuildSavePane(QWidget* client);
    QWidget* BuildBestWorstPane(QWidget* client);
    // The design: each control's rectangle in twips on a client area of DesignClient.
    static constexpr QSize DesignClient{9420, 4485};
    void At(QWidget* w, int left, int top, int width, int height);
    void PlaceControls(double scaleX, double scaleY);
    void TakeButtonPictures();
    void SetOpeningSize();
    void AddLayoutRules();
    void ShowCommandsAvailable(bool available);
    void Form_Resize();

    // Refresh and options.
    void FillSeasonLists();
    void SetRangeBoxes();
    void CboWeek_Click();
    void cboTeaser_Click();
    void chkCliffAdjust_Click();
    void FrameCheck_Click(QCheckBox* box, QGroupBox* frame, QComboBox* a, QComboBox* b);
    void Partner_Click(QCheckBox* box, QCheckBox* partner);
    void SettingCheck_Click(QCheckBox* box, const CheckSetting& key);
    void RangeBox_LostFocus(QLineEdit* box);

    formulatest::LaunchSettings ReadLaunchSettings() const;
    std::vector<std::string> TemplateFields() const;
    bool ApplyTemplateField(int field, const std::string& piece);
    void SaveRow(bool best);
    formulatest::SummaryTexts ReadSummaryTexts() const;

    TSPredict engine_{ProgramEngineHost()};
    QTimer m_Timer;
    QMenuBar* menuBar_ = nullptr;
    QAction* mnuLTT_ = nullptr;
    QAction* mnuPrint_ = nullptr;
    std::vector<QPointer<QWidget>> heldBack_;   // run commands disabled while other work yields
    QWidget* body_ = nullptr;
    std::vector<std::pair<QPointer<QWidget>, QRect>> design_;
    cResizer* resize_ = nullptr;
    QTabBar* tabs_ = nullptr;
    std::array<QWidget*, 3> picTab_{};
    QTextEdit* vbaRE_ = nullptr;
    std::array<QLineEdit*, 10> lowBoxes_{};
    std::array<QLineEdit*, 10> highBoxes_{};
    std::array<QLineEdit*, 2> txtrola_{};
    QLabel* lblRankOn_ = nullptr;
    QRadioButton* SortByW_ = nullptr;
    QRadioButton* sortbyu_ = nullptr;
    std::array<QLineEdit*, 3> txtBest_{};
    QComboBox* CboStartWeek_ = nullptr;
    QComboBox* CboEndWeek_ = nullptr;
    QPushButton* cmdStart_ = nullptr;
    QPushButton* cmdStop_ = nullptr;
    QPushButton* cmdOtherFac_ = nullptr;
    QPushButton* cmdOU_ = nullptr;
    QPushButton* cmdAllForm_ = nullptr;
    QPushButton* refreshButton_ = nullptr;
    QCheckBox* chkCliffAdjust_ = nullptr;
    ProgBar* runProgress_ = nullptr;
    QCheckBox* chkDog_ = nullptr;
    QCheckBox* chkFav_ = nullptr;
    QCheckBox* chkHome_ = nullptr;
    QCheckBox* chkAway_ = nullptr;
    QCheckBox* chkFast_ = nullptr;
    QCheckBox* chkLinear_ = nullptr;
    QCheckBox* chkLines_ = nullptr;
    QGroupBox* fraLines_ = nullptr;
    QComboBox* cboLinesStart_ = nullptr;
    QComboBox* cboLinesEnd_ = nullptr;
    QCheckBox* chkLimitWeek_ = nullptr;
    QGroupBox* fraLimitWeeks_ = nullptr;
    QComboBox* cboLimitStart_ = nullptr;
    QComboBox* cboLimitEnd_ = nullptr;
    QCheckBox* chkSingle_ = nullptr;
    QGroupBox* fraSingleGame_ = nullptr;
    QComboBox* homeTeam_ = nullptr;
    QComboBox* awayTeam_ = nullptr;
    QCheckBox* chkMoneyLine_ = nullptr;
    QCheckBox* chkUsePowerRatings_ = nullptr;
    QCheckBox* chkDonTUseLine_ = nullptr;
    QCheckBox* chkSeparateHomeAway_ = nullptr;
    QCheckBox* chkDiscardHighLow_ = nullptr;
    QComboBox* cboTeaser_ = nullptr;
    QCheckBox* ChkSaveFormulas_ = nullptr;
    QLineEdit* txtUnitLower_ = nullptr;
    QLineEdit* txtUnitUpper_ = nullptr;
    QLineEdit* txtPercentLower_ = nullptr;
    QLineEdit* txtPercentUpper_ = nullptr;
    QLineEdit* txtMin_ = nullptr;
    QPushButton* cmdLog_ = nullptr;
    std::array<QLineEdit*, 13> best_{};
    std::array<QLineEdit*, 13> worst_{};
    QPushButton* cmdBest_ = nullptr;
    QPushButton* cmdWorst_ = nullptr;

    bool loaded_ = false;
    bool running_ = false;
    // The progress of a launched run is shown by time, not by event: the boxes, the bar and the
    // yield to the message loop at most every ProgressInterval, the first and the final report
    // and a change of the stop request at once, and whatever was last reported when the engine
    // returns. Every event is still taken in order; only the painting waits.
    void ShowPendingProgress();
    bool progressByTime_ = false;
    bool progressPending_ = false;
    bool progressShownOnce_ = false;
    bool progressShownStop_ = false;
    bool yieldDue_ = false;
    std::chrono::steady_clock::time_point progressShownAt_{};
    TSPredict::FormulaRow pendingBest_{};
    TSPredict::FormulaRow pendingWorst_{};
    std::string pendingPercent_;
    std::string pendingBreakdown_;
    // A stop asked for during this run: the engine clears StopTest when it obeys, and the
    // All Formula Report must still end before its next formula.
    bool stopRequested_ = false;
    std::string savedName_;          // the name last typed into the save box
    std::optional<formulatest::AllFormulaRun> allFormula_;   // the All Formula Report under way
};

// Registers "frmTest" as a child view.
void RegisterFormulaTestWindow();

} // namespace vexal
