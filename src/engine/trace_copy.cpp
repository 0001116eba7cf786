#include "engine/trace_copy.h"

namespace corvane {
namespace {

// Appends what the source log gained since the marks, when the copy is
// still what the marks say and the source only grew; else copies it whole.
template <typename Log>
void catch_up_log(Log& copy, const Log& source, TraceCopyMarks::Log& marks) {
    const AppendMark now = source.mark();
    const std::uint64_t gained = now.appended - marks.source.appended;
    const bool grew_only = copy.mark() == marks.copy && now.origin == marks.source.origin &&
                           now.appended >= marks.source.appended && gained <= source.size();
    if (grew_only) {
        for (std::size_t i = source.size() - gained; i < source.size(); ++i) copy.push_back(source[i]);
    } else {
        copy = source;
    }
    marks = {now, copy.mark()};
}

template <typename T>
void assign_if_changed(T& copy, const T& source) {
    if (copy.stamp() != source.stamp()) copy = source;
}

void copy_hop(HopStats& copy, const HopStats& source, TraceCopyMarks::Hop& marks) {
    // Naming every field: one added to HopStats fails to compile here.
    const auto& [samples, sample_times, name, host, label, error, rtt_sum, jitter, sent, received, last, best, worst,
                 addr] = source;
    catch_up_log(copy.samples, samples, marks.samples);
    catch_up_log(copy.sample_times, sample_times, marks.times);
    copy.name = name;
    copy.host = host;
    copy.label = label;
    copy.error = error;
    copy.rtt_sum = rtt_sum;
    copy.jitter = jitter;
    copy.sent = sent;
    copy.received = received;
    copy.last = last;
    copy.best = best;
    copy.worst = worst;
    copy.addr = addr;
}

}  // namespace

void refresh_trace_copy(const TraceState& source, TraceState& copy, TraceCopyMarks& marks) {
    // Naming every field: one added to TraceState fails to compile here.
    const auto& [status, hops, events, history_file, history_error, dns_cache, dns_pending, started_ms, last_trace_ms,
                 writer, target_addr] = source;
    copy.status = status;
    marks.hops.resize(hops.size());
    copy.hops.catch_up(hops, [&](HopStats& mine, const HopStats& theirs, std::size_t i) {
        copy_hop(mine, theirs, marks.hops[i]);
    });
    catch_up_log(copy.events, events, marks.events);
    copy.history_file = history_file;
    copy.history_error = history_error;
    assign_if_changed(copy.dns_cache, dns_cache);
    assign_if_changed(copy.dns_pending, dns_pending);
    copy.started_ms = started_ms;
    copy.last_trace_ms = last_trace_ms;
    if (copy.writer != writer) copy.writer = writer;
    copy.target_addr = target_addr;
}

}  // namespace corvane
