#include "netsim/simulator.h"

#include "netsim/packet.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <linux/if_ether.h>
#include <linux/if_packet.h>
#include <linux/if_tun.h>
#include <linux/net_tstamp.h>
#include <net/if.h>
#include <poll.h>
#include <pthread.h>
#include <sched.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <deque>
#include <mutex>
#include <queue>
#include <random>
#include <stdexcept>
#include <thread>
#include <utility>
#include <unordered_map>

namespace netsim {
namespace {

using Clock = std::chrono::steady_clock;

std::uint32_t require_ipv4(const std::string& text) {
    auto a = parse_ipv4(text);
    if (!a) throw std::invalid_argument("netsim: not a dotted IPv4 address: '" + text + "'");
    return *a;
}

Clock::duration ms(double v) {
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double, std::milli>(v));
}

struct Route {
    SimDestination cfg;
    std::vector<std::optional<std::uint32_t>> hops;  // nullopt = silent
    std::uint32_t reply_from = 0;
    std::array<std::uint64_t, 256> seen{};
};

struct Answer {
    Clock::time_point due;
    std::uint64_t order;  // keeps answers due at the same time in arrival order
    std::vector<std::uint8_t> bytes;
    std::uint64_t exchange;        // the request's exchange key
    Clock::time_point arrived;     // the request's, to tell it from a later one with the same key
    bool operator>(const Answer& o) const {
        return due != o.due ? due > o.due : order > o.order;
    }
};

std::uint64_t drop_key(std::uint32_t addr, std::uint8_t ttl) {
    return std::uint64_t{addr} << 8 | ttl;
}

std::uint64_t exchange_key(std::uint32_t addr, std::uint16_t id, std::uint16_t sequence) {
    return std::uint64_t{addr} << 32 | std::uint64_t{id} << 16 | sequence;
}

std::int64_t realtime_ns() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return std::int64_t(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

// A packet socket on the device that sees every packet the kernel hands to
// it, each with the kernel's software stamp of that moment. The simulator's
// thread may get round to reading a request later than that (a busy machine
// or a long stretch of kernel work elsewhere keeps even a real-time thread
// waiting); the stamp says when the request really arrived. -1 where packet
// sockets are refused (not root).
int open_tap(const std::string& device) {
    // Only a tap for every protocol sees what goes out of a device.
    const int fd = ::socket(AF_PACKET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, htons(ETH_P_ALL));
    if (fd < 0) return -1;
    sockaddr_ll at{};
    at.sll_family = AF_PACKET;
    at.sll_protocol = htons(ETH_P_ALL);
    at.sll_ifindex = static_cast<int>(::if_nametoindex(device.c_str()));
    const int stamps = SOF_TIMESTAMPING_RX_SOFTWARE | SOF_TIMESTAMPING_SOFTWARE;
    // Room for a thousand requests sent at once.
    const int room = 8 << 20;
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&at), sizeof at) != 0 ||
        ::setsockopt(fd, SOL_SOCKET, SO_TIMESTAMPING, &stamps, sizeof stamps) != 0) {
        ::close(fd);
        return -1;
    }
    ::setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &room, sizeof room);
    return fd;
}

// Attaching gives the device its carrier, but the kernel activates its queue
// a moment later, from a work queue; until then it drops what is sent to it.
// Waiting here spares every caller a lost first probe.
void wait_until_running(const std::string& device) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return;
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    ifreq ifr{};
    std::memcpy(ifr.ifr_name, device.data(), device.size());
    for (int i = 0; i < 2000; ++i) {
        if (::ioctl(fd, SIOCGIFFLAGS, &ifr) < 0) return;
        if (ifr.ifr_flags & IFF_RUNNING) {
            // RUNNING is set just before the queue is activated.
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

}  // namespace

struct Simulator::Impl {
    int tun = -1;
    int tap = -1;
    int wake = -1;
    std::atomic<bool> stop{false};
    std::thread thread;

    // Everything below `mu` is shared with the callers' threads.
    mutable std::mutex mu;
    std::unordered_map<std::uint32_t, Route> routes;
    std::unordered_map<std::uint64_t, std::uint32_t> drops;           // addr/ttl -> how many
    std::unordered_map<std::uint32_t, Clock::time_point> last_answer;  // rate limits per hop
    std::unordered_map<std::uint64_t, SimExchange> exchanges;
    // Oldest first, to forget all but the latest kExchangesKept; an entry whose
    // key was read again since stands for nothing.
    std::deque<std::pair<std::uint64_t, Clock::time_point>> exchange_order;
    SimCounters counters;
    std::mt19937_64 rng;

    // Owned by the simulator thread alone.
    std::priority_queue<Answer, std::vector<Answer>, std::greater<>> due;
    std::uint64_t next_order = 0;
    // Requests seen on the tap and not yet read from the device: exchange
    // key -> the kernel's stamp (realtime clock, ns).
    std::unordered_map<std::uint64_t, std::int64_t> tapped;

    // Percent chance as a repeatable draw; no draw when there is no loss, so
    // adding a loss-free route doesn't shift another route's losses.
    bool lose(double pct) {
        if (pct <= 0) return false;
        const double u = static_cast<double>(rng() >> 11) * 0x1.0p-53;
        return u * 100.0 < pct;
    }

    void run();
    void read_tap();
    // When the request with this key reached the device; `read` where the
    // tap has no stamp for it.
    Clock::time_point arrival(std::uint64_t key, Clock::time_point read);
    void read_packets();
    void handle(std::span<const std::uint8_t> packet, Clock::time_point read);
    void send_due(Clock::time_point now);
    // With mu held.
    void note_arrival(std::uint64_t key, Clock::time_point now);
};

void Simulator::Impl::note_arrival(std::uint64_t key, Clock::time_point now) {
    exchanges.insert_or_assign(key, SimExchange{now, std::nullopt});
    exchange_order.emplace_back(key, now);
    while (exchange_order.size() > kExchangesKept) {
        const auto [old, arrived] = exchange_order.front();
        if (auto it = exchanges.find(old); it != exchanges.end() && it->second.arrived == arrived) exchanges.erase(it);
        exchange_order.pop_front();
    }
}

void Simulator::Impl::read_tap() {
    if (tap < 0) return;
    std::array<std::uint8_t, 2048> buf;
    alignas(cmsghdr) std::array<std::uint8_t, 256> control;
    // Everything the device was handed before the reads that follow; bounded
    // like them.
    for (int i = 0; i < 4096; ++i) {
        sockaddr_ll from{};
        iovec iov{buf.data(), buf.size()};
        msghdr msg{};
        msg.msg_name = &from;
        msg.msg_namelen = sizeof from;
        msg.msg_iov = &iov;
        msg.msg_iovlen = 1;
        msg.msg_control = control.data();
        msg.msg_controllen = control.size();
        const ssize_t n = ::recvmsg(tap, &msg, MSG_DONTWAIT);
        if (n < 0) return;
        // What the simulator itself writes into the device comes by too.
        if (from.sll_pkttype != PACKET_OUTGOING) continue;
        const auto req = parse_echo_request(std::span(buf.data(), std::min(std::size_t(n), buf.size())));
        if (!req) continue;
        for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c != nullptr; c = CMSG_NXTHDR(&msg, c)) {
            if (c->cmsg_level != SOL_SOCKET || c->cmsg_type != SCM_TIMESTAMPING) continue;
            timespec ts[3];
            std::memcpy(ts, CMSG_DATA(c), sizeof ts);
            if (ts[0].tv_sec == 0 && ts[0].tv_nsec == 0) continue;
            // Requests the device dropped are never read; don't keep them for ever.
            if (tapped.size() >= kExchangesKept) tapped.clear();
            tapped[exchange_key(req->dst, req->id, req->sequence)] =
                std::int64_t(ts[0].tv_sec) * 1'000'000'000 + ts[0].tv_nsec;
        }
    }
}

// The steady clock and the realtime clock read at one moment. A pair read
// with a preemption between the two would misplace an arrival by as long as
// the preemption lasted (early, on a loaded machine, so an answer would leave
// before its delay); such a pair is read again.
std::pair<Clock::time_point, std::int64_t> clock_pair() {
    for (int i = 0;; ++i) {
        const auto before = Clock::now();
        const std::int64_t real = realtime_ns();
        const auto after = Clock::now();
        if (after - before < std::chrono::microseconds(20) || i == 100) return {before, real};
    }
}

Clock::time_point Simulator::Impl::arrival(std::uint64_t key, Clock::time_point read) {
    const auto it = tapped.find(key);
    if (it == tapped.end()) return read;
    // Measured from a pair of clocks read together, not from `read`, which
    // was taken before this packet's turn came and would put the arrival
    // earlier by however long that took.
    const auto [steady_now, real_now] = clock_pair();
    const std::int64_t ago = real_now - it->second;
    tapped.erase(it);
    // The realtime clock may have been stepped meanwhile: keep to what can be.
    if (ago <= 0 || ago > 10'000'000'000) return read;
    return std::min(read, steady_now - std::chrono::duration_cast<Clock::duration>(std::chrono::nanoseconds(ago)));
}

void Simulator::Impl::handle(std::span<const std::uint8_t> packet, Clock::time_point read) {
    const auto req = parse_echo_request(packet);
    if (!req) return;  // not ours to answer: the network is a black hole
    const std::uint64_t key = exchange_key(req->dst, req->id, req->sequence);
    // Delays and rate limits run from the request's arrival, as on a network.
    const Clock::time_point now = arrival(key, read);
    std::vector<std::uint8_t> answer;
    Clock::duration delay{};
    {
        std::lock_guard lock(mu);
        ++counters.requests;
        auto it = routes.find(req->dst);
        if (it == routes.end() || req->ttl == 0) {
            ++counters.dropped;
            return;
        }
        Route& r = it->second;
        ++r.seen[req->ttl];
        note_arrival(key, now);
        if (auto d = drops.find(drop_key(req->dst, req->ttl)); d != drops.end()) {
            if (--d->second == 0) drops.erase(d);
            ++counters.dropped;
            return;
        }
        if (req->ttl <= r.hops.size()) {
            const auto& hop_addr = r.hops[req->ttl - 1];
            const SimHop& hop = r.cfg.hops[req->ttl - 1];
            if (!hop_addr || lose(hop.loss_pct)) {
                ++counters.dropped;
                return;
            }
            if (hop.rate_limit_ms > 0) {
                auto [last, fresh] = last_answer.try_emplace(*hop_addr, now);
                if (!fresh && now - last->second < ms(hop.rate_limit_ms)) {
                    ++counters.rate_limited;
                    return;
                }
                last->second = now;
            }
            ++counters.time_exceeded;
            answer = make_icmp_error(packet, *req, *hop_addr, 11, 0);
            delay = ms(hop.delay_ms);
        } else {
            if (r.cfg.silent || lose(r.cfg.loss_pct)) {
                ++counters.dropped;
                return;
            }
            if (r.cfg.unreachable) {
                // The last router reports the host unreachable; with no
                // routers configured the destination's own address stands in.
                std::optional<std::uint32_t> from = r.hops.empty() ? req->dst : r.hops.back();
                if (!from) {
                    ++counters.dropped;
                    return;
                }
                ++counters.unreachable;
                answer = make_icmp_error(packet, *req, *from, 3, 1);
            } else {
                ++counters.echo_replies;
                answer = make_echo_reply(packet, *req, r.reply_from);
            }
            delay = ms(r.cfg.delay_ms);
        }
    }
    due.push(Answer{now + delay, next_order++, std::move(answer), key, now});
}

void Simulator::Impl::read_packets() {
    // The kernel shows a packet to the tap before it queues it for the
    // device, so every request read below has been tapped already.
    read_tap();
    std::array<std::uint8_t, 65536> buf;
    // Bounded, so a flood can't starve the answers that are due.
    for (int i = 0; i < 256; ++i) {
        const ssize_t n = ::read(tun, buf.data(), buf.size());
        if (n < 0) return;  // EAGAIN: drained; other errors: poll reports them
        handle(std::span(buf.data(), static_cast<std::size_t>(n)), Clock::now());
    }
}

void Simulator::Impl::send_due(Clock::time_point now) {
    while (!due.empty() && due.top().due <= now) {
        const auto& a = due.top();
        // A failed write is a lost answer, as on a real network.
        const ssize_t n = ::write(tun, a.bytes.data(), a.bytes.size());
        if (n >= 0) {
            const auto written = Clock::now();
            std::lock_guard lock(mu);
            auto it = exchanges.find(a.exchange);
            if (it != exchanges.end() && it->second.arrived == a.arrived) it->second.answered = written;
        }
        due.pop();
    }
}

void Simulator::Impl::run() {
    // The default 50 us timer slack would add to every simulated delay.
    prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0);
    // A network's delays don't grow when the prober's machine is busy; the
    // simulator's would, by however long its thread waits for a CPU after a
    // request comes in or an answer falls due. Real-time priority (root only;
    // elsewhere it runs as it is) lets it take the CPU at once. It sleeps
    // between packets, so it takes little from the machine.
    const sched_param rt{1};
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &rt);
    pollfd fds[2] = {{wake, POLLIN, 0}, {tun, POLLIN, 0}};
    while (!stop.load(std::memory_order_acquire)) {
        timespec ts{};
        timespec* timeout = nullptr;
        if (!due.empty()) {
            const auto left = std::max(Clock::duration::zero(), due.top().due - Clock::now());
            const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
            ts.tv_sec = static_cast<time_t>(ns / 1'000'000'000);
            ts.tv_nsec = static_cast<long>(ns % 1'000'000'000);
            timeout = &ts;
        }
        const int rc = ::ppoll(fds, 2, timeout, nullptr);
        if (rc < 0 && errno != EINTR) break;
        if (rc > 0) {
            if (fds[0].revents & POLLIN) {
                std::uint64_t v;
                [[maybe_unused]] ssize_t n = ::read(wake, &v, sizeof v);
            }
            if (fds[1].revents & POLLIN) read_packets();
            // A device that went away must not spin the loop; stop reading it
            // but keep serving what is due.
            if (fds[1].revents & (POLLERR | POLLHUP | POLLNVAL)) fds[1].fd = -1;
        }
        send_due(Clock::now());
    }
}

Simulator::Simulator(const std::string& device, std::uint64_t seed)
    : Simulator(device, seed, kDefaultBusyWaitMs) {}

Simulator::Simulator(const std::string& device, std::uint64_t seed, int busy_wait_ms)
    : impl_(std::make_unique<Impl>()) {
    impl_->rng.seed(seed);
    if (device.empty() || device.size() >= IFNAMSIZ)
        throw std::runtime_error("netsim: bad device name '" + device + "'");
    // TUNSETIFF would quietly create a fresh, unrouted device for an unknown
    // name; we only serve one that the test bed made.
    if (::if_nametoindex(device.c_str()) == 0)
        throw std::runtime_error("netsim: no device " + device + " here (is the test bed up, and are we in its namespace?)");
    impl_->tun = ::open("/dev/net/tun", O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (impl_->tun < 0)
        throw std::runtime_error(std::string("netsim: open /dev/net/tun: ") + std::strerror(errno));
    ifreq ifr{};
    ifr.ifr_flags = IFF_TUN | IFF_NO_PI;
    std::memcpy(ifr.ifr_name, device.data(), device.size());
    // Another test program may be serving the device right now; wait for it
    // rather than fail.
    const auto give_up = Clock::now() + std::chrono::milliseconds(std::max(0, busy_wait_ms));
    int rc;
    while ((rc = ::ioctl(impl_->tun, TUNSETIFF, &ifr)) < 0 && errno == EBUSY && Clock::now() < give_up)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (rc < 0) {
        const int err = errno;
        ::close(impl_->tun);
        throw std::runtime_error("netsim: attach to " + device + ": " + std::strerror(err) +
                                 (err == EBUSY ? " (another simulator is serving it)" : ""));
    }
    wait_until_running(device);
    impl_->tap = open_tap(device);
    impl_->wake = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (impl_->wake < 0) {
        const int err = errno;
        if (impl_->tap >= 0) ::close(impl_->tap);
        ::close(impl_->tun);
        throw std::runtime_error(std::string("netsim: eventfd: ") + std::strerror(err));
    }
    // The thread starts with every signal blocked, so the host program's
    // signals never land on it.
    sigset_t all, old;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &old);
    try {
        impl_->thread = std::thread([impl = impl_.get()] { impl->run(); });
    } catch (...) {
        pthread_sigmask(SIG_SETMASK, &old, nullptr);
        ::close(impl_->wake);
        if (impl_->tap >= 0) ::close(impl_->tap);
        ::close(impl_->tun);
        throw;
    }
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
}

Simulator::~Simulator() {
    impl_->stop.store(true, std::memory_order_release);
    const std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(impl_->wake, &one, sizeof one);
    impl_->thread.join();
    ::close(impl_->wake);
    if (impl_->tap >= 0) ::close(impl_->tap);
    ::close(impl_->tun);
}

void Simulator::set_destination(const SimDestination& dest) {
    Route r;
    const std::uint32_t addr = require_ipv4(dest.addr);
    r.cfg = dest;
    r.reply_from = dest.reply_from.empty() ? addr : require_ipv4(dest.reply_from);
    for (const SimHop& h : dest.hops) {
        if (h.addr.empty()) {
            r.hops.emplace_back();
        } else {
            r.hops.emplace_back(require_ipv4(h.addr));
        }
    }
    std::lock_guard lock(impl_->mu);
    impl_->routes.insert_or_assign(addr, std::move(r));
}

void Simulator::remove_destination(const std::string& addr) {
    const std::uint32_t a = require_ipv4(addr);
    std::lock_guard lock(impl_->mu);
    impl_->routes.erase(a);
}

void Simulator::set_destination_silent(const std::string& addr, bool silent) {
    const std::uint32_t a = require_ipv4(addr);
    std::lock_guard lock(impl_->mu);
    auto it = impl_->routes.find(a);
    if (it == impl_->routes.end())
        throw std::invalid_argument("netsim: no destination " + addr);
    it->second.cfg.silent = silent;
}

void Simulator::drop_next(const std::string& addr, std::uint8_t ttl) {
    const std::uint32_t a = require_ipv4(addr);
    std::lock_guard lock(impl_->mu);
    ++impl_->drops[drop_key(a, ttl)];
}

SimCounters Simulator::counters() const {
    std::lock_guard lock(impl_->mu);
    return impl_->counters;
}

std::uint64_t Simulator::requests_seen(const std::string& addr, std::uint8_t ttl) const {
    const auto a = parse_ipv4(addr);
    if (!a) return 0;
    std::lock_guard lock(impl_->mu);
    auto it = impl_->routes.find(*a);
    return it == impl_->routes.end() ? 0 : it->second.seen[ttl];
}

std::optional<SimExchange> Simulator::exchange(const std::string& addr, std::uint16_t id,
                                               std::uint16_t sequence) const {
    const auto a = parse_ipv4(addr);
    if (!a) return std::nullopt;
    std::lock_guard lock(impl_->mu);
    auto it = impl_->exchanges.find(exchange_key(*a, id, sequence));
    if (it == impl_->exchanges.end()) return std::nullopt;
    return it->second;
}

}  // namespace netsim
