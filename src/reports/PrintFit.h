#pragma once
// Type size for printouts that must fit their room whatever fonts the machine has: the
// faces that are really printed are measured, not a stand-in, so a wider fallback face (or
// a bold heading) makes the type smaller instead of pushing text off the page.
#include <functional>

namespace vexal {

// The smallest print size ever chosen, in points: a very narrow page gets very small type
// rather than a table cut off at its edge.
inline constexpr double MinimumPrintPointSize = 1.0;

// overflow(size) answers how much too wide the printout is at that point size: the largest
// of every text's needed width divided by the room it has (1 or less: everything fits).
// Answers nominal when it fits, else the largest size found below it that fits (never
// below MinimumPrintPointSize).
double FitPointSize(double nominal, const std::function<double(double size)>& overflow);

} // namespace vexal
