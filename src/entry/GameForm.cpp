#include "GameForm.h"

#include "RecordFile.h"
#include "VbConvert.h"

#include <cmath>

namespace vexal {

const std::array<GameTextField, GameTextCount>& GameTextFields()
{
    using K = FieldKind;
    static const std::array<GameTextField, GameTextCount> fields = {{
        {"Date", "the date", K::Date, 3, -1, false},
        {"Line", "the line", K::Currency, 14, -1, false},
        {"OU", "the total", K::Currency, 22, -1, false},
        {"AScore", "the away score", K::Byte, 31, 3, false},
        {"AFD", "the away first downs", K::Byte, 65, -1, false},
        {"ARA", "the away rushing attempts", K::Byte, 58, 17, false},
        {"ARY", "the away rushing yards", K::Integer, 54, 15, false},
        {"APY", "the away passing yards", K::Integer, 56, 16, false},
        {"APA", "the away pass attempts", K::Byte, 59, 18, false},
        {"APC", "the away completions", K::Byte, 60, 19, false},
        {"AInt", "the away interceptions", K::Byte, 62, 20, false},
        {"ARetY", "the away return yards", K::Integer, 74, -1, false},
        {"AFum", "the away fumbles", K::Byte, 63, -1, false},
        {"AFumL", "the away fumbles lost", K::Byte, 64, 21, false},
        {"ASk", "the away sacks", K::Byte, 69, 22, false},
        {"ASkY", "the away sack yards", K::Integer, 70, -1, false},
        {"APen", "the away penalties", K::Byte, 66, -1, false},
        {"APenY", "the away penalty yards", K::Integer, 67, -1, false},
        {"ATOPM", "the away possession minutes", K::Byte, 72, -1, true},
        {"ATOPS", "the away possession seconds", K::Byte, 73, -1, true},
        {"HScore", "the home score", K::Byte, 30, 4, false},
        {"HFD", "the home first downs", K::Byte, 46, -1, false},
        {"HRA", "the home rushing attempts", K::Byte, 36, 9, false},
        {"HRY", "the home rushing yards", K::Integer, 32, 7, false},
        {"HPY", "the home passing yards", K::Integer, 34, 8, false},
        {"HPA", "the home pass attempts", K::Byte, 37, 10, false},
        {"HPC", "the home completions", K::Byte, 38, 11, false},
        {"HInt", "the home interceptions", K::Byte, 40, 12, false},
        {"HRetY", "the home return yards", K::Integer, 52, -1, false},
        {"HFum", "the home fumbles", K::Byte, 41, -1, false},
        {"HFumL", "the home fumbles lost", K::Byte, 42, 13, false},
        {"HSk", "the home sacks", K::Byte, 43, 14, false},
        {"HSkY", "the home sack yards", K::Integer, 44, -1, false},
        {"Hpen", "the home penalties", K::Byte, 47, -1, false},
        {"HPenY", "the home penalty yards", K::Integer, 48, -1, false},
        {"HTOPM", "the home possession minutes", K::Byte, 50, -1, true},
        {"HTOPS", "the home possession seconds", K::Byte, 51, -1, true},
        {"ATDs", "the away touchdowns", K::Byte, 61, 29, false},
        {"HTDs", "the home touchdowns", K::Byte, 39, 28, false},
    }};
    return fields;
}

std::array<std::string, GameTextCount> GameTexts(const std::array<uint8_t, GameRecord::Size>& record, double line,
                                                 double total)
{
    std::array<std::string, GameTextCount> texts;
    const auto& fields = GameTextFields();
    for (int i = 0; i < GameTextCount; ++i) {
        const GameTextField& f = fields[static_cast<std::size_t>(i)];
        const uint8_t* p = record.data() + f.offset;
        std::string& t = texts[static_cast<std::size_t>(i)];
        switch (f.kind) {
        case FieldKind::Date: t = vb::FormatDate(le::F64(p), "Short Date"); break;
        case FieldKind::Currency: t = vb::CStr(f.offset == 14 ? line : total); break;
        case FieldKind::Byte: t = f.twoDigits ? vb::Format(le::U8(p), "00") : std::to_string(le::U8(p)); break;
        case FieldKind::Integer: t = std::to_string(le::I16(p)); break;
        }
    }
    return texts;
}

bool IsGameDate(const std::string& text, double& oleDate) { return vb::TryParseDate(vb::Trim(text), oleDate); }

namespace {

// The number a box holds: digits, at most one period and a leading minus; empty is 0.
bool NumberOf(const std::string& text, double& value)
{
    const std::string t = vb::Trim(text);
    if (t.empty()) {
        value = 0;
        return true;
    }
    if (!vb::IsNumeric(t))
        return false;
    value = vb::Val(t);
    return std::isfinite(value);
}

} // namespace

bool ApplyGameEdits(const GameEdits& edits, std::array<uint8_t, GameRecord::Size>& record, bool setLines,
                    double& line, double& total, std::string& message)
{
    const auto& fields = GameTextFields();
    if (edits.homeTeam < 1 || edits.homeTeam > 32 || edits.awayTeam < 1 || edits.awayTeam > 32) {
        message = "Please choose both teams from the lists. The game was not saved.";
        return false;
    }
    std::array<uint8_t, GameRecord::Size> out = record;
    double date = 0;
    if (!IsGameDate(edits.texts[0], date)) {
        message = "Date must be in the format MM/DD/YYYY";
        return false;
    }
    for (int i = 1; i < GameTextCount; ++i) {
        const GameTextField& f = fields[static_cast<std::size_t>(i)];
        const std::string& text = edits.texts[static_cast<std::size_t>(i)];
        double v = 0;
        if (!NumberOf(text, v)) {
            message = "\"" + text + "\" is not a number for " + f.label + ". The game was not saved.";
            return false;
        }
        uint8_t* p = out.data() + f.offset;
        if (f.kind == FieldKind::Currency) {
            if (std::fabs(v) > 1000) {
                message = text + " does not fit " + f.label + " (-1000 to 1000). The game was not saved.";
                return false;
            }
            (f.offset == 14 ? line : total) = v;
            if (setLines)
                le::PutI64(p, vb::CurrencyFromDouble(v));
            continue;
        }
        const double whole = vb::RoundHalfEven(v);
        const double low = f.kind == FieldKind::Byte ? 0 : -32768;
        const double high = f.kind == FieldKind::Byte ? 255 : 32767;
        if (whole < low || whole > high) {
            message = text + " does not fit " + f.label + " (" + vb::CStr(low) + " to " + vb::CStr(high) +
                      "). The game was not saved.";
            return false;
        }
        if (f.kind == FieldKind::Byte)
            le::PutU8(p, static_cast<uint8_t>(whole));
        else
            le::PutI16(p, static_cast<int16_t>(whole));
    }
    le::PutF64(out.data() + 3, date);
    le::PutU8(out.data() + 12, static_cast<uint8_t>(edits.homeTeam));
    le::PutU8(out.data() + 13, static_cast<uint8_t>(edits.awayTeam));
    if (edits.surface >= 0 && edits.surface <= 255)
        le::PutU8(out.data() + 11, static_cast<uint8_t>(edits.surface));
    record = out;
    return true;
}

} // namespace vexal
