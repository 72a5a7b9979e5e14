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
// The memory the ratio sets of one game list may take before they are dropped.
constexpr std::size_t RatioPoolLimit = std::size_t{64} << 20;

inline float Single(double v) { return static_cast<float>(v); }

} // namespace

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
    ratioIndex_.clear();
    ratioPool_.clear();
    turnoverIndex_.clear();
    turnoverPool_.clear();
    padded_ = false;
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
    ratioIndex_.clear();
    ratioPool_.clear();
    turnoverIndex_.clear();
    turnoverPool_.clear();
    return true;
}

void FastEvaluator::Pad()
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

const float* FastEvaluator::Ratios(const Combination& c)
{
    const uint64_t key = (static_cast<uint64_t>(static_cast<uint16_t>(c.offense)) << 48) |
                         (static_cast<uint64_t>(static_cast<uint16_t>(c.defense)) << 32) |
                         (static_cast<uint64_t>(static_cast<uint16_t>(c.rushing)) << 16) |
                         static_cast<uint64_t>(static_cast<uint16_t>(c.passing));
    if (auto found = ratioIndex_.find(key); found != ratioIndex_.end())
        return ratioPool_.data() + found->second;
    if ((ratioPool_.size() + 2 * fastkernel::Padded(count_)) * sizeof(float) > RatioPoolLimit) {
        ratioIndex_.clear();
        ratioPool_.clear();
    }
    const std::size_t size = fastkernel::Padded(count_);
    const std::size_t at = ratioPool_.size();
    ratioPool_.resize(at + 2 * size, 0.0f);
    float* home = ratioPool_.data() + at;
    float* away = home + size;
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
    ratioIndex_.emplace(key, at);
    return home;
}

const double* FastEvaluator::TurnoverTerms(float turnover)
{
    uint32_t key = 0;
    std::memcpy(&key, &turnover, sizeof key);
    if (auto found = turnoverIndex_.find(key); found != turnoverIndex_.end())
        return turnoverPool_.data() + found->second;
    const std::size_t size = fastkernel::Padded(count_);
    if ((turnoverPool_.size() + size) * sizeof(double) > RatioPoolLimit) {
        turnoverIndex_.clear();
        turnoverPool_.clear();
    }
    const std::size_t at = turnoverPool_.size();
    turnoverPool_.resize(at + size, 0.0);
    double* terms = turnoverPool_.data() + at;
    const double T = turnover;
    for (std::size_t i = 0; i < count_; ++i)
        terms[i] = T * turnoverDiff_[i] / 10.0;
    turnoverIndex_.emplace(key, at);
    return terms;
}

FastEvaluator::Result FastEvaluator::Evaluate(const Combination& combination)
{
    trace_.clear();
    if (count_ == 0)
        return Result{};
    Pad();
    const float* home = Ratios(combination);
    fastkernel::Inputs in;
    in.count = count_;
    in.homeRatio = home;
    in.awayRatio = home + fastkernel::Padded(count_);
    in.turnover = TurnoverTerms(combination.turnover);
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
    if (settings_.trace) {
        trace_.resize(2 * count_);
        in.trace = trace_.data();
    }
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
