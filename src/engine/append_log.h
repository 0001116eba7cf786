#pragma once
// A list that grows at its end, such as a session's events. Entries can't be
// changed in place, so a copy can catch up on the list by appending what it
// gained since its mark; a clear or a cut starts a new lineage.
#include <cstddef>
#include <utility>
#include <vector>

#include "engine/change_stamp.h"

namespace corvane {

template <typename T>
class AppendLog {
public:
    using value_type = T;
    using const_iterator = typename std::vector<T>::const_iterator;
    using const_reverse_iterator = typename std::vector<T>::const_reverse_iterator;

    AppendLog() = default;
    AppendLog(const AppendLog&) = default;
    AppendLog& operator=(const AppendLog&) = default;
    AppendLog(AppendLog&& other) noexcept
        : entries_(std::exchange(other.entries_, {})), lineage_(std::move(other.lineage_)) {}
    AppendLog& operator=(AppendLog&& other) noexcept {
        if (this != &other) {
            entries_ = std::exchange(other.entries_, {});
            lineage_ = std::move(other.lineage_);
        }
        return *this;
    }

    AppendLog& operator=(std::vector<T> entries) {
        entries_ = std::move(entries);
        lineage_.restart();
        return *this;
    }

    operator const std::vector<T>&() const { return entries_; }
    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    const T& operator[](std::size_t i) const { return entries_[i]; }
    const T& front() const { return entries_.front(); }
    const T& back() const { return entries_.back(); }
    const_iterator begin() const { return entries_.begin(); }
    const_iterator end() const { return entries_.end(); }
    const_reverse_iterator rbegin() const { return entries_.rbegin(); }
    const_reverse_iterator rend() const { return entries_.rend(); }

    void push_back(T entry) {
        entries_.push_back(std::move(entry));
        lineage_.appended();
    }
    void clear() {
        entries_.clear();
        lineage_.restart();
    }
    // Keeps the first `count` entries.
    void cut_to(std::size_t count) {
        if (count >= entries_.size()) return;
        entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(count), entries_.end());
        lineage_.restart();
    }

    AppendMark mark() const { return lineage_.mark(); }

    bool operator==(const AppendLog& other) const { return entries_ == other.entries_; }

private:
    std::vector<T> entries_;
    Lineage lineage_;
};

}  // namespace corvane
