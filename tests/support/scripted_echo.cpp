#include "support/scripted_echo.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <mutex>
#include <thread>

namespace corvane::test {

struct ScriptedEcho::Impl {
    std::chrono::milliseconds timeout;
    mutable std::mutex mutex;
    std::map<Ipv4Addr, ScriptedRoute> routes;
    std::map<std::pair<Ipv4Addr, std::uint8_t>, unsigned> drops;
    std::map<std::pair<Ipv4Addr, std::uint8_t>, std::uint64_t> counts;
    std::uint64_t total = 0;
    bool open_fails = false;
    int opened = 0;
    int open = 0;

    EchoReply echo(Ipv4Addr dest, std::uint8_t ttl) {
        EchoReply reply;
        std::chrono::milliseconds wait = timeout;
        {
            std::lock_guard lock(mutex);
            ++counts[{dest, ttl}];
            ++total;
            auto drop = drops.find({dest, ttl});
            const bool dropped = drop != drops.end() && drop->second > 0;
            if (dropped) --drop->second;
            auto it = routes.find(dest);
            if (!dropped && it != routes.end()) {
                const ScriptedRoute& r = it->second;
                if (ttl >= 1 && ttl <= r.hops.size()) {
                    const ScriptedHop& hop = r.hops[ttl - 1];
                    if (hop.addr) {
                        reply = EchoReply{false, false, *hop.addr, hop.rtt_ms};
                        wait = std::chrono::milliseconds(hop.rtt_ms);
                    }
                } else if (!r.dest_silent) {
                    reply = EchoReply{false, true, dest, r.dest_rtt_ms};
                    wait = std::chrono::milliseconds(r.dest_rtt_ms);
                }
            }
        }
        std::this_thread::sleep_for(wait);
        return reply;
    }
};

namespace {

class ScriptedHandle final : public IcmpHandle {
public:
    ScriptedHandle(std::shared_ptr<ScriptedEcho::Impl> impl, bool valid) : impl_(std::move(impl)), valid_(valid) {}
    ~ScriptedHandle() override {
        std::lock_guard lock(impl_->mutex);
        --impl_->open;
    }
    bool valid() const override { return valid_; }
    EchoReply echo(Ipv4Addr dest, std::uint8_t ttl) override { return impl_->echo(dest, ttl); }

private:
    std::shared_ptr<ScriptedEcho::Impl> impl_;
    bool valid_;
};

}  // namespace

ScriptedEcho::ScriptedEcho(std::chrono::milliseconds timeout) : impl_(std::make_shared<Impl>()) {
    impl_->timeout = timeout;
    set_icmp_handle_factory([impl = impl_]() -> std::unique_ptr<IcmpHandle> {
        bool valid = false;
        {
            std::lock_guard lock(impl->mutex);
            ++impl->opened;
            ++impl->open;
            valid = !impl->open_fails;
        }
        return std::make_unique<ScriptedHandle>(impl, valid);
    });
}

ScriptedEcho::~ScriptedEcho() { set_icmp_handle_factory(nullptr); }

void ScriptedEcho::set_route(Ipv4Addr dest, ScriptedRoute route) {
    std::lock_guard lock(impl_->mutex);
    impl_->routes[dest] = std::move(route);
}

void ScriptedEcho::drop_next(Ipv4Addr dest, std::uint8_t ttl, unsigned count) {
    std::lock_guard lock(impl_->mutex);
    impl_->drops[{dest, ttl}] += count;
}

void ScriptedEcho::set_open_fails(bool fails) {
    std::lock_guard lock(impl_->mutex);
    impl_->open_fails = fails;
}

std::uint64_t ScriptedEcho::requests(Ipv4Addr dest, std::uint8_t ttl) const {
    std::lock_guard lock(impl_->mutex);
    auto it = impl_->counts.find({dest, ttl});
    return it == impl_->counts.end() ? 0 : it->second;
}

std::uint64_t ScriptedEcho::total_requests() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->total;
}

int ScriptedEcho::handles_opened() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->opened;
}

int ScriptedEcho::handles_open() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->open;
}

ScriptedRoute scripted_route(std::vector<std::optional<Ipv4Addr>> hops, std::uint32_t rtt_ms) {
    ScriptedRoute route;
    for (const auto& a : hops) route.hops.push_back(ScriptedHop{a, rtt_ms});
    route.dest_rtt_ms = rtt_ms;
    return route;
}

bool wait_until(const std::function<bool()>& pred, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!pred()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// The kernel's own count: listing /proc/self/task while threads come and go
// can skip entries and read low for a moment.
int process_thread_count() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Threads:", 0) == 0) return std::stoi(line.substr(8));
    }
    return -1;
}

}  // namespace corvane::test

#include <condition_variable>

#include "engine/reverse_lookup.h"

namespace corvane::test {

struct ScriptedNames::Impl {
    mutable std::mutex mutex;
    std::condition_variable cv;
    std::map<Ipv4Addr, std::string> names;
    std::map<Ipv4Addr, int> calls;
    int total = 0;
    int finished = 0;
    bool gate_open = true;

    std::optional<std::string> lookup(Ipv4Addr addr) {
        std::unique_lock lock(mutex);
        ++calls[addr];
        ++total;
        cv.wait(lock, [this] { return gate_open; });
        ++finished;
        auto it = names.find(addr);
        if (it == names.end()) return std::nullopt;
        return it->second;
    }
};

ScriptedNames::ScriptedNames() : impl_(std::make_shared<Impl>()) {
    set_reverse_resolver([impl = impl_](Ipv4Addr addr) { return impl->lookup(addr); });
}

ScriptedNames::~ScriptedNames() {
    open_gate();
    set_reverse_resolver({});
}

void ScriptedNames::set(Ipv4Addr addr, std::string host) {
    std::lock_guard lock(impl_->mutex);
    impl_->names[addr] = std::move(host);
}

void ScriptedNames::close_gate() {
    std::lock_guard lock(impl_->mutex);
    impl_->gate_open = false;
}

void ScriptedNames::open_gate() {
    {
        std::lock_guard lock(impl_->mutex);
        impl_->gate_open = true;
    }
    impl_->cv.notify_all();
}

int ScriptedNames::calls(Ipv4Addr addr) const {
    std::lock_guard lock(impl_->mutex);
    auto it = impl_->calls.find(addr);
    return it == impl_->calls.end() ? 0 : it->second;
}

int ScriptedNames::total_calls() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->total;
}

int ScriptedNames::finished() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->finished;
}

int baseline_thread_count() {
    std::thread([] {}).join();
    // A joined thread can stay in the kernel's count for a moment after the
    // join returns; take the reading once it has settled.
    int last = process_thread_count();
    for (int i = 0; i < 100; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        const int now = process_thread_count();
        if (now == last) break;
        last = now;
    }
    return last;
}

bool threads_back_to(int baseline) {
    return wait_until([baseline] { return process_thread_count() <= baseline; });
}

}  // namespace corvane::test
