#pragma once
// The tables the combinations of one rolling window read besides the game list, shared by the
// threads that evaluate them: a ratio table for each pair of offense and rushing weights the
// window takes and a turnover table for each turnover value, each built once, by the first
// thread that needs it. A thread that finds a table still being built by another builds its
// own copy rather than wait for it. The storage grows to the largest window of a run and is
// kept from window to window, so the combination loop never allocates; a window whose tables
// would pass the memory budget keeps one table of each kind per thread instead, built again
// whenever the thread's combination needs another.
#include "FastEvaluator.h"
#include "GridWindow.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace vexal {

class WindowTables {
public:
    // As much as one thread's own tables may take.
    static constexpr std::size_t DefaultBudget = std::size_t{64} << 20;
    // Sizes the tables for the window over the prepared list, for `threads` evaluating
    // threads numbered from 0; no thread may be reading them. The shared tables are kept
    // only when they fit in `budget` bytes.
    void Bind(const FastEvaluator& list, const GridWindow& window, int threads, std::size_t budget = DefaultBudget);
    const float* Ratios(const GridWindow::Cursor& at, int thread);
    const double* TurnoverTerms(const GridWindow::Cursor& at, int thread);
    // Gives the memory back.
    void Release();

private:
    template <class T>
    struct Block {
        std::unique_ptr<T[]> data;
        std::size_t capacity = 0;
        void Reserve(std::size_t n);
    };
    struct Own {
        Block<float> ratios;
        Block<double> terms;
        std::size_t ratioKey = SIZE_MAX;
        std::size_t termsKey = SIZE_MAX;
    };
    enum : uint8_t { Empty, Building, Built };

    const FastEvaluator* list_ = nullptr;
    const GridWindow* window_ = nullptr;
    std::size_t tableSize_ = 0;
    bool shared_ = false;
    Block<float> ratios_;
    Block<double> terms_;
    Block<std::atomic<uint8_t>> ratioState_;
    Block<std::atomic<uint8_t>> termsState_;
    std::vector<Own> own_;
};

} // namespace vexal
