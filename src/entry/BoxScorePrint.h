#pragma once
// File, Print of the Input Stats window: the box scores of the chosen week's games on the
// current printer, after the print dialog.
#include <cstdint>
#include <filesystem>

namespace vexal {

// Prints records first .. first + count - 1 of the season file. A cancelled dialog prints
// nothing; a season file that cannot be read prints nothing and says so.
void PrintBoxScores(const std::filesystem::path& seasonFile, int32_t first, int32_t count);

} // namespace vexal
