#include "SeasonData.h"

namespace vexal {

void SeasonData::Allocate(int seasons)
{
    WeekSlots = static_cast<int16_t>(WeekSlotsPerSeason * seasons);
    SeasonGames.assign(static_cast<std::size_t>(WeekSlots) * WeekSlotStride + WeekSlotStride, 0);
    SeasonLines.assign(static_cast<std::size_t>(WeekSlots) * LineSlotStride + LineArraySpare, 0.0f);
    SeasonFirstWeek.assign(static_cast<std::size_t>(seasons) + 1, 0);
}

SeasonData& Season()
{
    static SeasonData data;
    return data;
}

void ResetSeason() { Season() = SeasonData{}; }

} // namespace vexal
