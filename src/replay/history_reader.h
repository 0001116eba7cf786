#pragma once
// Reads a history CSV file into time-ordered samples with their timeline
// marks. The file is streamed in pieces so a day-long recording never sits
// in memory twice.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "replay/replay_samples.h"

namespace corvane {

// What the file name says about a recording.
struct RecordingName {
    bool is_watch = false;
    std::string stem;  // invalid UTF-8 replaced
};
RecordingName recording_name_of(const std::filesystem::path& path);

// The list name a watch file was written for: leading "watch_" prefixes
// removed, then the "_" and date-and-time stamp behind it.
std::string watch_title_from_stem(std::string_view stem);

struct ParsedRecording {
    bool is_watch = false;
    std::string title;
    std::vector<std::optional<std::string>> host_names;
    std::vector<std::int64_t> markers_ms;
    ReplaySamples samples;  // sorted by time, file order kept for equal times
};

// Reads, parses, sorts and marks the file. On failure: the error banner text.
std::variant<ParsedRecording, std::string> read_history_recording(const std::filesystem::path& path);

// The same steps on text already in memory (the whole file's bytes).
std::variant<ParsedRecording, std::string> parse_history_text(std::string_view bytes, bool is_watch,
                                                              const std::string& display_path);

void sort_samples_by_time(ReplaySamples& samples);
std::vector<std::int64_t> timeline_marks(const ReplaySamples& samples, bool is_watch);

// The banners a failed load shows.
std::string read_error_banner(const std::string& display_path, int os_error);
std::string read_error_banner(const std::string& display_path, const std::string& reason);
inline constexpr const char* kNoProbeDataBanner = "That file has no probe data. Pick a Corvane history CSV.";

}  // namespace corvane
