#pragma once
// The window's per-frame copy of a monitor state, brought up to date rather
// than made afresh: a watch list of 1000 hosts with full rings is 43 MB,
// while its probes change a few kilobytes of it between two frames.
#include <vector>

#include "engine/monitor_state.h"

namespace corvane {

// Where the copy and its source stood at the copy's last refresh.
struct TraceCopyMarks {
    struct Log {
        AppendMark source;
        AppendMark copy;
    };
    struct Hop {
        Log samples;
        Log times;
    };
    Log events;
    std::vector<Hop> hops;  // by slot
};

// Makes `copy` equal to `source` as clone_trace_state would, copying only the
// hops whose stamps changed, the samples and events appended since the last
// refresh with these marks, and the lookup maps when their stamps changed.
// Any source does: another state, or the same one replaced or rebuilt, is
// copied as far as it differs. Changes made to `copy` meanwhile are found the
// same way and undone. The caller holds the source's lock.
void refresh_trace_copy(const TraceState& source, TraceState& copy, TraceCopyMarks& marks);

}  // namespace corvane
