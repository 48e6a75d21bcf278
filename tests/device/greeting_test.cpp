// The handheld's greeting as a PC sees it: late, stray and wrong answers.
#include <gtest/gtest.h>

#include "tests/device/handheld_rig.h"

namespace kestrel::test {
namespace {

using namespace std::chrono_literals;

TEST(HandheldGreeting, RepeatsAnUnansweredByteForAPcThatOpensLate) {
    HandheldOptions options = CalmOptions();
    options.greetingRepeat = 10ms;
    HandheldRig rig(options);
    rig.ServeOneSession();
    auto& pc = rig.Pc();
    EXPECT_EQ(pc.Byte(), 0x57);
    EXPECT_EQ(pc.Byte(), 0x57);  // sent again, as nobody answered
    ASSERT_TRUE(pc.Open());
    ASSERT_TRUE(pc.Close());
    EXPECT_EQ(rig.Result(), SessionEnd::closed);
    EXPECT_EQ(rig.Handheld().GetTrace().greetings, 1U);
}

TEST(HandheldGreeting, ToleratesStrayBytesAndAnswers) {
    HandheldRig rig;
    rig.ServeOneSession();
    auto& pc = rig.Pc();
    pc.Write({0x00, 0xB3, 0xB3, 0x4F});  // left over from an earlier run
    ASSERT_TRUE(pc.Open());
    ASSERT_TRUE(pc.Close());
    EXPECT_EQ(rig.Result(), SessionEnd::closed);
    const Trace trace = rig.Handheld().GetTrace();
    EXPECT_EQ(trace.greetings, 1U);
    EXPECT_EQ(trace.Count(PacketType::Start), 1U);
}

TEST(HandheldGreeting, AWrongAnswerStartsAgainFromW) {
    HandheldRig rig;
    rig.ServeOneSession();
    // (byte from the handheld, the PC's answer)
    const std::vector<std::pair<std::uint8_t, std::uint8_t>> exchange = {
        {0x57, 0xB3}, {0x51, 0x00},                // a wrong answer to Q
        {0x57, 0xB3}, {0x51, 0xB3}, {0x58, 0xB3},  // an X answered with 0xB3 is no greeting
        {0x57, 0xB3}, {0x51, 0xB3}, {0x58, 0x4C},
    };
    for (const auto& [sent, answer] : exchange) {
        ASSERT_EQ(rig.Pc().Byte(), sent);
        rig.Pc().Write({answer});
    }
    EXPECT_EQ(rig.Pc().Byte(), 0x05);
    EXPECT_EQ(rig.Handheld().GetTrace().greetings, 1U);
}

}  // namespace
}  // namespace kestrel::test
