#include "replay/replay_samples.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace corvane {

PackedSample PackedSample::pack(const ReplaySample& s) {
    PackedSample p;
    const auto t = static_cast<std::uint64_t>(s.time_ms);
    p.time_lo = static_cast<std::uint32_t>(t);
    p.time_hi = static_cast<std::int32_t>(static_cast<std::uint32_t>(t >> 32));
    if (s.rtt) {
        p.rtt = *s.rtt;
        p.flags |= kHasRtt;
    }
    if (s.addr) {
        p.addr = s.addr->to_u32();
        p.flags |= kHasAddr;
    }
    p.hop = static_cast<std::uint16_t>(s.hop);
    return p;
}

ReplaySample PackedSample::unpack() const {
    ReplaySample s;
    if (flags & kHasRtt) s.rtt = rtt;
    s.time_ms = time_ms();
    s.hop = hop;
    if (flags & kHasAddr) s.addr = Ipv4Addr::from_u32(addr);
    return s;
}

ReplaySamples::~ReplaySamples() { std::free(data_); }

ReplaySamples::ReplaySamples(ReplaySamples&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)) {}

ReplaySamples& ReplaySamples::operator=(ReplaySamples&& other) noexcept {
    if (this != &other) {
        std::free(data_);
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        capacity_ = std::exchange(other.capacity_, 0);
    }
    return *this;
}

// realloc rather than new-and-copy: a large block is moved by remapping its
// pages, so growing never holds the old and the new block at once.
void ReplaySamples::reserve(std::size_t n) {
    if (n <= capacity_) return;
    void* p = std::realloc(data_, n * sizeof(PackedSample));
    if (!p) throw std::bad_alloc();
    data_ = static_cast<PackedSample*>(p);
    capacity_ = n;
    ask_for_huge_pages();
}

// A day's samples fill some 13000 small pages, and faulting each one in took
// about a tenth of a load. Huge pages are only a hint; refusal costs nothing.
void ReplaySamples::ask_for_huge_pages() {
    constexpr std::uintptr_t kHuge = std::uintptr_t(2) << 20;
    const auto begin = reinterpret_cast<std::uintptr_t>(data_);
    const std::uintptr_t end = begin + capacity_ * sizeof(PackedSample);
    const std::uintptr_t first = (begin + kHuge - 1) & ~(kHuge - 1);
    const std::uintptr_t last = end & ~(kHuge - 1);
    if (last > first) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

void ReplaySamples::grow() { reserve(capacity_ < 1024 ? 1024 : capacity_ + capacity_ / 2); }

std::size_t ReplaySamples::settle_last(std::size_t max_distance) {
    if (size_ < 2) return 0;
    const std::size_t last = size_ - 1;
    const PackedSample s = data_[last];
    const std::int64_t t = s.time_ms();
    const std::size_t floor = last > max_distance ? last - max_distance : 0;
    // Shifting while scanning: the usual case moves a handful of samples,
    // for which a separate search and memmove cost more.
    std::size_t at = last;
    while (at > floor && data_[at - 1].time_ms() > t) {
        data_[at] = data_[at - 1];
        --at;
    }
    if (at > 0 && data_[at - 1].time_ms() > t) {
        // Too far back: undo the shifts, leave it last.
        std::memmove(data_ + at, data_ + at + 1, (last - at) * sizeof(PackedSample));
        data_[last] = s;
        return npos;
    }
    data_[at] = s;
    return last - at;
}

std::size_t ReplaySamples::upper_bound_time(double x) const {
    std::size_t lo = 0, hi = size_;
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        if (static_cast<double>(data_[mid].time_ms()) <= x) {
            lo = mid + 1;
        } else {
            hi = mid;
        }
    }
    return lo;
}

}  // namespace corvane
