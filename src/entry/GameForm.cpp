#include "GameForm.h"

#include "TypedNumber.h"
#include "VbConvert.h"

#include <optional>

namespace vexal {

namespace {

using F = GameRecord::Field;

constexpr std::array<GameTextField, GameTextCount> TextFields = {{
    {gtDate, "Date", "the date", F::GameDate, false},
    {gtLine, "Line", "the line", F::Line, false},
    {gtTotal, "OU", "the total", F::Total, false},
    {gtAwayScore, "AScore", "the away score", F::AwayScore, false},
    {gtAwayFirstDowns, "AFD", "the away first downs", F::AwayFirstDowns, false},
    {gtAwayRushAtt, "ARA", "the away rushing attempts", F::AwayRushAtt, false},
    {gtAwayRushYds, "ARY", "the away rushing yards", F::AwayRushYds, false},
    {gtAwayPassYds, "APY", "the away passing yards", F::AwayPassYds, false},
    {gtAwayPassAtt, "APA", "the away pass attempts", F::AwayPassAtt, false},
    {gtAwayPassComp, "APC", "the away completions", F::AwayPassComp, false},
    {gtAwayInt, "AInt", "the away interceptions", F::AwayInt, false},
    {gtAwayRetYds, "ARetY", "the away return yards", F::AwayRetYds, false},
    {gtAwayFum, "AFum", "the away fumbles", F::AwayFum, false},
    {gtAwayFumLost, "AFumL", "the away fumbles lost", F::AwayFumLost, false},
    {gtAwaySacks, "ASk", "the away sacks", F::AwaySacks, false},
    {gtAwaySackYds, "ASkY", "the away sack yards", F::AwaySackYds, false},
    {gtAwayPen, "APen", "the away penalties", F::AwayPen, false},
    {gtAwayPenYds, "APenY", "the away penalty yards", F::AwayPenYds, false},
    {gtAwayTOPMin, "ATOPM", "the away possession minutes", F::AwayTOPMin, true},
    {gtAwayTOPSec, "ATOPS", "the away possession seconds", F::AwayTOPSec, true},
    {gtHomeScore, "HScore", "the home score", F::HomeScore, false},
    {gtHomeFirstDowns, "HFD", "the home first downs", F::HomeFirstDowns, false},
    {gtHomeRushAtt, "HRA", "the home rushing attempts", F::HomeRushAtt, false},
    {gtHomeRushYds, "HRY", "the home rushing yards", F::HomeRushYds, false},
    {gtHomePassYds, "HPY", "the home passing yards", F::HomePassYds, false},
    {gtHomePassAtt, "HPA", "the home pass attempts", F::HomePassAtt, false},
    {gtHomePassComp, "HPC", "the home completions", F::HomePassComp, false},
    {gtHomeInt, "HInt", "the home interceptions", F::HomeInt, false},
    {gtHomeRetYds, "HRetY", "the home return yards", F::HomeRetYds, false},
    {gtHomeFum, "HFum", "the home fumbles", F::HomeFum, false},
    {gtHomeFumLost, "HFumL", "the home fumbles lost", F::HomeFumLost, false},
    {gtHomeSacks, "HSk", "the home sacks", F::HomeSacks, false},
    {gtHomeSackYds, "HSkY", "the home sack yards", F::HomeSackYds, false},
    {gtHomePen, "Hpen", "the home penalties", F::HomePen, false},
    {gtHomePenYds, "HPenY", "the home penalty yards", F::HomePenYds, false},
    {gtHomeTOPMin, "HTOPM", "the home possession minutes", F::HomeTOPMin, true},
    {gtHomeTOPSec, "HTOPS", "the home possession seconds", F::HomeTOPSec, true},
    {gtAwayTDs, "ATDs", "the away touchdowns", F::AwayTDs, false},
    {gtHomeTDs, "HTDs", "the home touchdowns", F::HomeTDs, false},
}};

constexpr bool EveryBoxInOrder()
{
    for (std::size_t i = 0; i < TextFields.size(); ++i)
        if (TextFields[i].text != static_cast<GameText>(i) || !TextFields[i].tag)
            return false;
    return true;
}
static_assert(EveryBoxInOrder(), "every text box has its row, in the order of GameText");

} // namespace

const std::array<GameTextField, GameTextCount>& GameTextFields() { return TextFields; }

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
    if (!IsGameDate(edits.texts[gtDate], date)) {
        message = "Date must be in the format MM/DD/YYYY";
        return false;
    }
    for (int i = gtDate + 1; i < GameTextCount; ++i) {
        const GameTextField& f = fields[static_cast<std::size_t>(i)];
        const FieldType type = GameRecord::FieldOf(f.field).type;
        const std::string& text = edits.texts[static_cast<std::size_t>(i)];
        std::string problem;
        const std::optional<double> v = ReadTypedNumber(text, type, f.label, problem);
        if (!v) {
            message = problem + " The game was not saved.";
            return false;
        }
        if (type == FieldType::Currency) {
            (f.field == GameRecord::Field::Line ? line : total) = *v;
            if (setLines)
                out.SetNumber(f.field, vb::CurrencyFromDouble(*v));
            continue;
        }
        out.SetNumber(f.field, static_cast<int64_t>(*v));
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
