#pragma once
// FORM2, the Input Stats window: one game of the chosen week (date, teams, surface, spread,
// total, scores and both box scores) in 39 text boxes and three lists, every field written
// into the season file (or the line file in use) and the loaded arrays when it is left.
#include "GameForm.h"

#include <QString>
#include <QWidget>

#include <array>
#include <filesystem>

class QComboBox;
class QLineEdit;
class QMenuBar;
class QPushButton;

namespace vexal {

class cResizer;

class InputStatsWindow : public QWidget {
    Q_OBJECT
public:
    explicit InputStatsWindow(QWidget* owner = nullptr);
    ~InputStatsWindow() override;

    Q_INVOKABLE void Form_Load();

    void ShowGame();
    void SaveGame();
    void FillTeamCombos();
    void ResetGameForm();

    QLineEdit* txtData(int index) const { return txtData_[static_cast<std::size_t>(index)]; }
    // Number of games of the chosen week found by the last reset.
    int WeekGames() const { return weekGames_; }
    // The season file of the game on show.
    std::filesystem::path SeasonFile() const { return seasonFile_; }

    void mnuPrint_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    void BuildMenus();
    void Navigate(int which);
    bool GameOnShow() const;
    // The texts of the controls as they stand, and as the game on show last put them, with
    // the entries chosen in the team lists.
    std::array<QString, GameTextCount + 5> ControlTexts() const;
    void PutTexts(const GameRecord& game, double line, double total);
    // The week again as the season file (and the line file in use) now hold it, arrays and boxes.
    void ShowWeekAsStored();
    // The season of the chosen week and its week number; false when no loaded season holds it.
    bool ChosenWeek(int& season, int& week) const;

    QWidget* body_ = nullptr;
    QMenuBar* menuBar_ = nullptr;
    std::array<QPushButton*, 4> nav_{};   // first, previous, next, last
    QComboBox* cboAway_ = nullptr;
    QComboBox* cboHome_ = nullptr;
    QComboBox* cboSurface_ = nullptr;
    std::array<QLineEdit*, GameTextCount> txtData_{};
    QPushButton* showGameButton_ = nullptr;
    QPushButton* refreshButton_ = nullptr;
    cResizer* resize_ = nullptr;
    std::filesystem::path seasonFile_;
    // The game on show, as read or last written: the window saves into this game whatever
    // another window did to the shared game cursor and week bounds since.
    struct Shown {
        int32_t record = 0;            // 0: no game on show
        int slot = -1;                 // its week slot and game slot in the loaded arrays
        int game = -1;
        bool seasonLines = true;       // spread and total from the season record, else the line file
        std::filesystem::path lineFile;
        GameRecord stored;             // its record as read or last written
        double line = 0;
        double total = 0;
        std::array<QString, GameTextCount + 5> texts;
    } shown_;
    int weekGames_ = 0;
    bool loaded_ = false;
    bool showing_ = false;
    bool saving_ = false;
};

} // namespace vexal
