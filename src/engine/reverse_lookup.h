#pragma once
// Host names for hop and host addresses, looked up on short-lived threads and
// cached per monitor state.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "engine/monitor_state.h"
#include "platform/ipv4.h"

namespace corvane {

// The raw lookup: the host text the resolver gives for an address, or nothing
// when it fails. The system's is getnameinfo with a name required.
using ReverseResolver = std::function<std::optional<std::string>(Ipv4Addr)>;

// getnameinfo on the address (port 0), a name required, the service numeric.
std::optional<std::string> system_reverse_lookup(Ipv4Addr addr);

// Test seam: replaces the raw lookup, so unit tests never reach the machine's
// resolver. An empty function restores the default (test_seam_slot.h): the
// system's in the program.
void set_reverse_resolver(ReverseResolver resolver);

// The name to show for an address: "" when the lookup fails, gives text that
// is not UTF-8, or gives the address back in dotted form. Blocking.
std::string reverse_lookup_name(Ipv4Addr addr);

// With `locked` (the state of `shared`) already locked by the caller: names
// hop `hop_index` from the cache, or starts one lookup for the address unless
// one is already running.
void request_reverse_lookup(TraceState& locked, const SharedTraceState& shared, std::size_t hop_index,
                            Ipv4Addr addr);

// One lookup through `resolver` (empty: the system's), then publishes the
// name to the cache and every hop with that address. Runs detached.
void reverse_dns_thread(SharedTraceState shared, Ipv4Addr addr, const ReverseResolver& resolver);

// Asks for the name of every hop that has an address but no name yet.
void start_missing_reverse_lookups(const SharedTraceState& shared);

// Whether the bytes form valid UTF-8 (no overlong forms, no surrogates).
bool valid_utf8(const std::string& text);

}  // namespace corvane
