#include "ui/key_input.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

using Ev = KeyReleaseHold::Event;

TEST(KeyReleaseHold, ReleaseInThePressFrameWaitsOneFrame) {
    struct Step {
        int key;
        bool down;
        bool delivered;
    };
    struct Case {
        const char* name;
        std::vector<Step> frame;
        std::vector<Ev> held;
    } cases[] = {
        {"tap within one poll", {{84, true, true}, {84, false, false}}, {{84, false}}},
        {"press only", {{84, true, true}}, {}},
        {"release of an older press", {{84, false, true}}, {}},
        {"two taps hold one release", {{84, true, true}, {84, false, false}, {84, true, true}, {84, false, false}}, {{84, false}}},
        {"press after held release cancels it", {{84, true, true}, {84, false, false}, {84, true, true}}, {}},
        {"independent keys", {{84, true, true}, {49, true, true}, {49, false, false}}, {{49, false}}},
    };
    for (const Case& c : cases) {
        KeyReleaseHold hold;
        for (const Step& s : c.frame) EXPECT_EQ(hold.on_key(s.key, s.down), s.delivered) << c.name;
        EXPECT_EQ(hold.end_frame(), c.held) << c.name;
        // The next frame starts clean: a release now goes straight through.
        EXPECT_TRUE(hold.end_frame().empty()) << c.name;
        EXPECT_TRUE(hold.on_key(84, false)) << c.name;
    }
}

}  // namespace
}  // namespace corvane
