#include "engine/reverse_lookup.h"

#include <gtest/gtest.h>

#include "support/scripted_echo.h"

namespace corvane {
namespace {

using test::ScriptedNames;
using test::wait_until;

const Ipv4Addr kA{10, 0, 0, 1};
const Ipv4Addr kB{10, 0, 0, 2};

SharedTraceState state_with_hops(std::vector<std::optional<Ipv4Addr>> addrs) {
    TraceState st = new_monitor_state();
    for (const auto& a : addrs) {
        HopStats hop;
        hop.addr = a;
        st.hops.push_back(std::move(hop));
    }
    return make_shared_state(std::move(st));
}

void request(const SharedTraceState& s, std::size_t hop, Ipv4Addr addr) {
    std::lock_guard lock(s->mutex);
    request_reverse_lookup(s->state, s, hop, addr);
}

std::optional<std::string> hop_name(const SharedTraceState& s, std::size_t hop) {
    std::lock_guard lock(s->mutex);
    return s->state.hops[hop].name;
}

bool settled(const SharedTraceState& s) {
    std::lock_guard lock(s->mutex);
    return s->state.dns_pending->empty();
}

TEST(ReverseLookupName, AnswersBecomeShownNames) {
    ScriptedNames names;
    struct Case {
        const char* what;
        std::optional<std::string> answer;
        std::string shown;
    };
    const Case cases[] = {
        {"no answer", std::nullopt, ""},
        {"the address itself in dotted form", "10.0.0.1", ""},
        {"bytes that are not UTF-8", std::string("r\xff.test"), ""},
        {"an overlong encoding", std::string("\xc0\xaf.test"), ""},
        {"a truncated sequence", std::string("r\xc3"), ""},
        {"a name, kept as it is", "Core-Router.Example ", "Core-Router.Example "},
        {"a UTF-8 name", "r\xc3\xbc.test", "r\xc3\xbc.test"},
    };
    for (const auto& c : cases) {
        if (c.answer) names.set(kA, *c.answer);
        else names.set(kB, "unused");  // kA stays unanswered in the first case
        EXPECT_EQ(reverse_lookup_name(kA), c.shown) << c.what;
    }
}

TEST(ReverseLookupCache, TwoHopsWithOneAddressShareOneLookup) {
    ScriptedNames names;
    names.set(kA, "r1.test");
    names.close_gate();
    auto s = state_with_hops({kA, kA});
    request(s, 0, kA);
    request(s, 1, kA);
    ASSERT_TRUE(wait_until([&] { return names.total_calls() == 1; }));
    {
        std::lock_guard lock(s->mutex);
        EXPECT_EQ(s->state.dns_pending->count(kA), 1u);
        EXPECT_FALSE(s->state.hops[0].name);  // nothing shows before the answer
    }
    names.open_gate();
    ASSERT_TRUE(wait_until([&] { return settled(s); }));
    EXPECT_EQ(names.calls(kA), 1);
    EXPECT_EQ(hop_name(s, 0), "r1.test");
    EXPECT_EQ(hop_name(s, 1), "r1.test");
    std::lock_guard lock(s->mutex);
    EXPECT_EQ(s->state.dns_cache->at(kA), "r1.test");
}

TEST(ReverseLookupCache, CachedAnswersAreReusedAndNeverRetried) {
    ScriptedNames names;  // kA has no name: the lookup fails
    names.set(kB, "r2.test");
    auto s = state_with_hops({kA, kB});
    request(s, 0, kA);
    request(s, 1, kB);
    ASSERT_TRUE(wait_until([&] { return names.finished() == 2 && settled(s); }));
    EXPECT_EQ(hop_name(s, 0), "");

    // A later hop with the nameless address is named "" at once, and a hop
    // whose address changes back gets the cached name at once.
    {
        std::lock_guard lock(s->mutex);
        s->state.hops[0].name.reset();
        s->state.hops[1].addr = kA;
        s->state.hops[1].name.reset();
        request_reverse_lookup(s->state, s, 0, kA);
        request_reverse_lookup(s->state, s, 1, kA);
        EXPECT_EQ(s->state.hops[0].name, "");
        EXPECT_EQ(s->state.hops[1].name, "");
        s->state.hops[1].addr = kB;
        request_reverse_lookup(s->state, s, 1, kB);
        EXPECT_EQ(s->state.hops[1].name, "r2.test");
        EXPECT_TRUE(s->state.dns_pending->empty());
        // An index past the table names nothing and starts nothing.
        request_reverse_lookup(s->state, s, 7, kB);
    }
    EXPECT_EQ(names.calls(kA), 1);
    EXPECT_EQ(names.calls(kB), 1);
}

TEST(ReverseLookupCache, MissingNamesAreAskedForOnce) {
    ScriptedNames names;
    names.set(kA, "r1.test");
    auto s = state_with_hops({kA, std::nullopt, kB});
    {
        std::lock_guard lock(s->mutex);
        s->state.hops[2].name = "kept";  // already named: not asked again
    }
    start_missing_reverse_lookups(s);
    ASSERT_TRUE(wait_until([&] { return names.finished() == 1 && settled(s); }));
    start_missing_reverse_lookups(s);  // everything named now
    EXPECT_EQ(names.total_calls(), 1);
    EXPECT_EQ(hop_name(s, 0), "r1.test");
    EXPECT_EQ(hop_name(s, 1), std::nullopt);
    EXPECT_EQ(hop_name(s, 2), "kept");
}

TEST(ReverseLookupCache, ALookupIsAnsweredByTheResolverOfWhenItWasAskedFor) {
    auto s = state_with_hops({kA});
    {
        ScriptedNames names;
        names.set(kA, "r1.test");
        request(s, 0, kA);
    }  // the script is gone, as a rule before the lookup's thread runs
    ASSERT_TRUE(wait_until([&] { return settled(s); }));
    EXPECT_EQ(hop_name(s, 0), "r1.test");
}

}  // namespace
}  // namespace corvane
