#include "ProgramDownload.h"

namespace vexal {

namespace {
ProgramDownloadFactory& Factory()
{
    static ProgramDownloadFactory factory;
    return factory;
}

std::function<void()>& UpdaterStart()
{
    static std::function<void()> start;
    return start;
}
} // namespace

void SetProgramDownloadFactory(ProgramDownloadFactory factory) { Factory() = std::move(factory); }

std::unique_ptr<ProgramDownload> MakeProgramDownload(QObject* owner, ProgramDownload::Hooks hooks)
{
    if (!Factory())
        return nullptr;
    return Factory()(owner, std::move(hooks));
}

void SetUpdaterStart(std::function<void()> start) { UpdaterStart() = std::move(start); }

void StartProgramUpdater()
{
    if (UpdaterStart())
        UpdaterStart()();
}

} // namespace vexal
