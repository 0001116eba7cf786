// The unit suites' guard (tests/support/unit): clearing a test's scripted
// names or echoes brings the guard back, never the machine's resolver or
// network.
#include "support/unit/network_guard.h"

#include <gtest/gtest.h>

#include <typeinfo>

#include "engine/echo.h"
#include "engine/reverse_lookup.h"
#include "engine/test_seam_slot.h"

namespace corvane {
namespace {

TEST(NetworkGuard, ClearedSeamsLookNothingUpAndSendNothingButToLoopback) {
    set_reverse_resolver({});
    set_name_resolver({});
    set_icmp_handle_factory({});
    // Without the guard what follows would reach the network: stop first.
    ASSERT_TRUE(SeamSlot<ReverseResolver>::instance().get());
    ASSERT_TRUE(SeamSlot<NameResolver>::instance().get());
    const std::unique_ptr<IcmpHandle> guarded = open_icmp_handle();
    ASSERT_NE(typeid(*guarded), typeid(*open_system_icmp_handle()));
    // A factory that yields nothing falls back on the guard too.
    set_icmp_handle_factory([] { return std::unique_ptr<IcmpHandle>{}; });
    const std::unique_ptr<IcmpHandle> fallback = open_icmp_handle();
    set_icmp_handle_factory({});
    ASSERT_EQ(typeid(*fallback), typeid(*guarded));

    const Ipv4Addr addr(192, 0, 2, 1);
    EXPECT_EQ(reverse_lookup_name(addr), "");
    EXPECT_EQ(resolve_ipv4("guard-check.invalid"), std::nullopt);
    EXPECT_EQ(resolve_ipv4("192.0.2.1"), addr);  // a literal is no lookup
    EXPECT_TRUE(guarded->echo(addr, 64).failed);
    if (guarded->valid()) {
        EXPECT_FALSE(guarded->echo(Ipv4Addr(127, 0, 0, 1), 64).failed);
    }
    EXPECT_EQ(test::take_network_attempts(),
              (std::vector<std::string>{"a reverse lookup of 192.0.2.1", "a lookup of the name \"guard-check.invalid\"",
                                        "an echo to 192.0.2.1"}));
}

}  // namespace
}  // namespace corvane
