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
// the folder has a default formula afterwards; false with what kept the file from being
// written (naming it and the cause the write met; empty when the folder itself is missing),
// the built-in default formula being in force until a file is there.
bool EnsureDefaultFormulaFile(const std::filesystem::path& folder, std::string& problem);
// The same, saying once (ReportFileProblem) that the file could not be written, and why.
bool ProvideDefaultFormulaFile(const std::filesystem::path& folder);
// Whether the last of those for the folder found it without a default formula and could not
// give it one (a folder the user cannot write, a full disk): the built-in default then stands
// in for the file, and is the formula chosen where the file would have been.
bool DefaultFormulaFileRefused(const std::filesystem::path& folder);

// Reads a formula file for use, by the editor's reading rule held to a whole file: a file that
// gives no whole formula (missing, a folder, unreadable, damaged, cut short or empty: anything
// but HoldsWholeFormula) gives false with what is wrong, naming the file, and none of its
// numbers is used. The formula is then all 0, except for the default formula ("default.fla",
// any letter case), in force wherever no other is chosen, which gives way to the built-in
// default.
bool ReadFormulaForUse(const std::filesystem::path& file, Formula& formula, std::string& problem);

} // namespace vexal
