#pragma once
// The table of one evaluated week that the engine hands to its Weekly event: a row per game
// slot and one more that is never written, by columns 0 to 4. A cell is Empty until the
// evaluation writes it: column 0 the pick (a team code, -1 for no play, 100 UNDER, 101 OVER),
// column 1 "Win", "Loss", "Tie" or "", columns 2 and 3 the predicted home and away points.
#include "SeasonData.h"

#include <array>
#include <cstdint>
#include <string>
#include <variant>

namespace vexal {

using WeeklyCell = std::variant<std::monostate, int16_t, float, std::string>;
inline constexpr int WeeklyRows = GamesPerWeekSlot + 1;
inline constexpr int WeeklyColumns = 5;
using WeeklyTableArray = std::array<std::array<WeeklyCell, WeeklyColumns>, WeeklyRows>;

inline bool IsEmptyCell(const WeeklyCell& cell) { return std::holds_alternative<std::monostate>(cell); }
// The cell as a number: Empty and text give 0.
double CellNumber(const WeeklyCell& cell);
// The cell as text: Empty gives "", numbers their shortest text.
std::string CellText(const WeeklyCell& cell);
void ClearWeeklyTable(WeeklyTableArray& table);

} // namespace vexal
