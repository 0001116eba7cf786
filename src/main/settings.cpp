#include "main/settings.h"

#include <algorithm>
#include <limits>

#include "engine/history_writer.h"
#include "main/unicode_text.h"
#include "platform/app_dirs.h"

namespace corvane {

namespace {

template <std::size_t N>
bool offered(const std::array<IntervalChoice, N>& table, std::uint64_t value) {
    return std::any_of(table.begin(), table.end(), [&](const IntervalChoice& c) { return c.value == value; });
}

std::string join(const std::vector<std::string>& items, std::string_view sep) {
    std::string out;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i) out += sep;
        out += items[i];
    }
    return out;
}

const char* bool_text(bool b) { return b ? "true" : "false"; }

void apply_line(std::string_view key, std::string_view v, Settings& s) {
    const auto u64 = [&] { return parse_unsigned_decimal(v, std::numeric_limits<std::uint64_t>::max()); };

    if (key == "tabs") {
        s.tabs = split_unicode_space(v);
    } else if (key == "host") {
        if (!v.empty()) s.tabs = {std::string(v)};
    } else if (key == "active_tab") {
        s.active_tab = u64().value_or(0);
    } else if (key == "probe_ms") {
        if (auto n = u64(); n && offered(probe_interval_choices, *n)) s.probe_ms = *n;
    } else if (key == "route_secs") {
        if (auto n = u64(); n && offered(route_interval_choices, *n)) s.route_secs = *n;
    } else if (key == "view") {
        s.view = v == "signal" ? LayoutMode::Signal : LayoutMode::Instrument;
    } else if (key == "window") {
        if (auto n = u64(); n && *n >= kMinWindowSecs && *n <= kMaxWindowSecs) s.window = *n;
    } else if (key == "sound") {
        s.sound = v == "true";
    } else if (key == "flash") {
        s.flash = v == "true";
    } else if (key == "save_history") {
        s.save_history = v == "true";
    } else if (key == "utc") {
        s.utc = v == "true";
    } else if (key == "maximized") {
        s.maximized = v == "true";
    } else if (key == "resume") {
        s.resume = v != "false";
    } else if (key == "sound_choice") {
        s.sound_choice = parse_sound_choice(v);
    } else if (key == "sound_volume") {
        if (auto n = parse_unsigned_decimal(v, std::numeric_limits<std::uint8_t>::max())) {
            s.sound_volume = static_cast<std::uint8_t>(std::min<std::uint64_t>(*n, kMaxSoundVolume));
        }
    } else if (key == "history_dir") {
        // A control character is refused as the folder setter refuses it: a
        // NUL cuts the path short and a line break could never be saved.
        if (!v.empty() && !has_control_character(v)) s.history_dir = std::filesystem::path(std::string(v));
    } else if (key == "mode") {
        s.mode = v == "watch" ? ViewMode::Watch : ViewMode::Trace;
    } else if (key == "watch_tabs") {
        s.watch_tabs.clear();
        std::size_t start = 0;
        while (true) {
            const std::size_t bar = v.find('|', start);
            const std::string_view piece = trim_unicode_space(v.substr(start, bar == std::string_view::npos ? std::string_view::npos : bar - start));
            if (!piece.empty()) s.watch_tabs.emplace_back(piece);
            if (bar == std::string_view::npos) break;
            start = bar + 1;
        }
    } else if (key == "watch_active") {
        s.watch_active = u64().value_or(0);
    } else if (key == "recent") {
        auto words = split_unicode_space(v);
        if (words.size() > kMaxRecentTargets) words.resize(kMaxRecentTargets);
        s.recent = std::move(words);
    }
}

}  // namespace

std::optional<std::uint64_t> parse_unsigned_decimal(std::string_view text, std::uint64_t max) {
    if (text.starts_with('+')) text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (value > (max - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

Settings default_settings() {
    Settings s;
    s.history_dir = default_history_dir();
    return s;
}

std::filesystem::path settings_ini_path() { return roaming_data_dir() / "Corvane" / "settings.ini"; }

void parse_settings_ini(std::string_view text, Settings& settings) {
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t nl = text.find('\n', start);
        const std::string_view line = text.substr(start, nl == std::string_view::npos ? std::string_view::npos : nl - start);
        if (const std::size_t eq = line.find('='); eq != std::string_view::npos) {
            apply_line(trim_unicode_space(line.substr(0, eq)), trim_unicode_space(line.substr(eq + 1)), settings);
        }
        if (nl == std::string_view::npos) break;
        start = nl + 1;
    }
}

std::string format_settings_ini(const Settings& s) {
    std::string out;
    out.reserve(512);
    const auto line = [&](std::string_view key, std::string_view value) {
        out += key;
        out += '=';
        out += value;
        out += '\n';
    };
    line("tabs", join(s.tabs, " "));
    line("active_tab", std::to_string(s.active_tab));
    line("probe_ms", std::to_string(s.probe_ms));
    line("route_secs", std::to_string(s.route_secs));
    line("view", s.view == LayoutMode::Signal ? "signal" : "instrument");
    line("window", std::to_string(s.window));
    line("sound", bool_text(s.sound));
    line("sound_choice", format_sound_choice(s.sound_choice));
    line("sound_volume", std::to_string(s.sound_volume));
    line("flash", bool_text(s.flash));
    line("save_history", bool_text(s.save_history));
    line("history_dir", lossy_utf8(s.history_dir.native()));
    line("utc", bool_text(s.utc));
    line("maximized", bool_text(s.maximized));
    line("resume", bool_text(s.resume));
    line("mode", s.mode == ViewMode::Watch ? "watch" : "trace");
    line("watch_tabs", join(s.watch_tabs, "|"));
    line("watch_active", std::to_string(s.watch_active));
    line("recent", join(s.recent, " "));
    return out;
}

}  // namespace corvane
