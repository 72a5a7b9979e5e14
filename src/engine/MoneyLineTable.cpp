#include "MoneyLineTable.h"

#include <array>
#include <cmath>

namespace vexal {

namespace {

struct FactorRow {
    float spread;
    float payout;   // 0: no key in the payout table
    float risk;
};

// Ascending keys; the first exact match wins.
constexpr std::array<FactorRow, 26> Factors{{
    {1.0f, 0.0f, 1.2f},
    {1.5f, 1.05f, 1.25f},
    {2.0f, 1.1f, 1.3f},
    {2.5f, 1.2f, 1.4f},
    {3.0f, 1.35f, 1.55f},
    {3.5f, 1.55f, 1.75f},
    {4.0f, 1.7f, 2.0f},
    {4.5f, 1.8f, 2.2f},
    {5.0f, 1.9f, 2.4f},
    {5.5f, 1.9f, 2.4f},
    {6.0f, 2.1f, 2.7f},
    {6.5f, 2.2f, 3.0f},
    {7.0f, 2.5f, 3.3f},
    {7.5f, 2.8f, 3.6f},
    {8.0f, 2.8f, 3.6f},
    {8.5f, 2.8f, 3.6f},
    {9.0f, 3.0f, 4.0f},
    {9.5f, 3.0f, 4.0f},
    {10.0f, 3.25f, 4.5f},
    {10.5f, 3.25f, 4.5f},
    {11.0f, 3.75f, 5.5f},
    {11.5f, 3.75f, 5.5f},
    {12.0f, 4.0f, 6.0f},
    {12.5f, 4.0f, 6.0f},
    {13.0f, 4.5f, 6.5f},
    {13.5f, 4.5f, 6.5f},
}};

constexpr float PayoutDefault = 1.0f;
constexpr float RiskDefault = 1.1f;
constexpr int16_t True = -1;

} // namespace

float SpreadToMoneyLineFactor(float Spread, int16_t Flag)
{
    const float spread = std::fabs(Spread);
    const bool payout = Flag == True;
    for (const FactorRow& row : Factors) {
        if (row.spread == spread) {
            if (payout)
                return row.payout > 0.0f ? row.payout : PayoutDefault;
            return row.risk;
        }
    }
    return payout ? PayoutDefault : RiskDefault;
}

} // namespace vexal
