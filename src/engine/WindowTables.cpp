#include "WindowTables.h"

#include <algorithm>

namespace vexal {

template <class T>
void WindowTables::Block<T>::Reserve(std::size_t n)
{
    if (n <= capacity)
        return;
    data = std::make_unique_for_overwrite<T[]>(n);
    capacity = n;
}

void WindowTables::Bind(const FastEvaluator& list, const GridWindow& window, int threads, std::size_t budget)
{
    list_ = &list;
    window_ = &window;
    tableSize_ = list.TableSize();
    const std::size_t ratioKeys = window.offense.size() * window.rushing.size();
    const std::size_t termKeys = window.turnover.size();
    const std::size_t bytes = (ratioKeys * 2 * sizeof(float) + termKeys * sizeof(double)) * tableSize_;
    shared_ = bytes <= budget;
    if (shared_) {
        ratios_.Reserve(ratioKeys * 2 * tableSize_);
        terms_.Reserve(termKeys * tableSize_);
        ratioState_.Reserve(ratioKeys);
        termsState_.Reserve(termKeys);
        for (std::size_t k = 0; k < ratioKeys; ++k)
            ratioState_.data[k].store(Empty, std::memory_order_relaxed);
        for (std::size_t k = 0; k < termKeys; ++k)
            termsState_.data[k].store(Empty, std::memory_order_relaxed);
    }
    if (own_.size() < static_cast<std::size_t>(std::max(threads, 1)))
        own_.resize(static_cast<std::size_t>(std::max(threads, 1)));
    for (Own& own : own_) {
        own.ratios.Reserve(2 * tableSize_);
        own.terms.Reserve(tableSize_);
        own.ratioKey = SIZE_MAX;
        own.termsKey = SIZE_MAX;
    }
}

const float* WindowTables::Ratios(const GridWindow::Cursor& at, int thread)
{
    const std::size_t key = at.offense * window_->rushing.size() + at.rushing;
    FastEvaluator::Combination c;
    if (shared_) {
        std::atomic<uint8_t>& state = ratioState_.data[key];
        float* table = ratios_.data.get() + key * 2 * tableSize_;
        uint8_t seen = state.load(std::memory_order_acquire);
        if (seen == Built)
            return table;
        if (seen == Empty && state.compare_exchange_strong(seen, Building, std::memory_order_acquire)) {
            c.offense = window_->offense[at.offense];
            c.defense = static_cast<int16_t>(100 - c.offense);
            c.rushing = window_->rushing[at.rushing];
            c.passing = static_cast<int16_t>(100 - c.rushing);
            list_->FillRatios(c, table);
            state.store(Built, std::memory_order_release);
            return table;
        }
    }
    Own& own = own_[static_cast<std::size_t>(thread)];
    if (own.ratioKey != key) {
        c.offense = window_->offense[at.offense];
        c.defense = static_cast<int16_t>(100 - c.offense);
        c.rushing = window_->rushing[at.rushing];
        c.passing = static_cast<int16_t>(100 - c.rushing);
        list_->FillRatios(c, own.ratios.data.get());
        own.ratioKey = key;
    }
    return own.ratios.data.get();
}

const double* WindowTables::TurnoverTerms(const GridWindow::Cursor& at, int thread)
{
    const std::size_t key = at.turnover;
    const float turnover = window_->turnover[key];
    if (shared_) {
        std::atomic<uint8_t>& state = termsState_.data[key];
        double* table = terms_.data.get() + key * tableSize_;
        uint8_t seen = state.load(std::memory_order_acquire);
        if (seen == Built)
            return table;
        if (seen == Empty && state.compare_exchange_strong(seen, Building, std::memory_order_acquire)) {
            list_->FillTurnoverTerms(turnover, table);
            state.store(Built, std::memory_order_release);
            return table;
        }
    }
    Own& own = own_[static_cast<std::size_t>(thread)];
    if (own.termsKey != key) {
        list_->FillTurnoverTerms(turnover, own.terms.data.get());
        own.termsKey = key;
    }
    return own.terms.data.get();
}

void WindowTables::Release()
{
    *this = WindowTables{};
}

} // namespace vexal
