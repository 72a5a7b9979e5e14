#pragma once
// INJURIES, the Other Factors window: the four other factors (injuries, weather, situation,
// psychology) and the comment of one game of the chosen week at a time, each written into
// the season file (and the factors into SeasonGames) as soon as its control loses the focus.
#include "GameRecord.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <filesystem>

class QLabel;
class QLineEdit;
class QPushButton;

namespace vexal {

class cResizer;

class OtherFactorsWindow : public QWidget {
    Q_OBJECT
public:
    // Factors in the order the refresh presses them.
    enum Factor : int { Injuries = 0, Weather = 1, Situation = 2, Psychology = 3 };
    enum Side : int { Away = 0, Home = 1 };
    static constexpr int32_t PressedColor = 0x0000FF;    // red
    static constexpr int32_t ReleasedColor = 0xC00000;   // dark blue

    explicit OtherFactorsWindow(QWidget* owner = nullptr);
    ~OtherFactorsWindow() override;

    Q_INVOKABLE void Form_Load();
    // The refresh (Command1): scans the week and shows the current game.
    void LoadGameFactors();

    QPushButton* LevelButton(int factor, int side, int index) const { return buttons_[factor][side][index]; }
    bool Pressed(int factor, int side, int index) const;
    int16_t FactorValue(int factor) const { return values_[factor]; }
    // Number of games of the week scanned last.
    int WeekGames() const { return weekGames_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    void SetPressed(int factor, int side, int index, bool pressed);
    void ReleaseAll();
    void LevelButton_Click(int factor, int side, int index);
    void StoreFactor(int factor);
    // Shows a factor's stored level: its button pressed, every other one of the factor released.
    void ShowFactor(int factor, int16_t value);
    int16_t StoredFactor(int factor) const;
    void txtComment_GotFocus();
    void ShowStoredComment();
    void txtComment_LostFocus();
    void Navigate(int game);
    // The week again as the season file now holds it, in the arrays and on screen.
    void ShowWeekAsStored();
    void resize_BeforeResizing();
    // True when a game of the week is on show.
    bool GameOnShow() const;

    QWidget* body_ = nullptr;
    QPushButton* cmdFirst_ = nullptr;
    QPushButton* cmdPrev_ = nullptr;
    QPushButton* cmdNext_ = nullptr;
    QPushButton* cmdLast_ = nullptr;
    QPushButton* refreshButton_ = nullptr;
    QLabel* lblAway_ = nullptr;
    QLabel* lblHome_ = nullptr;
    QLineEdit* txtComment_ = nullptr;
    std::array<std::array<std::array<QPushButton*, 7>, 2>, 4> buttons_{};
    std::array<std::array<std::array<bool, 7>, 2>, 4> pressed_{};
    cResizer* resize_ = nullptr;

    std::array<int16_t, 4> values_{};
    GameRecord record_;
    std::filesystem::path fileName_;
    // The game on show: edits go into this record and game slot whatever another window did
    // to the shared game cursor and week bounds since it was read.
    int32_t shownRecord_ = 0;
    int shownSlot_ = -1;
    int shownGame_ = -1;
    // Levels clicked since the game was shown or the level last stored.
    std::array<bool, 4> factorEdited_{};
    int weekGames_ = 0;
    bool loaded_ = false;
};

} // namespace vexal
