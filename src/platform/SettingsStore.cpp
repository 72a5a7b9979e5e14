#include "SettingsStore.h"

#include "VbConvert.h"

namespace vexal {

namespace {
std::unique_ptr<SettingsStore>& Installed()
{
    static std::unique_ptr<SettingsStore> store = std::make_unique<MemorySettings>();
    return store;
}
std::string KeyOf(const std::string& app, const std::string& section, const std::string& key)
{
    return app + "/" + section + "/" + key;
}

// Names match without regard to case, as the per-user store of the platform does; the
// spelling first saved is kept.
std::map<std::string, std::string>::iterator Find(std::map<std::string, std::string>& values,
                                                  const std::string& fullKey)
{
    auto it = values.find(fullKey);
    if (it != values.end())
        return it;
    const std::string wanted = vb::UCase(fullKey);
    for (it = values.begin(); it != values.end(); ++it) {
        if (vb::UCase(it->first) == wanted)
            return it;
    }
    return values.end();
}
} // namespace

std::string MemorySettings::GetSetting(const std::string& app, const std::string& section,
                                       const std::string& key, const std::string& defaultValue)
{
    auto it = Find(values, KeyOf(app, section, key));
    return it == values.end() ? defaultValue : it->second;
}

void MemorySettings::SaveSetting(const std::string& app, const std::string& section,
                                 const std::string& key, const std::string& value)
{
    auto it = Find(values, KeyOf(app, section, key));
    if (it != values.end())
        it->second = value;
    else
        values[KeyOf(app, section, key)] = value;
}

void MemorySettings::DeleteSetting(const std::string& app, const std::string& section, const std::string& key)
{
    auto it = Find(values, KeyOf(app, section, key));
    if (it != values.end())
        values.erase(it);
}

SettingsStore& Settings() { return *Installed(); }

void InstallSettings(std::unique_ptr<SettingsStore> store)
{
    Installed() = store ? std::move(store) : std::make_unique<MemorySettings>();
}

std::string GetSetting(const std::string& section, const std::string& key, const std::string& defaultValue)
{
    return Settings().GetSetting(AppName, section, key, defaultValue);
}

void SaveSetting(const std::string& section, const std::string& key, const std::string& value)
{
    Settings().SaveSetting(AppName, section, key, value);
}

double GetSettingNumber(const std::string& section, const std::string& key, double defaultValue)
{
    std::string text = GetSetting(section, key, "");
    if (!vb::IsNumeric(text))
        return defaultValue;
    // A numeric text may carry thousands separators ("1,000"), which the reading skips.
    std::string plain;
    for (char c : text) {
        if (c != ',')
            plain += c;
    }
    return vb::Val(plain);
}

} // namespace vexal
