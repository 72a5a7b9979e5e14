#pragma once
// Small procedures every window uses: whether a file or folder exists, opening a document,
// web page or program with its associated program, and ordering an index by values.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

namespace vexal {

// True when the path names an existing file or folder; an empty path is False. Never throws.
bool FileExists(const std::filesystem::path& path);

// Opens file (a document, address or program, arguments allowed after a blank or after a
// quoted path) through the installed ShellLauncher. A quoted path loses its quotes in file.
// Without a folder the working folder is the folder part of the path ("\" or "/"; a root
// keeps its separator), or the current folder for an address or a bare name. A failed open
// is reported in a message box only.
void ShellOpen(std::string& file, int32_t showCommand, const std::optional<std::string>& folder = std::nullopt);
void ShellOpen(const std::string& file, int32_t showCommand, const std::optional<std::string>& folder = std::nullopt);

// Orders index so that values[index[0..last]] ascend (equal values keep their order) or
// descend; values do not move. An index whose first and last elements are 0 is unfilled
// and is filled with 0, 1, 2, ... first. The sort leaves positions above last untouched.
// Throws VbError 9 when last or an index element lies outside the arrays.
void SortIndex(std::span<const float> values, std::span<int32_t> index,
               std::optional<int32_t> last = std::nullopt, bool descending = false);

} // namespace vexal
