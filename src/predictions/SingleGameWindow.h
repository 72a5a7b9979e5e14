#pragma once
// Singleg, the Single Game window: any two teams, a typed line and total, and the engine's
// prediction of that one game with the current formula, with the side and the total the
// formula would play marked in red.
#include "ProgramEngineHost.h"
#include "TSPredict.h"

#include "GuardedDialog.h"

#include <cstdint>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vexal {

class cBackGround;
class cResizer;

class SingleGameWindow : public GuardedDialog {
    Q_OBJECT
public:
    explicit SingleGameWindow(QWidget* owner = nullptr);
    ~SingleGameWindow() override;

    Q_INVOKABLE void Form_Load();
    void Form_Activate();

    // "Predict": the chosen matchup through the engine.
    void Command3d1_Click();
    // The engine's Weekly event: the points and the plays.
    void ShowResult(WeeklyTableArray& table);

    TSPredict& TSPredict1() { return engine_; }
    uint8_t HomeCode = 0;
    uint8_t AwayCode = 0;

    // Colours of the marks (Windows BGR values).
    static constexpr int32_t NeutralLabel = 0xC0C0C0;
    static constexpr int32_t NeutralTotal = 0xFFFFFF;
    static constexpr int32_t PlayMark = 0xFF;

protected:
    bool QueryClose() override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetBack(QWidget* w, int32_t color, bool textBox);

    QComboBox* homeTeam_ = nullptr;
    QComboBox* awayTeam_ = nullptr;
    QLineEdit* lineBox_ = nullptr;
    QLineEdit* totalBox_ = nullptr;
    QLabel* lblHome_ = nullptr;
    QLabel* lblAway_ = nullptr;
    QPushButton* predictButton_ = nullptr;
    QPushButton* exitButton_ = nullptr;
    TSPredict engine_{ProgramEngineHost()};
    cBackGround* background_ = nullptr;
    cResizer* resize_ = nullptr;
    bool captionsAdded_ = false;
    bool running_ = false;
};

} // namespace vexal
