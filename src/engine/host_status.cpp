#include "engine/host_status.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "engine/clock_text.h"
#include "engine/duration_text.h"

namespace corvane {

namespace {

// now - then without overflow: playback positions and recorded times come
// from files and may be anything.
std::int64_t span_ms(std::int64_t now, std::int64_t then) {
    std::int64_t out = 0;
    if (__builtin_sub_overflow(now, then, &out)) {
        return then > now ? std::numeric_limits<std::int64_t>::min()
                          : std::numeric_limits<std::int64_t>::max();
    }
    return out;
}

// The rings are kept the same length; should they ever differ, a missing
// time reads as `fallback` instead of reading past the ring.
std::int64_t time_of(const HopStats& host, std::size_t i, std::int64_t fallback) {
    const std::size_t offset = host.samples.size() - i;  // distance from the newest end
    if (offset > host.sample_times.size()) return fallback;
    return host.sample_times[host.sample_times.size() - offset];
}

std::string format_whole(const char* pattern, double value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, pattern, value);
    return buf;
}

// The kind, and what the kind's text is made of.
struct Rating {
    HostStatusKind kind = HostStatusKind::Waiting;
    std::size_t trailing_lost = 0;
    double loss = 0.0;    // percent of the newest samples
    double recent = 0.0;  // mean round trip of the newest answers
};

Rating rate(const HopStats& host) {
    Rating r;
    if (host.error) return {HostStatusKind::Error};
    if (host.sent == 0) return r;

    const auto& samples = host.samples;
    const std::size_t count = samples.size();
    while (r.trailing_lost < count && sample_lost(samples[count - 1 - r.trailing_lost])) ++r.trailing_lost;
    if (r.trailing_lost >= kDownAfterLosses) {
        r.kind = HostStatusKind::Down;
        return r;
    }

    const std::size_t window = std::min(kStatusWindowSamples, count);
    std::size_t lost = 0;
    std::size_t answered = 0;
    float rtt_total = 0.0f;
    for (std::size_t i = count - window; i < count; ++i) {
        if (sample_lost(samples[i])) {
            ++lost;
        } else {
            ++answered;
            rtt_total += samples[i];
        }
    }
    r.loss = static_cast<double>(lost) * 100.0 / static_cast<double>(std::max<std::size_t>(window, 1));
    r.recent = answered == 0 ? 0.0 : static_cast<double>(rtt_total) / static_cast<double>(answered);
    r.kind = HostStatusKind::Up;
    if (r.loss > 2.0) {
        r.kind = HostStatusKind::Degraded;
    } else if (host.received >= 20) {
        const double overall = static_cast<double>(host.rtt_sum) / static_cast<double>(host.received);
        if (r.recent > 1.5 * overall && r.recent - overall > 10.0) r.kind = HostStatusKind::Degraded;
    }
    return r;
}

// Up since the first answer after the latest outage, or since the oldest
// sample kept: the one part of a rating that reads the whole ring.
std::int64_t up_since(const HopStats& host, std::int64_t now_ms) {
    const auto& samples = host.samples;
    const std::size_t count = samples.size();
    std::int64_t since = count == 0 ? now_ms : time_of(host, 0, now_ms);
    std::size_t run = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (sample_lost(samples[i])) {
            ++run;
            continue;
        }
        if (run >= kDownAfterLosses) since = time_of(host, i, since);
        run = 0;
    }
    return since;
}

}  // namespace

HostStatusKind watch_host_status_kind(const HopStats& host) { return rate(host).kind; }

HostStatus classify_watch_host_status(const HopStats& host, std::int64_t now_ms) {
    const Rating r = rate(host);
    switch (r.kind) {
    case HostStatusKind::Error: return {r.kind, *host.error};
    case HostStatusKind::Waiting: return {r.kind, "Waiting"};
    case HostStatusKind::Down: {
        const std::int64_t since = time_of(host, host.samples.size() - r.trailing_lost, now_ms);
        return {r.kind, "Down " + format_duration_ms(span_ms(now_ms, since)) + " since " +
                            format_clock_time(since, true)};
    }
    case HostStatusKind::Degraded:
        if (r.loss > 2.0) return {r.kind, format_whole("%.0f%% loss last minute", r.loss)};
        return {r.kind, format_whole("Slow, %.0f ms last minute", r.recent)};
    case HostStatusKind::Up: break;
    }
    return {r.kind, "Up " + format_duration_ms(span_ms(now_ms, up_since(host, now_ms)))};
}

}  // namespace corvane
