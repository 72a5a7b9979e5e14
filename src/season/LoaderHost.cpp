#include "LoaderHost.h"

namespace vexal {

namespace {
std::unique_ptr<LoaderHost>& Installed()
{
    static std::unique_ptr<LoaderHost> host = std::make_unique<LoaderHost>();
    return host;
}
} // namespace

LoaderHost& TheLoaderHost() { return *Installed(); }

void InstallLoaderHost(std::unique_ptr<LoaderHost> host)
{
    Installed() = host ? std::move(host) : std::make_unique<LoaderHost>();
}

} // namespace vexal
