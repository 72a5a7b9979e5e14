#include "Golden.h"

#include "GameRecord.h"
#include "LineRecord.h"
#include "RecordFile.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <span>
#include <sstream>
#include <vector>

namespace vexal::test {

namespace {

std::string Slurp(const std::filesystem::path& path, bool& found)
{
    std::ifstream in(path, std::ios::binary);
    found = static_cast<bool>(in);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Updating()
{
    const char* update = std::getenv("VEXAL_UPDATE_GOLDEN");
    return update && std::string(update) == "1";
}

// A piece of text or bytes as a message can show it: printable ASCII as is, the rest escaped.
std::string Shown(std::string_view text, std::size_t limit = 120)
{
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size() && i < limit; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '"' || c == '\\')
            out += std::string("\\") + static_cast<char>(c);
        else if (c >= 32 && c < 127)
            out += static_cast<char>(c);
        else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    out += text.size() > limit ? "\"..." : "\"";
    return out;
}

std::string ByteDifference(const std::string& expected, const std::string& written)
{
    const std::size_t common = std::min(expected.size(), written.size());
    for (std::size_t i = 0; i < common; ++i)
        if (expected[i] != written[i]) {
            char text[96];
            std::snprintf(text, sizeof text, "byte %zu: expected 0x%02X, written 0x%02X", i,
                          static_cast<unsigned char>(expected[i]), static_cast<unsigned char>(written[i]));
            return text;
        }
    return "expected " + std::to_string(expected.size()) + " bytes, written " + std::to_string(written.size());
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        lines.push_back(text.substr(start, end - start));
        start = end;
    }
    return lines;
}

std::string TextDifference(const std::string& expected, const std::string& written)
{
    const auto want = Lines(expected);
    const auto got = Lines(written);
    const std::size_t common = std::min(want.size(), got.size());
    for (std::size_t i = 0; i < common; ++i)
        if (want[i] != got[i])
            return "line " + std::to_string(i + 1) + ":\n  expected " + Shown(want[i], 400) + "\n  written  " +
                   Shown(got[i], 400);
    return "expected " + std::to_string(want.size()) + " lines, written " + std::to_string(got.size()) +
           (want.size() > got.size() ? "; first missing: " + Shown(want[common])
                                     : "; first extra: " + Shown(got[common]));
}

std::vector<std::string> Split(const std::string& line, char separator)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(line);
    while (std::getline(in, part, separator))
        parts.push_back(part);
    if (!line.empty() && line.back() == separator)
        parts.emplace_back();
    return parts;
}

std::string FormulaDifference(const std::string& expected, const std::string& written)
{
    const auto want = Lines(expected);
    const auto got = Lines(written);
    for (std::size_t i = 0; i < std::min(want.size(), got.size()); ++i) {
        if (want[i] == got[i])
            continue;
        const auto a = Split(want[i], ',');
        const auto b = Split(got[i], ',');
        for (std::size_t k = 0; k < std::min(a.size(), b.size()); ++k)
            if (a[k] != b[k])
                return "line " + std::to_string(i + 1) + ", position " + std::to_string(k + 1) + " of " +
                       std::to_string(a.size()) + ": expected " + Shown(a[k]) + ", written " + Shown(b[k]);
        return "line " + std::to_string(i + 1) + ": expected " + std::to_string(a.size()) + " positions " +
               Shown(want[i]) + ", written " + std::to_string(b.size()) + " " + Shown(got[i]);
    }
    return TextDifference(expected, written);
}

template <class Record>
std::string FieldValue(const RecordField<Record>& f, const uint8_t* record)
{
    const uint8_t* p = record + f.offset;
    char text[64];
    switch (f.type) {
    case FieldType::Byte: return std::to_string(le::U8(p));
    case FieldType::Integer: return std::to_string(le::I16(p));
    case FieldType::Currency:
        std::snprintf(text, sizeof text, "%lld (%.4f)", static_cast<long long>(le::I64(p)),
                      static_cast<double>(le::I64(p)) / 10000.0);
        return text;
    case FieldType::Date: std::snprintf(text, sizeof text, "%.17g", le::F64(p)); return text;
    case FieldType::Text: return Shown(std::string_view(reinterpret_cast<const char*>(p), f.size));
    }
    return {};
}

template <class Record>
std::string RecordDifference(const std::string& expected, const std::string& written, std::size_t size,
                             const char* what)
{
    const std::size_t common = std::min(expected.size(), written.size()) / size;
    const auto* a = reinterpret_cast<const uint8_t*>(expected.data());
    const auto* b = reinterpret_cast<const uint8_t*>(written.data());
    for (std::size_t r = 0; r < common; ++r) {
        const uint8_t* x = a + r * size;
        const uint8_t* y = b + r * size;
        if (std::equal(x, x + size, y))
            continue;
        for (const RecordField<Record>& f : Record::Layout())
            if (!std::equal(x + f.offset, x + f.offset + f.size, y + f.offset))
                return std::string(what) + " record " + std::to_string(r + 1) + ", field " + f.name + " (offset " +
                       std::to_string(f.offset) + "): expected " + FieldValue(f, x) + ", written " +
                       FieldValue(f, y);
    }
    if (expected.size() % size != 0 || written.size() % size != 0 || expected.size() == written.size())
        return ByteDifference(expected, written);
    return "expected " + std::to_string(expected.size() / size) + " " + what + " records, written " +
           std::to_string(written.size() / size);
}

} // namespace

std::filesystem::path SourceFile(const std::string& relative) { return std::filesystem::path(VEXAL_SOURCE_TREE) / relative; }

std::filesystem::path BuildFile(const std::string& relative) { return std::filesystem::path(VEXAL_BUILD_TREE) / relative; }

std::filesystem::path GoldenFolder(const std::string& testFolder)
{
    return SourceFile("tests") / testFolder / "golden";
}

GoldenKind GoldenKindOf(const std::filesystem::path& expected)
{
    std::string ext = expected.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    if (ext == ".nfl")
        return GoldenKind::Season;
    if (ext == ".fla")
        return GoldenKind::Formula;
    if (ext.size() == 4 && ext[1] == 'l' && std::isdigit(static_cast<unsigned char>(ext[2])) &&
        std::isdigit(static_cast<unsigned char>(ext[3])))
        return GoldenKind::Line;
    if (ext == ".htm" || ext == ".html" || ext == ".txt" || ext == ".ftp" || ext == ".rtf" || ext == ".md")
        return GoldenKind::Text;
    return GoldenKind::Bytes;
}

std::string FirstDifference(const std::string& expected, const std::string& written, GoldenKind kind)
{
    if (expected == written)
        return {};
    switch (kind) {
    case GoldenKind::Season:
        return RecordDifference<GameRecord>(expected, written, GameRecord::Size, "season");
    case GoldenKind::Line: return RecordDifference<LineRecord>(expected, written, LineRecord::Size, "line");
    case GoldenKind::Formula: return FormulaDifference(expected, written);
    case GoldenKind::Text: return TextDifference(expected, written);
    case GoldenKind::Bytes: break;
    }
    return ByteDifference(expected, written);
}

::testing::AssertionResult MatchesGolden(const std::string& written, const std::filesystem::path& expected,
                                         GoldenKind kind)
{
    if (Updating()) {
        std::error_code ec;
        std::filesystem::create_directories(expected.parent_path(), ec);
        std::ofstream out(expected, std::ios::binary | std::ios::trunc);
        out.write(written.data(), static_cast<std::streamsize>(written.size()));
        out.close();
        if (!out)
            return ::testing::AssertionFailure() << "could not rewrite the golden file " << expected;
        std::fprintf(stderr, "golden file rewritten: %s\n", expected.c_str());
        return ::testing::AssertionSuccess();
    }
    bool found = false;
    const std::string want = Slurp(expected, found);
    if (!found)
        return ::testing::AssertionFailure() << "no golden file " << expected
                                             << " (VEXAL_UPDATE_GOLDEN=1 writes it from this run)";
    const std::string difference = FirstDifference(want, written, kind);
    if (difference.empty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "differs from " << expected << "\n" << difference
                                         << "\n(VEXAL_UPDATE_GOLDEN=1 rewrites it from this run)";
}

::testing::AssertionResult MatchesGolden(const std::string& written, const std::filesystem::path& expected)
{
    return MatchesGolden(written, expected, GoldenKindOf(expected));
}

::testing::AssertionResult FileMatchesGolden(const std::filesystem::path& written, const std::filesystem::path& expected)
{
    bool found = false;
    const std::string bytes = Slurp(written, found);
    if (!found)
        return ::testing::AssertionFailure() << "the program wrote no file " << written;
    return MatchesGolden(bytes, expected);
}

} // namespace vexal::test
