#pragma once
// The formula editor's place in the program: registers the editor with the window registry
// (modeless, owned by the main window) and makes ReadFormula read the editor's controls.
namespace vexal {

// Registers WindowName::FormulaEditor, installs the values other windows ask of it
// (FormulaEditorValues.h) and the reader.
void RegisterFormulaWindows();
// Makes ReadFormula rebuild CurrentFormula from the editor (loaded hidden when it is not
// loaded) and from the week selector's chosen position.
void InstallFormulaReader();

} // namespace vexal
