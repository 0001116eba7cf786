#pragma once
// The texts of the history files: file names, CSV rows, event-log lines.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ipv4.h"

namespace corvane {

inline constexpr const char* kHistoryStampFormat = "%Y-%m-%d_%H%M%S";
inline constexpr std::size_t kHistoryStampLength = 17;  // 2026-03-01_094512
// The longest file name Linux file systems take, in bytes.
inline constexpr std::size_t kMaxFileNameBytes = 255;

// Local time of the instant as "%Y-%m-%d_%H%M%S".
std::string history_stamp(std::int64_t unix_ms);

// "{base}_{stamp}.csv"; the base is cut (never inside a UTF-8 sequence) so the
// whole name fits kMaxFileNameBytes, the rest stays whole.
std::string history_file_name(const std::string& base, const std::string& stamp);

// The text with "," and line breaks turned into spaces: the file has no
// quoting, so any of them would split or break the row.
std::string csv_field_text(std::string_view text);

// One CSV row, line feed included.
std::string format_history_row(std::int64_t unix_ms, std::string_view target, std::uint32_t hop_index,
                               std::optional<Ipv4Addr> addr, std::optional<std::uint32_t> rtt_ms);

// One event-log line, line feed included: "{time}  {name}  {text}\n".
std::string format_event_log_line(std::int64_t unix_ms, std::string_view name, std::string_view text);

}  // namespace corvane
