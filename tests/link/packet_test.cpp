#include "link/packet.h"

#include <gtest/gtest.h>

#include "tests/support/bytes.h"

namespace kestrel {
namespace {

using test::Hex;

TEST(PacketFrame, LengthIsLittleEndianAndEmptyPacketsHaveNoChecksum) {
    Packet packet;
    packet.type = PacketType::Data;
    packet.length = 0x0400;
    const auto frame = FramePacket(packet);
    ASSERT_EQ(frame.size(), 3U + 0x400U + 1U);
    EXPECT_EQ(frame[1], 0x00);
    EXPECT_EQ(frame[2], 0x04);

    packet.type = PacketType::EndSession;
    packet.length = 0;
    EXPECT_EQ(FramePacket(packet), Hex("06 00 00"));
}

TEST(PacketFrame, TypeNamesCoverTheCodesAndNothingElse) {
    EXPECT_EQ(PacketTypeName(1), "Start");
    EXPECT_EQ(PacketTypeName(8), "ReadRequest");
    EXPECT_EQ(PacketTypeName(0), "?");
    EXPECT_EQ(PacketTypeName(9), "?");
}

}  // namespace
}  // namespace kestrel
