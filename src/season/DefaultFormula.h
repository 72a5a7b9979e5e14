#pragma once
// The formula the program ships as "default.fla": the formula used when no other is chosen.
// Its bytes are built into the program, so a program folder that has none gets it written the
// first time the program needs it. GUI-free.
#include "AppState.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace vexal {

inline constexpr const char* DefaultFormulaName = "default.fla";

// The shipped file's bytes: one formula line ended by CR LF.
std::string_view ShippedDefaultFormula();

// Writes the shipped formula as "default.fla" into the folder when the folder holds no file
// of that name (in any letter case); an existing file is never replaced. Returns true when
// the folder has a default formula afterwards.
bool EnsureDefaultFormulaFile(const std::filesystem::path& folder);

// Reads the formula file `name` of the folder into the formula by the editor's reading rule.
// When it cannot be read, returns false with what is wrong (naming the file) and the formula
// all 0. The default formula's name is held to more: a file that is not a whole formula
// (missing, a folder, unreadable, cut short) gives false with what is wrong, and the formula
// is the built-in default.
bool ReadFormulaForUse(const std::filesystem::path& folder, const std::string& name, Formula& formula,
                       std::string& problem);

} // namespace vexal
