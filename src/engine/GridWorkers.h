#pragma once
// The combinations of one rolling window of a grid search, evaluated ahead on several threads.
// Each combination's record depends only on the window's game list and its own values, so
// helper threads evaluate them in chunks while the calling thread takes the records one by
// one in grid order and does everything else (ranking, files, log, events, the stop) exactly
// as it would with one thread. The calling thread helps with the chunks it waits for. The
// records of a bounded ring of chunks are kept ahead; the game list must not change while
// the workers run (they are stopped and joined first).
#include "FastEvaluator.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace vexal {

class GridWorkers {
public:
    // The combination of index j of the window (0 is its first).
    using CombinationAt = std::function<FastEvaluator::Combination(uint64_t j)>;

    // helpers: threads besides the caller (at least 1). The list must be prepared.
    GridWorkers(const FastEvaluator& list, CombinationAt at, uint64_t first, uint64_t count, int helpers);
    ~GridWorkers();
    GridWorkers(const GridWorkers&) = delete;
    GridWorkers& operator=(const GridWorkers&) = delete;

    // The record of combination j; j runs from `first` upwards by one, call by call.
    FastEvaluator::Result Take(uint64_t j);
    uint64_t Next() const { return expected_; }
    uint64_t End() const { return count_; }

private:
    struct Slot {
        std::atomic<uint64_t> ready{0};   // chunk number + 1 once its records are in
    };
    void Work();
    // Claims the next chunk if the ring has room; false when there is none to claim now.
    bool ClaimAndEvaluate(FastEvaluator::Pools& pools);
    void Evaluate(uint64_t chunk, FastEvaluator::Pools& pools);

    const FastEvaluator& list_;
    CombinationAt at_;
    uint64_t first_;
    uint64_t count_;
    uint64_t chunkSize_;
    uint64_t chunks_;
    uint64_t ring_;
    std::vector<FastEvaluator::Result> results_;
    std::unique_ptr<Slot[]> slots_;
    std::atomic<uint64_t> next_{0};       // next chunk to claim
    std::atomic<uint64_t> consumed_{0};   // chunk the caller reads; the ring is free from it
    std::atomic<bool> cancel_{false};
    uint64_t expected_;
    std::size_t poolLimit_;
    FastEvaluator::Pools callerPools_;
    std::vector<std::thread> threads_;
};

} // namespace vexal
