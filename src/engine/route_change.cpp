#include "engine/route_change.h"

#include <algorithm>
#include <cstddef>
#include <optional>

#include "engine/clock.h"
#include "engine/history_writer.h"
#include "engine/reverse_lookup.h"

namespace corvane {
namespace {

bool contains_addr(const Route& route, const Ipv4Addr& addr) {
    return std::any_of(route.begin(), route.end(), [&](const auto& e) { return e && *e == addr; });
}

std::size_t silent_count(const Route& route) {
    return static_cast<std::size_t>(std::count_if(route.begin(), route.end(), [](const auto& e) { return !e; }));
}

std::string plural_hops(std::size_t count, const char* verb) {
    return std::to_string(count) + " non-responding hop" + (count == 1 ? "" : "s") + " " + verb;
}

std::string cell(const Route& route, std::size_t i) {
    if (i >= route.size()) return "";
    return route[i] ? route[i]->to_string() : "*";
}

// Right- or left-aligned in a field; a longer text is not cut.
std::string pad_left(const std::string& s, std::size_t width) {
    return s.size() >= width ? s : std::string(width - s.size(), ' ') + s;
}
std::string pad_right(const std::string& s, std::size_t width) {
    return s.size() >= width ? s : s + std::string(width - s.size(), ' ');
}

}  // namespace

std::vector<std::string> route_change_texts(const Route& before, const Route& after) {
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (before[i] && !contains_addr(after, *before[i])) {
            texts.push_back(before[i]->to_string() + " dropped out (was hop " + std::to_string(i + 1) + ")");
        }
    }
    for (std::size_t j = 0; j < after.size(); ++j) {
        if (after[j] && !contains_addr(before, *after[j])) {
            texts.push_back(after[j]->to_string() + " joined at hop " + std::to_string(j + 1));
        }
    }
    const std::size_t s_old = silent_count(before);
    const std::size_t s_new = silent_count(after);
    if (s_new > s_old) texts.push_back(plural_hops(s_new - s_old, "added"));
    if (s_new < s_old) texts.push_back(plural_hops(s_old - s_new, "removed"));
    return texts;
}

std::string join_change_texts(const std::vector<std::string>& texts) {
    if (texts.empty()) return "same routers, in a different order";
    if (texts.size() == 1) return texts[0];
    const std::string two = texts[0] + ", " + texts[1];
    if (texts.size() == 2) return two;
    return two + ", and " + std::to_string(texts.size() - 2) + " more";
}

std::string route_length_change_summary(const Route& before, const Route& after) {
    return "Path length changed from " + std::to_string(before.size()) + " to " + std::to_string(after.size()) +
           " hops: " + join_change_texts(route_change_texts(before, after));
}

std::string route_change_table(const Route& before, const Route& after) {
    std::string out = pad_left("Hop", 3) + "  " + pad_right("Before", 15) + "  " + pad_right("After", 15) + "\n";
    const std::size_t rows = std::max(before.size(), after.size());
    for (std::size_t i = 0; i < rows; ++i) {
        const std::string b = cell(before, i);
        const std::string a = cell(after, i);
        out += pad_left(std::to_string(i + 1), 3) + "  " + pad_right(b, 15) + "  " + pad_right(a, 15);
        if (a != b) out += "  <";
        out += "\n";
    }
    // Every character in the table is ASCII, so ASCII white space is all the
    // trailing white space there can be.
    while (!out.empty() && (out.back() == ' ' || out.back() == '\n' || out.back() == '\t' || out.back() == '\r' ||
                            out.back() == '\v' || out.back() == '\f')) {
        out.pop_back();
    }
    return out;
}

std::vector<std::string> apply_same_length_change(const SharedTraceState& state, Route& current, const Route& fresh) {
    std::vector<std::string> texts;
    std::shared_ptr<HistoryWriter> writer;
    {
        std::lock_guard lock(state->mutex);
        TraceState& st = state->state;
        for (std::size_t i = 0; i < current.size() && i < fresh.size(); ++i) {
            if (!fresh[i]) continue;  // a hop gone silent keeps its old address
            if (!current[i]) {
                // Its probe thread names the hop when a reply comes.
                current[i] = fresh[i];
                continue;
            }
            if (*current[i] == *fresh[i]) continue;
            std::string text = "Hop " + std::to_string(i + 1) + " changed from " + current[i]->to_string() + " to " +
                               fresh[i]->to_string();
            st.events.push_back(RouteEvent{text, std::nullopt, now_unix_ms(), RouteEventKind::RouteChange});
            texts.push_back(std::move(text));
            current[i] = fresh[i];
            if (i < st.hops.size()) {
                st.hops[i].addr = fresh[i];
                st.hops[i].name.reset();
            }
            request_reverse_lookup(st, state, i, *fresh[i]);
        }
        writer = st.writer;
    }
    if (writer) {
        for (const auto& text : texts) append_event_log_line(*writer, state, text);
    }
    return texts;
}

void handle_route_change(const TraceSession& session, Route& current, StopFlag& generation, const Route& fresh) {
    if (fresh.empty() || fresh == current) return;
    if (fresh.size() == current.size()) {
        apply_same_length_change(session.state, current, fresh);
        return;
    }
    push_route_event(session.state, RouteEventKind::RouteChange, route_length_change_summary(current, fresh),
                     route_change_table(current, fresh));
    generation->store(true);
    generation = new_stop_flag(false);
    rebuild_hops_and_spawn_probes(session, current, fresh, generation);
    current = fresh;
}

}  // namespace corvane
