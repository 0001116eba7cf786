#include "netsim/config.h"

#include <charconv>
#include <cmath>
#include <sstream>
#include <stdexcept>

#include "netsim/packet.h"

namespace netsim {
namespace {

[[noreturn]] void fail(int line, const std::string& why) {
    throw std::invalid_argument("netsim config line " + std::to_string(line) + ": " + why);
}

double number(int line, const std::string& key, std::istringstream& in, double max) {
    std::string word;
    if (!(in >> word)) fail(line, "'" + key + "' needs a number");
    double v = 0;
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), v);
    if (ec != std::errc{} || end != word.data() + word.size() || !std::isfinite(v) || v < 0 || v > max)
        fail(line, "bad value for '" + key + "': " + word);
    return v;
}

std::string address(int line, const std::string& word) {
    if (!parse_ipv4(word)) fail(line, "not a dotted IPv4 address: " + word);
    return word;
}

}  // namespace

std::vector<SimDestination> parse_config(const std::string& text) {
    std::vector<SimDestination> out;
    std::istringstream lines(text);
    std::string raw;
    int n = 0;
    while (std::getline(lines, raw)) {
        ++n;
        if (auto hash = raw.find('#'); hash != std::string::npos) raw.erase(hash);
        std::istringstream in(raw);
        std::string kind;
        if (!(in >> kind)) continue;
        std::string word;
        if (kind == "dest") {
            if (!(in >> word)) fail(n, "'dest' needs an address");
            SimDestination d;
            d.addr = address(n, word);
            for (const auto& earlier : out)
                if (earlier.addr == d.addr) fail(n, "destination " + word + " listed twice");
            while (in >> word) {
                if (word == "delay") d.delay_ms = number(n, word, in, 3'600'000);
                else if (word == "loss") d.loss_pct = number(n, word, in, 100);
                else if (word == "silent") d.silent = true;
                else if (word == "unreachable") d.unreachable = true;
                else if (word == "from") {
                    if (!(in >> word)) fail(n, "'from' needs an address");
                    d.reply_from = address(n, word);
                }
                else fail(n, "unknown word '" + word + "'");
            }
            out.push_back(std::move(d));
        } else if (kind == "hop") {
            if (out.empty()) fail(n, "'hop' before any 'dest'");
            if (!(in >> word)) fail(n, "'hop' needs an address or 'silent'");
            SimHop h;
            if (word != "silent") h.addr = address(n, word);
            while (in >> word) {
                if (word == "delay") h.delay_ms = number(n, word, in, 3'600'000);
                else if (word == "loss") h.loss_pct = number(n, word, in, 100);
                else if (word == "ratelimit") h.rate_limit_ms = number(n, word, in, 3'600'000);
                else fail(n, "unknown word '" + word + "'");
            }
            if (out.back().hops.size() >= 255) fail(n, "more than 255 hops");
            out.back().hops.push_back(std::move(h));
        } else {
            fail(n, "unknown line '" + kind + "'");
        }
    }
    return out;
}

}  // namespace netsim
