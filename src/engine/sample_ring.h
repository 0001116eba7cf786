#pragma once
// A capped ring of values in one contiguous block, oldest first. Values are
// only ever appended (the oldest making room) or cleared all at once, so a
// copy can catch up on a ring by appending what it gained since (its mark).
#include <cmath>
#include <cstddef>
#include <type_traits>
#include <utility>
#include <vector>

#include "engine/change_stamp.h"

namespace corvane {

template <typename T, std::size_t Cap>
class SampleRing {
public:
    static constexpr std::size_t capacity = Cap;

    SampleRing() = default;
    SampleRing(const SampleRing&) = default;
    SampleRing& operator=(const SampleRing&) = default;
    SampleRing(SampleRing&& other) noexcept
        : data_(std::exchange(other.data_, {})),
          head_(std::exchange(other.head_, 0)),
          size_(std::exchange(other.size_, 0)),
          lineage_(std::move(other.lineage_)) {}
    SampleRing& operator=(SampleRing&& other) noexcept {
        if (this != &other) {
            data_ = std::exchange(other.data_, {});
            head_ = std::exchange(other.head_, 0);
            size_ = std::exchange(other.size_, 0);
            lineage_ = std::move(other.lineage_);
        }
        return *this;
    }

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

    // i = 0 is the oldest entry.
    const T& operator[](std::size_t i) const { return data_[physical(i)]; }
    const T& front() const { return (*this)[0]; }
    const T& back() const { return (*this)[size_ - 1]; }

    // Appends; when full, the oldest entry makes room.
    void push_back(const T& v) {
        if (size_ < Cap) {
            data_.push_back(v);  // the block fills in order from a clear
            ++size_;
        } else {
            data_[head_] = v;
            head_ = (head_ + 1) % Cap;
        }
        lineage_.appended();
    }
    void clear() {
        data_.clear();
        head_ = 0;
        size_ = 0;
        lineage_.restart();
    }

    template <typename F>
    void for_each(F&& f) const {
        for (std::size_t i = 0; i < size_; ++i) f(data_[physical(i)]);
    }

    AppendMark mark() const { return lineage_.mark(); }

    // Same entries; a lost sample (NaN) equals a lost sample.
    bool operator==(const SampleRing& other) const {
        if (size_ != other.size_) return false;
        for (std::size_t i = 0; i < size_; ++i) {
            const T& a = (*this)[i];
            const T& b = other[i];
            if constexpr (std::is_floating_point_v<T>) {
                if (std::isnan(a) && std::isnan(b)) continue;
            }
            if (!(a == b)) return false;
        }
        return true;
    }

private:
    std::size_t physical(std::size_t i) const {
        std::size_t p = head_ + i;
        return p >= Cap ? p - Cap : p;
    }

    std::vector<T> data_;
    std::size_t head_ = 0;  // physical index of the oldest entry
    std::size_t size_ = 0;
    Lineage lineage_;
};

}  // namespace corvane
