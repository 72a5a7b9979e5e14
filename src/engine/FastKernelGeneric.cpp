// The fast evaluation's inner loop for every x86-64 processor.
#define VEXAL_KERNEL_LANES 2
#include "FastKernelImpl.h"

namespace vexal::fastkernel {

namespace generic {
void Evaluate(const Inputs& in, Outputs& out)
{
    Dispatch(in, out);
}
} // namespace generic

namespace {
bool forceGeneric = false;
}

void ForceGeneric(bool on)
{
    forceGeneric = on;
}

void Evaluate(const Inputs& in, Outputs& out)
{
    static const bool hasAvx2 = __builtin_cpu_supports("avx2");
    if (hasAvx2 && !forceGeneric)
        avx2::Evaluate(in, out);
    else
        generic::Evaluate(in, out);
}

} // namespace vexal::fastkernel
