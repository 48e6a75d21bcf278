// Each fault kind at a chosen packet, as the PC sees it. Packets of a send:
// 0 Start, 1 Directory, 2 NewFile, 3 Data, 4 EndOfFile, 5 EndSession; of a
// receive: 0 Start, 1 Directory, 2 OpenFile, 3 ReadRequest, ...
#include <gtest/gtest.h>

#include "tests/device/handheld_rig.h"

namespace kestrel::test {
namespace {

using namespace std::chrono_literals;

HandheldOptions With(FaultKind kind, std::size_t atPacket, std::size_t times = 1) {
    HandheldOptions options = CalmOptions();
    options.faults.push_back(Fault{kind, atPacket, times});
    return options;
}

// Greeting, Start, and the Directory packet of a send or receive.
void OpenIn(ScriptedPc& pc, std::string_view directory) {
    ASSERT_TRUE(pc.Open());
    ASSERT_EQ(pc.Packet(0x02, DirectoryPayload(directory)), 0x4F);
}

TEST(HandheldFaults, RefuseTurnsAwayOnlyThePacketsItCovers) {
    HandheldRig rig(With(FaultKind::refuse, 2));
    rig.ServeOneSession();
    OpenIn(rig.Pc(), "");
    EXPECT_EQ(rig.Pc().Packet(0x03, NewFilePayload("a")), 0x58);
    EXPECT_FALSE(std::filesystem::exists(rig.Root() / "a"));
    EXPECT_EQ(rig.Pc().Packet(0x03, NewFilePayload("a")), 0x4F);
    EXPECT_TRUE(std::filesystem::exists(rig.Root() / "a"));
}

TEST(HandheldFaults, RefusedReadRequestsAreAskedAgainAfterCfCb) {
    HandheldRig rig(With(FaultKind::refuse, 3, 3));
    WriteFileBytes(rig.Root() / "f", Pattern(1500));
    rig.ServeOneSession();
    ASSERT_TRUE(rig.Pc().Open());
    EXPECT_EQ(rig.Pc().FetchFile("", "f"), Pattern(1500));
    ASSERT_TRUE(rig.Pc().Close());
    EXPECT_EQ(rig.Handheld().GetTrace().Count(PacketType::ReadRequest), 3U + 2U);
}

TEST(HandheldFaults, WrongReplyReplacesTheReplyAndTheActionBehindIt) {
    HandheldRig rig(With(FaultKind::wrongReply, 1));
    rig.ServeOneSession();
    auto& pc = rig.Pc();
    ASSERT_TRUE(pc.Open());
    EXPECT_EQ(pc.Packet(0x02, DirectoryPayload("d")), 0x3F);
    ASSERT_EQ(pc.Packet(0x03, NewFilePayload("a")), 0x4F);
    EXPECT_TRUE(std::filesystem::exists(rig.Root() / "a"));  // "d" was never entered
    EXPECT_FALSE(std::filesystem::exists(rig.Root() / "d"));
}

TEST(HandheldFaults, CorruptChecksumSpoilsOnlyTheNextChunk) {
    HandheldRig rig(With(FaultKind::corruptChecksum, 3));
    const Bytes content = Pattern(2048);
    WriteFileBytes(rig.Root() / "f", content);
    rig.ServeOneSession();
    auto& pc = rig.Pc();
    OpenIn(pc, "");
    ASSERT_EQ(pc.Packet(0x07, OpenFilePayload("", "f")), 0x4F);
    for (const bool spoiled : {true, false}) {
        ASSERT_EQ(pc.Packet(0x08, ReadRequestPayload(1024)), 0x4F);
        bool checksumOk = false;
        const auto chunk = pc.ReceiveData(checksumOk);
        ASSERT_TRUE(chunk);  // the PC's two 0x06 still came, so the exchange went on
        EXPECT_EQ(checksumOk, !spoiled);
        EXPECT_EQ(chunk->size(), 1024U);
    }
}

TEST(HandheldFaults, NoiseComesBeforeTheEnqOfItsPacket) {
    HandheldRig rig(With(FaultKind::noiseBeforeEnq, 1));
    rig.ServeOneSession();
    auto& pc = rig.Pc();
    ASSERT_TRUE(pc.Open());
    for (const std::uint8_t expected : Bytes{0x00, 0x7F, 0xFF, 0x05})
        EXPECT_EQ(pc.Byte(), expected);
}

TEST(HandheldFaults, GoSilentStopsAnsweringUntilTheLineEnds) {
    HandheldRig rig(With(FaultKind::goSilent, 2));
    rig.ServeOneSession();
    OpenIn(rig.Pc(), "");
    ScriptedPc impatient(rig.PcPort(), 100ms);
    EXPECT_EQ(impatient.Packet(0x03, NewFilePayload("a")), std::nullopt);
    EXPECT_EQ(impatient.LastStatus(), IoStatus::timedOut);
    rig.PcPort().HangUp();
    EXPECT_EQ(rig.Result(), SessionEnd::wentSilent);
    EXPECT_EQ(rig.Handheld().GetTrace().packets.back().type, 0x03);
}

TEST(HandheldFaults, HangUpEndsTheLineAtItsPacket) {
    HandheldRig rig(With(FaultKind::hangUp, 3));
    rig.ServeOneSession();
    OpenIn(rig.Pc(), "");
    ASSERT_EQ(rig.Pc().Packet(0x03, NewFilePayload("a")), 0x4F);
    EXPECT_EQ(rig.Pc().Packet(0x04, {0x01}), std::nullopt);
    EXPECT_EQ(rig.Pc().LastStatus(), IoStatus::failed);
    EXPECT_EQ(rig.Result(), SessionEnd::hungUp);
}

}  // namespace
}  // namespace kestrel::test
