#pragma once
// Shared set-up of the window tests: a program folder of generated seasons (2023 and 2024,
// 2024 unplayed from week 12), a bare main window with its MDI area for the views, and the
// week selector chosen by its text. Header-only: the tests that use it link the libraries.
#include "AppState.h"
#include "BareMainWindow.h"
#include "Host.h"
#include "SampleSeasons.h"
#include "SeasonData.h"
#include "SeasonLoader.h"
#include "TempFolder.h"
#include "WeekRange.h"
#include "Windows.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace vexal::test {

inline ::testing::AssertionResult PrepareSampleProgram(const TempFolder& folder, uint64_t seed)
{
    ResetApp();
    ResetSeason();
    ResetSeasonLoader();
    SetProgramFolder(folder.Path());
    App().UserFolder = folder / "user";
    std::filesystem::create_directories(App().UserFolder);
    samplegen::SampleOptions options;
    options.Seed = seed;
    options.FromYear = 2023;
    options.ToYear = 2024;
    options.UnplayedFromWeek = 12;
    std::string error;
    if (!samplegen::WriteSampleSeasons(folder.Path(), options, &error))
        return ::testing::AssertionFailure() << error;
    return ::testing::AssertionSuccess();
}

// Chooses the week whose selector text is `text` ("Wk 6 of 2024"), as the user does.
inline ::testing::AssertionResult ChooseWeekText(const std::string& text)
{
    const auto& items = Season().WeekItems;
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i] == text)
            return SelectWeek(static_cast<int>(i)) ? ::testing::AssertionSuccess()
                                                   : ::testing::AssertionFailure() << "cannot choose " << text;
    return ::testing::AssertionFailure() << "no week " << text;
}

} // namespace vexal::test
