#pragma once
// The combinations of a grid search's rolling windows, evaluated ahead on several threads.
// Each combination's record depends only on the window's game list and its own values, so
// helper threads evaluate them in chunks while the calling thread takes the records one by
// one in grid order and does everything else (ranking, files, log, events, the stop) exactly
// as it would alone. The caller never waits for a helper: a chunk nobody has taken it
// evaluates itself, and while a helper still holds the chunk it needs, it evaluates another
// chunk or, with the ring of chunks kept ahead full, the combination itself; so a helper the
// system has put aside holds nothing up. The threads are started once for a run and sleep
// between windows; the tables and buffers grow to the largest window and are kept, so the
// combination loop allocates nothing. The game list and the window must not change between
// Start and Stop.
#include "FastEvaluator.h"
#include "GridWindow.h"
#include "WindowTables.h"
#include "WorkGate.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

namespace vexal {

class GridWorkers {
public:
    // maxHelpers: the most threads besides the caller a window may use (0 or more); they are
    // started when a window first asks for them. tableBudget: the most memory a window's
    // shared tables may take.
    explicit GridWorkers(int maxHelpers, std::size_t tableBudget = WindowTables::DefaultBudget);
    ~GridWorkers();
    GridWorkers(const GridWorkers&) = delete;
    GridWorkers& operator=(const GridWorkers&) = delete;

    // The helpers worth starting for `combinations` combinations over `games` games: none
    // unless each has enough work to outweigh waking it and sharing the records.
    static int HelpersFor(uint64_t combinations, std::size_t games, int maxHelpers);

    // Evaluates the combinations first to count - 1 of the window over the prepared list,
    // with up to `helpers` threads besides the caller.
    void Start(const FastEvaluator& list, const GridWindow& window, uint64_t first, uint64_t count, int helpers);
    // Ends the window's evaluation: once it returns, no thread reads the list or the window.
    void Stop();
    bool Started() const { return started_; }
    int Helpers() const { return helpers_; }

    // The record of combination Next(); Next() runs from `first` upwards by one, call by call.
    FastEvaluator::Result Take();
    uint64_t Next() const { return expected_; }
    uint64_t End() const { return count_; }
    FastEvaluator::Combination NextCombination() const { return window_.At(cursor_); }

private:
    struct alignas(64) Slot {
        // 3c: free for chunk c; 3c + 1: chunk c's records being copied in; 3c + 2: they are in.
        std::atomic<uint64_t> state{0};
    };
    static uint64_t FreeFor(uint64_t chunk) { return 3 * chunk; }
    static uint64_t Copying(uint64_t chunk) { return 3 * chunk + 1; }
    static uint64_t Filled(uint64_t chunk) { return 3 * chunk + 2; }

    void Work(int thread, uint32_t seen);
    void WorkOnWindow(int thread);
    // Claims the next chunk if the ring has room for it and evaluates it; false when there
    // is none to claim now.
    bool ClaimAndEvaluate(int thread);
    void EvaluateChunk(uint64_t chunk, int thread);
    FastEvaluator::Result EvaluateOne(const GridWindow::Cursor& at, int thread);

    const int maxHelpers_;
    const std::size_t tableBudget_;
    std::vector<std::thread> threads_;
    WindowTables tables_;
    std::vector<std::vector<FastEvaluator::Result>> buffers_;   // one chunk per thread

    // The window, set by Start before the helpers are woken.
    const FastEvaluator* list_ = nullptr;
    GridWindow window_;
    uint64_t first_ = 0;
    uint64_t count_ = 0;
    uint64_t chunkSize_ = 1;
    uint64_t chunks_ = 0;
    uint64_t ring_ = 1;
    uint64_t wakeStride_ = 1;
    int helpers_ = 0;
    std::vector<FastEvaluator::Result> results_;
    std::unique_ptr<Slot[]> slots_;
    std::size_t slotCapacity_ = 0;

    alignas(64) std::atomic<uint64_t> next_{0};      // the next chunk to claim
    alignas(64) std::atomic<uint64_t> consumed_{0};  // the chunk the caller reads; the ring is free from it
    alignas(64) std::atomic<uint32_t> ringSignal_{0};
    std::atomic<uint32_t> sleepers_{0};
    alignas(64) std::atomic<bool> cancel_{false};
    std::atomic<uint32_t> epoch_{0};                 // a new window, or the end
    WorkGate gate_;                                  // the helpers that came in to the window
    std::atomic<bool> quit_{false};

    // The caller's place, on cache lines of its own.
    alignas(64) bool started_ = false;
    uint64_t expected_ = 0;
    GridWindow::Cursor cursor_;
    uint64_t chunk_ = 0;
    uint64_t offset_ = 0;
    bool chunkFilled_ = false;
};

} // namespace vexal
