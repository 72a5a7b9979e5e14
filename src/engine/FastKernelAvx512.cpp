// The fast evaluation's inner loop for processors with AVX-512 (foundation and double-word
// instructions). No contraction into fused multiply-adds: they would round differently from
// the straightforward evaluation.
#define VEXAL_KERNEL_LANES 8
#include "FastKernelImpl.h"

namespace vexal::fastkernel::avx512 {

void Evaluate(const Inputs& in, Outputs& out)
{
    Dispatch(in, out);
}

} // namespace vexal::fastkernel::avx512
