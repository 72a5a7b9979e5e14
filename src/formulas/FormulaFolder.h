#pragma once
// The formula files of the program folder as the formula editor keeps them: which files
// are listed, how a typed name becomes a file name, which names are refused, and the
// deletion of one file or of all the engine's "good" or "bad" files. GUI-free.
#include "Host.h" // IsPlainFileName

#include <filesystem>
#include <string>
#include <vector>

namespace vexal {

// The names (no folder) of the folder's "*.fla" files as listed (ListedFileName: a name that
// is not UTF-8 as its Windows-1252 characters; ListedFile finds the file again), matched
// without regard to case as the platform's file list does, sorted alphabetically without
// regard to case.
std::vector<std::string> ListFormulaFiles(const std::filesystem::path& folder);

// A typed name kept when it ends in ".fla" (case-sensitive), else with ".fla" appended:
// "abc" -> "abc.fla", "abc.fla" -> "abc.fla", "abc.FLA" -> "abc.FLA.fla".
std::string FormulaFileName(const std::string& typed);
// The name a save's answer writes: a formula file the folder lists under exactly the answer is
// that file (the name proposed from the chosen file keeps its letters, "Good3.fla" or a smart
// formula's "Wk52023NYGDal.FLA", and saving under it replaces that file); any other answer
// follows FormulaFileName.
std::string SavedFormulaFileName(const std::filesystem::path& folder, const std::string& answer);

// The engine's qualified formulas: a name starting with "good" or "bad", any case.
bool IsGoodName(const std::string& name);
bool IsBadName(const std::string& name);

// Deletes every "good*.fla" (or "bad*.fla") file of the folder, without regard to case. What
// the folder refused, a line for each file that stays naming it and the cause (RemoveFailure);
// empty when every one went.
std::string DeleteGoodOrBadFiles(const std::filesystem::path& folder, bool good);

} // namespace vexal
