#include "Teams.h"

#include "AppState.h"
#include "Host.h"
#include "SeasonData.h"
#include "VbConvert.h"
#include "VbError.h"

namespace vexal {

namespace {

struct TeamNames {
    const char* City;
    const char* Nickname;
    const char* ShortCity;
    const char* ShortNickname;
};

// The names a franchise carried in a season. Codes outside 1..32, 100 and 101 give nullptrs.
TeamNames NamesOf(int code, int year)
{
    switch (code) {
    case 1:
        if (year <= 1987)
            return {"St.Louis", "Cardinals", "StL", "Crd"};
        if (year <= 1993)
            return {"Phoenix", "Cardinals", "Pho", "Crd"};
        return {"Arizona", "Cardinals", "Ari", "Crd"};
    case 2: return {"Atlanta", "Falcons", "Atl", "Fal"};
    case 3:
        if (year <= 1995)
            return {"Cleveland", "Browns", "Cle", "Bwn"};
        return {"Baltimore", "Ravens", "Bal", "Rav"};
    case 4: return {"Buffalo", "Bills", "Buf", "Bil"};
    case 5: return {"Carolina", "Panthers", "Car", "Pan"};
    case 6: return {"Chicago", "Bears", "Chi", "Bea"};
    case 7: return {"Cincinnati", "Bengals", "Cin", "Ben"};
    case 8: return {"Dallas", "Cowboys", "Dal", "Cow"};
    case 9: return {"Denver", "Broncos", "Den", "Bnc"};
    case 10: return {"Detroit", "Lions", "Det", "Lio"};
    case 11: return {"Green Bay", "Packers", "GB ", "Pac"};
    case 12:
        // The city changed in 1997, the nickname only in 1999.
        return {year <= 1996 ? "Houston" : "Tennessee", year <= 1998 ? "Oilers" : "Titans",
                year <= 1996 ? "Hou" : "Ten", year <= 1998 ? "Oil" : "Tit"};
    case 13:
        if (year <= 1983)
            return {"Baltimore", "Colts", "Bal", "Col"};
        return {"Indianapolis", "Colts", "Ind", "Col"};
    case 14: return {"Jacksonville", "Jaguars", "Jac", "Jag"};
    case 15: return {"Kansas City", "Chiefs", "KC ", "Chi"};
    case 16: return {"Miami", "Dolphins", "Mia", "Dol"};
    case 17: return {"Minnesota", "Vikings", "Min", "Vik"};
    case 18: return {"New England", "Patriots", "NE ", "Pat"};
    case 19: return {"New Orleans", "Saints", "NO ", "Sai"};
    case 20: return {"N.Y. Jets", "Jets", "NYJ", "Jet"};
    case 21: return {"N.Y. Giants", "Giants", "NYG", "Gia"};
    case 22:
        if (year <= 1994)
            return {"Los Angeles", "Raiders", "LA ", "Rai"};
        if (year <= 2019)
            return {"Oakland", "Raiders", "Oak", "Rai"};
        return {"Las Vegas", "Raiders", "LV", "Rai"};
    case 23: return {"Philadelphia", "Eagles", "Phi", "Eag"};
    case 24: return {"Pittsburgh", "Steelers", "Pit", "Ste"};
    case 25:
        if (year <= 1994)
            return {"Los Angeles", "Rams", "LA ", "Ram"};
        if (year <= 2015)
            return {"St.Louis", "Rams", "StL", "Ram"};
        if (year == 2016)
            return {"Los Angeles", "Rams", "LA ", "Ram"};
        return {"L.A. Rams", "Rams", "LA ", "Ram"};
    case 26:
        return {year <= 2016 ? "San Diego" : "L.A. Chargers", "Chargers", "SD ", "Cha"};
    case 27: return {"San Francisco", "49ers", "SF ", "49r"};
    case 28: return {"Seattle", "Seahawks", "Sea", "Sea"};
    case 29: return {"Tampa Bay", "Buccaneers", "TB ", "Buc"};
    case 30:
        if (year <= 2019)
            return {"Washington", "Redskins", "Was", "Red"};
        if (year <= 2021)
            return {"Washington", "Football Team", "Was", "Red"};
        return {"Washington", "Commanders", "Was", "Red"};
    case 31: return {"Cleveland", "Browns", "Cle", "Bwn"};
    case 32: return {"Houston", "Texans", "Hou", "Tex"};
    case TeamUnder: return {"UNDER", "UNDER", "UND", "UND"};
    case TeamOver: return {"OVER", "OVER", "OVR", "OVR"};
    default: return {nullptr, nullptr, nullptr, nullptr};
    }
}

struct TeamLogo {
    const char* Base;
    int32_t Color1;
    int32_t Color2;
};

// Logo bases and colours (0x00BBGGRR) of codes 1 to 32; code 3 is chosen by season below.
constexpr TeamLogo Logos[33] = {
    {"", 0, 0},
    {"ARI", 0x000080, 0x00FFFF}, {"ATL", 0x000000, 0x0000FF}, {"CLE", 0x0080FF, 0xFFFFFF},
    {"BUF", 0xC00000, 0x0000FF}, {"CAR", 0x000000, 0xF0D000}, {"CHI", 0x800000, 0x0080FF},
    {"CIN", 0x000000, 0x0080FF}, {"DAL", 0x800000, 0xFFFFFF}, {"DEN", 0x0080FF, 0xC00000},
    {"DET", 0x800000, 0xFFFFFF}, {"GB", 0x008000, 0x00FFFF}, {"TEN", 0xC00000, 0x0000FF},
    {"IND", 0x800000, 0xFFFFFF}, {"JAK", 0x000000, 0xC0C000}, {"KC", 0x0000FF, 0xFFFFFF},
    {"MIA", 0x808000, 0x0080FF}, {"MIN", 0xC000B0, 0x00FFFF}, {"NE", 0x800000, 0x0000FF},
    {"NO", 0x000000, 0x00E0E0}, {"NYJ", 0x008000, 0xFFFFFF}, {"NYG", 0x800000, 0x0000FF},
    {"OAK", 0x000000, 0xFFFFFF}, {"PHI", 0x008000, 0xFFFFFF}, {"PIT", 0x000000, 0x00FFFF},
    {"STL", 0xC00000, 0x00FFFF}, {"SD", 0x800000, 0x00FFFF}, {"SF", 0x000080, 0x00E0E0},
    {"SEA", 0x800000, 0x008000}, {"TB", 0x000080, 0xC0C0C0}, {"WAS", 0x000080, 0x00FFFF},
    {"CLE", 0x0080FF, 0xFFFFFF}, {"HOU", 0x000000, 0x0000FF},
};
constexpr TeamLogo BaltimoreLogo{"BAL", 0x800000, 0x00E0E0};

constexpr std::array<uint8_t, 32> Order2002{
    4, 16, 18, 20, 3, 7, 31, 24, 32, 13, 14, 12, 9, 15, 22, 26,
    8, 21, 23, 30, 6, 10, 11, 17, 2, 5, 19, 29, 1, 25, 27, 28,
};
constexpr std::array<uint8_t, 31> OrderBefore2002{
    4, 13, 16, 18, 20, 3, 7, 12, 14, 24, 31, 9, 15, 22, 26, 28,
    1, 8, 21, 23, 30, 6, 10, 11, 17, 29, 2, 5, 19, 25, 27,
};

constexpr Division Divisions2002[] = {
    {"AFC East", 0, 4}, {"AFC North", 4, 4}, {"AFC South", 8, 4}, {"AFC West", 12, 4},
    {"NFC East", 16, 4}, {"NFC North", 20, 4}, {"NFC South", 24, 4}, {"NFC West", 28, 4},
};
constexpr Division DivisionsBefore2002[] = {
    {"AFC East", 0, 5}, {"AFC Central", 5, 6}, {"AFC West", 11, 5},
    {"NFC East", 16, 5}, {"NFC Central", 21, 5}, {"NFC West", 26, 5},
};

// Year 0 means the season of the current week, written back for the caller.
void ResolveYear(int16_t& year)
{
    if (year == 0)
        year = SeasonOfCurrentWeek();
}

bool ShowCity(int style)
{
    if (style == NameStyleAsShown)
        return App().ShowCityNames;
    return style != NameStyleNickname;
}

} // namespace

int16_t SeasonOfCurrentWeek()
{
    const SeasonData& s = Season();
    const int slot = vb::CInt(App().CurrentFormula[fsCurrentWeek]) - 1;
    for (std::size_t k = 0; k < s.SeasonFirstWeek.size(); ++k) {
        if (s.SeasonFirstWeek[k] <= slot)
            return static_cast<int16_t>(s.SeasonYear - static_cast<int>(k));
    }
    throw VbError::Of(VbError::SubscriptOutOfRange);
}

std::string TeamName(int code, int16_t& year, int style)
{
    const bool city = ShowCity(style);
    ResolveYear(year);
    TeamNames names = NamesOf(code, year);
    const char* text = city ? names.City : names.Nickname;
    return text ? text : "";
}

std::string TeamName(int code, int year, int style)
{
    int16_t y = static_cast<int16_t>(year);
    return TeamName(code, y, style);
}

std::string TeamAbbrev3(int code, int16_t& year, int style)
{
    ResolveYear(year);
    if (code == 0)
        return "   ";
    TeamNames names = NamesOf(code, year);
    const char* text = style == AbbrevStyleCity ? names.ShortCity : names.ShortNickname;
    return text ? text : "";
}

std::string TeamAbbrev3(int code, int year, int style)
{
    int16_t y = static_cast<int16_t>(year);
    return TeamAbbrev3(code, y, style);
}

int16_t TeamCode(const std::string& name, int16_t& year, int /*style*/)
{
    ResolveYear(year);
    const std::string& n = name;
    if (n.empty() || n == "None")
        return 0;
    if (n == "UNDER")
        return TeamUnder;
    if (n == "OVER")
        return TeamOver;
    if (n == "St.Louis")
        return year <= 1987 ? 1 : 25;
    // Before 1995 two franchises played in Los Angeles; the Rams are taken, as from 1995 on.
    if (n == "Los Angeles")
        return 25;
    if (n == "Cleveland" || n == "Browns")
        return year <= 1995 ? 3 : 31;
    if (n == "Baltimore")
        return year <= 1995 ? 13 : 3;
    if (n == "Houston")
        return year < 2002 ? 12 : 32;

    struct Fixed {
        const char* Name;
        int16_t Code;
    };
    static constexpr Fixed fixedNames[] = {
        {"Phoenix", 1}, {"Arizona", 1}, {"Cardinals", 1}, {"Atlanta", 2}, {"Falcons", 2}, {"Ravens", 3},
        {"Buffalo", 4}, {"Bills", 4}, {"Carolina", 5}, {"Panthers", 5}, {"Chicago", 6}, {"Bears", 6},
        {"Cincinnati", 7}, {"Bengals", 7}, {"Dallas", 8}, {"Cowboys", 8}, {"Denver", 9}, {"Broncos", 9},
        {"Detroit", 10}, {"Lions", 10}, {"Green Bay", 11}, {"Packers", 11}, {"Tennessee", 12},
        {"Oilers", 12}, {"Titans", 12}, {"Indianapolis", 13}, {"Colts", 13}, {"Jacksonville", 14},
        {"Jaguars", 14}, {"Kansas City", 15}, {"Chiefs", 15}, {"Miami", 16}, {"Dolphins", 16},
        {"Minnesota", 17}, {"Vikings", 17}, {"New England", 18}, {"Patriots", 18}, {"New Orleans", 19},
        {"Saints", 19}, {"N.Y. Jets", 20}, {"Jets", 20}, {"N.Y. Giants", 21}, {"Giants", 21},
        {"Oakland", 22}, {"Raiders", 22}, {"Las Vegas", 22}, {"Philadelphia", 23}, {"Eagles", 23},
        {"Pittsburgh", 24}, {"Steelers", 24}, {"Rams", 25}, {"L.A. Rams", 25}, {"San Diego", 26},
        {"Chargers", 26}, {"L.A. Chargers", 26}, {"San Francisco", 27}, {"49ers", 27}, {"Seattle", 28},
        {"Seahawks", 28}, {"Tampa Bay", 29}, {"Buccaneers", 29}, {"Washington", 30}, {"Redskins", 30},
        {"Football Team", 30}, {"Commanders", 30}, {"Texans", 32},
    };
    for (const Fixed& f : fixedNames) {
        if (n == f.Name)
            return f.Code;
    }
    return -1;
}

int16_t TeamCode(const std::string& name, int year, int style)
{
    int16_t y = static_cast<int16_t>(year);
    return TeamCode(name, y, style);
}

std::string TeamLogoPath(int code)
{
    AppState& app = App();
    if (code < 1 || code > LastTeamCode) {
        app.TeamAbbrev.clear();
        return "";
    }
    TeamLogo logo = Logos[code];
    if (code == 3 && Season().SeasonYear >= 1996)
        logo = BaltimoreLogo;
    app.TeamColor1 = logo.Color1;
    app.TeamColor2 = logo.Color2;
    app.TeamAbbrev = logo.Base;
    return ProgramFile(std::string("images/") + logo.Base + ".gif").string();
}

std::string SurfaceName(int code)
{
    switch (code) {
    case 0: return "Grass";
    case 1: return "Turf";
    case 2: return "Dome";
    default: return "???";
    }
}

std::span<const uint8_t> DivisionOrderOf(int year)
{
    if (year >= 2002)
        return Order2002;
    return OrderBefore2002;
}

void SetDivisionOrder(int year)
{
    auto& order = Season().DivisionOrder;
    std::span<const uint8_t> codes = DivisionOrderOf(year);
    for (std::size_t i = 0; i < codes.size(); ++i)
        order[i] = codes[i];
    if (codes.size() < 32)
        order[31] = 0;
}

std::array<uint8_t, 33>& DivisionOrder() { return Season().DivisionOrder; }

std::span<const Division> Divisions(int year)
{
    if (year >= 2002)
        return Divisions2002;
    return DivisionsBefore2002;
}

} // namespace vexal
