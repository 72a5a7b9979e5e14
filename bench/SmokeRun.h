#pragma once
// The suite runs every benchmark program once with VEXAL_BENCH_SMOKE set: each row then does
// the smallest work that still goes through all of it, so a benchmark that no longer starts,
// runs or reports is caught. Without it the rows measure what they say.
#include <cstdlib>

namespace vexal::bench {

inline bool SmokeRun()
{
    const char* value = std::getenv("VEXAL_BENCH_SMOKE");
    return value && *value && *value != '0';
}

} // namespace vexal::bench
