#pragma once
// The per-user settings the program keeps: each entry with its section, key, type and
// default in the one table below, read and written through one getter and one setter per
// type. The stored keys and texts are the ones earlier versions wrote, so existing settings
// still read: Booleans as "True"/"False", check-box states and numbers as decimal text.
#include <string>

namespace vexal {

template <class T>
struct Setting {
    const char* section;
    const char* key;
    T defaultValue;
};
// A text kept as it is stored.
using TextSetting = Setting<const char*>;
// A Boolean: "True" or "False" (any letter case; a number reads as True when not 0).
using BoolSetting = Setting<bool>;
// A check box's state (0, 1 or 2) as decimal text.
using CheckSetting = Setting<int>;
// A number as decimal text.
using NumberSetting = Setting<double>;

namespace pref {
// The Preference section.
inline constexpr TextSetting LineFile{"Preference", "LineFile", "Default"};   // read through LineFileInUse()
inline constexpr BoolSetting Names{"Preference", "Names", true};                // city names
inline constexpr BoolSetting ToolbarText{"Preference", "Toolbar Text", false}; // True = no captions
inline constexpr BoolSetting PredSaveFormulas{"Preference", "PredSaveFormulas", false};
// The chart types, compared as text when read ("0" bar, "1" line, "2" stacked, else point).
inline constexpr TextSetting GraphType{"Preference", "GraphType", "0"};
inline constexpr TextSetting GraphType2{"Preference", "GraphType2", "0"};
// The Test Formula window's boxes.
inline constexpr BoolSetting SortByWin{"Preference", "SortbyWin", false};
inline constexpr CheckSetting ShowWeekly{"Preference", "Show Weekly", 0};
inline constexpr CheckSetting QuickMode{"Preference", "Quick Mode", 0};
inline constexpr CheckSetting SaveFormulas{"Preference", "SaveFormulas", 0};
// The texts of the save-criteria boxes, as typed.
inline constexpr TextSetting SaveFormulasUnitLower{"Preference", "SaveFormulasUL", "0"};
inline constexpr TextSetting SaveFormulasUnitUpper{"Preference", "SaveFormulasUU", "100"};
inline constexpr TextSetting SaveFormulasPercentLower{"Preference", "SaveFormulasPL", "0"};
inline constexpr TextSetting SaveFormulasPercentUpper{"Preference", "SaveFormulasPU", "100"};
inline constexpr TextSetting MinGames{"Preference", "Min Games", "0"};
// The Formula section.
inline constexpr TextSetting CurrentFormula{"Formula", "Current", "default.fla"};
inline constexpr CheckSetting GoodBad{"Formula", "GoodBad", 0};
// The Settings section.
inline constexpr TextSetting Theme{"Settings", "Theme", "Vexal"};
inline constexpr CheckSetting EditorBackground{"Settings", "EditorBG", 1};
inline constexpr TextSetting WebSite{"Settings", "WebSite", "https://www.vexal.example/"};
inline constexpr TextSetting SupportMail{"Settings", "SupportMail", "mailto:support@vexal.example"};
inline constexpr TextSetting HelpOnline{"Settings", "HelpOnline", "https://www.vexal.example/help/"};
inline constexpr TextSetting Faq{"Settings", "FAQ", ""};                      // the caller gives the web site's "faq.htm"
inline constexpr TextSetting StatsServer{"Settings", "StatsServer", "ftp.vexal.example"};
inline constexpr TextSetting StatsServer2{"Settings", "StatsServer2", "ftp2.vexal.example"};
// Transfer limits; the caller gives TransferLimits' own defaults.
inline constexpr NumberSetting TransferStallSeconds{"Settings", "TransferStallSeconds", 0};
inline constexpr NumberSetting TransferLimitSeconds{"Settings", "TransferLimitSeconds", 0};
inline constexpr NumberSetting DocumentLimitBytes{"Settings", "DocumentLimitBytes", 0};
inline constexpr NumberSetting DownloadLimitBytes{"Settings", "DownloadLimitBytes", 0};
} // namespace pref

// The stored text, else the table's default (or the one given).
std::string GetSetting(const TextSetting& s);
std::string GetSetting(const TextSetting& s, const std::string& defaultValue);
// A stored Boolean; a text that is neither gives the default.
bool GetSetting(const BoolSetting& s);
// A stored check-box state, rounded to a whole number. A stored text that is no number is the
// conversion error 13, as putting it into the box would be: the caller's error trap decides.
int GetSetting(const CheckSetting& s);
// A stored number; a missing or corrupt value gives the default (the table's or the one given).
double GetSetting(const NumberSetting& s);
double GetSetting(const NumberSetting& s, double defaultValue);

void SaveSetting(const TextSetting& s, const std::string& value);
// Saves "True" or "False".
void SaveSetting(const BoolSetting& s, bool value);
void SaveSetting(const BoolSetting& s, const char* value) = delete;
void SaveSetting(const BoolSetting& s, const std::string& value) = delete;
void SaveSetting(const CheckSetting& s, int value);

// The line file in use, trimmed of blanks ("Default": the season files' own lines).
std::string LineFileInUse();

} // namespace vexal
