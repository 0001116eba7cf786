#pragma once
// settings.ini: the record, its defaults, the reader and the writer.
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "main/sound_choice.h"

namespace corvane {

enum class ViewMode : std::uint8_t { Trace = 0, Watch = 1 };
enum class LayoutMode : std::uint8_t { Instrument = 0, Signal = 1 };

struct IntervalChoice {
    std::uint64_t value;
    const char* label;
};

// The only probe intervals offered and accepted, in milliseconds.
inline constexpr std::array<IntervalChoice, 7> probe_interval_choices{{
    {500, "0.5 s"},
    {1000, "1 s"},
    {2500, "2.5 s"},
    {5000, "5 s"},
    {10000, "10 s"},
    {30000, "30 s"},
    {60000, "60 s"},
}};

// The only re-trace intervals offered and accepted, in seconds; 0 never re-traces.
inline constexpr std::array<IntervalChoice, 6> route_interval_choices{{
    {10, "10 s"},
    {30, "30 s"},
    {60, "1 min"},
    {300, "5 min"},
    {900, "15 min"},
    {0, "Off"},
}};

inline constexpr std::size_t kMaxRecentTargets = 12;
inline constexpr std::uint64_t kMinWindowSecs = 60;
inline constexpr std::uint64_t kMaxWindowSecs = 3600;
inline constexpr std::uint8_t kMaxSoundVolume = 100;

// Fields in the order the file lists them.
struct Settings {
    std::vector<std::string> tabs;
    std::uint64_t active_tab = 0;
    std::uint64_t probe_ms = 1000;
    std::uint64_t route_secs = 30;
    LayoutMode view = LayoutMode::Instrument;
    std::uint64_t window = 300;
    bool sound = true;
    SoundChoice sound_choice;
    std::uint8_t sound_volume = 70;
    bool flash = true;
    bool save_history = true;
    std::filesystem::path history_dir;
    bool utc = false;
    bool maximized = true;
    bool resume = true;
    ViewMode mode = ViewMode::Trace;
    std::vector<std::string> watch_tabs;
    std::uint64_t watch_active = 0;
    std::vector<std::string> recent;

    bool operator==(const Settings&) const = default;
};

Settings default_settings();

// <roaming data folder>/Corvane/settings.ini; creates and checks nothing.
std::filesystem::path settings_ini_path();

// Applies the lines of `text` to `settings` (which starts as the defaults).
// Unknown keys, lines without "=" and bad values never fail the whole read.
void parse_settings_ini(std::string_view text, Settings& settings);

// The whole file text: all keys, one "key=value\n" line each.
std::string format_settings_ini(const Settings& settings);

// An unsigned decimal as settings.ini writes it: an optional "+", then ASCII
// digits only, no larger than `max`.
std::optional<std::uint64_t> parse_unsigned_decimal(std::string_view text, std::uint64_t max);

}  // namespace corvane
