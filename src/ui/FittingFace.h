#pragma once
// The one rule by which a text too wide for its room is shown smaller.
#include <QFont>

#include <functional>

namespace vexal {

// The face `fits` accepts: `face` itself when it does, else the largest size below it, in steps
// of `stepPoints`, that does, and `smallestPoints` when none above it does (a face no larger than
// that is kept). A smaller face is never wider, so the sizes are searched by halving and `fits`,
// which may lay out a whole grid, is asked a few times only, `face` first.
QFont FittingFace(const QFont& face, double smallestPoints, const std::function<bool(const QFont&)>& fits,
                  double stepPoints = 0.5);

} // namespace vexal
