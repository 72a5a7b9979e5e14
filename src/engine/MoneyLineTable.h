#pragma once
// Money-line factors: the units a side pick wins (payout table) or loses (risk table) for
// the spread of its game, when the engine counts money-line units.
#include <cstdint>

namespace vexal {

// Flag True (-1) selects the payout table, any other value the risk table. The absolute
// spread must equal a key exactly; any other spread gives 1.0 (payout) or 1.1 (risk).
float SpreadToMoneyLineFactor(float Spread, int16_t Flag);

} // namespace vexal
