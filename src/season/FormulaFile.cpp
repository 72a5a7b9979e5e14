#include "FormulaFile.h"

#include "CurrentFormula.h"
#include "RecordFile.h"
#include "TextDamage.h"
#include "VbConvert.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vexal {

std::string FormulaNumberText(float value)
{
    return vb::CStrSingle(value);
}

std::string FormulaFileLine(const Formula& formula, int positions)
{
    positions = std::clamp(positions, 0, FormulaFilePositions);
    std::string line;
    for (int i = 0; i < positions; ++i) {
        if (i > 0)
            line += ',';
        line += FormulaNumberText(formula[static_cast<std::size_t>(FormulaFileSlots[static_cast<std::size_t>(i)])]);
    }
    line += "\r\n";
    return line;
}

bool WriteFormulaFile(const std::filesystem::path& path, const Formula& formula, int positions, WriteSync sync)
{
    return WriteFileAtomically(path, FormulaFileLine(formula, positions), sync);
}

bool WriteFormulaFile(const std::filesystem::path& path, const Formula& formula, std::string& reason, int positions)
{
    return WriteFileAtomically(path, FormulaFileLine(formula, positions), reason);
}

std::vector<float> ParseFormulaFileNumbers(std::string_view text)
{
    text = WithoutUtf8Mark(text);
    std::vector<float> numbers;
    std::size_t pos = 0;
    while (numbers.size() < static_cast<std::size_t>(FormulaFilePositions)) {
        // Skip the line ends between lines; a line end also ends a field.
        while (pos < text.size() && (text[pos] == '\r' || text[pos] == '\n'))
            ++pos;
        if (pos >= text.size())
            break;
        std::size_t end = pos;
        while (end < text.size() && text[end] != ',' && text[end] != '\r' && text[end] != '\n')
            ++end;
        const double value = vb::Val(vb::Trim(text.substr(pos, end - pos)));
        if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max())
            break;
        numbers.push_back(static_cast<float>(value));
        pos = end;
        if (pos < text.size() && text[pos] == ',')
            ++pos;
    }
    return numbers;
}

void PutFormulaFileNumbers(std::span<const float> numbers, Formula& formula)
{
    const std::size_t count = std::min<std::size_t>(numbers.size(), FormulaFilePositions);
    for (std::size_t i = 0; i < count; ++i)
        formula[static_cast<std::size_t>(FormulaFileSlots[i])] = numbers[i];
}

void ApplyFormulaFileNumbers(std::span<const float> numbers, Formula& formula)
{
    formula.fill(0.0f);
    PutFormulaFileNumbers(numbers, formula);
}

FormulaFileContents ReadFormulaFileContents(const std::filesystem::path& path)
{
    FormulaFileContents contents;
    std::string text;
    contents.read = ReadWholeFile(path, text, contents.problem, FileKind::Formula);
    if (!contents.read)
        return contents;
    if (const std::string damage = TextByteDamage(text, "formula file"); !damage.empty()) {
        contents.read = false;
        contents.damaged = true;
        contents.problem = path.string() + " is damaged: " + damage + ".";
        return contents;
    }
    contents.numbers = ParseFormulaFileNumbers(text);
    return contents;
}

bool IsWholeFormulaLength(std::size_t count)
{
    return std::ranges::any_of(WholeFormulaFileLengths,
                               [count](int length) { return count == static_cast<std::size_t>(length); });
}

bool HoldsWholeFormula(const FormulaFileContents& contents, std::string_view fileName)
{
    const std::size_t count = contents.numbers.size();
    if (IsWholeFormulaLength(count))
        return true;
    return count == static_cast<std::size_t>(ShortFormulaFilePositions) && fileName.ends_with(SmartFormulaFileSuffix);
}

bool ReadFormulaFile(const std::filesystem::path& path, Formula& formula, std::string& problem)
{
    const FormulaFileContents contents = ReadFormulaFileContents(path);
    problem = contents.problem;
    ApplyFormulaFileNumbers(contents.numbers, formula);
    return contents.read;
}

bool ReadFormulaFile(const std::filesystem::path& path, Formula& formula)
{
    std::string problem;
    return ReadFormulaFile(path, formula, problem);
}

std::string CutFormulaProblem(const std::filesystem::path& file, std::size_t numbers)
{
    return file.string() + " ends after " + std::to_string(numbers) + " of the " +
           std::to_string(FormulaFilePositions) + " numbers of a formula.";
}

bool ReadListedFormula(const std::filesystem::path& file, const std::string& listedName, Formula& prepared,
                       ListedFormulaProblems& problems)
{
    const FormulaFileContents contents = ReadFormulaFileContents(file);
    const bool whole = contents.read && HoldsWholeFormula(contents, file.filename().string());
    if (whole)
        PutFormulaFileNumbers(contents.numbers, prepared);
    else if (contents.read || contents.damaged)
        problems.damaged.push_back(listedName);
    else
        problems.unread.push_back(contents.problem);
    if (prepared[fsLineStart] == 0 && prepared[fsLineEnd] == 0) {
        prepared[fsLineStart] = LineRangeOff;
        prepared[fsLineEnd] = LineRangeOff;
    }
    return whole;
}

std::string ListedFormulasMessage(const ListedFormulaProblems& problems)
{
    std::string message = DamagedFormulasMessage(problems.damaged);
    for (const std::string& problem : problems.unread)
        message += (message.empty() ? "" : "\r\n") + problem + " It was left out of the report.";
    return message;
}

std::string DamagedFormulasMessage(const std::vector<std::string>& fileNames)
{
    if (fileNames.empty())
        return std::string();
    std::string list;
    for (const std::string& name : fileNames)
        list += (list.empty() ? "" : ", ") + name;
    const bool many = fileNames.size() > 1;
    return "62 - Input past end of file\r\n There was an error using the formula" + std::string(many ? "s " : " ") +
           list + " you should load and re-save " +
           (many ? "these formulas to make sure they are" : "this formula to make sure it is") + " correct.";
}

} // namespace vexal
