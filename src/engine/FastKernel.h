#pragma once
// The inner loop of the fast evaluation: one combination over the game list, several games at
// a time. Built three times, for every x86-64 processor (two games per step), for processors
// with AVX2 (four) and for processors with AVX-512 (eight), and the widest the processor has
// is chosen when the program runs; every build makes the same IEEE operations in the same
// order, so their results are the same bit for bit.
#include <cstddef>
#include <cstdint>

namespace vexal::fastkernel {

struct Inputs {
    std::size_t count = 0;       // games; the arrays hold a multiple of 8 (padding contributes nothing)
    const float* homeRatio = nullptr;
    const float* awayRatio = nullptr;
    const double* turnover = nullptr;
    const double* factorsHalf = nullptr;
    const double* power14 = nullptr;
    const double* power15 = nullptr;
    const double* cliffHalf = nullptr;
    const double* spread = nullptr;
    const double* total = nullptr;
    const uint64_t* firstPick = nullptr;
    const uint64_t* secondPick = nullptr;
    const double* firstUnits = nullptr;
    const double* secondUnits = nullptr;
    double multiplier = 0;
    double halfHome = 0;
    double minDiff = 0;
    double maxDiff = 0;
    bool totals = false;
    bool power = false;
    bool cliff = false;
    bool units = false;
    float* trace = nullptr;      // 2 x count scores when not null
};

struct Outputs {
    uint64_t counts = 0;         // the picks' result codes summed
    float units = 0;
};

inline std::size_t Padded(std::size_t count) { return (count + 7) & ~std::size_t{7}; }

void Evaluate(const Inputs& in, Outputs& out);
// Games per step of the widest build this processor runs: 2, 4 or 8.
int NativeLanes();
// Tests and benchmarks: the build Evaluate uses, by its games per step (2, 4 or 8); a width
// the processor lacks, or 0, gives the widest it has. Set it before a run starts.
void ForceLanes(int lanes);
int ChosenLanes();
// True makes Evaluate use the build for every processor (ForceLanes(2)); false the widest.
void ForceGeneric(bool on);

namespace generic {
void Evaluate(const Inputs& in, Outputs& out);
}
namespace avx2 {
void Evaluate(const Inputs& in, Outputs& out);
}
namespace avx512 {
void Evaluate(const Inputs& in, Outputs& out);
}

} // namespace vexal::fastkernel
