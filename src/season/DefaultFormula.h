#pragma once
// The formula the program ships as "default.fla": the formula used when no other is chosen.
// Its bytes are built into the program, so a program folder that has none gets it written the
// first time the program needs it. GUI-free.
#include <filesystem>
#include <string_view>

namespace vexal {

inline constexpr const char* DefaultFormulaName = "default.fla";

// The shipped file's bytes: one formula line ended by CR LF.
std::string_view ShippedDefaultFormula();

// Writes the shipped formula as "default.fla" into the folder when the folder holds no file
// of that name (in any letter case); an existing file is never replaced. Returns true when
// the folder has a default formula afterwards.
bool EnsureDefaultFormulaFile(const std::filesystem::path& folder);

} // namespace vexal
