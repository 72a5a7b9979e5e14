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

TransferLimits InternetLimits()
{
    const TransferLimits defaults;
    TransferLimits limits;
    auto number = [](const char* key, double fallback, double low, double high) {
        const double v = GetSettingNumber("Settings", key, fallback);
        return v < low || v > high ? fallback : v;
    };
    limits.StallSeconds = static_cast<int>(number("TransferStallSeconds", defaults.StallSeconds, 1, 3600));
    limits.OverallSeconds = static_cast<int>(number("TransferLimitSeconds", defaults.OverallSeconds, 1, 86400));
    limits.MaxDocumentBytes = static_cast<int64_t>(
        number("DocumentLimitBytes", static_cast<double>(defaults.MaxDocumentBytes), 1024, 1e9));
    limits.MaxDownloadBytes = static_cast<int64_t>(
        number("DownloadLimitBytes", static_cast<double>(defaults.MaxDownloadBytes), 1024, 1e11));
    return limits;
}

} // namespace vexal
