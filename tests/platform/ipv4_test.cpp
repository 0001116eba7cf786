#include <gtest/gtest.h>

#include <string>

#include "platform/ipv4.h"
#include "platform/os_error.h"

namespace corvane {
namespace {

TEST(Ipv4Addr, ParsesOnlyPlainDottedDecimal) {
    EXPECT_EQ(Ipv4Addr::parse("192.168.1.1"), Ipv4Addr(192, 168, 1, 1));
    EXPECT_EQ(Ipv4Addr::parse("0.0.0.0"), Ipv4Addr(0, 0, 0, 0));
    EXPECT_EQ(Ipv4Addr::parse("255.255.255.255"), Ipv4Addr(255, 255, 255, 255));
    // Forms a resolver would accept but a user doesn't mean as an address.
    for (const char* bad : {"", "1.2.3", "1.2.3.4.5", "256.1.1.1", "127.1", "0x7f.0.0.1", "10.0.0.010",
                            " 1.2.3.4", "1.2.3.4 ", "a.b.c.d", "1.2.3.4/24", "::1", "1.2.3.4444"}) {
        EXPECT_FALSE(Ipv4Addr::parse(bad)) << bad;
    }
    EXPECT_FALSE(Ipv4Addr::parse(std::string("10.77.100.1\0junk", 16)));
}

TEST(Ipv4Addr, RoundTripsThroughTextAndNumber) {
    const Ipv4Addr a(10, 77, 0, 254);
    EXPECT_EQ(a.to_string(), "10.77.0.254");
    EXPECT_EQ(a.to_u32(), 0x0A4D00FEu);
    EXPECT_EQ(Ipv4Addr::from_u32(a.to_u32()), a);
    EXPECT_LT(Ipv4Addr(9, 255, 255, 255), Ipv4Addr(10, 0, 0, 0));
}

TEST(OsErrorText, AppendsTheCode) {
    EXPECT_EQ(os_error_text(2), "No such file or directory (os error 2)");
    EXPECT_EQ(os_error_text(13), "Permission denied (os error 13)");
}

}  // namespace
}  // namespace corvane
