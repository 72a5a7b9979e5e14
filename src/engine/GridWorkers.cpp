#include "GridWorkers.h"

#include <algorithm>

namespace vexal {

namespace {
// About a tenth of a millisecond of work per chunk, whatever the number of games.
uint64_t ChunkSize(std::size_t games)
{
    return std::clamp<uint64_t>(100000 / std::max<std::size_t>(games, 1), 4, 1024);
}
constexpr uint64_t ChunksPerThread = 32;
// The ratio tables of all threads together stay within what one thread may keep.
constexpr std::size_t PoolBudget = std::size_t{64} << 20;
} // namespace

GridWorkers::GridWorkers(const FastEvaluator& list, CombinationAt at, uint64_t first, uint64_t count, int helpers)
    : list_(list), at_(std::move(at)), first_(first), count_(count), expected_(first)
{
    helpers = std::max(helpers, 1);
    chunkSize_ = ChunkSize(list.Size());
    chunks_ = count_ > first_ ? (count_ - first_ + chunkSize_ - 1) / chunkSize_ : 0;
    ring_ = ChunksPerThread * static_cast<uint64_t>(helpers + 1);
    results_.resize(ring_ * chunkSize_);
    slots_ = std::make_unique<Slot[]>(ring_);
    poolLimit_ = std::max<std::size_t>(PoolBudget / static_cast<std::size_t>(helpers + 1), std::size_t{4} << 20);
    callerPools_ = FastEvaluator::Pools(poolLimit_);
    threads_.reserve(static_cast<std::size_t>(helpers));
    for (int k = 0; k < helpers; ++k)
        threads_.emplace_back([this] { Work(); });
}

GridWorkers::~GridWorkers()
{
    cancel_.store(true);
    consumed_.store(UINT64_MAX / 2);
    consumed_.notify_all();
    for (auto& t : threads_)
        t.join();
}

void GridWorkers::Evaluate(uint64_t chunk, FastEvaluator::Pools& pools)
{
    const uint64_t from = first_ + chunk * chunkSize_;
    const uint64_t to = std::min(count_, from + chunkSize_);
    FastEvaluator::Result* out = results_.data() + (chunk % ring_) * chunkSize_;
    for (uint64_t j = from; j < to && !cancel_.load(std::memory_order_relaxed); ++j)
        out[j - from] = list_.Evaluate(at_(j), pools);
    slots_[chunk % ring_].ready.store(chunk + 1, std::memory_order_release);
}

bool GridWorkers::ClaimAndEvaluate(FastEvaluator::Pools& pools)
{
    uint64_t chunk = next_.load(std::memory_order_relaxed);
    while (chunk < chunks_ && chunk < consumed_.load(std::memory_order_acquire) + ring_) {
        if (next_.compare_exchange_weak(chunk, chunk + 1, std::memory_order_acq_rel)) {
            Evaluate(chunk, pools);
            return true;
        }
    }
    return false;
}

void GridWorkers::Work()
{
    FastEvaluator::Pools pools(poolLimit_);
    while (!cancel_.load(std::memory_order_relaxed)) {
        if (ClaimAndEvaluate(pools))
            continue;
        const uint64_t chunk = next_.load(std::memory_order_relaxed);
        if (chunk >= chunks_)
            return;
        // The ring is full: sleep until the caller has read on.
        const uint64_t seen = consumed_.load(std::memory_order_acquire);
        if (chunk >= seen + ring_)
            consumed_.wait(seen);
    }
}

FastEvaluator::Result GridWorkers::Take(uint64_t j)
{
    const uint64_t chunk = (j - first_) / chunkSize_;
    if (j == first_ + chunk * chunkSize_ && chunk > 0) {
        consumed_.store(chunk, std::memory_order_release);
        consumed_.notify_all();
    }
    Slot& slot = slots_[chunk % ring_];
    while (slot.ready.load(std::memory_order_acquire) != chunk + 1) {
        if (!ClaimAndEvaluate(callerPools_))
            std::this_thread::yield();
    }
    expected_ = j + 1;
    return results_[(chunk % ring_) * chunkSize_ + (j - first_ - chunk * chunkSize_)];
}

} // namespace vexal
