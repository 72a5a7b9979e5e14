#pragma once
// The main window `Main`: the rebar with the season selector, the two toolbars and the week
// selector over the area that holds the views. Its toolbars open the views (one at a time),
// the formula editor and the modal tools; it starts the season load and ends the program.
#include "PopupMenu.h"

#include <QIcon>
#include <QList>
#include <QMainWindow>

#include <array>
#include <memory>
#include <string>

class QComboBox;
class QMdiArea;
class QToolBar;

namespace vexal {

class ReBar;
class ShellLoaderHost;

class Main : public QMainWindow {
    Q_OBJECT
public:
    explicit Main(QWidget* parent = nullptr);
    ~Main() override;

    // Controls other windows read.
    QComboBox* cboYears() const { return cboYears_; }
    QComboBox* cboWeek() const { return cboWeek_; }
    QWidget* picture1() const { return rebarHost_; }
    ReBar* cReBar1() const { return rebar_; }
    QToolBar* cToolbar1() const { return viewsToolbar_; }
    QToolBar* cToolbar2() const { return toolsToolbar_; }
    QMdiArea* MdiArea() const { return mdi_; }
    PopupMenu& cPop() { return cPop_; }

    // The background bitmap chosen at load (images/bground.bmp, or bground1.bmp on a screen
    // of 256 colours or fewer); its picture is picture1's.
    const std::string& BackgroundPicture() const { return backgroundPicture_; }
    QPixmap BackgroundPixmap() const;
    // The button images (imagelist2, 0..13) and the popup-menu icons (image1: a team's code,
    // 33 "AFC", 34 "NFC", 0 "Default").
    QIcon ButtonImage(int index) const;
    QIcon MenuIcon(int index) const;

    // Public procedures of the main window.
    int16_t GetYearsToLoad() const;
    void SetUpMenus();
    void ChangeFormulaName();
    void SetToolbarText();
    void ArrangeToolbars();
    // Shows or hides the captions of both toolbars and lays the rebar out again.
    void SetToolbarCaptions(bool shown);

    // Handlers, as the toolbars, the rebar and the selectors call them.
    void cToolbar1_ButtonClick(int index);
    void cToolbar2_ButtonClick(int index);
    void cReBar1_ChevronPushed(const QString& key, const QPoint& globalPos);
    void cboYears_Click();
    void cboWeek_Click();
    void picture1_Resize();
    // Opens a view and unloads every other window but the formula editor and this one.
    void SwitchView(const std::string& name);

    Q_INVOKABLE void Form_Load();

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Activate();
    void Form_Unload();
    void ShowThemeMenu();
    void ToggleNames(bool pressed);
    void ExitProgram();
    void ShowFormulaEditor();
    void ShowCommandsAvailable(bool available);
    QPoint ThemeMenuPosition() const;
    void BuildTeamList(int year);
    void ReleaseLoaderHost();

    QMdiArea* mdi_ = nullptr;
    QWidget* rebarHost_ = nullptr;
    ReBar* rebar_ = nullptr;
    QComboBox* cboYears_ = nullptr;
    QComboBox* cboWeek_ = nullptr;
    QToolBar* viewsToolbar_ = nullptr;
    QToolBar* toolsToolbar_ = nullptr;
    PopupMenu cPop_;
    std::string backgroundPicture_;
    int yearsIndex_ = -1;          // the season selector's position, to put back a refused choice
    bool unloaded_ = false;
    bool loaded_ = false;
    ShellLoaderHost* loaderHost_ = nullptr;
};

// The main window as its class, or nullptr.
Main* TheMain();

// Which part of a control shows the main window's background picture: a button's face, a
// check box's or label's background, or both (a graphical control that fills its rectangle).
enum class PictureOn { Button, Window, ButtonAndWindow };
// Gives these controls the main window's background picture, as the graphical buttons of the
// views take it; nothing when there is no main window or no picture.
void TakeMainPicture(const QList<QWidget*>& controls, PictureOn where);

} // namespace vexal
