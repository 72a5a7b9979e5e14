#pragma once
// The per-user settings store: application, section and key strings. The program installs
// the QSettings-backed store at start-up; until then (and in GUI-free tests) an in-memory
// store serves. A value that cannot be read gives the default.
#include <map>
#include <memory>
#include <string>

namespace vexal {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::string GetSetting(const std::string& app, const std::string& section,
                                   const std::string& key, const std::string& defaultValue) = 0;
    virtual void SaveSetting(const std::string& app, const std::string& section,
                             const std::string& key, const std::string& value) = 0;
    virtual void DeleteSetting(const std::string& app, const std::string& section,
                               const std::string& key) = 0;
};

class MemorySettings : public SettingsStore {
public:
    std::string GetSetting(const std::string& app, const std::string& section,
                           const std::string& key, const std::string& defaultValue) override;
    void SaveSetting(const std::string& app, const std::string& section,
                     const std::string& key, const std::string& value) override;
    void DeleteSetting(const std::string& app, const std::string& section,
                       const std::string& key) override;
    std::map<std::string, std::string> values; // "app/section/key" -> value
};

// The installed store (an in-memory one until another is installed).
SettingsStore& Settings();
void InstallSettings(std::unique_ptr<SettingsStore> store);

// Shorthands for application "Vexal".
inline constexpr const char* AppName = "Vexal";
std::string GetSetting(const std::string& section, const std::string& key, const std::string& defaultValue = "");
void SaveSetting(const std::string& section, const std::string& key, const std::string& value);
// Numeric settings: a missing or corrupt value gives the default.
double GetSettingNumber(const std::string& section, const std::string& key, double defaultValue);

} // namespace vexal

#include "Preferences.h"
