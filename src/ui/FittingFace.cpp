#include "FittingFace.h"

#include <cmath>

namespace vexal {

QFont FittingFace(const QFont& face, double smallestPoints, const std::function<bool(const QFont&)>& fits,
                  double stepPoints)
{
    const double points = face.pointSizeF();
    if (points <= smallestPoints || fits(face))
        return face;
    // Candidate k (1 .. last) is `points` less k steps; the last is the smallest size itself,
    // which need not lie on a step.
    const double step = stepPoints > 0 ? stepPoints : 0.5;
    const int last = static_cast<int>(std::ceil((points - smallestPoints) / step - 1e-9));
    auto sized = [&](int k) {
        QFont f = face;
        f.setPointSizeF(k == last ? smallestPoints : points - k * step);
        return f;
    };
    // The first candidate that fits lies in (low, high]; `high` when none before it does.
    int low = 0;
    int high = last;
    while (high - low > 1) {
        const int mid = low + (high - low) / 2;
        if (fits(sized(mid)))
            high = mid;
        else
            low = mid;
    }
    return sized(high);
}

} // namespace vexal
