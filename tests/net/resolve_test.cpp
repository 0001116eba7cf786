// resolve_ipv4 inside the test bed, whose hosts file is the only name source
// (nsswitch "hosts: files"), so no lookup leaves the machine.
#include <gtest/gtest.h>

#include "engine/echo.h"
#include "support/net_support.h"

namespace corvane::test {
namespace {

TEST(ResolveIpv4, LiteralsNamesAndFailures) {
    CORVANE_REQUIRE_NETBED();
    using Want = std::optional<Ipv4Addr>;
    struct Case {
        std::string text;
        Want want;
    } cases[] = {
        {"10.77.100.1", Ipv4Addr(10, 77, 100, 1)},
        {"0.0.0.0", Ipv4Addr(0, 0, 0, 0)},
        {"255.255.255.255", Ipv4Addr(255, 255, 255, 255)},
        {"::1", std::nullopt},
        {"fd77::1", std::nullopt},
        {"::ffff:10.77.100.1", std::nullopt},  // an IPv6 literal even when it embeds an IPv4 one
        {kSimDestName, Ipv4Addr(10, 77, 100, 1)},
        {"hop3.sim.test", Ipv4Addr(10, 77, 1, 3)},
        {kChainDestName, Ipv4Addr(10, 91, 4, 2)},
        {kUnknownName, std::nullopt},
        {kV6OnlyName, std::nullopt},
        {"", std::nullopt},
        {std::string(kSimDestName) + std::string(1, '\0') + "junk", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(resolve_ipv4(c.text), c.want) << "'" << c.text << "'";
}

}  // namespace
}  // namespace corvane::test
