#include "main/hop_verdicts.h"

#include <algorithm>
#include <limits>

namespace corvane {

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// Fewer probes than this say too little about loss or delay to judge a hop.
constexpr std::uint32_t kMinProbes = 10;

double average_ms(const HopStats& h) { return static_cast<double>(h.rtt_sum) / h.received; }

double loss_percent(const HopStats& h) {
    // A hop counted as received more often than sent would otherwise wrap
    // into a huge loss; such a hop simply has none.
    if (h.sent == 0 || h.received >= h.sent) return 0.0;
    return static_cast<double>(h.sent - h.received) * 100.0 / h.sent;
}

bool later_hop_answers(const std::vector<HopStats>& hops, std::size_t i) {
    return std::any_of(hops.begin() + static_cast<std::ptrdiff_t>(i) + 1, hops.end(),
                       [](const HopStats& h) { return h.received > 0; });
}

// Loss at a later hop that is itself rate limited is that router's own and
// says nothing about forwarding: routers that rate-limit in a row would
// otherwise hide each other's verdict.
bool later_hop_lossy(const std::vector<HopStats>& hops, const std::vector<HopClass>& classes, std::size_t i) {
    for (std::size_t j = i + 1; j < hops.size(); ++j) {
        const HopStats& h = hops[j];
        if (classes[j] != HopClass::RateLimited && h.received > 0 && h.sent >= kMinProbes &&
            loss_percent(h) >= 2.0)
            return true;
    }
    return false;
}

// A later hop that answers well-sampled probes all but cleanly: the path
// beyond hop i is seen to work. Without one, loss at i may be the path's own,
// only not yet counted further on (a destination's record just after a change
// of route has a handful of probes).
bool later_hop_clean(const std::vector<HopStats>& hops, std::size_t i) {
    return std::any_of(hops.begin() + static_cast<std::ptrdiff_t>(i) + 1, hops.end(), [](const HopStats& h) {
        return h.received > 0 && h.sent >= kMinProbes && loss_percent(h) < 2.0;
    });
}

// `classes` holds the verdicts of the hops after i already.
HopClass first_class(const std::vector<HopStats>& hops, const std::vector<HopClass>& classes, std::size_t i) {
    const HopStats& h = hops[i];
    if (i + 1 == hops.size()) return HopClass::None;  // the destination is judged as measured
    if (h.received == 0) {
        // A hop silent even during discovery never answers at all; one that
        // once gave its address counts as silent only while the path beyond
        // it is seen to work.
        if (!h.addr) return HopClass::NoIcmpReply;
        return later_hop_answers(hops, i) ? HopClass::NoIcmpReply : HopClass::None;
    }
    // A clean later hop is one that answers, too.
    if (h.sent >= kMinProbes && loss_percent(h) >= 5.0 && later_hop_clean(hops, i) &&
        !later_hop_lossy(hops, classes, i)) {
        return HopClass::RateLimited;
    }
    return HopClass::None;
}

}  // namespace

HopVerdicts compute_hop_verdicts(const std::vector<HopStats>& hops) {
    HopVerdicts out;
    const std::size_t n = hops.size();
    if (n == 0) return out;

    out.classes.resize(n, HopClass::None);
    for (std::size_t i = n; i-- > 0;) out.classes[i] = first_class(hops, out.classes, i);

    // m[i]: the lowest average of any later hop that answers and is not
    // rate limited.
    std::vector<double> m(n, kInf);
    for (std::size_t i = n - 1; i >= 1; --i) {
        const HopStats& h = hops[i];
        const double v =
            (h.received > 0 && out.classes[i] != HopClass::RateLimited) ? average_ms(h) : kInf;
        m[i - 1] = std::min(m[i], v);
    }

    for (std::size_t i = 0; i + 1 < n; ++i) {
        const HopStats& h = hops[i];
        if (out.classes[i] != HopClass::None || h.received < kMinProbes || m[i] == kInf) continue;
        if (average_ms(h) - m[i] > std::max(0.25 * m[i], 5.0)) out.classes[i] = HopClass::SlowToAnswer;
    }

    // Each hop's share of the path, measured from the nearest earlier hop
    // that answers and has no verdict, and capped by what the path after it
    // shows.
    out.added_latency.resize(n);
    double base = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const HopStats& h = hops[i];
        if (h.received == 0) continue;
        const double v = std::min(average_ms(h), m[i]);
        out.added_latency[i] = v - base;
        if (out.classes[i] == HopClass::None) base = v;
    }

    for (std::size_t i = 0; i < n; ++i) {
        const auto& a = out.added_latency[i];
        if (out.classes[i] != HopClass::None || !a || *a < 2.0) continue;
        if (!out.most_added || *a >= *out.added_latency[*out.most_added]) out.most_added = i;
    }
    return out;
}

}  // namespace corvane
