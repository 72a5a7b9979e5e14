#include "PdfText.h"

#include <array>
#include <cstdio>
#include <memory>
#include <utility>

namespace vexal::test {

std::string PdfText(const std::filesystem::path& pdf)
{
    // Single-quoted for the shell, with any quote in the name closed, escaped and reopened.
    std::string quoted = "'";
    for (const char c : pdf.string())
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    quoted += "'";
    const std::string command = "pdftotext -layout " + quoted + " - 2>/dev/null";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::string text;
    if (!pipe)
        return text;
    std::array<char, 4096> buf{};
    std::size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), pipe.get())) > 0)
        text.append(buf.data(), n);
    for (const auto& [ligature, letters] : {std::pair<std::string, std::string>{"\xEF\xAC\x80", "ff"},
                                            {"\xEF\xAC\x81", "fi"}, {"\xEF\xAC\x82", "fl"},
                                            {"\xEF\xAC\x83", "ffi"}, {"\xEF\xAC\x84", "ffl"}})
        for (auto at = text.find(ligature); at != std::string::npos; at = text.find(ligature, at))
            text.replace(at, ligature.size(), letters);
    return text;
}

} // namespace vexal::test
