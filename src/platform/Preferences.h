#pragma once
// The per-user settings the program keeps, each with its section, key and default in one
// table, and typed reading and saving of them. The stored keys and texts are the ones
// earlier versions wrote ("True"/"False" for Boolean values), so existing settings still read.
#include <string>

namespace vexal {

struct Preference {
    const char* section;
    const char* key;
    const char* defaultValue; // nullptr: the caller gives the default (see the table)
};

namespace pref {
// The Preference section.
inline constexpr Preference LineFile{"Preference", "LineFile", "Default"};
inline constexpr Preference Names{"Preference", "Names", "True"};               // city names
inline constexpr Preference ToolbarText{"Preference", "Toolbar Text", "False"}; // True = no captions
inline constexpr Preference PredSaveFormulas{"Preference", "PredSaveFormulas", "False"};
inline constexpr Preference GraphType{"Preference", "GraphType", "0"};
inline constexpr Preference GraphType2{"Preference", "GraphType2", "0"};
// The Test Formula window's boxes.
inline constexpr Preference SortByWin{"Preference", "SortbyWin", "False"};
inline constexpr Preference ShowWeekly{"Preference", "Show Weekly", "0"};
inline constexpr Preference QuickMode{"Preference", "Quick Mode", "0"};
inline constexpr Preference SaveFormulas{"Preference", "SaveFormulas", "0"};
inline constexpr Preference SaveFormulasUnitLower{"Preference", "SaveFormulasUL", "0"};
inline constexpr Preference SaveFormulasUnitUpper{"Preference", "SaveFormulasUU", "100"};
inline constexpr Preference SaveFormulasPercentLower{"Preference", "SaveFormulasPL", "0"};
inline constexpr Preference SaveFormulasPercentUpper{"Preference", "SaveFormulasPU", "100"};
inline constexpr Preference MinGames{"Preference", "Min Games", "0"};
// The Formula section.
inline constexpr Preference CurrentFormula{"Formula", "Current", "default.fla"};
inline constexpr Preference GoodBad{"Formula", "GoodBad", "0"};
// The Settings section.
inline constexpr Preference Theme{"Settings", "Theme", "Vexal"};
inline constexpr Preference EditorBackground{"Settings", "EditorBG", "1"};
inline constexpr Preference WebSite{"Settings", "WebSite", "https://www.vexal.example/"};
inline constexpr Preference SupportMail{"Settings", "SupportMail", "mailto:support@vexal.example"};
inline constexpr Preference HelpOnline{"Settings", "HelpOnline", "https://www.vexal.example/help/"};
inline constexpr Preference Faq{"Settings", "FAQ", nullptr};                   // the web site's "faq.htm"
inline constexpr Preference StatsServer{"Settings", "StatsServer", "ftp.vexal.example"};
inline constexpr Preference StatsServer2{"Settings", "StatsServer2", "ftp2.vexal.example"};
// Transfer limits; their defaults are TransferLimits' own.
inline constexpr Preference TransferStallSeconds{"Settings", "TransferStallSeconds", nullptr};
inline constexpr Preference TransferLimitSeconds{"Settings", "TransferLimitSeconds", nullptr};
inline constexpr Preference DocumentLimitBytes{"Settings", "DocumentLimitBytes", nullptr};
inline constexpr Preference DownloadLimitBytes{"Settings", "DownloadLimitBytes", nullptr};
} // namespace pref

// The stored text, else the table's default (or the one given).
std::string GetSetting(const Preference& p);
std::string GetSetting(const Preference& p, const std::string& defaultValue);
// A stored Boolean: "True"/"False" in any letter case (or a number, non-zero = True);
// anything else gives the default.
bool GetSettingBool(const Preference& p);
bool GetSettingBool(const std::string& section, const std::string& key, bool defaultValue);
// A stored number; a missing or corrupt value gives the default.
double GetSettingNumber(const Preference& p);
double GetSettingNumber(const Preference& p, double defaultValue);

void SaveSetting(const Preference& p, const std::string& value);
// Saves "True" or "False".
void SaveSettingBool(const Preference& p, bool value);

} // namespace vexal
