#include "LineRecord.h"
#include "Teams.h"

#include "Host.h"
#include "VbConvert.h"

#include <algorithm>
#include <optional>
#include <set>

namespace vexal {

namespace {

using L = LineRecord;
using layout::Direct;

// The one table of the record's layout, in file order.
constexpr RecordField<LineRecord> LayoutTable[] = {
    layout::Field<L, Direct<&L::Year>>("Year", 0),
    layout::Field<L, Direct<&L::Week>>("Week", 2),
    layout::Field<L, Direct<&L::HomeTeam>>("HomeTeam", 3),
    layout::Field<L, Direct<&L::AwayTeam>>("AwayTeam", 4),
    layout::Field<L, Direct<&L::Line>>("Line", 5),
    layout::Field<L, Direct<&L::Total>>("Total", 13),
};

} // namespace

std::span<const RecordField<LineRecord>> LineRecord::Layout() { return LayoutTable; }

LineRecord LineRecord::Decode(const uint8_t* b)
{
    LineRecord r;
    layout::DecodeFields<LayoutTable>(r, b);
    return r;
}

void LineRecord::Encode(uint8_t* b) const { layout::EncodeFields<LayoutTable>(*this, b); }

std::array<uint8_t, LineRecord::Size> LineRecord::Encode() const
{
    std::array<uint8_t, Size> bytes{};
    Encode(bytes.data());
    return bytes;
}

double LineRecord::LineValue() const { return vb::CurrencyToDouble(Line); }
double LineRecord::TotalValue() const { return vb::CurrencyToDouble(Total); }
void LineRecord::SetLine(double spread) { Line = vb::CurrencyFromDouble(spread); }
void LineRecord::SetTotal(double total) { Total = vb::CurrencyFromDouble(total); }

LineRecord LineRecord::FromGame(const GameRecord& game)
{
    LineRecord r;
    r.Year = game.Year;
    r.Week = game.Week;
    r.HomeTeam = game.HomeTeam;
    r.AwayTeam = game.AwayTeam;
    r.Line = game.Line;
    r.Total = game.Total;
    return r;
}

std::string LineFileDamage(const uint8_t* bytes, std::size_t size, int seasonYear)
{
    // A line file is made with a record for every game of its season: one of none is a
    // placeholder a sync tool left, or a copy the disk cut off before its first record.
    if (size == 0)
        return "it holds no line record, as a placeholder or a copy cut off before its first record does";
    if (const std::size_t extra = size % LineRecord::Size; extra != 0)
        return "it ends in " + std::to_string(extra) + " bytes that are no whole line record, as a file cut short does";
    auto known = [](int code) { return code <= LastTeamCode || code == TeamUnder || code == TeamOver; };
    // Week order is not asked for: a line file mirrors its season file, whatever its order.
    for (std::size_t at = 0, n = 1; at < size; at += LineRecord::Size, ++n) {
        const LineRecord r = LineRecord::Decode(bytes + at);
        if (r.Year != seasonYear || r.Week < 1 || !known(r.HomeTeam) || !known(r.AwayTeam))
            return "record " + std::to_string(n) + " is no line of a " + std::to_string(seasonYear) + " game";
    }
    return {};
}

std::string LineFileName(const std::string& name, int year)
{
    return name + ".L" + vb::Right(std::to_string(year), 2);
}

namespace {

std::string LineFileSuffix(int year) { return LineFileName("", year); }

// The name, when `file` is a line file name of the season's suffix in any letter case.
std::optional<std::string> LineFileBaseName(const std::string& file, const std::string& suffix)
{
    if (file.size() <= suffix.size() || !vb::SameText(file.substr(file.size() - suffix.size()), suffix))
        return std::nullopt;
    return file.substr(0, file.size() - suffix.size());
}

} // namespace

std::filesystem::path FindLineFile(const std::filesystem::path& folder, const std::string& name, int year)
{
    const std::filesystem::path own = folder / LineFileName(name, year);
    std::error_code ec;
    if (std::filesystem::exists(own, ec))
        return own;
    const std::string suffix = LineFileSuffix(year);
    for (const auto& entry : FolderEntries(folder)) {
        std::error_code there;
        if (LineFileBaseName(entry.path().filename().string(), suffix) == name && entry.exists(there))
            return entry.path();
    }
    return own;
}

std::vector<std::filesystem::path> LineFilesOf(const std::filesystem::path& folder, int year)
{
    const std::string suffix = LineFileSuffix(year);
    std::vector<std::filesystem::path> files;
    for (const auto& entry : FolderEntries(folder)) {
        std::error_code typeError;
        if (entry.is_regular_file(typeError) && LineFileBaseName(entry.path().filename().string(), suffix))
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<std::string> ListLineFiles(const std::filesystem::path& folder, int year)
{
    const std::string suffix = LineFileSuffix(year);
    std::set<std::string> names;
    for (const auto& entry : FolderEntries(folder)) {
        std::error_code typeError;
        if (!entry.is_regular_file(typeError))
            continue;
        if (std::optional<std::string> name = LineFileBaseName(entry.path().filename().string(), suffix))
            names.insert(std::move(*name));
    }
    std::vector<std::string> sorted(names.begin(), names.end());
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const std::string& a, const std::string& b) { return vb::LCase(a) < vb::LCase(b); });
    return sorted;
}

} // namespace vexal
