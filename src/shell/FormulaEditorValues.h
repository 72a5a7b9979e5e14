#pragma once
// What other windows may ask of the formula editor: values, never its widgets. The editor's
// library installs the answers when it registers the window; until then (a program or test
// without the editor) there are no answers and the requests do nothing.
#include "CurrentFormula.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vexal {

struct FormulaEditorProcedures {
    // The editor's controls as ReadFormula reads them (the week selector is not the editor's).
    std::function<FormulaControls()> controls;
    // The chosen formula's name as the editor's formula list shows it.
    std::function<std::optional<std::string>()> formulaName;
    // The program folder's formula files as the editor lists them, read afresh from the folder.
    std::function<std::vector<std::string>()> formulaFiles;
    // Lists the folder's formula files afresh and chooses the remembered one again.
    std::function<void()> refreshFileList;
    // Lists a saved formula's name without choosing it, in an editor that is loaded.
    std::function<void(const std::string&)> addFormulaName;
};
void InstallFormulaEditor(FormulaEditorProcedures procedures);

// Asking for a value loads the editor, hidden, when it is not loaded, as reading one of its
// controls does. Without an editor no control can be read: every value is left empty.
FormulaControls EditorControls();
// Nothing when there is no editor.
std::optional<std::string> EditorFormulaName();
std::vector<std::string> EditorFormulaFiles();
void RefreshEditorFileList();
// Only an editor that is loaded lists the name; an unloaded one lists the folder when it loads.
void AddEditorFormulaName(const std::string& name);

} // namespace vexal
