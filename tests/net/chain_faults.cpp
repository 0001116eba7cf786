#include "chain_faults.h"

#include <gtest/gtest.h>

#include "platform/child_process.h"
#include "support/net_support.h"

namespace corvane::test {
namespace {

constexpr char kLossTable[] = "corvane_loss";
constexpr char kBypassPrefix[] = "10.91.4.0/24";
constexpr char kBypassVia[] = "10.91.5.2";

std::string joined(const std::vector<std::string>& args) {
    std::string out;
    for (const auto& a : args) out += (out.empty() ? "" : " ") + a;
    return out;
}

}  // namespace

std::string run_in_netns(const std::string& netns, const std::vector<std::string>& args) {
    std::vector<std::string> full{"ip", "netns", "exec", netns};
    full.insert(full.end(), args.begin(), args.end());
    if (run_for_output(full)) return "";
    return "failed in " + netns + ": " + joined(args);
}

ScopedForwardLoss::ScopedForwardLoss(std::string netns, int percent) : netns_(std::move(netns)) {
    const std::string table = std::string("ip ") + kLossTable;
    error_ = run_in_netns(netns_, {"nft", "add table " + table + "; add chain " + table +
                                              " forward { type filter hook forward priority 0; policy accept; }; "
                                              "add rule " + table + " forward icmp type echo-request numgen random "
                                              "mod 100 < " + std::to_string(percent) + " drop"});
}

ScopedForwardLoss::~ScopedForwardLoss() {
    if (!error_.empty()) return;
    const std::string err = run_in_netns(netns_, {"nft", std::string("delete table ip ") + kLossTable});
    if (!err.empty()) ADD_FAILURE() << "the bed is left changed: " << err;
}

ScopedChainBypass::ScopedChainBypass() {
    error_ = run_in_netns(kChainR1Netns, {"ip", "route", "add", kBypassPrefix, "via", kBypassVia});
}

ScopedChainBypass::~ScopedChainBypass() {
    if (!error_.empty()) return;
    const std::string err = run_in_netns(kChainR1Netns, {"ip", "route", "del", kBypassPrefix});
    if (!err.empty()) ADD_FAILURE() << "the bed is left changed: " << err;
}

}  // namespace corvane::test
