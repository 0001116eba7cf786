#pragma once
// A scripted echo backend for unit tests: routes per destination, delays,
// dropped replies and counters, installed as the engine's ICMP handle factory
// for the object's life. Thread-safe; handles may outlive the object.
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/echo.h"
#include "platform/ipv4.h"

namespace corvane::test {

struct ScriptedHop {
    std::optional<Ipv4Addr> addr;  // none = silent: the echo times out
    std::uint32_t rtt_ms = 1;      // reported and waited
};

struct ScriptedRoute {
    std::vector<ScriptedHop> hops;  // routers at TTL 1..n
    std::uint32_t dest_rtt_ms = 1;
    bool dest_silent = false;
};

class ScriptedEcho {
public:
    // `timeout` stands in for the 1000 ms an unanswered echo costs.
    explicit ScriptedEcho(std::chrono::milliseconds timeout = std::chrono::milliseconds(20));
    ~ScriptedEcho();
    ScriptedEcho(const ScriptedEcho&) = delete;
    ScriptedEcho& operator=(const ScriptedEcho&) = delete;

    // Adds or replaces a destination's route, also while threads probe it.
    void set_route(Ipv4Addr dest, ScriptedRoute route);
    // The next `count` echoes to dest with this TTL time out.
    void drop_next(Ipv4Addr dest, std::uint8_t ttl, unsigned count = 1);
    // New handles come out invalid.
    void set_open_fails(bool fails);

    std::uint64_t requests(Ipv4Addr dest, std::uint8_t ttl) const;
    std::uint64_t total_requests() const;
    int handles_opened() const;
    int handles_open() const;

    struct Impl;

private:
    std::shared_ptr<Impl> impl_;
};

// Scripted reverse lookups, installed for the object's life. Answers come
// from a table (no entry = the lookup fails); calls are counted, and a closed
// gate holds every lookup until it opens. Afterwards the default is back: in
// the unit suites a guard that fails the test a straggling lookup comes from.
class ScriptedNames {
public:
    ScriptedNames();
    ~ScriptedNames();
    ScriptedNames(const ScriptedNames&) = delete;
    ScriptedNames& operator=(const ScriptedNames&) = delete;

    void set(Ipv4Addr addr, std::string host);
    void close_gate();
    void open_gate();
    int calls(Ipv4Addr addr) const;
    int total_calls() const;
    int finished() const;

    struct Impl;

private:
    std::shared_ptr<Impl> impl_;
};

// Route entries, for brevity in tests: {} is a silent hop.
ScriptedRoute scripted_route(std::vector<std::optional<Ipv4Addr>> hops, std::uint32_t rtt_ms = 1);

// Polls every 5 ms until pred holds or the limit passes; a liveness guard,
// not a timing check.
bool wait_until(const std::function<bool()>& pred, std::chrono::milliseconds limit = std::chrono::seconds(10));

// Threads of this process, as the kernel counts them.
int process_thread_count();
// The count to come back to after a test's sessions end. A first thread
// makes sanitizer runtimes start their own helper threads, which must not
// count as the test's.
int baseline_thread_count();
// Waits until the process is back to `baseline` threads: every detached
// worker a test started has ended, reverse lookups too.
bool threads_back_to(int baseline);

}  // namespace corvane::test
