// The window's per-frame copy, brought up to date from what changed, must be
// what a fresh clone would be after anything that can happen to a state.
#include "engine/trace_copy.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "engine/history_writer.h"
#include "support/test_support.h"

namespace corvane {
namespace {

// Random changes of the kinds the workers, the tabs and playback make, each
// logged so a failure tells what led to it.
class Changes {
public:
    explicit Changes(std::vector<std::shared_ptr<HistoryWriter>> writers) : writers_(std::move(writers)) {}

    std::size_t pick(std::size_t n) { return n == 0 ? 0 : rng_() % n; }
    bool one_in(unsigned n) { return rng_() % n == 0; }
    std::string log;

    // The probes: a few samples to one hop, now and then enough to wrap its
    // rings more than once between two refreshes.
    void samples(TraceState& st) {
        if (st.hops.empty()) return;
        const std::size_t i = pick(st.hops.size());
        const std::size_t n = one_in(12) ? 1000 + pick(7000) : 1 + pick(3);
        for (std::size_t k = 0; k < n; ++k, now_ += 1000) {
            hop_stats_record(st.hops[i], one_in(5) ? std::nullopt : std::optional<std::uint32_t>(pick(400)), now_);
        }
        note("samples " + std::to_string(n) + " to hop " + std::to_string(i));
    }

    // A probe or a route check sees another address; the name goes with it.
    void address(TraceState& st) {
        if (st.hops.empty()) return;
        HopStats& hop = st.hops[pick(st.hops.size())];
        hop.addr = any_addr();
        hop.name.reset();
        note("address");
    }

    // Lookups asked for, and their names arriving for every hop of the address.
    void lookup(TraceState& st) {
        const Ipv4Addr a = any_addr();
        if (one_in(2)) {
            st.dns_pending.edit().insert(a);
            note("lookup asked");
            return;
        }
        const std::string name = one_in(3) ? "" : "r" + std::to_string(pick(99)) + ".test";
        st.dns_pending.edit().erase(a);
        for (std::size_t i = 0; i < st.hops.size(); ++i) {
            if (std::as_const(st.hops)[i].addr == a) st.hops[i].name = name;
        }
        st.dns_cache.edit().insert_or_assign(a, name);
        note("lookup done");
    }

    // The watch session's host texts and errors.
    void host_texts(TraceState& st) {
        if (st.hops.empty()) return;
        HopStats& hop = st.hops[pick(st.hops.size())];
        hop.host = one_in(4) ? std::nullopt : std::optional<std::string>("host-" + std::to_string(pick(9)));
        hop.label = one_in(2) ? std::nullopt : std::optional<std::string>("a label long enough to need a block");
        hop.error = one_in(2) ? std::nullopt : std::optional<std::string>("Name does not resolve");
        note("host texts");
    }

    // A route of another length: hops keeping their address keep their
    // statistics (moved), the others start afresh. Or one hop more.
    void rebuild(TraceState& st) {
        if (one_in(3)) {
            st.hops.push_back(HopStats{});
            note("one hop more");
            return;
        }
        std::vector<HopStats> hops;
        const std::size_t length = pick(9);
        for (std::size_t j = 0; j < length; ++j) {
            if (j < st.hops.size() && one_in(2)) {
                hops.push_back(std::move(st.hops[j]));
            } else {
                HopStats fresh;
                fresh.addr = any_addr();
                hops.push_back(std::move(fresh));
            }
        }
        st.hops = std::move(hops);
        note("rebuild to " + std::to_string(length));
    }

    // Hops trading places, taking another's copy, or moved out of a slot
    // that stays: rings met before in other slots, and emptied ones.
    void shuffle(TraceState& st) {
        if (st.hops.size() < 2) return;
        const std::size_t i = pick(st.hops.size()), j = pick(st.hops.size());
        switch (pick(3)) {
        case 0:
            std::swap(st.hops[i], st.hops[j]);
            note("swap hops");
            break;
        case 1:
            if (one_in(2)) {
                st.hops.push_back(std::as_const(st.hops)[j]);
            } else {
                const HopStats other = std::as_const(st.hops)[j];
                st.hops[i] = other;
            }
            note("copy hop");
            break;
        default: {
            HopStats taken(std::move(st.hops[j]));
            if (i != j) st.hops[i] = std::move(taken);
            note("move hop");
            break;
        }
        }
    }

    // A playback seek: the table cut or grown, every ring refilled, the
    // events cut back or cleared.
    void seek(TraceState& st) {
        st.hops.resize(pick(7));
        for (std::size_t h = 0; h < st.hops.size(); ++h) {
            HopStats& hop = st.hops[h];
            hop.samples.clear();
            hop.sample_times.clear();
            for (std::size_t k = pick(4000); k > 0; --k) hop_stats_record(hop, pick(90), now_ - 1000 * k);
        }
        if (one_in(2)) {
            st.events.cut_to(pick(st.events.size() + 1));
        } else {
            st.events.clear();
        }
        note("seek");
    }

    void event(TraceState& st) {
        const auto kind = static_cast<RouteEventKind>(pick(4));
        st.events.push_back(RouteEvent{"event " + std::to_string(pick(1000)),
                                       one_in(3) ? std::optional<std::string>(std::string(300, 'x')) : std::nullopt,
                                       now_, kind});
        note("event");
    }

    // Status lines (a stop among them), history texts, writer, times, target.
    void top(TraceState& st) {
        switch (pick(6)) {
        case 0: st.status = one_in(2) ? "Stopped" : "Monitoring"; break;
        case 1: st.history_file = one_in(3) ? std::nullopt : std::optional<std::string>("/h/" + std::to_string(pick(9))); break;
        case 2: st.history_error = one_in(2) ? std::nullopt : std::optional<std::string>("Could not write " + std::to_string(pick(9))); break;
        case 3: st.writer = writers_[pick(writers_.size())]; break;
        case 4: st.last_trace_ms = now_; st.started_ms = now_ - 5000; break;
        default: st.target_addr = one_in(3) ? std::nullopt : std::optional<Ipv4Addr>(any_addr()); break;
        }
        note("top field");
    }

    // The tab restarted: a new state object with a table of its own.
    void restart(TraceState& st) {
        st = new_monitor_state();
        st.hops.resize(pick(5));
        note("restart");
    }

    // What a test or the watch view's placeholder may do to the copy itself.
    void touch_copy(TraceState& copy) {
        switch (pick(4)) {
        case 0:
            copy = new_monitor_state();
            copy.status = "No list open";
            break;
        case 1:
            if (!copy.hops.empty()) hop_stats_record(copy.hops[pick(copy.hops.size())], 1, now_);
            break;
        case 2: copy.events.push_back(RouteEvent{"stray", std::nullopt, now_, RouteEventKind::Info}); break;
        default: copy.dns_cache.edit()[any_addr()] = "stray"; break;
        }
        note("touch the copy");
    }

private:
    Ipv4Addr any_addr() { return Ipv4Addr(10, 0, 0, static_cast<std::uint8_t>(1 + pick(6))); }
    void note(const std::string& what) { log += what + "; "; }

    std::mt19937 rng_{20240611};
    std::vector<std::shared_ptr<HistoryWriter>> writers_;
    std::int64_t now_ = 1'700'000'000'000;
};

TEST(TraceCopy, EqualsAFreshCloneAfterAnyChangesBetweenRefreshes) {
    test::TempDir tmp;
    auto settings = std::make_shared<SharedSettings>();
    settings->set_history_dir(tmp.path());
    Changes change({nullptr, new_history_writer(settings, "a", "a", kRouteChangesLog),
                    new_history_writer(settings, "b", "b", kRouteChangesLog)});

    // Three tabs' states; the copy follows the one on view.
    std::vector<TraceState> tabs(3, new_monitor_state());
    std::size_t on_view = 0;
    TraceState copy;
    TraceCopyMarks marks;
    TraceState seen;  // a clone taken at the last refresh

    for (int frame = 0; frame < 8000; ++frame) {
        SCOPED_TRACE("frame " + std::to_string(frame));
        ASSERT_TRUE(copy == seen) << "the copy changed with its source between refreshes";
        change.log.clear();
        for (std::size_t n = change.pick(5); n > 0; --n) {
            // Mostly the state on view; changes to the others show after a switch.
            TraceState& st = tabs[change.one_in(4) ? change.pick(tabs.size()) : on_view];
            switch (change.pick(25)) {
            case 0: case 1: case 2: case 3: case 4: case 5: case 6: change.samples(st); break;
            case 7: case 8: change.address(st); break;
            case 9: case 10: change.lookup(st); break;
            case 11: change.host_texts(st); break;
            case 12: change.rebuild(st); break;
            case 13: change.shuffle(st); break;
            case 14: change.seek(st); break;
            case 15: case 16: change.event(st); break;
            case 17: case 18: change.top(st); break;
            case 19: change.restart(st); break;
            case 20: change.touch_copy(copy); break;
            case 21: st.hops.clear(); change.log += "clear hops; "; break;
            case 22: {
                // Another tab takes the state over; the emptied one stays.
                TraceState& other = tabs[change.pick(tabs.size())];
                if (&other != &st) other = std::move(st);
                change.log += "state moved; ";
                break;
            }
            default:
                on_view = change.pick(tabs.size());
                change.log += "switch; ";
                break;
            }
        }
        const TraceState& source = tabs[on_view];
        refresh_trace_copy(source, copy, marks);
        ASSERT_TRUE(copy == source) << change.log;
        ASSERT_EQ(copy.writer, source.writer);
        seen = clone_trace_state(source);
        ASSERT_TRUE(seen == source) << "the clone itself";
    }
}

}  // namespace
}  // namespace corvane
