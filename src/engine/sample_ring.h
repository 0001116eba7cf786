#pragma once
// A capped ring of values in one contiguous block, oldest first. The window
// copies every hop's rings each frame, so a copy must be a plain block copy.
#include <cstddef>
#include <vector>

namespace corvane {

template <typename T, std::size_t Cap>
class SampleRing {
public:
    static constexpr std::size_t capacity = Cap;

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

    // i = 0 is the oldest entry.
    const T& operator[](std::size_t i) const { return data_[physical(i)]; }
    T& operator[](std::size_t i) { return data_[physical(i)]; }
    const T& front() const { return (*this)[0]; }
    const T& back() const { return (*this)[size_ - 1]; }

    // Appends; when full, the oldest entry makes room.
    void push_back(const T& v) {
        if (size_ < Cap) {
            // Until the block first fills, the free slot is either just past
            // the stored entries or one left behind by pop_front.
            const std::size_t p = physical(size_);
            if (p == data_.size()) {
                data_.push_back(v);
            } else {
                data_[p] = v;
            }
            ++size_;
        } else {
            data_[head_] = v;
            head_ = (head_ + 1) % Cap;
        }
    }
    void pop_front() {
        if (size_ == 0) return;
        head_ = (head_ + 1) % Cap;
        --size_;
        if (size_ == 0) clear();
    }
    void clear() {
        data_.clear();
        head_ = 0;
        size_ = 0;
    }

    template <typename F>
    void for_each(F&& f) const {
        for (std::size_t i = 0; i < size_; ++i) f(data_[physical(i)]);
    }

private:
    std::size_t physical(std::size_t i) const {
        std::size_t p = head_ + i;
        return p >= Cap ? p - Cap : p;
    }

    std::vector<T> data_;
    std::size_t head_ = 0;  // physical index of the oldest entry
    std::size_t size_ = 0;
};

}  // namespace corvane
