#include "FormulaWindows.h"

#include "FormulaEditor.h"
#include "FormulaTexts.h"

#include "AppState.h"
#include "CurrentFormula.h"
#include "SeasonData.h"
#include "VbError.h"
#include "Windows.h"

namespace vexal {

void InstallFormulaReader()
{
    SetReadFormulaProcedure([] {
        FormulaControls controls;
        // A control that cannot be read leaves its slot as it is.
        SkipOnError([&] {
            if (FormulaEditor* editor = FormulaEditor::Get())
                controls = editor->Controls();
        });
        controls.weekIndex = Season().WeekListIndex;
        ReadFormulaFrom(controls, App().CurrentFormula);
    });
}

void RegisterFormulaWindows()
{
    RegisterWindow(texts::EditorName, WindowKind::Modeless,
                   [](QWidget* owner) -> QWidget* { return new FormulaEditor(owner); });
    InstallFormulaReader();
}

} // namespace vexal
