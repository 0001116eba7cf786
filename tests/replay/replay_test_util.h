#pragma once
// Helpers for the playback tests: history files built in memory and written
// to a temporary folder.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <variant>

#include "engine/reverse_lookup.h"
#include "replay/history_loader.h"
#include "replay/history_reader.h"

namespace corvane::test {

inline constexpr const char* kHeader = "time,unix_ms,target,hop,address,rtt_ms,result\n";

// One row as the writer makes it; rtt < 0 writes a lost row.
inline std::string row(std::int64_t t, const std::string& target, unsigned hop, const std::string& addr, long rtt) {
    return "2026-03-01 09:45:13.207," + std::to_string(t) + "," + target + "," + std::to_string(hop) + "," + addr +
           "," + (rtt < 0 ? std::string() : std::to_string(rtt)) + "," + (rtt < 0 ? "lost" : "ok") + "\n";
}

inline std::filesystem::path write_file(const std::filesystem::path& dir, const std::string& name,
                                        const std::string& bytes) {
    const auto p = dir / name;
    std::ofstream(p, std::ios::binary) << bytes;
    return p;
}

inline ParsedRecording parse_ok(std::string_view text, bool watch = false) {
    auto r = parse_history_text(text, watch, "mem.csv");
    if (auto* b = std::get_if<std::string>(&r)) {
        ADD_FAILURE() << "unexpected banner: " << *b;
        return {};
    }
    return std::move(std::get<ParsedRecording>(r));
}

inline std::unique_ptr<ReplaySession> open_ok(const std::filesystem::path& p) {
    auto r = open_history_recording(p);
    if (auto* b = std::get_if<std::string>(&r)) {
        ADD_FAILURE() << "unexpected banner: " << *b;
        return nullptr;
    }
    return std::move(std::get<std::unique_ptr<ReplaySession>>(r));
}

// Playback asks for host names; tests must never reach the resolver.
class NoResolverEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        set_reverse_resolver([](Ipv4Addr) { return std::optional<std::string>(); });
    }
};
inline ::testing::Environment* const kNoResolver = ::testing::AddGlobalTestEnvironment(new NoResolverEnvironment);

}  // namespace corvane::test
