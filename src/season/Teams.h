#pragma once
// Team names by season, team codes back from names, logos and team colours, surface names
// and the division order of a season. A team code names one franchise across its moves:
// 1 to 32, 0 = no team, 100 "UNDER" and 101 "OVER" for totals picks.
#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace vexal {

inline constexpr int16_t TeamUnder = 100;
inline constexpr int16_t TeamOver = 101;
inline constexpr int16_t LastTeamCode = 32;

// Styles of TeamName: 0 nickname, 3 as the main window's "City / Name" toggle shows names,
// anything else the city name.
inline constexpr int16_t NameStyleNickname = 0;
inline constexpr int16_t NameStyleCity = 1;
inline constexpr int16_t NameStyleAsShown = 3;
// Style of TeamAbbrev3: exactly True (-1) gives the short city form, anything else the
// short nickname.
inline constexpr int16_t AbbrevStyleCity = -1;

// The season of the current week (CurrentWeek of the current formula) among the loaded
// seasons. Throws VbError 9 when no loaded season holds it (arrays not loaded, no week chosen).
int16_t SeasonOfCurrentWeek();

// Year 0 stands for the season of the current week; the version taking the year by
// reference writes that season back into the caller's variable.
std::string TeamName(int code, int16_t& year, int style);
std::string TeamName(int code, int year, int style);
// The three-character form ("GB ", "NYJ"; "LV" has two); three blanks for code 0; an empty
// text for a code that names no team.
std::string TeamAbbrev3(int code, int16_t& year, int style);
std::string TeamAbbrev3(int code, int year, int style);
// The code of a city or nickname, compared exactly (case matters): 0 for "" and "None",
// -1 for a text that names no team. style is accepted and not consulted.
int16_t TeamCode(const std::string& name, int16_t& year, int style);
int16_t TeamCode(const std::string& name, int year, int style);

// The logo file of a team, images/<base>.gif in the program folder (not checked for
// existence); an empty text for codes without a logo. Sets App().TeamAbbrev to the base,
// and App().TeamColor1/TeamColor2 for codes 1 to 32. The Cleveland/Baltimore choice of
// code 3 follows the chosen season (SeasonYear), not the week's season.
std::string TeamLogoPath(int code);

// "Grass", "Turf", "Dome"; "???" for any other code.
std::string SurfaceName(int code);

// Fills DivisionOrder with the team codes in division order: 32 teams in eight divisions
// from 2002, 31 in six before (position 31 then 0). Position 32 stays 0.
void SetDivisionOrder(int year);
std::array<uint8_t, 33>& DivisionOrder();
// The team codes in division order of a season's divisions (32 from 2002, else 31), without
// touching DivisionOrder.
std::span<const uint8_t> DivisionOrderOf(int year);

// The divisions of a season and their positions in DivisionOrder; positions 0 to 15 are
// the AFC, 16 and on the NFC.
struct Division {
    const char* Name;
    int16_t First;
    int16_t Count;
};
std::span<const Division> Divisions(int year);

} // namespace vexal
