#pragma once
// Turns the data lines of a history CSV file into samples, one line at a
// time, so the file can be read in pieces.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ipv4.h"
#include "replay/replay_samples.h"

namespace corvane {

// The field readers; each takes an already trimmed field.
std::optional<std::int64_t> parse_unix_ms_field(std::string_view text);    // [+-]digits
std::optional<std::uint64_t> parse_u64_field(std::string_view text);       // [+]digits
std::optional<std::uint32_t> parse_u32_field(std::string_view text);       // [+]digits
std::optional<Ipv4Addr> parse_dotted_ipv4(std::string_view text);          // a.b.c.d, no leading zeros

class HistoryRowParser {
public:
    explicit HistoryRowParser(bool is_watch) : is_watch_(is_watch) {}

    // One line without its line feed; the header must not be passed. The
    // text must be valid UTF-8. Malformed rows are skipped.
    void parse_line(std::string_view line);

    // Every complete line in [begin, end), the header first when it has not
    // been seen yet. Returns where the unfinished last line begins.
    const char* parse_lines(const char* begin, const char* end);
    bool header_seen() const { return header_seen_; }
    // Takes a final line that has no line feed (it may be the header).
    void parse_last_line(std::string_view line);

    ReplaySamples& samples() { return samples_; }
    // The first non-empty target seen.
    std::string& title() { return title_; }
    // Watch files: per host the target of its first row.
    std::vector<std::optional<std::string>>& host_names() { return host_names_; }
    // True while the samples are in stable time order. Rows that arrive a
    // little late are moved into place as they come; false once one came too
    // late for that, and the samples need a stable sort by time.
    bool in_time_order() const { return in_order_; }

private:
    // The line's fields 1 to 7. kPadded: up to three bytes after the hop
    // and the round trip may be read (they lie inside the same line).
    template <bool kPadded>
    void parse_fields(const std::string_view (&f)[7]);
    // A line known to end at `feed`, with at least 128 readable bytes from
    // its start; commas and feed as bit masks over those bytes.
    void parse_window_line(const char* line, std::uint64_t comma_lo, std::uint64_t comma_hi, unsigned feed);
    void settle_late_row();
    void line_with_commas(const char* begin, const char* end, const char* const* commas, int count);

    bool is_watch_;
    bool header_seen_ = false;
    ReplaySamples samples_;
    std::string title_;
    std::vector<std::optional<std::string>> host_names_;
    bool in_order_ = true;
    std::int64_t last_time_ = INT64_MIN;  // latest time so far
    std::size_t moves_ = 0;                // places late rows were moved back, in all

    // Per hop, the address text the windowed path parsed last (its first
    // and last eight bytes and its length) and its value; size 0 when none.
    // Made when that path first runs: short texts never need it.
    struct AddressMemo {
        std::uint64_t head = 0;
        std::uint64_t tail = 0;
        std::uint32_t size = 0;
        std::uint32_t value = 0;
    };
    std::vector<AddressMemo> address_memo_;
};

}  // namespace corvane
