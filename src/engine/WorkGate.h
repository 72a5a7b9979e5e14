#pragma once
// The entrance of helper threads to one piece of shared work at a time. The caller opens it
// for the work's generation; helpers come in while it is open; the caller closes it and waits
// for those that came in. A helper that comes too late stays out, so the work's values may go
// as soon as the caller's wait returns, and a helper the system put aside never holds it up.
#include <atomic>
#include <cstdint>

namespace vexal {

// Sleeps until the epoch a caller bumps for new work (or the end) differs from the one a helper
// has seen, and returns it.
inline uint32_t AwaitNewEpoch(const std::atomic<uint32_t>& epoch, uint32_t seen)
{
    uint32_t now = epoch.load(std::memory_order_acquire);
    while (now == seen) {
        epoch.wait(seen, std::memory_order_acquire);
        now = epoch.load(std::memory_order_acquire);
    }
    return now;
}

class WorkGate {
public:
    // The helpers learn of the work by a release the caller makes after this.
    void Open(uint32_t generation) { state_.store(static_cast<uint64_t>(generation) << 32, std::memory_order_relaxed); }

    // False when the gate is closed or open for other work.
    bool Enter(uint32_t generation)
    {
        const uint64_t open = static_cast<uint64_t>(generation) << 32;
        uint64_t state = state_.load(std::memory_order_acquire);
        while ((state & ~Count) == open)
            if (state_.compare_exchange_weak(state, state + 1, std::memory_order_acq_rel, std::memory_order_acquire))
                return true;
        return false;
    }

    void Leave()
    {
        if ((state_.fetch_sub(1, std::memory_order_acq_rel) & Count) == 1)
            state_.notify_all();
    }

    void CloseAndWait()
    {
        uint64_t state = state_.fetch_or(Closed, std::memory_order_acq_rel) | Closed;
        while ((state & Count) != 0) {
            state_.wait(state, std::memory_order_acquire);
            state = state_.load(std::memory_order_acquire);
        }
    }

private:
    // The generation in the high half, whether the gate is closed, and the helpers in.
    static constexpr uint64_t Closed = uint64_t{1} << 31;
    static constexpr uint64_t Count = Closed - 1;
    std::atomic<uint64_t> state_{0};
};

} // namespace vexal
