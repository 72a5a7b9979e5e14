#include "ProgramEngineHost.h"

#include "AppState.h"
#include "Host.h"
#include "SeasonData.h"

namespace vexal {

namespace {

class SharedStateHost final : public EngineHost {
public:
    SeasonData& Seasons() override { return Season(); }
    Formula& CurrentFormula() override { return App().CurrentFormula; }
    bool StopRequested() override { return App().StopTest; }
    void ClearStopRequest() override { App().StopTest = false; }
    void Yield() override { DoEvents(); }
    std::filesystem::path OutputFolder() override { return ProgramFolder(); }
};

} // namespace

EngineHost& ProgramEngineHost()
{
    static SharedStateHost host;
    return host;
}

} // namespace vexal
