#pragma once
// Values that widgets keep between frames, keyed by ImGui id: chart freeze
// times (int64 ms, too big for ImGuiStorage), scroll offsets, panel heights,
// popup flags, tooltip timers. UI thread only.
#include <cstdint>
#include <unordered_map>
#include <variant>

namespace corvane {

class UiMemory {
public:
    using Value = std::variant<std::int64_t, float, bool>;

    template <class T>
    T get(unsigned int id, T fallback) const {
        auto it = values_.find(id);
        if (it == values_.end()) return fallback;
        if (const T* v = std::get_if<T>(&it->second)) return *v;
        return fallback;
    }
    template <class T>
    void set(unsigned int id, T value) { values_[id] = value; }
    void erase(unsigned int id) { values_.erase(id); }

private:
    std::unordered_map<unsigned int, Value> values_;
};

// The process's one store, used by the widgets on the UI thread.
UiMemory& ui_memory();

}  // namespace corvane
