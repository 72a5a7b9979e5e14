#include "Preferences.h"

#include "SettingsStore.h"
#include "VbConvert.h"

namespace vexal {

namespace {
std::string Default(const Preference& p) { return p.defaultValue ? p.defaultValue : ""; }
} // namespace

std::string GetSetting(const Preference& p) { return GetSetting(p.section, p.key, Default(p)); }

std::string GetSetting(const Preference& p, const std::string& defaultValue)
{
    return GetSetting(p.section, p.key, defaultValue);
}

bool GetSettingBool(const std::string& section, const std::string& key, bool defaultValue)
{
    const std::string v = vb::Trim(GetSetting(section, key, defaultValue ? "True" : "False"));
    const std::string lower = vb::LCase(v);
    if (lower == "true")
        return true;
    if (lower == "false")
        return false;
    if (vb::IsNumeric(v))
        return vb::Val(v) != 0;
    return defaultValue;
}

bool GetSettingBool(const Preference& p)
{
    return GetSettingBool(p.section, p.key, vb::LCase(Default(p)) == "true");
}

double GetSettingNumber(const Preference& p) { return GetSettingNumber(p.section, p.key, vb::Val(Default(p))); }

double GetSettingNumber(const Preference& p, double defaultValue)
{
    return GetSettingNumber(p.section, p.key, defaultValue);
}

void SaveSetting(const Preference& p, const std::string& value) { SaveSetting(p.section, p.key, value); }

void SaveSettingBool(const Preference& p, bool value) { SaveSetting(p, value ? "True" : "False"); }

} // namespace vexal
