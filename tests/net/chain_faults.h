#pragma once
// Faults a test puts into the bed's kernel-router chain for its own life and
// takes out again, so the chain is left as the other tests expect it.
#include <string>
#include <vector>

namespace corvane::test {

// Runs a program inside a namespace of the bed (`ip netns exec`); the reason
// it failed, or empty.
std::string run_in_netns(const std::string& netns, const std::vector<std::string>& args);

// A router that drops the given share of the echo requests it forwards, at
// random (nftables' numgen); the answers it gives itself are untouched.
class ScopedForwardLoss {
public:
    ScopedForwardLoss(std::string netns, int percent);
    ~ScopedForwardLoss();
    ScopedForwardLoss(const ScopedForwardLoss&) = delete;
    ScopedForwardLoss& operator=(const ScopedForwardLoss&) = delete;
    const std::string& error() const { return error_; }

private:
    std::string netns_, error_;
};

// r1 sends traffic for the destination's link over the bypass to r3, so the
// path leaves r2 out: r1, r3, destination.
class ScopedChainBypass {
public:
    ScopedChainBypass();
    ~ScopedChainBypass();
    ScopedChainBypass(const ScopedChainBypass&) = delete;
    ScopedChainBypass& operator=(const ScopedChainBypass&) = delete;
    const std::string& error() const { return error_; }

private:
    std::string error_;
};

}  // namespace corvane::test
