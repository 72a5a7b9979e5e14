#include "TSPredict.h"

#include "EngineArrays.h"
#include "FastEvaluator.h"
#include "VbConvert.h"

namespace vexal {

TSPredict::TSPredict(EngineHost& host)
    : host_(host)
    , clock_([] { return vb::Now(); })
{
}

TSPredict::~TSPredict() = default;

void TSPredict::SetTeaser(double points)
{
    teaser_ = engine::SaturatingCInt(points);
}

void TSPredict::ClearBest()
{
    BestRow.fill(0.0f);
    WorstRow.fill(0.0f);
}

void TSPredict::SetClock(std::function<double()> now)
{
    if (now)
        clock_ = std::move(now);
    else
        clock_ = [] { return vb::Now(); };
}

} // namespace vexal
