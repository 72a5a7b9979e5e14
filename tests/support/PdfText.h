#pragma once
// The text of a PDF printout, as pdftotext -layout reads it, with the ligature glyphs the
// print fonts use ("ff", "fi", "fl" ...) turned back into letters. Empty when it cannot be read.
#include <filesystem>
#include <string>

namespace vexal::test {
std::string PdfText(const std::filesystem::path& pdf);
}
