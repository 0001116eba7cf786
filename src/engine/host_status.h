#pragma once
// The rating of one watched host, worked out from its statistics whenever a
// view needs it; nothing of it is stored.
#include <cstdint>
#include <string>

#include "engine/monitor_state.h"

namespace corvane {

enum class HostStatusKind : std::uint8_t {
    Waiting = 0,
    Up = 1,
    Degraded = 2,
    Down = 3,
    Error = 4,
};

struct HostStatus {
    HostStatusKind kind = HostStatusKind::Waiting;
    std::string text;
};

// Loss or delay is judged over the newest this-many samples, whatever the
// probe interval; the texts call it "last minute".
inline constexpr std::size_t kStatusWindowSamples = 60;
// Consecutive losses that make a host Down.
inline constexpr std::size_t kDownAfterLosses = 3;

// Rates one host at `now_ms` (the playback position during playback).
HostStatus classify_watch_host_status(const HopStats& host, std::int64_t now_ms);

// The kind of that rating alone. Its text needs a pass over the whole ring,
// which counting a thousand hosts every frame can do without.
HostStatusKind watch_host_status_kind(const HopStats& host);

}  // namespace corvane
