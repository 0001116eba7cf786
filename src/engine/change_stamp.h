#pragma once
// How a copy of a monitor state learns what changed since it last looked
// without comparing contents: change stamps for things replaced or edited in
// place, lineages for logs that mostly grow at the end.
#include <cstdint>
#include <utility>

namespace corvane {

// A number not handed out before in this process (never 0). Everything that
// carries one takes a new one whenever its contents change, so two equal
// stamps mean equal contents, whichever objects they were read from.
std::uint64_t new_change_stamp();

// Where a log stands: the origin of its entries and how many it has had
// appended since. A log that only grew at the end keeps its origin; a new
// log, a copy, a clear or a cut starts a new one.
struct AppendMark {
    std::uint64_t origin = 0;
    std::uint64_t appended = 0;
    bool operator==(const AppendMark&) const = default;
};

// The lineage member of a log. Copying starts a new lineage (the two logs
// go their own ways from here); moving hands it over with the entries and
// leaves the emptied source a new one.
class Lineage {
public:
    Lineage() = default;
    Lineage(const Lineage&) {}
    Lineage& operator=(const Lineage&) {
        restart();
        return *this;
    }
    Lineage(Lineage&& other) noexcept : mark_(std::exchange(other.mark_, fresh())) {}
    Lineage& operator=(Lineage&& other) noexcept {
        if (this != &other) mark_ = std::exchange(other.mark_, fresh());
        return *this;
    }

    AppendMark mark() const { return mark_; }
    void appended() { ++mark_.appended; }
    // Anything but an append at the end.
    void restart() { mark_ = fresh(); }

private:
    static AppendMark fresh() { return {new_change_stamp(), 0}; }
    AppendMark mark_ = fresh();
};

// A value that is changed only through edit(), which renews its stamp. A
// copy keeps the stamp along with the equal value.
template <typename T>
class Stamped {
public:
    Stamped() = default;
    Stamped(const Stamped&) = default;
    Stamped& operator=(const Stamped&) = default;
    Stamped(Stamped&& other) noexcept
        : value_(std::move(other.value_)), stamp_(std::exchange(other.stamp_, new_change_stamp())) {}
    Stamped& operator=(Stamped&& other) noexcept {
        if (this != &other) {
            value_ = std::move(other.value_);
            stamp_ = std::exchange(other.stamp_, new_change_stamp());
        }
        return *this;
    }

    const T& operator*() const { return value_; }
    const T* operator->() const { return &value_; }
    // For changes made under the same hold of the state's lock.
    T& edit() {
        stamp_ = new_change_stamp();
        return value_;
    }
    std::uint64_t stamp() const { return stamp_; }

    bool operator==(const Stamped& other) const { return value_ == other.value_; }

private:
    T value_{};
    std::uint64_t stamp_ = new_change_stamp();
};

}  // namespace corvane
