#pragma once
// Raises a "running" flag for the length of a scope and lowers it on every way out,
// an error included, so a refused re-entry never outlives the run it guards.
namespace vexal {

class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
};

} // namespace vexal
