#pragma once
// The formula editor (WindowName::FormulaEditor): its controls are the live current formula (ReadFormula
// rebuilds CurrentFormula from them before every refresh), and it keeps the formula files
// of the program folder and the number of seasons loaded at start-up.
//
// Controls carry their names as objectNames; the text-box array txtFla(0..8) is named
// "txtFla_0" .. "txtFla_8". Check boxes hold 0 (unchecked), 1 (checked) or 2 (grayed,
// Qt::PartiallyChecked); a click by the user only ever ticks or unticks. Setting a check
// box or a list's position from code runs that control's click handling when the value
// changes, as the rest of the program relies on.
#include "CurrentFormula.h"

#include <QWidget>

#include <array>
#include <string>
#include <utility>
#include <vector>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace vexal {

class FormulaEditor : public QWidget {
    Q_OBJECT
public:
    explicit FormulaEditor(QWidget* owner = nullptr);
    ~FormulaEditor() override;

    // The loaded editor (also while it is being loaded), or nullptr.
    static FormulaEditor* Instance();
    // The editor, loaded hidden through the window registry when it is not loaded yet.
    static FormulaEditor* Get();

    // Rebuilds Combo2 from the program folder and selects the remembered name (else the
    // first one), which opens it.
    void RefreshFileList();
    // Shows CurrentFormula in the controls without asking for a refresh.
    void LoadFormula();
    // Lists a newly written formula file: reads File1 again and adds the name to Combo2 (once,
    // letter case ignored) without choosing it; returns its position in Combo2.
    int AddFormulaName(const std::string& name);
    // The controls as ReadFormula reads them (the week selector is not the editor's).
    FormulaControls Controls() const;
    // The chosen formula's name as Combo2 shows it.
    std::string FormulaName() const;
    // The program folder's formula files as File1 lists them, File1 read again first.
    std::vector<std::string> FormulaFiles();
    // Lists the folder's formula files again (File1 only) and the saved name in Combo2,
    // without opening another formula.
    void ListSavedFormula(const std::string& name);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The controls, by what they hold; ConnectHandlers wires their click handling.
    void BuildControls();
    QGridLayout* BuildValueBoxes();
    void BuildFileControls();
    QGroupBox* BuildPredictOnlyFrame();
    QGroupBox* BuildDatabaseFrame();
    QGroupBox* BuildOptionsFrame();
    void ConnectHandlers();
    void FormLoad();

    // Formula files.
    void OpenFormula();
    void SaveFormula();
    void DeleteFormula();
    void RereadFileList();

    // Option handlers.
    void chkHome_Click();
    void chkAway_Click();
    void chkFav_Click();
    void chkDog_Click();
    void chkOver_Click();
    void chkUnder_Click();
    void chkLines_Click();
    void STD_Click();
    void Combo1_Click();
    void SimpleCheck_Click(QCheckBox* box, int slot);
    void LineEnd_Click();
    void chkExcludeBestWorst_Click();
    // byClick: the focus moved because of a mouse press.
    void txtFla_LostFocus(int index, bool byClick = false);
    void txtYears_LostFocus();

    void FillLineLists();
    // A slot the handlers write: CurrentFormula, or a scratch copy while a run is going,
    // so that a run reading the formula in place is not changed under it.
    float& Slot(int slot);
    // The refresh rule of the option handlers: only the handler the user (or a caller)
    // started refreshes, once, and none while SuppressRefresh is set.
    void RequestRefresh(bool refreshAll);
    friend class HandlerScope;

    std::array<QLineEdit*, 9> txtFla_{};
    QGroupBox* fraFormula_ = nullptr;
    QComboBox* formulaNames_ = nullptr;
    QPushButton* cmdSave_ = nullptr;
    QPushButton* cmdDelete_ = nullptr;
    QCheckBox* chkExcludeBestWorst_ = nullptr;
    QListWidget* formulaFiles_ = nullptr;
    QComboBox* rollingWeeks_ = nullptr;
    QCheckBox* STD_ = nullptr;
    QCheckBox* SHA_ = nullptr;
    QCheckBox* DHL_ = nullptr;
    // The plain switches (SHA, DHL and the Options frame's) with the slot each one sets.
    std::vector<std::pair<QCheckBox*, FormulaSlot>> switches_;
    QLineEdit* txtYears_ = nullptr;
    QString yearsInFile_;   // the seasons to load as shown at load or last written
    QCheckBox* chkLines_ = nullptr;
    QComboBox* cboLinesStart_ = nullptr;
    QComboBox* cboLinesEnd_ = nullptr;
    QCheckBox* chkHome_ = nullptr;
    QCheckBox* chkAway_ = nullptr;
    QCheckBox* chkFav_ = nullptr;
    QCheckBox* chkDog_ = nullptr;
    QCheckBox* chkOver_ = nullptr;
    QCheckBox* chkUnder_ = nullptr;

    int handlerDepth_ = 0;
    bool formulaOpenedByChange_ = false;   // a position change already opened the chosen formula
    Formula scratch_{};
};

} // namespace vexal
