#pragma once
// The hop table of a monitor state (a watch list's hosts). Reading is free;
// every way of reaching a hop for writing renews that slot's change stamp,
// so the window's per-frame copy needs to look only at the slots whose
// stamps differ from its own.
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "engine/change_stamp.h"
#include "engine/hop_stats.h"

namespace corvane {

class HopList {
public:
    using value_type = HopStats;
    using const_iterator = std::vector<HopStats>::const_iterator;

    HopList() = default;
    HopList(const HopList&) = default;  // equal hops keep their stamps
    HopList& operator=(const HopList&) = default;
    HopList(HopList&& other) noexcept
        : hops_(std::exchange(other.hops_, {})), stamps_(std::exchange(other.stamps_, {})) {}
    HopList& operator=(HopList&& other) noexcept {
        if (this != &other) {
            hops_ = std::exchange(other.hops_, {});
            stamps_ = std::exchange(other.stamps_, {});
        }
        return *this;
    }
    HopList& operator=(std::vector<HopStats> hops) {
        hops_ = std::move(hops);
        stamps_.clear();
        stamps_.resize(hops_.size());
        for (std::uint64_t& s : stamps_) s = new_change_stamp();
        return *this;
    }

    operator const std::vector<HopStats>&() const { return hops_; }
    std::size_t size() const { return hops_.size(); }
    bool empty() const { return hops_.empty(); }
    const HopStats& operator[](std::size_t i) const { return hops_[i]; }
    const HopStats& front() const { return hops_.front(); }
    const HopStats& back() const { return hops_.back(); }
    const_iterator begin() const { return hops_.begin(); }
    const_iterator end() const { return hops_.end(); }

    // For changes made under the same hold of the state's lock.
    HopStats& operator[](std::size_t i) {
        stamps_[i] = new_change_stamp();
        return hops_[i];
    }
    HopStats& back() { return (*this)[hops_.size() - 1]; }

    void push_back(HopStats hop) {
        hops_.push_back(std::move(hop));
        stamps_.push_back(new_change_stamp());
    }
    void resize(std::size_t count) {
        const std::size_t old = hops_.size();
        hops_.resize(count);
        stamps_.resize(count);
        for (std::size_t i = old; i < count; ++i) stamps_[i] = new_change_stamp();
    }
    void clear() { *this = std::vector<HopStats>{}; }

    std::uint64_t stamp(std::size_t i) const { return stamps_[i]; }

    // Makes this list equal to `source`, calling copy_hop(mine, theirs, i) for
    // each slot whose stamp differs from the source's, which must make the
    // two hops equal; the slot then takes the source's stamp.
    template <typename CopyHop>
    void catch_up(const HopList& source, CopyHop&& copy_hop) {
        hops_.resize(source.size());
        stamps_.resize(source.size(), 0);  // no slot of the source has stamp 0
        for (std::size_t i = 0; i < hops_.size(); ++i) {
            if (stamps_[i] == source.stamps_[i]) continue;
            copy_hop(hops_[i], source.hops_[i], i);
            stamps_[i] = source.stamps_[i];
        }
    }

    bool operator==(const HopList& other) const { return hops_ == other.hops_; }

private:
    std::vector<HopStats> hops_;
    std::vector<std::uint64_t> stamps_;  // one per hop
};

}  // namespace corvane
