#pragma once
// lines, the Enter Lines window: the chosen week's spreads and totals in a grid, edited in
// place and written at once into the season file or the chosen line file and into
// SeasonLines; the line-file list with its New and Delete commands; print and HTML export.
#include "LineFiles.h"

#include <QString>
#include <QWidget>

#include <filesystem>
#include <memory>
#include <utility>
#include <vector>
#include <string>

class QAction;
class QComboBox;
class QLineEdit;
class QListWidget;
class QMenuBar;
class QPushButton;

namespace vexal {

class Grid;
class Notice;
class cResizer;

class LinesWindow : public QWidget {
    Q_OBJECT
public:
    explicit LinesWindow(QWidget* owner = nullptr);
    ~LinesWindow() override;

    Q_INVOKABLE void Form_Load();
    void Form_Activate();

    void LoadLines();
    void SaveLines();
    // False when the file could not be made (said in a message), so nothing in the folder changed.
    bool MakeLineFile();
    void RefreshFileList();
    void DeleteLineFile();

    Grid* grid() const { return linesGrid_; }
    QLineEdit* editor() const { return txtEdit_; }
    // "Vexal Lines for " and the chosen week's item.
    std::string OutputCaption() const;

    void mnuPrint_Click();
    void mnuHTMLP_Click();
    void mnuExport_Click();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void BuildControls();
    void BuildMenus();
    void resize_AfterResizing();
    void FitGridFont();
    void HoldGridRows();
    void WatchFrameActivation();
    void ShowNotice(const std::string& text, const std::string& title);

    void cboLines_Click();
    void cmdAddNewLines_Click();
    void cmdDelete_Click();
    void Grid1_RequestEdit(int row, int col, int keyAscii, bool& cancel);
    void Grid1_SelectionChange(int row, int col);
    void CommitEdit();
    // The editor's text as a commit takes it: the key that started the edit alone while the old
    // value still stands selected behind it as the edit began.
    std::string TextToCommit(int col) const;

    // The file the lines are in use from, decided as the load and the save decide it.
    struct LineSource {
        std::filesystem::path file;
        bool lineFile = false;
        int weekSeason = 0;
        int week = 0;
    };
    bool ChooseSource(LineSource& source, bool checkExists, bool& fellBack) const;
    // The week the grid shows, as the last load read it: saves go into these records of
    // this file, whatever another window did to the shared week bounds since.
    LineSource shownSource_;
    int32_t shownFirstRecord_ = 0;
    int shownSlot_ = -1;
    std::vector<WeekLine> storedLines_;   // per row: its game, spread and total as in the file

    Grid* linesGrid_ = nullptr;
    QWidget* body_ = nullptr;
    QMenuBar* menuBar_ = nullptr;
    QComboBox* cboLines_ = nullptr;
    QPushButton* cmdAddNewLines_ = nullptr;
    QPushButton* cmdDelete_ = nullptr;
    QPushButton* refreshButton_ = nullptr;
    QLineEdit* txtEdit_ = nullptr;
    QListWidget* flLines_ = nullptr;
    cResizer* resize_ = nullptr;
    std::unique_ptr<Notice> notice_;
    std::string rememberedName_;
    bool loaded_ = false;
    bool frameWatched_ = false;
    bool editing_ = false;
    QString startKey_;      // the key that started the edit (empty for F2, Enter or a click)
    QString startText_;     // the value shown when the edit began
    bool committing_ = false;
    bool refreshing_ = false;
};

} // namespace vexal
