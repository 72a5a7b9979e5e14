// The fast evaluation's inner loop for every x86-64 processor, and the choice of build.
#define VEXAL_KERNEL_LANES 2
#include "FastKernelImpl.h"

#include <atomic>

namespace vexal::fastkernel {

namespace generic {
void Evaluate(const Inputs& in, Outputs& out)
{
    Dispatch(in, out);
}
} // namespace generic

namespace {

int Native()
{
    static const int lanes = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq") ? 8
                             : __builtin_cpu_supports("avx2")                                          ? 4
                                                                                                       : 2;
    return lanes;
}

// Read by every worker of a run, set only between runs.
std::atomic<int> chosen{0};

} // namespace

int NativeLanes()
{
    return Native();
}

void ForceLanes(int lanes)
{
    chosen.store(lanes == 2 || (lanes == 4 && Native() >= 4) || (lanes == 8 && Native() >= 8) ? lanes : 0,
                 std::memory_order_relaxed);
}

int ChosenLanes()
{
    const int lanes = chosen.load(std::memory_order_relaxed);
    return lanes ? lanes : Native();
}

void ForceGeneric(bool on)
{
    ForceLanes(on ? 2 : 0);
}

void Evaluate(const Inputs& in, Outputs& out)
{
    switch (ChosenLanes()) {
    case 8: return avx512::Evaluate(in, out);
    case 4: return avx2::Evaluate(in, out);
    default: return generic::Evaluate(in, out);
    }
}

} // namespace vexal::fastkernel
