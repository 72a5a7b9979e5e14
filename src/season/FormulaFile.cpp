#include "FormulaFile.h"

#include "RecordFile.h"
#include "VbConvert.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>

namespace vexal {

std::string FormulaNumberText(float value)
{
    return vb::CStrSingle(value);
}

std::string FormulaFileLine(std::span<const float> positionValues)
{
    std::string line;
    const std::size_t count = std::min<std::size_t>(positionValues.size(), FormulaFilePositions);
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0)
            line += ',';
        line += FormulaNumberText(positionValues[i]);
    }
    line += "\r\n";
    return line;
}

std::string FormulaFileLine(const Formula& formula, int positions)
{
    if (positions < 0)
        positions = 0;
    if (positions > FormulaFilePositions)
        positions = FormulaFilePositions;
    std::array<float, FormulaFilePositions> values{};
    for (int i = 0; i < positions; ++i)
        values[static_cast<std::size_t>(i)] = formula[static_cast<std::size_t>(FormulaFileSlots[static_cast<std::size_t>(i)])];
    return FormulaFileLine(std::span<const float>(values.data(), static_cast<std::size_t>(positions)));
}

bool WriteFormulaFileValues(const std::filesystem::path& path, std::span<const float> positionValues,
                            WriteSync sync)
{
    return WriteFileAtomically(path, FormulaFileLine(positionValues), sync);
}

bool WriteFormulaFile(const std::filesystem::path& path, const Formula& formula, int positions)
{
    return WriteFileAtomically(path, FormulaFileLine(formula, positions));
}

bool WriteFormulaFile(const std::filesystem::path& path, const Formula& formula, std::string& reason, int positions)
{
    return WriteFileAtomically(path, FormulaFileLine(formula, positions), reason);
}

std::vector<float> ParseFormulaFileNumbers(std::string_view text)
{
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

void ApplyFormulaFileNumbers(std::span<const float> numbers, Formula& formula)
{
    formula.fill(0.0f);
    const std::size_t count = std::min<std::size_t>(numbers.size(), FormulaFilePositions);
    for (std::size_t i = 0; i < count; ++i)
        formula[static_cast<std::size_t>(FormulaFileSlots[i])] = numbers[i];
}

bool ReadFormulaFile(const std::filesystem::path& path, Formula& formula, std::string& problem)
{
    formula.fill(0.0f);
    std::string text;
    if (!ReadWholeFile(path, text, problem))
        return false;
    ApplyFormulaFileNumbers(ParseFormulaFileNumbers(text), formula);
    return true;
}

bool ReadFormulaFile(const std::filesystem::path& path, Formula& formula)
{
    std::string problem;
    return ReadFormulaFile(path, formula, problem);
}

} // namespace vexal
