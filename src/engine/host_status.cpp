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

}  // namespace

HostStatus classify_watch_host_status(const HopStats& host, std::int64_t now_ms) {
    if (host.error) return {HostStatusKind::Error, *host.error};
    if (host.sent == 0) return {HostStatusKind::Waiting, "Waiting"};

    const auto& samples = host.samples;
    const std::size_t count = samples.size();

    std::size_t trailing_lost = 0;
    while (trailing_lost < count && sample_lost(samples[count - 1 - trailing_lost])) ++trailing_lost;
    if (trailing_lost >= kDownAfterLosses) {
        const std::int64_t since = time_of(host, count - trailing_lost, now_ms);
        return {HostStatusKind::Down, "Down " + format_duration_ms(span_ms(now_ms, since)) + " since " +
                                          format_clock_time(since, true)};
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
    const double loss = static_cast<double>(lost) * 100.0 / static_cast<double>(std::max<std::size_t>(window, 1));
    const double recent = answered == 0 ? 0.0 : static_cast<double>(rtt_total) / static_cast<double>(answered);

    if (loss > 2.0) return {HostStatusKind::Degraded, format_whole("%.0f%% loss last minute", loss)};
    if (host.received >= 20) {
        const double overall = static_cast<double>(host.rtt_sum) / static_cast<double>(host.received);
        if (recent > 1.5 * overall && recent - overall > 10.0) {
            return {HostStatusKind::Degraded, format_whole("Slow, %.0f ms last minute", recent)};
        }
    }

    // Up since the first answer after the latest outage, or since the oldest
    // sample kept.
    std::int64_t up_since = count == 0 ? now_ms : time_of(host, 0, now_ms);
    std::size_t run = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (sample_lost(samples[i])) {
            ++run;
            continue;
        }
        if (run >= kDownAfterLosses) up_since = time_of(host, i, up_since);
        run = 0;
    }
    return {HostStatusKind::Up, "Up " + format_duration_ms(span_ms(now_ms, up_since))};
}

}  // namespace corvane
