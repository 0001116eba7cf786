#include "engine/trace_tab.h"

#include <cstdint>

#include "engine/worker_start.h"
#include "platform/detached_thread.h"

namespace corvane {
namespace {

bool white_space(std::uint32_t cp) {
    return (cp >= 0x09 && cp <= 0x0D) || cp == 0x20 || cp == 0x85 || cp == 0xA0 || cp == 0x1680 ||
           (cp >= 0x2000 && cp <= 0x200A) || cp == 0x2028 || cp == 0x2029 || cp == 0x202F || cp == 0x205F ||
           cp == 0x3000;
}

// Decodes the character starting at byte i; returns its length, 0 when the
// bytes there are not a well-formed sequence (they then count as text).
std::size_t decode_at(std::string_view s, std::size_t i, std::uint32_t& cp) {
    const auto c = static_cast<unsigned char>(s[i]);
    std::size_t len = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
    if (len == 0 || i + len > s.size()) return 0;
    cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
    for (std::size_t k = 1; k < len; ++k) {
        const auto d = static_cast<unsigned char>(s[i + k]);
        if ((d & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (d & 0x3F);
    }
    return len;
}

}  // namespace

std::string trim_white_space(std::string_view text) {
    // Find the first and last characters that are not white space, walking
    // whole characters so that no multi-byte character is split.
    std::size_t begin = text.size();
    std::size_t end = 0;
    for (std::size_t i = 0; i < text.size();) {
        std::uint32_t cp = 0;
        std::size_t len = decode_at(text, i, cp);
        const bool ws = len != 0 && white_space(cp);
        if (len == 0) len = 1;
        if (!ws) {
            if (begin == text.size()) begin = i;
            end = i + len;
        }
        i += len;
    }
    if (begin >= end) return "";
    return std::string(text.substr(begin, end - begin));
}

TraceTab new_trace_tab(std::string target) {
    TraceTab tab;
    TraceState state = new_monitor_state();
    if (trim_white_space(target).empty()) state.status = "Enter a target and press Start";
    tab.target = std::move(target);
    tab.state = make_shared_state(std::move(state));
    tab.stop = new_stop_flag(true);
    return tab;
}

void stop_trace_tab(TraceTab& tab) {
    tab.stop->store(true);
    if (!trim_white_space(tab.target).empty()) set_trace_status(tab.state, "Stopped");
}

void start_trace_tab(TraceTab& tab, const SharedSettingsPtr& settings) {
    tab.stop->store(true);
    std::string target = trim_white_space(tab.target);
    if (target.empty()) return;
    tab.stop = new_stop_flag(false);
    tab.state = make_shared_state(new_monitor_state());
    tab.selected_hop.reset();
    tab.seen_events = 0;
    const int err = start_detached_thread([target = std::move(target), state = tab.state, settings, stop = tab.stop] {
        trace_target_thread(target, state, settings, stop);
    });
    if (err != 0) {
        // Nothing runs: the tab is idle and says why; Start tries again.
        tab.stop->store(true);
        set_trace_status(tab.state, probe_thread_error_text(err));
    }
}

}  // namespace corvane
