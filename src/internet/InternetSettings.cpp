#include "InternetSettings.h"

#include "SettingsStore.h"

namespace vexal {

std::string StatsServerHost() { return GetSetting(pref::StatsServer); }

std::string StatsServerAlternateHost() { return GetSetting(pref::StatsServer2); }

std::string WebSiteRoot()
{
    std::string site = GetSetting(pref::WebSite);
    while (!site.empty() && site.back() == '/')
        site.pop_back();
    return site;
}

std::string VersionFileURL() { return WebSiteRoot() + "/vexal.txt"; }

TransferLimits InternetLimits()
{
    const TransferLimits defaults;
    TransferLimits limits;
    auto number = [](const NumberSetting& key, double fallback, double low, double high) {
        const double v = GetSetting(key, fallback);
        return v < low || v > high ? fallback : v;
    };
    limits.StallSeconds = static_cast<int>(number(pref::TransferStallSeconds, defaults.StallSeconds, 1, 3600));
    limits.OverallSeconds = static_cast<int>(number(pref::TransferLimitSeconds, defaults.OverallSeconds, 1, 86400));
    limits.MaxDocumentBytes = static_cast<int64_t>(
        number(pref::DocumentLimitBytes, static_cast<double>(defaults.MaxDocumentBytes), 1024, 1e9));
    limits.MaxDownloadBytes = static_cast<int64_t>(
        number(pref::DownloadLimitBytes, static_cast<double>(defaults.MaxDownloadBytes), 1024, 1e11));
    return limits;
}

} // namespace vexal
