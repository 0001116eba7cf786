#include "platform/icmp_socket.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <span>

#include <linux/errqueue.h>
#include <linux/icmp.h>
#include <linux/net_tstamp.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include "platform/icmp_filter.h"
#include "platform/icmp_round_trip.h"

namespace corvane::platform {
namespace {

// Messages read per wake-up before the deadline is looked at again, so a
// flood of foreign packets can't hold an echo past its time-out.
constexpr int kReadsPerWake = 64;
// What may have queued on a raw socket before its filter was attached.
constexpr int kMaxDrain = 4096;

std::int64_t clock_ns(clockid_t clock) {
    timespec ts{};
    clock_gettime(clock, &ts);
    return std::int64_t(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

std::int64_t now_ns() { return clock_ns(CLOCK_MONOTONIC); }

// Asks for the kernel's software receive stamp on every message, the error
// queue's included. SO_TIMESTAMPING rather than SO_TIMESTAMPNS: the latter
// fills in the time of the read for a packet the kernel didn't stamp, which
// would pass for a real stamp. A socket that refuses keeps measuring after
// recvmsg.
void ask_for_receive_stamps(int fd) {
    const int flags = SOF_TIMESTAMPING_RX_SOFTWARE | SOF_TIMESTAMPING_SOFTWARE;
    setsockopt(fd, SOL_SOCKET, SO_TIMESTAMPING, &flags, sizeof flags);
}

// Room for a receive stamp and an extended error with its offender.
constexpr std::size_t kControlSize = 512;

// One message read without blocking, with its control data.
struct Message {
    ssize_t n = -1;
    std::int64_t received_ns = 0;  // monotonic, right after recvmsg returned
    msghdr hdr{};
};

Message read_message(int fd, int flags, std::span<std::uint8_t> buf, sockaddr_in* from,
                     std::span<std::uint8_t> control) {
    Message m;
    iovec iov{buf.data(), buf.size()};
    m.hdr.msg_name = from;
    m.hdr.msg_namelen = from ? sizeof *from : 0;
    m.hdr.msg_iov = &iov;
    m.hdr.msg_iovlen = 1;
    m.hdr.msg_control = control.data();
    m.hdr.msg_controllen = control.size();
    m.n = recvmsg(fd, &m.hdr, flags | MSG_DONTWAIT);
    m.received_ns = now_ns();
    m.hdr.msg_iov = nullptr;  // iov dies here; only the control data is read later
    m.hdr.msg_iovlen = 0;
    return m;
}

Ipv4Addr addr_of(const sockaddr_in& sa) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(&sa.sin_addr.s_addr);
    return Ipv4Addr(p[0], p[1], p[2], p[3]);
}

sockaddr_in sockaddr_of(Ipv4Addr a) {
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    std::memcpy(&sa.sin_addr.s_addr, a.octets.data(), 4);
    return sa;
}

// Raw sockets see everyone's ICMP, so each needs an id of its own: distinct
// within the process, and spread across processes by the pid.
std::uint16_t next_raw_id() {
    static std::atomic<std::uint32_t> counter{0};
    for (;;) {
        const std::uint32_t c = counter.fetch_add(1, std::memory_order_relaxed);
        const auto id = std::uint16_t(std::uint32_t(getpid()) * 40503u + c);
        if (id != 0) return id;
    }
}

// The request goes out with type of service 0 and no flags: Linux would set
// Don't Fragment on it by default, and a router on the path may then treat
// the probe differently from the system echo service's.
bool clear_dont_fragment(int fd) {
    const int dont = IP_PMTUDISC_DONT;
    return setsockopt(fd, IPPROTO_IP, IP_MTU_DISCOVER, &dont, sizeof dont) == 0;
}

int open_ping(std::uint16_t& id) {
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP);
    if (fd < 0) return -1;
    const int on = 1;
    sockaddr_in any{};
    any.sin_family = AF_INET;
    sockaddr_in bound{};
    socklen_t len = sizeof bound;
    // Without IP_RECVERR a ping socket never hears of time-exceeded errors.
    if (setsockopt(fd, SOL_IP, IP_RECVERR, &on, sizeof on) != 0 || !clear_dont_fragment(fd) ||
        bind(fd, reinterpret_cast<const sockaddr*>(&any), sizeof any) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &len) != 0) {
        const int err = errno;
        ::close(fd);
        errno = err;
        return -1;
    }
    id = ntohs(bound.sin_port);
    ask_for_receive_stamps(fd);
    return fd;
}

int open_raw(std::uint16_t& id) {
    const int fd = socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
    if (fd < 0) return -1;
    id = next_raw_id();
    icmp_filter types{};
    types.data = ~((1u << kIcmpEchoReply) | (1u << kIcmpUnreachable) | (1u << kIcmpTimeExceeded));
    auto program = raw_echo_filter(id);
    sock_fprog fprog{};
    fprog.len = static_cast<unsigned short>(program.size());
    fprog.filter = program.data();
    if (setsockopt(fd, SOL_RAW, ICMP_FILTER, &types, sizeof types) != 0 ||
        setsockopt(fd, SOL_SOCKET, SO_ATTACH_FILTER, &fprog, sizeof fprog) != 0 || !clear_dont_fragment(fd)) {
        const int err = errno;
        ::close(fd);
        errno = err;
        return -1;
    }
    ask_for_receive_stamps(fd);
    // The filter holds only for packets queued from now on.
    std::uint8_t scratch[64];
    for (int i = 0; i < kMaxDrain; ++i) {
        if (recv(fd, scratch, sizeof scratch, MSG_DONTWAIT | MSG_TRUNC) < 0) break;
    }
    return fd;
}

}  // namespace

IcmpSocket IcmpSocket::open() {
    IcmpSocket s = open(IcmpSocketKind::ping);
    if (s.valid()) return s;
    IcmpSocket raw = open(IcmpSocketKind::raw);
    if (raw.valid()) return raw;
    return s;  // keeps the ping socket's errno, the one the user can act on
}

IcmpSocket IcmpSocket::open(IcmpSocketKind kind) {
    IcmpSocket s;
    s.kind_ = kind;
    s.fd_ = kind == IcmpSocketKind::ping ? open_ping(s.id_) : open_raw(s.id_);
    if (s.fd_ < 0) {
        s.open_errno_ = errno;
        s.id_ = 0;
    }
    return s;
}

IcmpSocket::~IcmpSocket() { close_fd(); }

IcmpSocket::IcmpSocket(IcmpSocket&& other) noexcept { *this = std::move(other); }

IcmpSocket& IcmpSocket::operator=(IcmpSocket&& other) noexcept {
    if (this != &other) {
        close_fd();
        fd_ = other.fd_;
        kind_ = other.kind_;
        open_errno_ = other.open_errno_;
        id_ = other.id_;
        sequence_ = other.sequence_;
        ttl_ = other.ttl_;
        other.fd_ = -1;
        other.ttl_ = -1;
    }
    return *this;
}

void IcmpSocket::clear_pending_error() {
    int err = 0;
    socklen_t len = sizeof err;
    getsockopt(fd_, SOL_SOCKET, SO_ERROR, &err, &len);
}

void IcmpSocket::close_fd() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool IcmpSocket::set_ttl(std::uint8_t ttl) {
    if (ttl_ == ttl) return true;
    const int value = ttl;
    if (setsockopt(fd_, IPPROTO_IP, IP_TTL, &value, sizeof value) != 0) return false;
    ttl_ = ttl;
    return true;
}

IcmpOutcome IcmpSocket::echo(Ipv4Addr dest, std::uint8_t ttl) {
    IcmpOutcome out;
    if (fd_ < 0 || !set_ttl(ttl)) return out;  // TTL 0 is refused here too

    // An ICMP error that came back after an earlier request was given up
    // leaves a pending socket error, and the kernel would fail this send with
    // it: a probe never sent, reported as unreachable. Its queue entry is
    // stale anyway.
    clear_pending_error();
    const std::uint16_t sequence = ++sequence_;
    out.sequence = sequence;
    // A ping socket puts its own id in and fills the checksum itself.
    const EchoRequest request = make_echo_request(id_, sequence);
    const sockaddr_in to = sockaddr_of(dest);

    // Such an error can also arrive between clearing it and the send: it
    // fails that send once and is gone, so the send is tried again. One that
    // can't go out at all (no route, say) fails again, and that is known now,
    // not in a second.
    bool sent = false;
    for (int attempt = 0; attempt < 2 && !sent; ++attempt) {
        sent_ns_ = now_ns();
        sent_realtime_ns_ = clock_ns(CLOCK_REALTIME);
        sent = sendto(fd_, request.data(), request.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to) >= 0;
    }
    if (!sent) {
        out.status = status_for_errno(errno);
        return out;
    }
    const std::int64_t deadline = sent_ns_ + std::int64_t(kTimeoutMs) * 1'000'000;

    for (;;) {
        const std::int64_t left = deadline - now_ns();
        if (left <= 0) break;
        pollfd pfd{fd_, POLLIN, 0};
        const timespec wait{time_t(left / 1'000'000'000), long(left % 1'000'000'000)};
        const int ready = ppoll(&pfd, 1, &wait, nullptr);
        if (ready < 0) {
            if (errno == EINTR) continue;
            out.status = kIcmpGeneralFailure;
            return out;
        }
        if (ready == 0) continue;  // the deadline check above ends it
        if (kind_ == IcmpSocketKind::ping) {
            if ((pfd.revents & POLLERR) && read_ping_errors(dest, sequence, out)) return out;
            if ((pfd.revents & POLLIN) && read_ping_replies(dest, sequence, out)) return out;
        } else {
            if ((pfd.revents & POLLIN) && read_raw(dest, sequence, out)) return out;
            if (pfd.revents & POLLERR) clear_pending_error();
        }
    }
    out.status = kIcmpTimedOut;
    take_round_trip(out, now_ns(), std::nullopt);
    return out;
}

void IcmpSocket::take_round_trip(IcmpOutcome& out, std::int64_t received_ns,
                                 std::optional<std::int64_t> stamp_ns) const {
    const std::optional<std::int64_t> stamped =
        stamp_ns ? std::optional<std::int64_t>(*stamp_ns - sent_realtime_ns_) : std::nullopt;
    const RoundTrip rt = round_trip(received_ns - sent_ns_, stamped);
    out.rtt_ms = rt.ms;
    out.stamped = rt.stamped;
}

bool IcmpSocket::read_ping_replies(Ipv4Addr dest, std::uint16_t sequence, IcmpOutcome& out) {
    std::uint8_t buf[512];
    alignas(cmsghdr) std::uint8_t control[kControlSize];
    for (int i = 0; i < kReadsPerWake; ++i) {
        sockaddr_in from{};
        const Message m = read_message(fd_, 0, buf, &from, control);
        // An error here is a pending socket error; its details wait on the error queue.
        if (m.n < 0) return false;
        const auto bytes = std::span<const std::uint8_t>(buf, std::min<std::size_t>(std::size_t(m.n), sizeof buf));
        const auto ev = parse_ping_reply(bytes, addr_of(from));
        if (!ev || !event_answers(*ev, dest, id_, sequence)) continue;
        out.status = kIcmpSuccess;
        out.from = ev->from;
        take_round_trip(out, m.received_ns, receive_stamp_ns(m.hdr));
        return true;
    }
    return false;
}

bool IcmpSocket::read_ping_errors(Ipv4Addr dest, std::uint16_t sequence, IcmpOutcome& out) {
    std::uint8_t buf[512];
    alignas(cmsghdr) std::uint8_t control[kControlSize];
    for (int i = 0; i < kReadsPerWake; ++i) {
        sockaddr_in target{};
        Message m = read_message(fd_, MSG_ERRQUEUE, buf, &target, control);
        if (m.n < 0) {
            if (i == 0) {
                // POLLERR with an empty queue: a socket error whose entry
                // didn't fit. Clear it, or poll keeps waking us at once.
                clear_pending_error();
            }
            return false;
        }
        const auto quoted = std::span<const std::uint8_t>(buf, std::min<std::size_t>(std::size_t(m.n), sizeof buf));
        // The kernel stamps an ICMP error when it arrives, like a reply.
        const std::optional<std::int64_t> stamp = receive_stamp_ns(m.hdr);
        for (cmsghdr* c = CMSG_FIRSTHDR(&m.hdr); c != nullptr; c = CMSG_NXTHDR(&m.hdr, c)) {
            if (c->cmsg_level != SOL_IP || c->cmsg_type != IP_RECVERR) continue;
            sock_extended_err ee{};
            std::memcpy(&ee, CMSG_DATA(c), sizeof ee);
            if (ee.ee_origin == SO_EE_ORIGIN_ICMP) {
                Ipv4Addr offender{};
                sockaddr_in off{};
                const auto* off_ptr = reinterpret_cast<const std::uint8_t*>(CMSG_DATA(c)) + sizeof ee;
                if (c->cmsg_len >= CMSG_LEN(sizeof ee + sizeof off)) {
                    std::memcpy(&off, off_ptr, sizeof off);
                    if (off.sin_family == AF_INET) offender = addr_of(off);
                }
                const auto ev = parse_ping_error(quoted, addr_of(target), ee.ee_type, ee.ee_code, offender);
                if (!ev || !event_answers(*ev, dest, id_, sequence)) continue;
                out.status = status_for_event(*ev);
                out.from = ev->from;
                take_round_trip(out, m.received_ns, stamp);
                return true;
            }
            if (ee.ee_origin == SO_EE_ORIGIN_LOCAL) {
                const auto ev = parse_ping_error(quoted, addr_of(target), kIcmpUnreachable, 0, Ipv4Addr{});
                if (!ev || !event_answers(*ev, dest, id_, sequence)) continue;
                out.status = status_for_errno(int(ee.ee_errno));
                take_round_trip(out, m.received_ns, stamp);
                return true;
            }
        }
    }
    return false;
}

bool IcmpSocket::read_raw(Ipv4Addr dest, std::uint16_t sequence, IcmpOutcome& out) {
    std::uint8_t buf[1024];
    alignas(cmsghdr) std::uint8_t control[kControlSize];
    for (int i = 0; i < kReadsPerWake; ++i) {
        const Message m = read_message(fd_, 0, buf, nullptr, control);
        if (m.n < 0) return false;
        const auto bytes = std::span<const std::uint8_t>(buf, std::min<std::size_t>(std::size_t(m.n), sizeof buf));
        const auto ev = parse_raw_packet(bytes);
        if (!ev || !event_answers(*ev, dest, id_, sequence)) continue;
        out.status = status_for_event(*ev);
        out.from = ev->from;
        take_round_trip(out, m.received_ns, receive_stamp_ns(m.hdr));
        return true;
    }
    return false;
}

}  // namespace corvane::platform
