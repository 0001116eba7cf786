#pragma once
// The samples of a recording. A day-long trace is millions of rows, so they
// are kept packed (20 bytes each) in one block that grows in place, and are
// handed out as plain ReplaySample values.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/ipv4.h"

namespace corvane {

// One parsed CSV row.
struct ReplaySample {
    std::optional<std::uint32_t> rtt;  // absent = lost
    std::int64_t time_ms = 0;
    std::uint64_t hop = 0;             // 1 to 2000
    std::optional<Ipv4Addr> addr;

    friend bool operator==(const ReplaySample&, const ReplaySample&) = default;
};

inline constexpr std::uint64_t kMaxReplayHop = 2000;

// The packed form; alignment 4 keeps it at 20 bytes.
struct PackedSample {
    std::uint32_t time_lo = 0;
    std::int32_t time_hi = 0;
    std::uint32_t rtt = 0;
    std::uint32_t addr = 0;
    std::uint16_t hop = 0;
    std::uint8_t flags = 0;
    std::uint8_t pad = 0;

    static constexpr std::uint8_t kHasRtt = 1;
    static constexpr std::uint8_t kHasAddr = 2;

    std::int64_t time_ms() const {
        return static_cast<std::int64_t>((static_cast<std::uint64_t>(static_cast<std::uint32_t>(time_hi)) << 32) |
                                         time_lo);
    }
    static PackedSample pack(const ReplaySample& s);
    ReplaySample unpack() const;
};
static_assert(sizeof(PackedSample) == 20);

class ReplaySamples {
public:
    ReplaySamples() = default;
    ~ReplaySamples();
    ReplaySamples(ReplaySamples&& other) noexcept;
    ReplaySamples& operator=(ReplaySamples&& other) noexcept;
    ReplaySamples(const ReplaySamples&) = delete;
    ReplaySamples& operator=(const ReplaySamples&) = delete;

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    ReplaySample operator[](std::size_t i) const { return data_[i].unpack(); }
    const PackedSample& packed(std::size_t i) const { return data_[i]; }
    std::int64_t time_ms(std::size_t i) const { return data_[i].time_ms(); }
    std::uint16_t hop(std::size_t i) const { return data_[i].hop; }

    void reserve(std::size_t n);
    void push_back(const PackedSample& s) {
        if (size_ == capacity_) grow();
        data_[size_++] = s;
    }
    void push_back(const ReplaySample& s) { push_back(PackedSample::pack(s)); }
    // Appends by writing the fields straight into the new slot.
    void emplace_back(std::int64_t time_ms, std::uint32_t rtt, std::uint32_t addr, std::uint16_t hop,
                      std::uint8_t flags) {
        if (size_ == capacity_) grow();
        PackedSample& p = data_[size_++];
        const auto t = static_cast<std::uint64_t>(time_ms);
        p.time_lo = static_cast<std::uint32_t>(t);
        p.time_hi = static_cast<std::int32_t>(static_cast<std::uint32_t>(t >> 32));
        p.rtt = rtt;
        p.addr = addr;
        p.hop = hop;
        p.flags = flags;
        p.pad = 0;
    }

    // Moves the last sample back behind the nearest earlier one whose time
    // is not above its own, keeping equal times in their order. Returns how
    // many places it moved, or npos (leaving it last) when that is more than
    // max_distance.
    std::size_t settle_last(std::size_t max_distance);
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    PackedSample* begin() { return data_; }
    PackedSample* end() { return data_ + size_; }
    const PackedSample* begin() const { return data_; }
    const PackedSample* end() const { return data_ + size_; }

    // Index of the first sample whose time, as a double, is above x.
    std::size_t upper_bound_time(double x) const;

private:
    void grow();
    void ask_for_huge_pages();

    PackedSample* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

}  // namespace corvane
