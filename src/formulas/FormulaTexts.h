#pragma once
// The formula editor's own texts: captions, tags, messages, settings and sizes.
#include <string>

#include "FormulaSlots.h"

namespace vexal::texts {

inline constexpr const char* EditorCaption = "Formula";

inline constexpr const char* ValueTags[9] = {"H.F.A.",    "Min. Diff.", "Max. Diff.", "Offense %", "Defense %",
                                             "Passing %", "Rushing %",  "Turnovers",  "Multiplier"};

inline constexpr const char* FormulaFrame = "Formula";
inline constexpr const char* FormulaListTag = "Formula:";
inline constexpr const char* SaveCaption = "Save";
inline constexpr const char* DeleteCaption = "Delete";
inline constexpr const char* ExcludeGoodBad = "Exclude Good/Bad";
inline constexpr const char* OptionsFrame = "Options";
inline constexpr const char* PowerCaption = "Use Power Rating";
inline constexpr const char* NoLineCaption = "Don't use Line";
// The Options frame's switches, in the frame's order: each puts its box's value (0, 1, 2 for
// grayed) into its slot and has no rule of its own, so a new switch of that kind is one row.
struct OptionSwitch {
    const char* name;
    const char* caption;
    FormulaSlot slot;
};
inline constexpr OptionSwitch OptionSwitches[] = {
    {"ChkPowerRating", PowerCaption, fsPowerRating},
    {"ChkNoLine", NoLineCaption, fsNoLine},
};
inline constexpr const char* DatabaseFrame = "Database";
inline constexpr const char* RollingCaption = "Rolling Average:";
inline constexpr const char* StdCaption = "Season To Date";
inline constexpr const char* ShaCaption = "Separate Home / Away";
inline constexpr const char* DhlCaption = "Discard High / Low";
inline constexpr const char* YearsCaption = "Number of years to load at Startup";
inline constexpr const char* PredictOnlyFrame = "Predict Only";
inline constexpr const char* LinesCaption = "With a line between";
inline constexpr const char* AndCaption = "and";
inline constexpr const char* HomeCaption = "Home Teams";
inline constexpr const char* AwayCaption = "Away Teams";
inline constexpr const char* FavCaption = "Favorites";
inline constexpr const char* DogCaption = "UnderDogs";
inline constexpr const char* OverCaption = "Overs";
inline constexpr const char* UnderCaption = "Unders";

inline constexpr const char* SavePrompt = "Please enter a filename";
inline constexpr const char* SaveTitle = "Filename";
inline constexpr const char* SavedMessage = "File saved";
inline constexpr const char* SavedTitle = "File saved";
inline constexpr const char* BadFilenameMessage = "You entered a bad filename, The formula was not saved!";
inline constexpr const char* BadFilenameTitle = "Bad Filename";
// A good name the folder would not take: the name, the folder and why.
inline constexpr const char* NotSavedPrefix = "The formula ";
inline constexpr const char* NotSavedIn = " could not be saved in ";
inline constexpr const char* NotSavedTitle = "Formula not saved";
inline const std::string DeletePrompt = "Are you sure you want to delete ";
inline constexpr const char* DeleteTitle = "Delete?";
inline constexpr const char* DeleteAllGoodPrompt = "Would you like to delete all 'good' files?";
inline constexpr const char* DeleteAllGoodTitle = "Delete all Good?";
inline constexpr const char* DeleteAllBadPrompt = "Would you like to delete all 'bad' files?";
inline constexpr const char* DeleteAllBadTitle = "Delete all Bad?";
inline constexpr const char* NotFoundMessage = " not found.";
inline constexpr const char* NotFoundTitle = "No file found";
// A file the folder would not give up: each named with its cause.
inline constexpr const char* NotDeletedTitle = "File not deleted";

// Vexal.ini, section "Vexal" (the settings are in Preferences.h).
inline constexpr const char* IniSection = "Vexal";
inline constexpr const char* YearsKey = "Year to Load";

// The window's smallest and largest size, in twips.
inline constexpr double MinWidthTwips = 2900;
inline constexpr double MinHeightTwips = 940;
inline constexpr double MaxWidthTwips = 7755;
inline constexpr double MaxHeightTwips = 3705;

} // namespace vexal::texts
