#include "HelperThreads.h"

#include <system_error>

namespace vexal {

namespace {
constexpr uint64_t GateClosed = uint64_t{1} << 31;
constexpr uint64_t GateCount = GateClosed - 1;
} // namespace

HelperThreads::HelperThreads(int helpers)
{
    try {
        for (int k = 0; k < helpers; ++k)
            threads_.emplace_back([this] { Loop(); });
    } catch (const std::system_error&) {
        // The system gives no more threads: the caller makes do with those it has.
    }
}

HelperThreads::~HelperThreads()
{
    quit_.store(true);
    epoch_.store(++generation_, std::memory_order_release);
    epoch_.notify_all();
    for (auto& t : threads_)
        t.join();
}

void HelperThreads::Run(const std::function<void()>& work)
{
    if (!threads_.empty()) {
        work_ = &work;
        const uint32_t generation = ++generation_;
        gate_.store(static_cast<uint64_t>(generation) << 32, std::memory_order_release);
        epoch_.store(generation, std::memory_order_release);
        epoch_.notify_all();
    }
    work();
    if (threads_.empty())
        return;
    uint64_t gate = gate_.fetch_or(GateClosed, std::memory_order_acq_rel) | GateClosed;
    while ((gate & GateCount) != 0) {
        gate_.wait(gate, std::memory_order_acquire);
        gate = gate_.load(std::memory_order_acquire);
    }
    work_ = nullptr;
}

void HelperThreads::Loop()
{
    uint32_t seen = 0;
    for (;;) {
        uint32_t epoch = epoch_.load(std::memory_order_acquire);
        while (epoch == seen) {
            epoch_.wait(seen, std::memory_order_acquire);
            epoch = epoch_.load(std::memory_order_acquire);
        }
        seen = epoch;
        if (quit_.load())
            return;
        // Come in unless the task has ended already (then its values may be gone).
        const uint64_t task = static_cast<uint64_t>(epoch) << 32;
        uint64_t gate = gate_.load(std::memory_order_acquire);
        bool in = false;
        while ((gate & ~GateCount) == task && !in)
            in = gate_.compare_exchange_weak(gate, gate + 1, std::memory_order_acq_rel, std::memory_order_acquire);
        if (!in)
            continue;
        (*work_)();
        if ((gate_.fetch_sub(1, std::memory_order_acq_rel) & GateCount) == 1)
            gate_.notify_all();
    }
}

} // namespace vexal
