#include "engine/hop_records.h"

namespace corvane {

std::vector<HopStats> carry_hop_records(HopList& old, const Route& previous, const Route& route, Ipv4Addr target) {
    std::vector<HopStats> hops(route.size());
    std::vector<bool> kept(route.size(), false);
    for (std::size_t j = 0; j < route.size(); ++j) {
        // A probe thread takes whoever answers at its time-to-live into its
        // record, counters and all: once a path changes length, the record of
        // one router goes on under the address of the next. Only a record
        // that held its address at the last discovery, and holds it still,
        // is that router's alone.
        if (route[j] && j < previous.size() && previous[j] == route[j] && j < old.size() && old[j].addr == route[j]) {
            hops[j] = std::move(old[j]);
            kept[j] = true;
        } else {
            hops[j].addr = route[j];
        }
    }
    // The destination answers every time-to-live past its own, so its record
    // stays its own when the path gets shorter, and moves with it. When the
    // path gets longer a router answers at its old time-to-live; once one
    // has, the record is no longer the destination's alone and stays behind.
    if (route.empty() || previous.empty() || route.back() != target || previous.back() != target) return hops;
    const std::size_t to = route.size() - 1;
    const std::size_t from = previous.size() - 1;
    const bool taken = from < kept.size() && kept[from];
    if (!kept[to] && !taken && from < old.size() && old[from].addr == target) hops[to] = std::move(old[from]);
    return hops;
}

}  // namespace corvane
