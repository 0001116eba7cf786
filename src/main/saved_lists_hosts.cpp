#include "main/saved_lists_hosts.h"

#include <unordered_set>

#include "main/unicode_text.h"

namespace corvane {

namespace {

// Hosts are the same when equal after mapping A-Z to a-z (which keeps the
// byte length), so the ASCII-lowered text is the key.
std::string ascii_lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
    }
    return out;
}

// The first `max` characters of a label, without a blank at their end.
std::string cut_to_characters(std::string text, std::size_t max) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;  // inside a character
        if (chars++ == max) {
            text.resize(i);
            if (text.ends_with(' ')) text.pop_back();
            break;
        }
    }
    return text;
}

void add_piece(std::string_view piece, std::vector<HostListEntry>& out, std::unordered_set<std::string>& seen) {
    auto words = split_unicode_space(piece);
    if (words.empty()) return;
    const std::string& host = words.front();
    if (!seen.insert(ascii_lower(host)).second) return;
    HostListEntry entry{host, std::nullopt};
    if (words.size() > 1) {
        std::string label;
        // Four bytes a character at most: enough to cut from.
        for (std::size_t i = 1; i < words.size() && label.size() < 4 * kMaxLabelChars; ++i) {
            if (i > 1) label += ' ';
            label += words[i];
        }
        entry.label = cut_to_characters(std::move(label), kMaxLabelChars);
    }
    out.push_back(std::move(entry));
}

}  // namespace

std::vector<HostListEntry> parse_host_list(std::string_view text) {
    std::vector<HostListEntry> out;
    std::unordered_set<std::string> seen;
    std::size_t line_start = 0;
    while (line_start <= text.size()) {
        const std::size_t nl = text.find('\n', line_start);
        std::string_view line = text.substr(line_start, nl == std::string_view::npos ? std::string_view::npos : nl - line_start);
        if (const std::size_t hash = line.find('#'); hash != std::string_view::npos) line = line.substr(0, hash);

        std::size_t piece_start = 0;
        while (piece_start <= line.size()) {
            const std::size_t sep = line.find_first_of(",;", piece_start);
            add_piece(line.substr(piece_start, sep == std::string_view::npos ? std::string_view::npos : sep - piece_start), out, seen);
            if (sep == std::string_view::npos) break;
            piece_start = sep + 1;
        }

        if (nl == std::string_view::npos) break;
        line_start = nl + 1;
    }
    return out;
}

}  // namespace corvane
