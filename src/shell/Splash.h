#pragma once
// The splash window `opening`: the product's logo and version, shown while the main window
// loads the seasons (its progress bar is the loader's progress display); it also serves as
// the About window. A click on its progress bar closes it; otherwise it closes when the start
// it began has ended (or a season load closes it), at the latest 30 s after it opened.
#include <QWidget>

#include <memory>
#include <string>

class QLabel;
class QTimer;

namespace vexal {

class ProgBar;
class cBackGround;

class Splash : public QWidget {
    Q_OBJECT
public:
    explicit Splash(QWidget* parent = nullptr);
    ~Splash() override;

    ProgBar* ProgBar1() const { return loadProgress_; }
    QLabel* lblResources() const { return lblResources_; }
    QTimer* Timer1() const { return loadMainTimer_; }
    QTimer* Timer2() const { return closeTimer_; }

    // The loader's progress: the bar's value (percent) and caption.
    void SetProgress(int value, const std::string& caption);

    Q_INVOKABLE void Form_Load();
    void Timer1_Timer();
    void Timer2_Timer();
    void ProgBar1_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QLabel* imgLogo_ = nullptr;
    QLabel* lblNotice_ = nullptr;
    QLabel* lblResources_ = nullptr;
    ProgBar* loadProgress_ = nullptr;
    QTimer* loadMainTimer_ = nullptr;
    QTimer* closeTimer_ = nullptr;
    std::unique_ptr<cBackGround> background_;
};

// "Build " and the program's major.minor.revision.
std::string BuildCaption();

// Registers the splash ("opening") and the main window ("Main").
void RegisterShellWindows();
// Starts the program in the running application: the splash first, which loads the main
// window 100 ms later.
void StartVexal();
// The splash as About window (the Standings window's "&About").
void ShowSplashAsAbout();

} // namespace vexal
