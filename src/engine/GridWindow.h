#pragma once
// The values each inner loop of the grid search takes in one rolling window, so that the
// combination of any index of the window can be named without running the loops.
#include "FastEvaluator.h"

#include <cstdint>
#include <vector>

namespace vexal {

struct GridWindow {
    std::vector<float> homeField, minDiff, maxDiff, turnover, multiplier;
    std::vector<int16_t> offense, rushing;

    // The loops' positions at one combination; the multiplier is the innermost loop, the
    // home-field advantage the outermost.
    struct Cursor {
        std::size_t multiplier = 0, turnover = 0, rushing = 0, offense = 0, maxDiff = 0, minDiff = 0, homeField = 0;
    };

    // 0 when a loop has no value; a count too large to name is 0 as well.
    uint64_t Count() const;
    FastEvaluator::Combination At(uint64_t j) const;
    Cursor CursorAt(uint64_t j) const;
    FastEvaluator::Combination At(const Cursor& c) const;
    // On to the next combination, as the loops step.
    void Advance(Cursor& c) const;
};

} // namespace vexal
