// The body of the fast evaluation's inner loop, included once per instruction set by
// FastKernelGeneric.cpp (2 games per vector, SSE2), FastKernelAvx2.cpp (4 games per vector)
// and FastKernelAvx512.cpp (8), which define VEXAL_KERNEL_LANES first. Every value is computed as the
// straightforward evaluation computes it: double operations in its order, each stored score
// rounded to a Single.
#include "FastKernel.h"

#include <cstring>
#include <immintrin.h>

#ifndef VEXAL_KERNEL_LANES
#error "VEXAL_KERNEL_LANES must be 2, 4 or 8"
#endif

namespace {

constexpr int Lanes = VEXAL_KERNEL_LANES;
static_assert(Lanes == 2 || Lanes == 4 || Lanes == 8, "the game list is padded to a multiple of 8");
typedef double D4 __attribute__((vector_size(8 * Lanes)));
typedef int64_t I4 __attribute__((vector_size(8 * Lanes)));
typedef uint64_t U4 __attribute__((vector_size(8 * Lanes)));

template <class V, class T>
inline V Load(const T* p)
{
    V v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline D4 Splat(double x)
{
    D4 v;
    for (int k = 0; k < Lanes; ++k)
        v[k] = x;
    return v;
}

// The three conversions and the floor, each one instruction of the vector width. A Single
// widened to a Double and a Double narrowed to a Single (round to nearest, as every store of
// a score) are exact IEEE conversions; max(0, v) gives v when v is NaN or -0 (the second
// operand wins an unordered or equal compare), so it equals v < 0 ? 0 : v in every case.
#if VEXAL_KERNEL_LANES == 2
inline D4 Widen(const float* p)
{
    return (D4)_mm_cvtps_pd(_mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p))));
}
inline D4 Single(D4 v) { return (D4)_mm_cvtps_pd(_mm_cvtpd_ps((__m128d)v)); }
inline D4 Floor0(D4 v) { return (D4)_mm_max_pd(_mm_setzero_pd(), (__m128d)v); }
#elif VEXAL_KERNEL_LANES == 4
inline D4 Widen(const float* p) { return (D4)_mm256_cvtps_pd(_mm_loadu_ps(p)); }
inline D4 Single(D4 v) { return (D4)_mm256_cvtps_pd(_mm256_cvtpd_ps((__m256d)v)); }
inline D4 Floor0(D4 v) { return (D4)_mm256_max_pd(_mm256_setzero_pd(), (__m256d)v); }
#else
// The all-lanes masked forms: the plain ones start from an undefined register, which this
// compiler reports as uninitialised.
constexpr __mmask8 All = 0xFF;
inline D4 Widen(const float* p) { return (D4)_mm512_maskz_cvtps_pd(All, _mm256_loadu_ps(p)); }
inline D4 Single(D4 v) { return (D4)_mm512_maskz_cvtps_pd(All, _mm512_maskz_cvtpd_ps(All, (__m512d)v)); }
inline D4 Floor0(D4 v) { return (D4)_mm512_maskz_max_pd(All, _mm512_setzero_pd(), (__m512d)v); }
#endif

template <bool Totals, bool Power, bool Cliff, bool Units, bool Trace>
void Run(const vexal::fastkernel::Inputs& in, vexal::fastkernel::Outputs& out)
{
    const D4 M = Splat(in.multiplier);
    const D4 halfHome = Splat(in.halfHome);
    const D4 minDiff = Splat(in.minDiff);
    const D4 maxDiff = Splat(in.maxDiff);
    U4 counts = U4{};
    float units = out.units;
    for (std::size_t i = 0; i < in.count; i += Lanes) {
        const D4 homeRatio = Widen(in.homeRatio + i);
        const D4 awayRatio = Widen(in.awayRatio + i);
        const D4 turnover = Load<D4>(in.turnover + i);
        const D4 factors = Load<D4>(in.factorsHalf + i);
        D4 ph = Single(((M * homeRatio + halfHome) - turnover) + factors);
        D4 pa = Single(((M * awayRatio - halfHome) + turnover) - factors);
        if constexpr (Power) {
            ph = Single(ph + Load<D4>(in.power14 + i));
            pa = Single(pa + Load<D4>(in.power15 + i));
        }
        if constexpr (Cliff) {
            const D4 cliff = Load<D4>(in.cliffHalf + i);
            ph = Single(ph + cliff);
            pa = Single(pa - cliff);
        }
        ph = Floor0(ph);
        pa = Floor0(pa);
        if constexpr (Trace) {
            for (std::size_t k = 0; k < Lanes && i + k < in.count; ++k) {
                in.trace[2 * (i + k)] = static_cast<float>(ph[k]);
                in.trace[2 * (i + k) + 1] = static_cast<float>(pa[k]);
            }
        }
        const U4 first = Load<U4>(in.firstPick + i);
        const U4 second = Load<U4>(in.secondPick + i);
        if constexpr (Totals) {
            const D4 predicted = Single(ph + pa);
            const D4 total = Load<D4>(in.total + i);
            const U4 over = (U4)((total + minDiff < predicted) & (predicted < total + maxDiff));
            const U4 under = (U4)((total - maxDiff < predicted) & (predicted < total - minDiff));
            const U4 underPick = under & second;
            const U4 useUnder = (U4)(underPick != U4{});
            counts += (useUnder & underPick) | (~useUnder & over & first);
        } else {
            const D4 spread = Load<D4>(in.spread + i);
            const D4 homeSide = ph + spread;
            const D4 awaySide = pa - spread;
            const I4 home = (pa + minDiff < homeSide) & (homeSide < pa + maxDiff);
            const I4 away = ~home & (ph + minDiff < awaySide) & (awaySide < ph + maxDiff);
            counts += ((U4)home & first) | ((U4)away & second);
            if constexpr (Units) {
                const D4 firstUnits = Load<D4>(in.firstUnits + i);
                const D4 secondUnits = Load<D4>(in.secondUnits + i);
                // Added game by game, in order, as the straightforward evaluation adds them.
                for (int k = 0; k < Lanes; ++k) {
                    const double delta = home[k] ? firstUnits[k] : away[k] ? secondUnits[k] : 0.0;
                    units = static_cast<float>(static_cast<double>(units) + delta);
                }
            }
        }
    }
    uint64_t sum = 0;
    for (int k = 0; k < Lanes; ++k)
        sum += counts[k];
    out.counts = sum;
    out.units = units;
}

template <bool Totals, bool Power, bool Cliff, bool Units>
void WithTrace(const vexal::fastkernel::Inputs& in, vexal::fastkernel::Outputs& out)
{
    if (in.trace)
        Run<Totals, Power, Cliff, Units, true>(in, out);
    else
        Run<Totals, Power, Cliff, Units, false>(in, out);
}

void Dispatch(const vexal::fastkernel::Inputs& in, vexal::fastkernel::Outputs& out)
{
    const bool units = in.units && !in.totals;
    const int variant = (in.totals ? 8 : 0) | (in.power ? 4 : 0) | (in.cliff ? 2 : 0) | (units ? 1 : 0);
    switch (variant) {
    case 1: return WithTrace<false, false, false, true>(in, out);
    case 2: return WithTrace<false, false, true, false>(in, out);
    case 3: return WithTrace<false, false, true, true>(in, out);
    case 4: return WithTrace<false, true, false, false>(in, out);
    case 5: return WithTrace<false, true, false, true>(in, out);
    case 6: return WithTrace<false, true, true, false>(in, out);
    case 7: return WithTrace<false, true, true, true>(in, out);
    case 8: return WithTrace<true, false, false, false>(in, out);
    case 10: return WithTrace<true, false, true, false>(in, out);
    case 12: return WithTrace<true, true, false, false>(in, out);
    case 14: return WithTrace<true, true, true, false>(in, out);
    default: return WithTrace<false, false, false, false>(in, out);
    }
}

} // namespace
