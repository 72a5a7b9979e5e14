#pragma once
// The season loader: a choice in the season selector cboYears loads that season and the
// seasons before it (as many as "Year to Load" in Vexal.ini asks) from their season files
// into the shared season arrays, rebuilds the week selector, warns about weeks whose
// statistics look incomplete and makes the current week (from today's date) current.
// GUI-free: the splash, the notice pop-up and the week selector's display go through the
// installed LoaderHost.
#include "GameRecord.h"
#include "NumberKind.h"

#include <cstdint>
#include <functional>
#include <string>

namespace vexal {

// The date from which the current week of CurrentSeason is counted: 10 September 2024.
double CurrentSeasonStart();

// The number of seasons to load: "Year to Load" of section "Vexal" in Vexal.ini, at most two
// characters, default "02"; a value below 1 (or no number) gives 2. A box that writes it
// takes a count of at most two digits.
int16_t GetYearsToLoad();
inline constexpr NumberKind YearsToLoadNumbers{false, false, {}, false, 2};

// The season selector's click: loads the seasons ending at the season named by the
// selector's text (" 2024"), selects the current week and refreshes the active view.
// Refused (false) while another season choice runs, e.g. from inside its yields. A season
// whose file does not exist is reported and leaves the previous load whole (false).
bool cboYears_Click(const std::string& seasonSelectorText);
// The same for a season year; the selector's items read " 1984", " 2024".
bool SelectSeason(int year);
// The text of the season selector at the last season choice.
const std::string& SeasonSelectorText();

// Loads `Years` consecutive seasons ending at the selector's season (cut at the newest
// missing season file) and, with ShowProgress, shows the progress on the splash.
// False when not even the chosen season's file could be read: the previous load stays whole.
bool LoadArray(int16_t Years, bool ShowProgress);

// Step 7 of a load: CurrentWeek (and WeekSeason before the season starts) from the date.
void ChooseCurrentWeek(double today);
// The week (1-based position in the week list) the newest loaded season stands at by its
// games: its first week without results, or its last week with results when it is over.
// 0 when nothing is loaded.
int NewestSeasonWeek();

// Today's date as the loader sees it (tests set their own).
void SetTodayProvider(std::function<double()> today);
double LoaderToday();

// True while a season choice runs / while a load reads its records and yields.
bool SeasonLoadRunning();
bool SeasonLoadReadingRecords();

// Team codes a season record may hold: 0 to 32, 100 and 101.
bool SeasonTeamCodesValid(const GameRecord& record);

// The week slot that holds a week of a loaded season, or -1 when that season or week is not
// loaded: SeasonFirstWeek(SeasonYear - year) + week - 1, checked against the week selector's
// text of that slot (else the slot that text was given) and against the arrays.
int LoadedWeekSlot(int year, int week);

// Back to the state before any load (tests).
void ResetSeasonLoader();

} // namespace vexal
