#include "EngineArrays.h"

#include "VbConvert.h"

#include <cmath>

namespace vexal::engine {

int16_t SaturatingCIntRounded(double value)
{
    if (std::isnan(value))
        return 0;
    const double rounded = vb::RoundHalfEven(value);
    if (rounded >= 32767.0)
        return 32767;
    if (rounded <= -32768.0)
        return -32768;
    return static_cast<int16_t>(rounded);
}

} // namespace vexal::engine
