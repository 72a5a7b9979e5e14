#include "DefaultFormula.h"

#include "FormulaFile.h"
#include "VbConvert.h"

#include <cstdio>

namespace vexal {

namespace {
// Generated at configure time from default.fla.
constexpr unsigned char Shipped[] = {
#include "DefaultFormulaBytes.inc"
};

bool HasDefaultFormula(const std::filesystem::path& folder)
{
    std::error_code ec;
    if (std::filesystem::exists(folder / DefaultFormulaName, ec))
        return true;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
        if (vb::SameText(entry.path().filename().string(), DefaultFormulaName))
            return true;
    return false;
}
} // namespace

std::string_view ShippedDefaultFormula() { return std::string_view(reinterpret_cast<const char*>(Shipped), sizeof Shipped); }

bool EnsureDefaultFormulaFile(const std::filesystem::path& folder)
{
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec))
        return false;
    if (HasDefaultFormula(folder))
        return true;
    const std::filesystem::path path = folder / DefaultFormulaName;
    // "x": fails when the file appeared meanwhile, so nothing is ever written over.
    std::FILE* out = std::fopen(path.c_str(), "wbx");
    if (!out)
        return HasDefaultFormula(folder);
    const std::string_view bytes = ShippedDefaultFormula();
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    const bool closed = std::fclose(out) == 0;
    if (written && closed)
        return true;
    std::filesystem::remove(path, ec);
    return false;
}

bool ReadFormulaForUse(const std::filesystem::path& folder, const std::string& name, Formula& formula,
                       std::string& problem)
{
    const FormulaFileContents contents = ReadFormulaFileContents(folder / name);
    problem = contents.problem;
    ApplyFormulaFileNumbers(contents.numbers, formula);
    if (!vb::SameText(name, DefaultFormulaName))
        return contents.read;
    // The default formula is in force wherever no other is chosen: anything less than a whole
    // one (missing, a folder, unreadable, cut short) gives way to the built-in default.
    if (contents.read && IsWholeFormulaLength(contents.numbers.size()))
        return true;
    if (contents.read)
        problem = (folder / name).string() + " ends after " + std::to_string(contents.numbers.size()) + " of the " +
                  std::to_string(FormulaFilePositions) + " numbers of a formula.";
    ApplyFormulaFileNumbers(ParseFormulaFileNumbers(ShippedDefaultFormula()), formula);
    return false;
}

} // namespace vexal
