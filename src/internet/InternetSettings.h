#pragma once
// Where the program's web site and its stats server are: settings of section "Settings"
// (the same "WebSite" the Help menu opens) with the program's own addresses as defaults;
// tests point them at servers on loopback.
#include <string>

#include "CurlTransfer.h"

namespace vexal {

// "host" or "host:port" of the FTP stats server.
std::string StatsServerHost();
// The further host the Server Name box offers.
std::string StatsServerAlternateHost();
// The web site's address without its trailing "/" ("http://host" or "http://host:port").
std::string WebSiteRoot();
// The version file's address on the web site.
std::string VersionFileURL();
// The bounds of every transfer: settings "TransferStallSeconds" (default 30),
// "TransferLimitSeconds" (300), "DocumentLimitBytes" (4 MB) and "DownloadLimitBytes" (64 MB).
TransferLimits InternetLimits();

} // namespace vexal
