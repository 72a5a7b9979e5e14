#include "FormulaEditorValues.h"


namespace vexal {

namespace {
FormulaEditorProcedures& Installed()
{
    static FormulaEditorProcedures procedures;
    return procedures;
}
} // namespace

void InstallFormulaEditor(FormulaEditorProcedures procedures) { Installed() = std::move(procedures); }

FormulaControls EditorControls()
{
    if (!Installed().controls)
        return {};
    return Installed().controls();
}

std::optional<std::string> EditorFormulaName()
{
    if (!Installed().formulaName)
        return std::nullopt;
    return Installed().formulaName();
}

std::vector<std::string> EditorFormulaFiles()
{
    if (!Installed().formulaFiles)
        return {};
    return Installed().formulaFiles();
}

void RefreshEditorFileList()
{
    if (Installed().refreshFileList)
        Installed().refreshFileList();
}

void AddEditorFormulaName(const std::string& name)
{
    if (Installed().addFormulaName)
        Installed().addFormulaName(name);
}

} // namespace vexal
