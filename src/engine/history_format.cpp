#include "engine/history_format.h"

#include "engine/clock.h"
#include "engine/history_writer.h"

namespace corvane {

namespace {

bool keeps_in_file_name(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

// Length of the well-formed UTF-8 sequence starting at text[i], or 0 when
// the bytes there are not one (overlong forms and surrogates included).
std::size_t utf8_sequence_length(const std::string& text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t len;
    unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        len = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        len = 3;
        if (lead == 0xE0) lo = 0xA0;
        if (lead == 0xED) hi = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        len = 4;
        if (lead == 0xF0) lo = 0x90;
        if (lead == 0xF4) hi = 0x8F;
    } else {
        return 0;
    }
    if (i + len > text.size()) return 0;
    if (byte(i + 1) < lo || byte(i + 1) > hi) return 0;
    for (std::size_t k = 2; k < len; ++k) {
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
    }
    return len;
}

}  // namespace

std::string sanitize_file_name(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (keeps_in_file_name(c)) {
            out.push_back(static_cast<char>(c));
            ++i;
            continue;
        }
        out.push_back('_');
        if (c < 0x80) {
            ++i;
        } else {
            // A whole character is one "_"; a stray byte counts as a character.
            const std::size_t len = utf8_sequence_length(text, i);
            i += len ? len : 1;
        }
    }
    return out;
}

std::string history_stamp(std::int64_t unix_ms) { return format_local_time(unix_ms, kHistoryStampFormat); }

std::string history_file_name(const std::string& base, const std::string& stamp) {
    const std::string tail = "_" + stamp + ".csv";
    std::size_t keep = base.size();
    if (tail.size() < kMaxFileNameBytes && base.size() + tail.size() > kMaxFileNameBytes) {
        keep = kMaxFileNameBytes - tail.size();
        // Back off continuation bytes so no character is cut in half.
        while (keep > 0 && (static_cast<unsigned char>(base[keep]) & 0xC0) == 0x80) --keep;
    }
    return base.substr(0, keep) + tail;
}

std::string csv_field_text(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c == ',' || c == '\n' || c == '\r') c = ' ';
    }
    return out;
}

std::string format_history_row(std::int64_t unix_ms, std::string_view target, std::uint32_t hop_index,
                               std::optional<Ipv4Addr> addr, std::optional<std::uint32_t> rtt_ms) {
    std::string row = format_local_time(unix_ms, "%Y-%m-%d %H:%M:%S%.3f");
    row += ',';
    row += std::to_string(unix_ms);
    row += ',';
    row += csv_field_text(target);
    row += ',';
    row += std::to_string(static_cast<std::uint64_t>(hop_index) + 1);
    row += ',';
    if (addr) row += addr->to_string();
    row += ',';
    if (rtt_ms) row += std::to_string(*rtt_ms);
    row += ',';
    row += rtt_ms ? "ok" : "lost";
    row += '\n';
    return row;
}

std::string format_event_log_line(std::int64_t unix_ms, std::string_view name, std::string_view text) {
    std::string line = format_local_time(unix_ms, "%Y-%m-%d %H:%M:%S");
    line += "  ";
    line += name;
    line += "  ";
    line += text;
    line += '\n';
    return line;
}

}  // namespace corvane
