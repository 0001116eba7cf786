#include "engine/reverse_lookup.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstring>
#include <utility>

#include "engine/test_seam_slot.h"
#include "platform/detached_thread.h"

namespace corvane {

std::optional<std::string> system_reverse_lookup(Ipv4Addr addr) {
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = 0;
    std::memcpy(&sa.sin_addr, addr.octets.data(), 4);
    char host[NI_MAXHOST];
    char serv[NI_MAXSERV];
    const int rc = getnameinfo(reinterpret_cast<const sockaddr*>(&sa), sizeof sa, host, sizeof host, serv,
                               sizeof serv, NI_NAMEREQD | NI_NUMERICSERV);
    if (rc != 0) return std::nullopt;
    return std::string(host);
}

void set_reverse_resolver(ReverseResolver resolver) {
    SeamSlot<ReverseResolver>::instance().set(std::move(resolver));
}

bool valid_utf8(const std::string& text) {
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        const unsigned char c = s[i];
        std::size_t len = 0;
        std::uint32_t cp = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            len = 2;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + len > n) return false;
        for (std::size_t k = 1; k < len; ++k) {
            if ((s[i + k] & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (s[i + k] & 0x3F);
        }
        if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF))) return false;
        if (cp >= 0xD800 && cp <= 0xDFFF) return false;
        i += len;
    }
    return true;
}

namespace {

std::string name_from(const ReverseResolver& resolver, Ipv4Addr addr) {
    const std::optional<std::string> host = resolver ? resolver(addr) : system_reverse_lookup(addr);
    if (!host || !valid_utf8(*host) || *host == addr.to_string()) return "";
    return *host;
}

}  // namespace

std::string reverse_lookup_name(Ipv4Addr addr) { return name_from(SeamSlot<ReverseResolver>::instance().get(), addr); }

void request_reverse_lookup(TraceState& locked, const SharedTraceState& shared, std::size_t hop_index,
                            Ipv4Addr addr) {
    if (auto it = locked.dns_cache->find(addr); it != locked.dns_cache->end()) {
        if (hop_index < locked.hops.size()) locked.hops[hop_index].name = it->second;
        return;
    }
    if (locked.dns_pending->count(addr) != 0) return;
    locked.dns_pending.edit().insert(addr);
    // The only thread start under the state's lock: the new thread takes the
    // lock only after its lookup, so it can't wait on us for long. A lookup
    // the system has no thread for leaves the hop unnamed; the next request
    // for the address tries again. The resolver is the one in force now, not
    // when the thread gets to run: a test's lookup is answered by its script.
    if (start_detached_thread([shared, addr, resolver = SeamSlot<ReverseResolver>::instance().get()] {
            reverse_dns_thread(shared, addr, resolver);
        }) != 0)
        locked.dns_pending.edit().erase(addr);
}

void reverse_dns_thread(SharedTraceState shared, Ipv4Addr addr, const ReverseResolver& resolver) {
    std::string name = name_from(resolver, addr);
    std::lock_guard lock(shared->mutex);
    TraceState& st = shared->state;
    st.dns_pending.edit().erase(addr);
    const HopList& hops = st.hops;  // reading marks no hop as changed
    for (std::size_t i = 0; i < hops.size(); ++i) {
        if (hops[i].addr == addr) st.hops[i].name = name;
    }
    st.dns_cache.edit().insert_or_assign(addr, std::move(name));
}

void start_missing_reverse_lookups(const SharedTraceState& shared) {
    std::lock_guard lock(shared->mutex);
    TraceState& st = shared->state;
    const HopList& hops = st.hops;  // reading marks no hop as changed
    for (std::size_t i = 0; i < hops.size(); ++i) {
        if (!hops[i].name && hops[i].addr) request_reverse_lookup(st, shared, i, *hops[i].addr);
    }
}

}  // namespace corvane
