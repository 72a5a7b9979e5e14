#pragma once
// The range report page: for every formula of a consensus set and every game of the week,
// the lines (or totals) between which the formula plays each side. GUI-free; the Predictions
// window runs the formulas and hands over each game's limits.
#include "HtmlReport.h"
#include "WeeklyTable.h"

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vexal {

// A game of the week as the range report names it.
struct RangeGame {
    std::string away;   // display names
    std::string home;
};

// The week's games from slot 0 up to the first slot without an away team.
std::vector<RangeGame> ReadRangeWeek(int weekSlot);

// A limit as text: the shortest plain decimal text of the number ("2", "-3.5", "0.05").
std::string RangeNumberText(float value);

// The printed range report: the heading of a page, and per formula the listed name and one
// sentence per game.
std::string RangePrintHeading(std::string_view weekText, std::string_view date, int page);
std::string RangeSentence(const RangeGame& game, const std::array<std::array<float, WeeklyRows>, 6>& limits, std::size_t g,
                          bool totals);
struct RangePrintBlock {
    std::string fileName;
    std::vector<std::string> sentences;
};
RangePrintBlock RangePrintBlockOf(std::string_view fileName, const std::vector<RangeGame>& games,
                                  const std::array<std::array<float, WeeklyRows>, 6>& limits, bool totals);

class RangePage {
public:
    RangePage(const std::filesystem::path& path, std::string_view weekText, std::string_view date,
              const std::string& themePicture);
    // A formula's block: its name as listed, then two rows per game from the limits
    // (items 1, 2, 4 and 5 of each game), written as totals when totals is true.
    void Block(std::string_view fileName, const std::vector<RangeGame>& games,
               const std::array<std::array<float, WeeklyRows>, 6>& limits, bool totals);
    void Close();
    const std::string& Text() const { return html_.Text(); }

private:
    clsHTML html_;
};

} // namespace vexal
