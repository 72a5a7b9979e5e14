#include "HelperThreads.h"

#include "Steps.h"

namespace vexal {

HelperThreads::HelperThreads(int helpers)
{
    // When the system gives no more threads, the caller makes do with those it has.
    SkipStep([&] {
        for (int k = 0; k < helpers; ++k)
            threads_.emplace_back([this] { Loop(); });
    });
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
        gate_.Open(generation);
        epoch_.store(generation, std::memory_order_release);
        epoch_.notify_all();
    }
    work();
    if (threads_.empty())
        return;
    gate_.CloseAndWait();
    work_ = nullptr;
}

void HelperThreads::Loop()
{
    uint32_t seen = 0;
    for (;;) {
        const uint32_t epoch = AwaitNewEpoch(epoch_, seen);
        seen = epoch;
        if (quit_.load())
            return;
        // Come in unless the task has ended already (then its values may be gone).
        if (!gate_.Enter(epoch))
            continue;
        (*work_)();
        gate_.Leave();
    }
}

} // namespace vexal
