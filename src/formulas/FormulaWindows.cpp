#include "FormulaWindows.h"

#include "FormulaEditor.h"

#include "AppState.h"
#include "CurrentFormula.h"
#include "FormulaEditorValues.h"
#include "SeasonData.h"
#include "Steps.h"
#include "VbError.h"
#include "WindowNames.h"
#include "Windows.h"

namespace vexal {

void InstallFormulaReader()
{
    SetReadFormulaProcedure([] {
        FormulaControls controls;
        // A control that cannot be read leaves its slot as it is.
        SkipStep([&] { controls = EditorControls(); });
        controls.weekIndex = Season().WeekListIndex;
        ReadFormulaFrom(controls, App().CurrentFormula);
    });
}

void RegisterFormulaWindows()
{
    RegisterWindow(WindowName::FormulaEditor, WindowKind::Modeless,
                   [](QWidget* owner) -> QWidget* { return new FormulaEditor(owner); });
    FormulaEditorProcedures editor;
    editor.controls = [] {
        FormulaEditor* e = FormulaEditor::Get();
        return e ? e->Controls() : FormulaControls{};
    };
    editor.formulaName = []() -> std::optional<std::string> {
        if (FormulaEditor* e = FormulaEditor::Get())
            return e->FormulaName();
        return std::nullopt;
    };
    editor.formulaFiles = [] {
        FormulaEditor* e = FormulaEditor::Get();
        return e ? e->FormulaFiles() : std::vector<std::string>{};
    };
    editor.refreshFileList = [] {
        if (FormulaEditor* e = FormulaEditor::Get())
            e->RefreshFileList();
    };
    editor.addFormulaName = [](const std::string& name) {
        if (FormulaEditor* e = FormulaEditor::Instance())
            e->AddFormulaName(name);
    };
    InstallFormulaEditor(std::move(editor));
    InstallFormulaReader();
}

} // namespace vexal
