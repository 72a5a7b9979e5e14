#include "GridWindow.h"

namespace vexal {

uint64_t GridWindow::Count() const
{
    uint64_t n = 1;
    for (std::size_t size : {homeField.size(), minDiff.size(), maxDiff.size(), offense.size(), rushing.size(),
                             turnover.size(), multiplier.size()}) {
        if (size == 0 || n > (uint64_t{1} << 50) / size)
            return 0;
        n *= size;
    }
    return n;
}

GridWindow::Cursor GridWindow::CursorAt(uint64_t j) const
{
    auto digit = [&j](std::size_t size) {
        const std::size_t d = static_cast<std::size_t>(j % size);
        j /= size;
        return d;
    };
    Cursor c;
    c.multiplier = digit(multiplier.size());
    c.turnover = digit(turnover.size());
    c.rushing = digit(rushing.size());
    c.offense = digit(offense.size());
    c.maxDiff = digit(maxDiff.size());
    c.minDiff = digit(minDiff.size());
    c.homeField = digit(homeField.size());
    return c;
}

FastEvaluator::Combination GridWindow::At(const Cursor& at) const
{
    FastEvaluator::Combination c;
    c.multiplier = multiplier[at.multiplier];
    c.turnover = turnover[at.turnover];
    c.rushing = rushing[at.rushing];
    c.passing = static_cast<int16_t>(100 - c.rushing);
    c.offense = offense[at.offense];
    c.defense = static_cast<int16_t>(100 - c.offense);
    c.maxDiff = maxDiff[at.maxDiff];
    c.minDiff = minDiff[at.minDiff];
    c.homeField = homeField[at.homeField];
    return c;
}

FastEvaluator::Combination GridWindow::At(uint64_t j) const
{
    return At(CursorAt(j));
}

void GridWindow::Advance(Cursor& c) const
{
    if (++c.multiplier < multiplier.size())
        return;
    c.multiplier = 0;
    if (++c.turnover < turnover.size())
        return;
    c.turnover = 0;
    if (++c.rushing < rushing.size())
        return;
    c.rushing = 0;
    if (++c.offense < offense.size())
        return;
    c.offense = 0;
    if (++c.maxDiff < maxDiff.size())
        return;
    c.maxDiff = 0;
    if (++c.minDiff < minDiff.size())
        return;
    c.minDiff = 0;
    ++c.homeField;
}

} // namespace vexal
