// Whole sessions between the virtual handheld and a scripted PC.
#include <gtest/gtest.h>

#include "tests/device/handheld_rig.h"

namespace kestrel::test {
namespace {

using namespace std::chrono_literals;

TEST(HandheldSession, AWholeDownloadGoesOnTheLineByteForByte) {
    Bytes start = {0x01, 0x64, 0x00};
    const Bytes startPayload = StartPayload();
    start.insert(start.end(), startPayload.begin(), startPayload.end());
    start.push_back(0x60);
    // (bytes from the handheld, the PC's answer)
    const std::vector<std::pair<Bytes, Bytes>> script = {
        {{0x57}, {0xB3}},
        {{0x51}, {0xB3}},
        {{0x58}, {0x4C}},
        {{0x05}, start},
        {{0x4F, 0x05},
         {0x02, 0x0A, 0x00, 0x2F, 0x4C, 0x61, 0x76, 0x61, 0x44, 0x61, 0x74, 0x61, 0x00, 0x25}},
        {{0x4F, 0x05}, {0x03, 0x08, 0x00, 0xEF, 0xEF, 0x61, 0x2E, 0x64, 0x61, 0x74, 0x00, 0x3E}},
        {{0x4F, 0x05}, {0x04, 0x03, 0x00, 0x61, 0x62, 0x63, 0x60}},
        {{0x4F, 0x05}, {0x05, 0x00, 0x00}},
        {{0x05}, {0x06, 0x00, 0x00}},
        {{0x04}, {}},  // the closing byte
    };
    HandheldRig rig;
    rig.ServeOneSession();
    for (const auto& [fromHandheld, fromPc] : script) {
        for (const std::uint8_t expected : fromHandheld) ASSERT_EQ(rig.Pc().Byte(), expected);
        rig.Pc().Write(fromPc);
    }
    EXPECT_EQ(rig.Result(), SessionEnd::closed);
    EXPECT_EQ(ReadFileBytes(rig.Root() / "LavaData" / "a.dat"), (Bytes{0x61, 0x62, 0x63}));
}

struct ChunkCase {
    std::size_t fileSize;
    std::vector<std::size_t> chunks;
};

class HandheldReceive : public ::testing::TestWithParam<ChunkCase> {};

TEST_P(HandheldReceive, ServesTheFileInChunksEndingShort) {
    HandheldRig rig;
    const Bytes content = Pattern(GetParam().fileSize);
    std::filesystem::create_directory(rig.Root() / "LAVA");
    WriteFileBytes(rig.Root() / "LAVA" / "a.dat", content);
    rig.ServeOneSession();
    std::vector<std::size_t> chunks;
    ASSERT_TRUE(rig.Pc().Open());
    EXPECT_EQ(rig.Pc().FetchFile("LAVA", "a.dat", &chunks), content);
    ASSERT_TRUE(rig.Pc().Close());
    EXPECT_EQ(chunks, GetParam().chunks);
}

INSTANTIATE_TEST_SUITE_P(Sizes, HandheldReceive,
                         ::testing::Values(ChunkCase{0, {0}}, ChunkCase{1500, {1024, 476}},
                                           ChunkCase{2048, {1024, 1024, 0}}));

TEST(HandheldSession, RefusesPacketsOutOfPlace) {
    HandheldRig rig;
    WriteFileBytes(rig.Root() / "f", {0x01});
    rig.ServeOneSession();
    auto& pc = rig.Pc();
    ASSERT_TRUE(pc.Handshake());
    EXPECT_EQ(pc.Packet(0x02, DirectoryPayload("")), 0x58);  // before Start
    ASSERT_EQ(pc.Packet(0x01, StartPayload()), 0x4F);
    EXPECT_EQ(pc.Packet(0x04, {0x61}), 0x58);  // no file open
    ASSERT_EQ(pc.Packet(0x03, NewFilePayload("g")), 0x4F);
    EXPECT_EQ(pc.Packet(0x04, Bytes(1025, 0x61)), 0x58);          // too long
    EXPECT_EQ(pc.Packet(0x07, OpenFilePayload("d", "f")), 0x58);  // not the current directory
    EXPECT_EQ(pc.Packet(0x07, OpenFilePayload("", "none")), 0x58);
    ASSERT_EQ(pc.Packet(0x07, OpenFilePayload("", "f")), 0x4F);
    EXPECT_EQ(pc.Packet(0x08, ReadRequestPayload(0)), 0x58);
    pc.Write({0xCF, 0xCB});
    ASSERT_TRUE(pc.Close());
}

TEST(HandheldSession, ABadChecksumIsRefusedAndNothingOfItIsStored) {
    HandheldRig rig;
    rig.ServeOneSession();
    auto& pc = rig.Pc();
    ASSERT_TRUE(pc.Open());
    ASSERT_EQ(pc.Packet(0x03, NewFilePayload("f")), 0x4F);
    Bytes spoiled = Frame(0x04, {0x61, 0x62});
    spoiled.back() ^= 0x01;
    ASSERT_TRUE(pc.SendFrame(spoiled));
    EXPECT_EQ(pc.Byte(), 0x58);
    EXPECT_EQ(pc.Packet(0x04, {0x63}), 0x4F);
    ASSERT_TRUE(pc.SendFrame(Frame(0x05, {})));
    ASSERT_TRUE(pc.Close());
    EXPECT_EQ(ReadFileBytes(rig.Root() / "f"), Bytes{0x63});
}

TEST(HandheldSession, ASilentPcIsDroppedAndGreetedAgain) {
    HandheldOptions options = CalmOptions();
    options.pcSilence = 200ms;
    HandheldRig rig(options);
    rig.ServeAll();
    auto& pc = rig.Pc();
    ASSERT_TRUE(pc.Open());
    EXPECT_EQ(pc.Byte(), 0x05);   // ready for a packet that never comes
    ASSERT_TRUE(pc.Handshake());  // the session was dropped: a new greeting
    ASSERT_EQ(pc.Packet(0x01, StartPayload()), 0x4F);
    ASSERT_TRUE(pc.SendFile("", "a", {0x01}));
    ASSERT_TRUE(pc.Close());
    rig.PcPort().HangUp();
    EXPECT_EQ(rig.Result(), SessionEnd::portFailed);
    const Trace trace = rig.Handheld().GetTrace();
    EXPECT_EQ(trace.greetings, 2U);
    EXPECT_EQ(trace.ends, (std::vector<SessionEnd>{SessionEnd::pcSilent, SessionEnd::closed,
                                                   SessionEnd::portFailed}));
}

}  // namespace
}  // namespace kestrel::test
