#pragma once
// Threads kept for a run that help the calling thread with one task at a time.
#include "WorkGate.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

namespace vexal {

class HelperThreads {
public:
    // Up to `helpers` threads, started here; fewer where the system gives no more.
    explicit HelperThreads(int helpers);
    ~HelperThreads();
    HelperThreads(const HelperThreads&) = delete;
    HelperThreads& operator=(const HelperThreads&) = delete;

    int Helpers() const { return static_cast<int>(threads_.size()); }
    // Runs `work` on the calling thread and on every helper that comes in before the caller
    // is done with it; the work shares itself out (each thread claims parts until none are
    // left). A helper that has not come in by then stays out, so one the system put aside
    // never holds the caller up; those at work are waited for.
    void Run(const std::function<void()>& work);

private:
    void Loop();

    std::vector<std::thread> threads_;
    const std::function<void()>* work_ = nullptr;
    uint32_t generation_ = 0;
    std::atomic<uint32_t> epoch_{0};   // the task to come in to, or the end
    WorkGate gate_;                    // the helpers that came in to the task
    std::atomic<bool> quit_{false};
};

} // namespace vexal
