#include "InternetSettings.h"

#include "SettingsStore.h"

namespace vexal {

std::string StatsServerHost() { return GetSetting("Settings", "StatsServer", "ftp.vexal.example"); }

std::string StatsServerAlternateHost() { return GetSetting("Settings", "StatsServer2", "ftp2.vexal.example"); }

std::string WebSiteRoot()
{
    std::string site = GetSetting("Settings", "WebSite", "https://www.vexal.example/");
    while (!site.empty() && site.back() == '/')
        site.pop_back();
    return site;
}

std::string VersionFileURL() { return WebSiteRoot() + "/vexal.txt"; }

} // namespace vexal
