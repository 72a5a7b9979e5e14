#include "DefaultFormula.h"

#include "FileChecks.h"
#include "Host.h"
#include "FormulaFile.h"
#include "RecordFile.h"
#include "VbConvert.h"

#include <mutex>
#include <set>


namespace vexal {

namespace {
// Generated at configure time from default.fla.
constexpr unsigned char Shipped[] = {
#include "DefaultFormulaBytes.inc"
};

// The folders that could not be given their default formula file.
struct Refusals {
    std::mutex lock;
    std::set<std::string> folders;
};

Refusals& Refused()
{
    static Refusals refusals;
    return refusals;
}

void NoteRefusal(const std::filesystem::path& folder, bool refused)
{
    Refusals& r = Refused();
    std::lock_guard<std::mutex> hold(r.lock);
    if (refused)
        r.folders.insert(folder.lexically_normal().string());
    else if (!r.folders.empty())
        r.folders.erase(folder.lexically_normal().string());
}

bool HasDefaultFormula(const std::filesystem::path& folder)
{
    std::error_code ec;
    if (std::filesystem::exists(folder / DefaultFormulaName, ec))
        return true;
    for (const auto& entry : FolderEntries(folder))
        if (vb::SameText(entry.path().filename().string(), DefaultFormulaName))
            return true;
    return false;
}
} // namespace

std::string_view ShippedDefaultFormula() { return std::string_view(reinterpret_cast<const char*>(Shipped), sizeof Shipped); }

bool EnsureDefaultFormulaFile(const std::filesystem::path& folder, std::string& problem)
{
    problem.clear();
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec))
        return false;
    const std::filesystem::path path = folder / DefaultFormulaName;
    std::string reason;
    // Made only where nothing is: one that appeared meanwhile is never written over.
    if (HasDefaultFormula(folder) || WriteNewFile(path, ShippedDefaultFormula(), reason) || HasDefaultFormula(folder)) {
        NoteRefusal(folder, false);
        return true;
    }
    NoteRefusal(folder, true);
    problem = WriteFailure(path, reason) + " The built-in default formula is used instead.";
    return false;
}

bool DefaultFormulaFileRefused(const std::filesystem::path& folder)
{
    Refusals& r = Refused();
    std::lock_guard<std::mutex> hold(r.lock);
    return !r.folders.empty() && r.folders.contains(folder.lexically_normal().string());
}

bool ProvideDefaultFormulaFile(const std::filesystem::path& folder)
{
    std::string problem;
    if (EnsureDefaultFormulaFile(folder, problem))
        return true;
    if (!problem.empty())
        ReportFileProblem(folder / DefaultFormulaName, problem);
    return false;
}

bool ReadFormulaForUse(const std::filesystem::path& file, Formula& formula, std::string& problem)
{
    const FormulaFileContents contents = ReadFormulaFileContents(file);
    problem = contents.problem;
    const std::string name = file.filename().string();
    if (contents.read && HoldsWholeFormula(contents, name)) {
        ApplyFormulaFileNumbers(contents.numbers, formula);
        return true;
    }
    if (contents.read)
        problem = CutFormulaProblem(file, contents.numbers.size());
    // Nothing of a file that is no whole formula: a number or two of it would pass for the file's.
    formula.fill(0.0f);
    // The default formula is in force wherever no other is chosen: the built-in one takes the
    // place of a file that gives none.
    if (vb::SameText(name, DefaultFormulaName))
        ApplyFormulaFileNumbers(ParseFormulaFileNumbers(ShippedDefaultFormula()), formula);
    return false;
}

} // namespace vexal
