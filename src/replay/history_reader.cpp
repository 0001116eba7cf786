#include "replay/history_reader.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <new>

#include "platform/os_error.h"
#include "platform/regular_file.h"
#include "replay/history_rows.h"
#include "replay/utf8_text.h"

namespace corvane {

namespace {

constexpr std::size_t kChunk = std::size_t(1) << 20;
constexpr std::string_view kWatchPrefix = "watch_";
constexpr std::size_t kStampLength = 18;  // "_" + "2026-03-01_094512"

// The longest line a history file of this program can hold. A row's fields
// other than the target take at most some 100 bytes (a time of up to 32, a
// signed 64-bit number, hop, address, round trip, result, commas). The
// target is a watched host's label (or host), which comes from a saved list
// of at most 16 MiB, or a trace target, a name short enough to resolve. A
// line past this is no history row: such a file (a device, a binary) would
// otherwise grow the line buffer until memory runs out.
constexpr std::size_t kMaxLineBytes = (std::size_t(16) << 20) + 4096;

constexpr const char* kNotRegularReason = "Not a regular file";
constexpr const char* kLineTooLongReason = "A line is longer than any history row can be";

enum class Feed : unsigned char { Ok, NotUtf8, LineTooLong };

// Feeds the file's bytes piece by piece: validates UTF-8 across the pieces,
// cuts complete lines and hands them to the row parser. The only invalid
// UTF-8 forgiven is a character cut off at the very end of the file, as a
// crash mid-write leaves it; its unterminated line is dropped.
class LineFeeder {
public:
    // `piece` is the starting buffer size; it grows for longer lines.
    LineFeeder(bool is_watch, std::size_t piece) : parser_(is_watch), buf_(piece) {}

    // Space to read the next piece into.
    char* space() { return buf_.data() + have_; }
    std::size_t space_size() const { return buf_.size() - have_; }

    // Takes n bytes just read into space().
    Feed commit(std::size_t n) {
        const std::string_view fresh(buf_.data() + have_, n);
        if (validator_.feed(fresh) != Utf8StreamValidator::npos) return Feed::NotUtf8;
        have_ += n;
        return cut_lines();
    }

    // At the end of the file: the unterminated last line, unless it ends
    // inside a character.
    void finish() {
        if (have_ > 0 && !validator_.incomplete()) {
            parser_.parse_last_line(std::string_view(buf_.data(), have_));
        }
        have_ = 0;
    }

    HistoryRowParser& parser() { return parser_; }

private:
    Feed cut_lines() {
        const char* const base = buf_.data();
        const auto start = static_cast<std::size_t>(parser_.parse_lines(base, base + have_) - base);
        if (start > 0) {
            std::memmove(buf_.data(), base + start, have_ - start);
            have_ -= start;
        }
        if (have_ > kMaxLineBytes) return Feed::LineTooLong;
        // A line longer than the buffer: make room for the rest of it.
        if (have_ == buf_.size()) buf_.resize(buf_.size() * 2);
        return Feed::Ok;
    }

    HistoryRowParser parser_;
    std::vector<char> buf_;
    std::size_t have_ = 0;
    Utf8StreamValidator validator_;
};

// Samples to reserve for a file of `bytes`: rows are rarely shorter than 60
// bytes, and a wrong guess only costs a regrowth in place. Never more than a
// quarter of the machine's memory: a sparse file of a terabyte, or one that
// is no recording, would otherwise ask for more than any machine has.
std::size_t sample_reservation(std::uint64_t bytes) {
    const long pages = ::sysconf(_SC_PHYS_PAGES), page = ::sysconf(_SC_PAGE_SIZE);
    const std::uint64_t memory = pages > 0 && page > 0 ? static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(page)
                                                       : std::uint64_t(1) << 30;
    const std::uint64_t most = memory / 4 / sizeof(PackedSample);
    return static_cast<std::size_t>(std::min(bytes / 60 + 64, most));
}

std::optional<std::string> feed_error_banner(Feed result, const std::string& display_path) {
    switch (result) {
    case Feed::Ok: return std::nullopt;
    case Feed::NotUtf8: return read_error_banner(display_path, EILSEQ);
    case Feed::LineTooLong: return read_error_banner(display_path, std::string(kLineTooLongReason));
    }
    return std::nullopt;
}

std::variant<ParsedRecording, std::string> finish_recording(LineFeeder& feeder, bool is_watch,
                                                            const std::string& stem) {
    feeder.finish();
    HistoryRowParser& parser = feeder.parser();
    if (parser.samples().empty()) return std::string(kNoProbeDataBanner);
    ParsedRecording rec;
    rec.is_watch = is_watch;
    rec.samples = std::move(parser.samples());
    if (!parser.in_time_order()) sort_samples_by_time(rec.samples);
    rec.markers_ms = timeline_marks(rec.samples, is_watch);
    rec.title = is_watch ? watch_title_from_stem(stem) : std::move(parser.title());
    if (is_watch) rec.host_names = std::move(parser.host_names());
    return rec;
}

}  // namespace

RecordingName recording_name_of(const std::filesystem::path& path) {
    RecordingName out;
    const std::filesystem::path name = path.filename();
    if (name.empty() || name == "." || name == "..") return out;
    out.stem = utf8_lossy(name.stem().native());
    out.is_watch = out.stem.starts_with(kWatchPrefix);
    return out;
}

std::string watch_title_from_stem(std::string_view stem) {
    while (stem.starts_with(kWatchPrefix)) stem.remove_prefix(kWatchPrefix.size());
    if (stem.size() > kStampLength) {
        std::size_t cut = stem.size() - kStampLength;
        // A hand-renamed file may put the cut inside a character: keep only
        // whole characters.
        while (cut > 0 && (static_cast<unsigned char>(stem[cut]) & 0xC0) == 0x80) --cut;
        stem = stem.substr(0, cut);
    }
    return std::string(stem);
}

std::string read_error_banner(const std::string& display_path, int os_error) {
    return read_error_banner(display_path, os_error_text(os_error));
}

std::string read_error_banner(const std::string& display_path, const std::string& reason) {
    return "Could not read " + display_path + ": " + reason;
}

std::variant<ParsedRecording, std::string> read_history_recording(const std::filesystem::path& path) {
    const std::string display = utf8_lossy(path.native());
    const RecordingName name = recording_name_of(path);

    // A FIFO or a device picked by mistake (or through a link named .csv)
    // would block the open or never end.
    RegularFile file(path);
    if (file.not_regular()) return read_error_banner(display, std::string(kNotRegularReason));
    if (!file.is_open()) return read_error_banner(display, file.error());

    auto feeder = std::make_unique<LineFeeder>(name.is_watch, kChunk);
    try {
        feeder->parser().samples().reserve(sample_reservation(static_cast<std::uint64_t>(file.identity().size)));
    } catch (const std::bad_alloc&) {
        // Only a guess: the samples still grow as rows come.
    }
    for (;;) {
        const ssize_t n = ::read(file.fd(), feeder->space(), feeder->space_size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return read_error_banner(display, errno);
        }
        if (n == 0) break;
        if (auto banner = feed_error_banner(feeder->commit(static_cast<std::size_t>(n)), display)) return *banner;
    }
    return finish_recording(*feeder, name.is_watch, name.stem);
}

std::variant<ParsedRecording, std::string> parse_history_text(std::string_view bytes, bool is_watch,
                                                              const std::string& display_path) {
    // Small texts get a small buffer: the fuzzer calls this millions of times.
    LineFeeder feeder(is_watch, std::clamp<std::size_t>(bytes.size(), 64, kChunk));
    while (!bytes.empty()) {
        const std::size_t n = std::min(bytes.size(), feeder.space_size());
        std::memcpy(feeder.space(), bytes.data(), n);
        if (auto banner = feed_error_banner(feeder.commit(n), display_path)) return *banner;
        bytes.remove_prefix(n);
    }
    return finish_recording(feeder, is_watch, std::string());
}

void sort_samples_by_time(ReplaySamples& samples) {
    std::stable_sort(samples.begin(), samples.end(),
                     [](const PackedSample& a, const PackedSample& b) { return a.time_ms() < b.time_ms(); });
}

std::vector<std::int64_t> timeline_marks(const ReplaySamples& samples, bool is_watch) {
    std::vector<std::int64_t> marks;
    if (is_watch) {
        std::vector<std::uint32_t> lost_run(kMaxReplayHop + 1, 0);
        std::vector<std::int64_t> first_loss(kMaxReplayHop + 1, 0);
        for (const PackedSample& s : samples) {
            std::uint32_t& run = lost_run[s.hop];
            if (s.flags & PackedSample::kHasRtt) {
                run = 0;
                continue;
            }
            if (run == 0) first_loss[s.hop] = s.time_ms();
            if (run < UINT32_MAX) ++run;
            if (run == 3) marks.push_back(first_loss[s.hop]);
        }
    } else {
        // Per hop its last address; kNone, above every address, until one is seen.
        constexpr std::uint64_t kNone = std::uint64_t(1) << 32;
        std::vector<std::uint64_t> last_addr(kMaxReplayHop + 1, kNone);
        for (const PackedSample& s : samples) {
            if (!(s.flags & PackedSample::kHasAddr)) continue;
            std::uint64_t& last = last_addr[s.hop];
            if (last != s.addr && last != kNone) marks.push_back(s.time_ms());
            last = s.addr;
        }
    }
    // Watch marks sit at the start of a run and so may come out of order.
    std::stable_sort(marks.begin(), marks.end());
    return marks;
}

}  // namespace corvane
