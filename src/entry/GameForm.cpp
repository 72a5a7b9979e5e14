#include "GameForm.h"

#include "VbConvert.h"

#include <cmath>

namespace vexal {

const std::array<GameTextField, GameTextCount>& GameTextFields()
{
    using F = GameRecord::Field;
    static const std::array<GameTextField, GameTextCount> fields = {{
        {"Date", "the date", F::GameDate, -1, false},
        {"Line", "the line", F::Line, -1, false},
        {"OU", "the total", F::Total, -1, false},
        {"AScore", "the away score", F::AwayScore, 3, false},
        {"AFD", "the away first downs", F::AwayFirstDowns, -1, false},
        {"ARA", "the away rushing attempts", F::AwayRushAtt, 17, false},
        {"ARY", "the away rushing yards", F::AwayRushYds, 15, false},
        {"APY", "the away passing yards", F::AwayPassYds, 16, false},
        {"APA", "the away pass attempts", F::AwayPassAtt, 18, false},
        {"APC", "the away completions", F::AwayPassComp, 19, false},
        {"AInt", "the away interceptions", F::AwayInt, 20, false},
        {"ARetY", "the away return yards", F::AwayRetYds, -1, false},
        {"AFum", "the away fumbles", F::AwayFum, -1, false},
        {"AFumL", "the away fumbles lost", F::AwayFumLost, 21, false},
        {"ASk", "the away sacks", F::AwaySacks, 22, false},
        {"ASkY", "the away sack yards", F::AwaySackYds, -1, false},
        {"APen", "the away penalties", F::AwayPen, -1, false},
        {"APenY", "the away penalty yards", F::AwayPenYds, -1, false},
        {"ATOPM", "the away possession minutes", F::AwayTOPMin, -1, true},
        {"ATOPS", "the away possession seconds", F::AwayTOPSec, -1, true},
        {"HScore", "the home score", F::HomeScore, 4, false},
        {"HFD", "the home first downs", F::HomeFirstDowns, -1, false},
        {"HRA", "the home rushing attempts", F::HomeRushAtt, 9, false},
        {"HRY", "the home rushing yards", F::HomeRushYds, 7, false},
        {"HPY", "the home passing yards", F::HomePassYds, 8, false},
        {"HPA", "the home pass attempts", F::HomePassAtt, 10, false},
        {"HPC", "the home completions", F::HomePassComp, 11, false},
        {"HInt", "the home interceptions", F::HomeInt, 12, false},
        {"HRetY", "the home return yards", F::HomeRetYds, -1, false},
        {"HFum", "the home fumbles", F::HomeFum, -1, false},
        {"HFumL", "the home fumbles lost", F::HomeFumLost, 13, false},
        {"HSk", "the home sacks", F::HomeSacks, 14, false},
        {"HSkY", "the home sack yards", F::HomeSackYds, -1, false},
        {"Hpen", "the home penalties", F::HomePen, -1, false},
        {"HPenY", "the home penalty yards", F::HomePenYds, -1, false},
        {"HTOPM", "the home possession minutes", F::HomeTOPMin, -1, true},
        {"HTOPS", "the home possession seconds", F::HomeTOPSec, -1, true},
        {"ATDs", "the away touchdowns", F::AwayTDs, 29, false},
        {"HTDs", "the home touchdowns", F::HomeTDs, 28, false},
    }};
    return fields;
}

std::array<std::string, GameTextCount> GameTexts(const GameRecord& game, double line, double total)
{
    std::array<std::string, GameTextCount> texts;
    const auto& fields = GameTextFields();
    for (int i = 0; i < GameTextCount; ++i) {
        const GameTextField& f = fields[static_cast<std::size_t>(i)];
        std::string& t = texts[static_cast<std::size_t>(i)];
        switch (GameRecord::FieldOf(f.field).type) {
        case FieldType::Date: t = vb::FormatDate(game.GameDate, "Short Date"); break;
        case FieldType::Currency: t = vb::CStr(f.field == GameRecord::Field::Line ? line : total); break;
        case FieldType::Byte: {
            const auto v = static_cast<int>(game.Number(f.field));
            t = f.twoDigits ? vb::Format(v, "00") : std::to_string(v);
            break;
        }
        case FieldType::Integer: t = std::to_string(game.Number(f.field)); break;
        case FieldType::Text: break;
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

bool ApplyGameEdits(const GameEdits& edits, GameRecord& game, bool setLines, double& line, double& total,
                    std::string& message)
{
    const auto& fields = GameTextFields();
    if (edits.homeTeam < 1 || edits.homeTeam > 32 || edits.awayTeam < 1 || edits.awayTeam > 32) {
        message = "Please choose both teams from the lists. The game was not saved.";
        return false;
    }
    GameRecord out = game;
    double date = 0;
    if (!IsGameDate(edits.texts[0], date)) {
        message = "Date must be in the format MM/DD/YYYY";
        return false;
    }
    for (int i = 1; i < GameTextCount; ++i) {
        const GameTextField& f = fields[static_cast<std::size_t>(i)];
        const FieldType type = GameRecord::FieldOf(f.field).type;
        const std::string& text = edits.texts[static_cast<std::size_t>(i)];
        double v = 0;
        if (!NumberOf(text, v)) {
            message = "\"" + text + "\" is not a number for " + f.label + ". The game was not saved.";
            return false;
        }
        if (type == FieldType::Currency) {
            if (std::fabs(v) > 1000) {
                message = text + " does not fit " + f.label + " (-1000 to 1000). The game was not saved.";
                return false;
            }
            (f.field == GameRecord::Field::Line ? line : total) = v;
            if (setLines)
                out.SetNumber(f.field, vb::CurrencyFromDouble(v));
            continue;
        }
        const double whole = vb::RoundHalfEven(v);
        const auto low = static_cast<double>(LowestValue(type));
        const auto high = static_cast<double>(HighestValue(type));
        if (whole < low || whole > high) {
            message = text + " does not fit " + f.label + " (" + vb::CStr(low) + " to " + vb::CStr(high) +
                      "). The game was not saved.";
            return false;
        }
        out.SetNumber(f.field, static_cast<int64_t>(whole));
    }
    out.GameDate = date;
    out.HomeTeam = static_cast<uint8_t>(edits.homeTeam);
    out.AwayTeam = static_cast<uint8_t>(edits.awayTeam);
    if (edits.surface >= 0 && edits.surface <= 255)
        out.Surface = static_cast<uint8_t>(edits.surface);
    game = out;
    return true;
}

} // namespace vexal
