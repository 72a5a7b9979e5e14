#include "FastEvaluator.h"

#include "CliffAdjustment.h"
#include "FastKernel.h"
#include "MoneyLineTable.h"

#include <cstring>

namespace vexal {

namespace {

constexpr int FieldBits = 21;
constexpr uint64_t FieldMask = (uint64_t{1} << FieldBits) - 1;
constexpr uint64_t WinCode = 1;
constexpr uint64_t LossCode = uint64_t{1} << FieldBits;
constexpr uint64_t TieCode = uint64_t{1} << (2 * FieldBits);
constexpr int16_t True = -1;
constexpr int16_t False = 0;
inline float Single(double v) { return static_cast<float>(v); }

} // namespace

void FastEvaluator::Pools::Clear()
{
    ratioIndex.clear();
    ratioPool.clear();
    turnoverIndex.clear();
    turnoverPool.clear();
}

void FastEvaluator::Pools::Release()
{
    std::unordered_map<uint64_t, std::size_t>().swap(ratioIndex);
    std::vector<float>().swap(ratioPool);
    std::unordered_map<uint32_t, std::size_t>().swap(turnoverIndex);
    std::vector<double>().swap(turnoverPool);
}

void FastEvaluator::Release()
{
    for (auto* v : {&homeYards12_, &homeYards34_, &awayYards56_, &awayYards78_, &rate9_, &rate10_, &rate11_,
                    &rate12_, &turnoverDiff_, &power14_, &power15_, &cliffHalf_, &factorsHalf_, &spread_, &total_,
                    &firstUnits_, &secondUnits_})
        std::vector<double>().swap(*v);
    std::vector<uint64_t>().swap(firstPick_);
    std::vector<uint64_t>().swap(secondPick_);
    std::vector<float>().swap(trace_);
    pools_.Release();
    count_ = 0;
    padded_ = false;
    ++generation_;
}

void FastEvaluator::Reset(const Settings& settings)
{
    settings_ = settings;
    count_ = 0;
    for (auto* v : {&homeYards12_, &homeYards34_, &awayYards56_, &awayYards78_, &rate9_, &rate10_, &rate11_,
                    &rate12_, &turnoverDiff_, &power14_, &power15_, &cliffHalf_, &factorsHalf_, &spread_, &total_,
                    &firstUnits_, &secondUnits_})
        v->clear();
    firstPick_.clear();
    secondPick_.clear();
    pools_.Clear();
    padded_ = false;
    ++generation_;
}

bool FastEvaluator::Add(const GameInput& game)
{
    const float* c = game.block;
    const double S = game.spread;
    const double L = game.total;
    const double t = settings_.teaser;
    const float fav = settings_.favOrOver;
    const float dog = settings_.dogOrUnder;
    uint64_t first = 0;
    uint64_t second = 0;
    double firstUnits = 0;
    double secondUnits = 0;
    if (settings_.totals) {
        const bool overAllowed = fav == 10 || (fav < 10 && dog < 10);
        const bool underAllowed = dog == 10 || (dog < 10 && fav < 10);
        const double actual = static_cast<int16_t>(game.awayScore + game.homeScore);
        if (overAllowed)
            first = actual + t > L ? WinCode : actual + t == L ? TieCode : LossCode;
        if (underAllowed)
            second = actual - t < L ? WinCode : actual - t == L ? TieCode : LossCode;
    } else {
        const bool homeAllowed = settings_.awayOnly == 0 &&
                                 ((fav == 1 && S < 0) || (dog == 1 && S > 0) || (fav == 0 && dog == 0) || fav == 10 ||
                                  dog == 10);
        const bool awayAllowed =
            settings_.homeOnly == 0 && ((fav == 1 && S > 0) || (dog == 1 && S < 0) || (fav == 0 && dog == 0));
        const float saved = game.savedSpread;
        if (homeAllowed) {
            const double x = game.homeScore + S + t;
            if (game.awayScore == x) {
                first = TieCode;
            } else if (game.awayScore < x) {
                first = WinCode;
                firstUnits = saved > 0 ? SpreadToMoneyLineFactor(saved, True) : 1.0f;
            } else {
                first = LossCode;
                firstUnits = -static_cast<double>(saved < 0 ? SpreadToMoneyLineFactor(saved, False) : 1.0f);
            }
        }
        if (awayAllowed) {
            const double y = game.awayScore - S + t;
            if (game.homeScore == y) {
                second = TieCode;
            } else if (game.homeScore < y) {
                second = WinCode;
                secondUnits = saved < 0 ? SpreadToMoneyLineFactor(saved, True) : 1.0f;
            } else {
                second = LossCode;
                secondUnits = -static_cast<double>(saved >= 0 ? SpreadToMoneyLineFactor(saved, False) : 1.0f);
            }
        }
    }
    if (first == 0 && second == 0 && !settings_.trace)
        return false;
    if (padded_) {
        for (auto* v : {&homeYards12_, &homeYards34_, &awayYards56_, &awayYards78_, &rate9_, &rate10_, &rate11_,
                        &rate12_, &turnoverDiff_, &power14_, &power15_, &cliffHalf_, &factorsHalf_, &spread_, &total_,
                        &firstUnits_, &secondUnits_})
            v->resize(count_);
        firstPick_.resize(count_);
        secondPick_.resize(count_);
        padded_ = false;
    }

    homeYards12_.push_back(static_cast<double>(c[1]) + static_cast<double>(c[2]));
    homeYards34_.push_back(static_cast<double>(c[3]) + static_cast<double>(c[4]));
    awayYards56_.push_back(static_cast<double>(c[5]) + static_cast<double>(c[6]));
    awayYards78_.push_back(static_cast<double>(c[7]) + static_cast<double>(c[8]));
    rate9_.push_back(c[9]);
    rate10_.push_back(c[10]);
    rate11_.push_back(c[11]);
    rate12_.push_back(c[12]);
    turnoverDiff_.push_back(c[13]);
    power14_.push_back(c[14]);
    power15_.push_back(c[15]);
    cliffHalf_.push_back(CliffAdjustment(c[0]) / 2.0);
    factorsHalf_.push_back(game.otherFactors / 2.0);
    spread_.push_back(S);
    total_.push_back(L);
    firstPick_.push_back(first);
    secondPick_.push_back(second);
    firstUnits_.push_back(firstUnits);
    secondUnits_.push_back(secondUnits);
    ++count_;
    ++generation_;
    return true;
}

void FastEvaluator::Prepare()
{
    if (padded_)
        return;
    const std::size_t size = fastkernel::Padded(count_);
    for (auto* v : {&homeYards12_, &homeYards34_, &awayYards56_, &awayYards78_, &rate9_, &rate10_, &rate11_, &rate12_,
                    &turnoverDiff_, &power14_, &power15_, &cliffHalf_, &factorsHalf_, &spread_, &total_, &firstUnits_,
                    &secondUnits_})
        v->resize(size, 0.0);
    firstPick_.resize(size, 0);
    secondPick_.resize(size, 0);
    padded_ = true;
}

std::size_t FastEvaluator::TableSize() const
{
    return fastkernel::Padded(count_);
}

void FastEvaluator::FillRatios(const Combination& c, float* ratios) const
{
    const std::size_t size = TableSize();
    float* home = ratios;
    float* away = ratios + size;
    const double R = c.rushing;
    const double P = c.passing;
    const double O = c.offense;
    const double D = c.defense;
    for (std::size_t i = 0; i < count_; ++i) {
        const float yards4 = Single((R * homeYards12_[i] + P * homeYards34_[i]) / 100.0);
        const float yards5 = Single((R * awayYards56_[i] + P * awayYards78_[i]) / 100.0);
        const float rate6 = Single((O * rate9_[i] + D * rate10_[i]) / 100.0);
        const float rate7 = Single((O * rate11_[i] + D * rate12_[i]) / 100.0);
        home[i] = rate6 == 0 ? 0.0f : Single(static_cast<double>(yards4) / static_cast<double>(rate6));
        away[i] = rate7 == 0 ? 0.0f : Single(static_cast<double>(yards5) / static_cast<double>(rate7));
    }
    // The padding's picks count nothing; its values are set all the same.
    for (std::size_t i = count_; i < size; ++i)
        home[i] = away[i] = 0.0f;
}

void FastEvaluator::FillTurnoverTerms(float turnover, double* terms) const
{
    const double T = turnover;
    for (std::size_t i = 0; i < count_; ++i)
        terms[i] = T * turnoverDiff_[i] / 10.0;
    for (std::size_t i = count_; i < TableSize(); ++i)
        terms[i] = 0.0;
}

const float* FastEvaluator::Ratios(const Combination& c, Pools& pools) const
{
    const uint64_t key = (static_cast<uint64_t>(static_cast<uint16_t>(c.offense)) << 48) |
                         (static_cast<uint64_t>(static_cast<uint16_t>(c.defense)) << 32) |
                         (static_cast<uint64_t>(static_cast<uint16_t>(c.rushing)) << 16) |
                         static_cast<uint64_t>(static_cast<uint16_t>(c.passing));
    if (auto found = pools.ratioIndex.find(key); found != pools.ratioIndex.end())
        return pools.ratioPool.data() + found->second;
    const std::size_t size = TableSize();
    if ((pools.ratioPool.size() + 2 * size) * sizeof(float) > pools.limit) {
        pools.ratioIndex.clear();
        pools.ratioPool.clear();
    }
    const std::size_t at = pools.ratioPool.size();
    pools.ratioPool.resize(at + 2 * size);
    FillRatios(c, pools.ratioPool.data() + at);
    pools.ratioIndex.emplace(key, at);
    return pools.ratioPool.data() + at;
}

const double* FastEvaluator::TurnoverTerms(float turnover, Pools& pools) const
{
    uint32_t key = 0;
    std::memcpy(&key, &turnover, sizeof key);
    if (auto found = pools.turnoverIndex.find(key); found != pools.turnoverIndex.end())
        return pools.turnoverPool.data() + found->second;
    const std::size_t size = TableSize();
    if ((pools.turnoverPool.size() + size) * sizeof(double) > pools.limit) {
        pools.turnoverIndex.clear();
        pools.turnoverPool.clear();
    }
    const std::size_t at = pools.turnoverPool.size();
    pools.turnoverPool.resize(at + size);
    FillTurnoverTerms(turnover, pools.turnoverPool.data() + at);
    pools.turnoverIndex.emplace(key, at);
    return pools.turnoverPool.data() + at;
}

FastEvaluator::Result FastEvaluator::Evaluate(const Combination& combination)
{
    trace_.clear();
    if (count_ == 0)
        return Result{};
    Prepare();
    float* trace = nullptr;
    if (settings_.trace) {
        trace_.resize(2 * count_);
        trace = trace_.data();
    }
    if (pools_.generation != generation_) {
        pools_.Clear();
        pools_.generation = generation_;
    }
    return Run(combination, Ratios(combination, pools_), TurnoverTerms(combination.turnover, pools_), trace);
}

FastEvaluator::Result FastEvaluator::Evaluate(const Combination& combination, const float* ratios,
                                              const double* terms) const
{
    if (count_ == 0)
        return Result{};
    return Run(combination, ratios, terms, nullptr);
}

FastEvaluator::Result FastEvaluator::Run(const Combination& combination, const float* ratios, const double* terms,
                                         float* trace) const
{
    fastkernel::Inputs in;
    in.count = count_;
    in.homeRatio = ratios;
    in.awayRatio = ratios + TableSize();
    in.turnover = terms;
    in.factorsHalf = factorsHalf_.data();
    in.power14 = power14_.data();
    in.power15 = power15_.data();
    in.cliffHalf = cliffHalf_.data();
    in.spread = spread_.data();
    in.total = total_.data();
    in.firstPick = firstPick_.data();
    in.secondPick = secondPick_.data();
    in.firstUnits = firstUnits_.data();
    in.secondUnits = secondUnits_.data();
    in.multiplier = combination.multiplier;
    in.halfHome = static_cast<double>(combination.homeField) / 2.0;
    in.minDiff = combination.minDiff;
    in.maxDiff = combination.maxDiff;
    in.totals = settings_.totals;
    in.power = settings_.power;
    in.cliff = settings_.cliff;
    in.units = settings_.moneyLine;
    in.trace = trace;
    fastkernel::Outputs out;
    fastkernel::Evaluate(in, out);
    Result r;
    r.wins = static_cast<int32_t>(out.counts & FieldMask);
    r.losses = static_cast<int32_t>((out.counts >> FieldBits) & FieldMask);
    r.ties = static_cast<int32_t>((out.counts >> (2 * FieldBits)) & FieldMask);
    r.moneyLineUnits = out.units;
    return r;
}

} // namespace vexal
