#pragma once
// The round trip of one echo. The kernel stamps each packet as it arrives,
// before any thread is woken for it, so a stamp leaves out however long a
// busy machine keeps the prober waiting for the CPU; a time read after
// recvmsg returns counts that wait as network latency.
#include <cstdint>
#include <optional>

#include <sys/socket.h>

namespace corvane::platform {

// The kernel's software receive stamp in a message's control data, in
// nanoseconds on the realtime clock; nothing when it carries none.
std::optional<std::int64_t> receive_stamp_ns(const msghdr& msg);

struct RoundTrip {
    std::uint32_t ms = 0;  // whole milliseconds, truncated
    bool stamped = false;  // from the kernel's receive stamp
};

// `monotonic_ns` is the round trip by the monotonic clock (send to the
// return of recvmsg); `stamped_ns` the receive stamp minus the realtime send
// time. The realtime clock can be stepped between the two, so a stamped
// figure that is negative or longer than the monotonic one is not believed.
RoundTrip round_trip(std::int64_t monotonic_ns, std::optional<std::int64_t> stamped_ns);

}  // namespace corvane::platform
