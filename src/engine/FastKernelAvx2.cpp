// The fast evaluation's inner loop for processors with AVX2 (compiled with -mavx2, without
// FMA: a fused multiply-add would round differently from the straightforward evaluation).
#define VEXAL_KERNEL_LANES 4
#include "FastKernelImpl.h"

namespace vexal::fastkernel::avx2 {

void Evaluate(const Inputs& in, Outputs& out)
{
    Dispatch(in, out);
}

} // namespace vexal::fastkernel::avx2
