#include "PrintFit.h"

#include <algorithm>

namespace vexal {

double FitPointSize(double nominal, const std::function<double(double size)>& overflow)
{
    double size = nominal;
    for (int attempt = 0; attempt < 40 && size > MinimumPrintPointSize; ++attempt) {
        const double ratio = overflow(size);
        if (!(ratio > 1.0))
            return size;
        // Widths grow almost in proportion to the size; hinting and rounding are made up
        // for by a small extra step and, where that is not enough, by the next attempt.
        size = std::max(MinimumPrintPointSize, std::min(size / ratio, size * 0.99) * 0.995);
    }
    return std::max(size, MinimumPrintPointSize);
}

} // namespace vexal
