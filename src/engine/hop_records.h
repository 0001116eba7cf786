#pragma once
// Which hop records outlive a change of the route's length.
#include <vector>

#include "engine/echo.h"
#include "engine/hop_list.h"
#include "platform/ipv4.h"

namespace corvane {

// The records for a new table of `route`, taken from `old` (the table built
// for `previous`, as its probe threads have kept it since) where they still
// hold one router's history alone; every other entry is fresh, with the
// route's address. Records taken are left moved-from in `old`.
std::vector<HopStats> carry_hop_records(HopList& old, const Route& previous, const Route& route, Ipv4Addr target);

}  // namespace corvane
