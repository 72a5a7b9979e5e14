#include "GridWorkers.h"

#include <algorithm>
#include <system_error>

namespace vexal {

namespace {
// About 30 microseconds of one core's work per chunk: little for the caller to take over
// from a helper that was put aside, much more than claiming and handing over the chunk costs.
constexpr uint64_t GamesPerChunk = 32768;
constexpr uint64_t MostPerChunk = 512;
// The ring of finished chunks reaches this far ahead of the caller: at least so many chunks a
// thread, and about so many games a thread (some milliseconds of one core) where that takes no
// more than so many records. A caller that paints the progress or is put aside by the system
// for a while then does not leave the helpers idle.
constexpr uint64_t ChunksPerThread = 32;
constexpr uint64_t RingGamesPerThread = 8000000;
constexpr uint64_t MostRingRecords = 8192;
// A helper is worth waking for about half a millisecond of one core's work; a combination
// costs about this many games besides its own.
constexpr uint64_t GamesPerHelper = 500000;
constexpr uint64_t CombinationCost = 64;
// The window's helper count travels in the low bits of the epoch, its generation above them.
constexpr uint32_t HelperBits = 8;
constexpr int MostHelpers = (1 << HelperBits) - 1;
} // namespace

int GridWorkers::HelpersFor(uint64_t combinations, std::size_t games, int maxHelpers)
{
    if (maxHelpers <= 0 || combinations == 0)
        return 0;
    const uint64_t perCombination = games + CombinationCost;
    const uint64_t threads = combinations > UINT64_MAX / perCombination
                                 ? UINT64_MAX
                                 : combinations * perCombination / GamesPerHelper;
    return static_cast<int>(std::min<uint64_t>(static_cast<uint64_t>(maxHelpers), threads > 0 ? threads - 1 : 0));
}

GridWorkers::GridWorkers(int maxHelpers, std::size_t tableBudget)
    : maxHelpers_(std::clamp(maxHelpers, 0, MostHelpers)), tableBudget_(tableBudget)
{
}

GridWorkers::~GridWorkers()
{
    Stop();
    quit_.store(true);
    epoch_.store(((epoch_.load() >> HelperBits) + 1) << HelperBits, std::memory_order_release);
    epoch_.notify_all();
    for (auto& t : threads_)
        t.join();
}

void GridWorkers::Start(const FastEvaluator& list, const GridWindow& window, uint64_t first, uint64_t count,
                        int helpers)
{
    Stop();
    helpers = std::clamp(helpers, 0, maxHelpers_);
    list_ = &list;
    // The helpers read their own copy: the caller's window sits beside values it writes for
    // every combination, and sharing those cache lines would slow every thread.
    window_ = window;
    first_ = first;
    count_ = std::max(count, first);
    helpers_ = helpers;
    tables_.Bind(list, window_, helpers + 1, tableBudget_);
    cursor_ = window_.CursorAt(first);
    expected_ = first;
    chunk_ = 0;
    offset_ = 0;
    chunkFilled_ = false;
    started_ = true;
    if (helpers == 0)
        return;

    chunkSize_ = std::clamp<uint64_t>(GamesPerChunk / std::max<std::size_t>(list.Size(), 1), 1, MostPerChunk);
    chunks_ = (count_ - first_ + chunkSize_ - 1) / chunkSize_;
    const uint64_t threads = static_cast<uint64_t>(helpers + 1);
    const uint64_t gamesPerChunk = chunkSize_ * std::max<std::size_t>(list.Size(), 1);
    const uint64_t byWork = std::min(threads * std::max<uint64_t>(RingGamesPerThread / gamesPerChunk, 1),
                                     std::max<uint64_t>(MostRingRecords / chunkSize_, 1));
    ring_ = std::max(ChunksPerThread * threads, byWork);
    wakeStride_ = std::max<uint64_t>(ring_ / 4, 1);
    if (results_.size() < ring_ * chunkSize_)
        results_.resize(ring_ * chunkSize_);
    if (slotCapacity_ < ring_) {
        slots_ = std::make_unique<Slot[]>(ring_);
        slotCapacity_ = ring_;
    }
    for (uint64_t k = 0; k < ring_; ++k)
        slots_[k].state.store(FreeFor(k), std::memory_order_relaxed);
    if (buffers_.size() < static_cast<std::size_t>(helpers + 1))
        buffers_.resize(static_cast<std::size_t>(helpers + 1));
    for (auto& buffer : buffers_)
        if (buffer.size() < chunkSize_)
            buffer.resize(chunkSize_);
    next_.store(0, std::memory_order_relaxed);
    consumed_.store(0, std::memory_order_relaxed);
    cancel_.store(false, std::memory_order_relaxed);

    const uint32_t epoch = epoch_.load(std::memory_order_relaxed);
    try {
        while (threads_.size() < static_cast<std::size_t>(helpers)) {
            const int thread = static_cast<int>(threads_.size()) + 1;
            threads_.emplace_back([this, thread, epoch] { Work(thread, epoch); });
        }
    } catch (const std::system_error&) {
        // The system gives no more threads: the window makes do with those it has.
        helpers = static_cast<int>(threads_.size());
        helpers_ = helpers;
        if (helpers == 0)
            return;
    }
    const uint32_t generation = (epoch >> HelperBits) + 1;
    gate_.Open(generation);
    epoch_.store((generation << HelperBits) | static_cast<uint32_t>(helpers), std::memory_order_release);
    epoch_.notify_all();
}

void GridWorkers::Stop()
{
    if (!started_)
        return;
    started_ = false;
    if (helpers_ == 0)
        return;
    cancel_.store(true);
    ringSignal_.fetch_add(1);
    ringSignal_.notify_all();
    // Helpers that have not yet come in stay out; those at work end within one combination
    // (unless the system has put one aside).
    gate_.CloseAndWait();
}

void GridWorkers::Work(int thread, uint32_t seen)
{
    for (;;) {
        const uint32_t epoch = AwaitNewEpoch(epoch_, seen);
        seen = epoch;
        if (quit_.load())
            return;
        if (thread > static_cast<int>(epoch & ((1u << HelperBits) - 1)))
            continue;
        // Come in unless the window has ended already (then its values may be gone).
        if (!gate_.Enter(epoch >> HelperBits))
            continue;
        WorkOnWindow(thread);
        gate_.Leave();
    }
}

void GridWorkers::WorkOnWindow(int thread)
{
    while (!cancel_.load(std::memory_order_relaxed)) {
        if (ClaimAndEvaluate(thread))
            continue;
        if (next_.load(std::memory_order_relaxed) >= chunks_)
            return;
        // The ring is full: sleep until the caller has read on (it wakes the sleepers every
        // few chunks, and at the stop).
        const uint32_t signal = ringSignal_.load();
        sleepers_.fetch_add(1);
        const uint64_t next = next_.load();
        if (!cancel_.load() && next < chunks_ && next >= consumed_.load() + ring_)
            ringSignal_.wait(signal);
        sleepers_.fetch_sub(1);
    }
}

bool GridWorkers::ClaimAndEvaluate(int thread)
{
    uint64_t chunk = next_.load(std::memory_order_relaxed);
    while (chunk < chunks_ && chunk < consumed_.load(std::memory_order_acquire) + ring_) {
        if (next_.compare_exchange_weak(chunk, chunk + 1, std::memory_order_acq_rel, std::memory_order_relaxed)) {
            EvaluateChunk(chunk, thread);
            return true;
        }
    }
    return false;
}

void GridWorkers::EvaluateChunk(uint64_t chunk, int thread)
{
    const uint64_t from = first_ + chunk * chunkSize_;
    const uint64_t to = std::min(count_, from + chunkSize_);
    FastEvaluator::Result* buffer = buffers_[static_cast<std::size_t>(thread)].data();
    GridWindow::Cursor at = window_.CursorAt(from);
    for (uint64_t j = from; j < to; ++j) {
        if (cancel_.load(std::memory_order_relaxed))
            return;
        buffer[j - from] = EvaluateOne(at, thread);
        window_.Advance(at);
    }
    // The slot is this chunk's unless a later chunk has it already (the caller went on
    // without waiting for this one) or an earlier one is still being copied in: then the
    // records are dropped, and whoever needs them evaluates them.
    Slot& slot = slots_[chunk % ring_];
    uint64_t state = slot.state.load(std::memory_order_acquire);
    do {
        if (state % 3 == 1 || state >= Copying(chunk))
            return;
    } while (!slot.state.compare_exchange_weak(state, Copying(chunk), std::memory_order_acquire,
                                               std::memory_order_acquire));
    std::copy(buffer, buffer + (to - from), results_.data() + (chunk % ring_) * chunkSize_);
    slot.state.store(Filled(chunk), std::memory_order_release);
}

FastEvaluator::Result GridWorkers::EvaluateOne(const GridWindow::Cursor& at, int thread)
{
    return list_->Evaluate(window_.At(at), tables_.Ratios(at, thread), tables_.TurnoverTerms(at, thread));
}

FastEvaluator::Result GridWorkers::Take()
{
    FastEvaluator::Result r;
    if (helpers_ == 0) {
        r = EvaluateOne(cursor_, 0);
    } else {
        const Slot& slot = slots_[chunk_ % ring_];
        for (;;) {
            if (chunkFilled_ || slot.state.load(std::memory_order_acquire) == Filled(chunk_)) {
                chunkFilled_ = true;
                r = results_[(chunk_ % ring_) * chunkSize_ + offset_];
                break;
            }
            uint64_t next = next_.load(std::memory_order_relaxed);
            if (next == chunk_ &&
                next_.compare_exchange_strong(next, next + 1, std::memory_order_acq_rel, std::memory_order_relaxed)) {
                EvaluateChunk(chunk_, 0);
                continue;
            }
            // A helper holds the chunk: evaluate another meanwhile, or this combination when
            // the ring is full.
            if (ClaimAndEvaluate(0))
                continue;
            r = EvaluateOne(cursor_, 0);
            break;
        }
    }
    ++expected_;
    window_.Advance(cursor_);
    if (helpers_ > 0 && ++offset_ == chunkSize_) {
        offset_ = 0;
        ++chunk_;
        chunkFilled_ = false;
        consumed_.store(chunk_);
        if (chunk_ % wakeStride_ == 0 && sleepers_.load() > 0) {
            ringSignal_.fetch_add(1);
            ringSignal_.notify_all();
        }
    }
    return r;
}

} // namespace vexal
