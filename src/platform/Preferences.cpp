#include "Preferences.h"

#include "SettingsStore.h"
#include "VbConvert.h"
#include "VbError.h"

namespace vexal {

std::string GetSetting(const TextSetting& s) { return GetSetting(s.section, s.key, s.defaultValue); }

std::string GetSetting(const TextSetting& s, const std::string& defaultValue)
{
    return GetSetting(s.section, s.key, defaultValue);
}

bool GetSetting(const BoolSetting& s)
{
    const std::string v = vb::Trim(GetSetting(s.section, s.key, s.defaultValue ? "True" : "False"));
    const std::string lower = vb::LCase(v);
    if (lower == "true")
        return true;
    if (lower == "false")
        return false;
    if (vb::IsNumeric(v))
        return vb::Val(v) != 0;
    return s.defaultValue;
}

int GetSetting(const CheckSetting& s)
{
    const std::string v = GetSetting(s.section, s.key, std::to_string(s.defaultValue));
    if (!vb::IsNumeric(v))
        throw VbError::Of(13);
    const double value = vb::RoundHalfEven(vb::Val(v));
    if (!(value >= -32768 && value <= 32767))
        throw VbError::Of(6);
    return static_cast<int>(value);
}

double GetSetting(const NumberSetting& s) { return GetSettingNumber(s.section, s.key, s.defaultValue); }

double GetSetting(const NumberSetting& s, double defaultValue)
{
    return GetSettingNumber(s.section, s.key, defaultValue);
}

void SaveSetting(const TextSetting& s, const std::string& value) { SaveSetting(s.section, s.key, value); }

void SaveSetting(const BoolSetting& s, bool value) { SaveSetting(s.section, s.key, value ? "True" : "False"); }

void SaveSetting(const CheckSetting& s, int value) { SaveSetting(s.section, s.key, std::to_string(value)); }

std::string LineFileInUse() { return vb::Trim(GetSetting(pref::LineFile)); }

} // namespace vexal
