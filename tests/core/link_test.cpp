// The PC's side of the link: frames, the greeting, sending a packet and
// receiving a data packet, each against a handheld's bytes queued in memory.
#include <gtest/gtest.h>

#include "link/memory_port.h"
#include "link/protocol.h"
#include "tests/support/frames.h"

namespace kestrel::test {
namespace {

using Kind = Result::Kind;

// The PC's end, noting whether each read came with a silence bound.
struct BoundsSeen : Port {
    explicit BoundsSeen(Port& port) : inner(port) {}
    Result Write(std::span<const std::uint8_t> bytes) override { return inner.Write(bytes); }
    Result Read(std::span<std::uint8_t> bytes, Silence silence) override {
        bounds += silence ? 'b' : 'u';
        return inner.Read(bytes, silence);
    }
    void Cancel() override { inner.Cancel(); }
    Port& inner;
    std::string bounds;  // b or u, a read each
};

// The handheld's bytes are queued first; reads are bounded, so a missing
// byte fails quickly instead of waiting for a greeting.
struct Line {
    explicit Line(const Bytes& handheld) {
        EXPECT_TRUE(ports.second->Write(handheld).IsOk());
        link.greeted = true;
        link.silenceBound = std::chrono::milliseconds(50);
    }
    Bytes PcWrote() { return Drain(*ports.second); }
    Bytes Unread() { return Drain(*ports.first); }

    std::pair<std::unique_ptr<MemoryPort>, std::unique_ptr<MemoryPort>> ports =
        MakeMemoryPortPair();
    BoundsSeen pc{*ports.first};
    SerialLink link{pc};
};

TEST(Link, HandshakeAnswersEveryByteAndRestartsOnASurprise) {
    const struct {
        const char* handheld;
        const char* answers;
        bool completes;
    } rows[] = {
        {"57 51 58", "B3 B3 4C", true},
        {"57 57 51 58", "B3 B3 B3 4C", true},
        {"57 58 57 51 58", "B3 B3 B3 B3 4C", true},  // W X starts again
        {"00 57 51 58", "B3 B3 B3 4C", true},
        {"57 51 51 58", "B3 B3 B3 B3", false},
        {"51 58", "B3 B3", false},
        {"57 51 57 58", "B3 B3 B3 B3", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.handheld);
        Line line(Hex(row.handheld));
        line.link.greeted = !row.completes;  // a failing row must not wait for ever
        const Result result = Handshake(line.link);
        EXPECT_EQ(result.IsOk(), row.completes);
        EXPECT_TRUE(line.link.greeted);
        EXPECT_EQ(ToHex(line.PcWrote()), ToHex(Hex(row.answers)));
        if (!row.completes) continue;
        // The user may take a while to start the handheld; after it, a silent one fails.
        EXPECT_EQ(line.pc.bounds, std::string(Hex(row.handheld).size(), 'u'));
        std::uint8_t byte = 0;
        EXPECT_EQ(ReadByte(line.link, byte).GetKind(), Kind::timedOut);
        EXPECT_EQ(line.pc.bounds.back(), 'b');
    }
}

// Each row sends a Data packet ("abc" unless it says otherwise) and checks
// the frame on the line, the result and what is left unread.
TEST(Link, SendPacketFramesWaitsForEnqAndReadsTheReply) {
    using R = Readiness;
    const Bytes abc = Hex("04 03 00 61 62 63 60"), big(300, 0x11);
    // clang-format off
    const struct {
        R readiness;
        const char* handheld;
        Kind kind;
        Bytes frame;  // what the PC wrote
        const char* unread = "";
        Bytes payload = FromText("abc");
    } rows[] = {
        {R::enqFirst, "05 4F", Kind::ok, abc},
        {R::enqFirst, "00 05 4F", Kind::failed, {}, "05 4F"},
        {R::skipToEnq, "00 7F 58 05 4F", Kind::ok, abc},
        {R::skipToEnq, "00 7F", Kind::timedOut, {}},
        {R::enqFirst, "05 58", Kind::refused, abc},
        {R::enqFirst, "05 3F", Kind::failed, abc},
        {R::enqFirst, "05", Kind::timedOut, abc},
        {R::enqFirst, "05 4F", Kind::ok, Hex("04 00 00"), "4F", {}},  // no reply to an empty packet
        {R::enqFirst, "05 4F", Kind::ok, Concat({Hex("04 2C 01"), big, {0}}), "", big},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.handheld);
        Line line(Hex(row.handheld));
        line.link.packet.type = PacketType::Data;
        line.link.packet.length = static_cast<std::uint16_t>(row.payload.size());
        std::copy(row.payload.begin(), row.payload.end(), line.link.packet.Room().begin());
        const Result result = SendPacket(line.link, row.readiness);
        EXPECT_EQ(result.GetKind(), row.kind);
        EXPECT_EQ(result.IsOk(), result.Reason().empty());
        EXPECT_EQ(ToHex(line.PcWrote()), ToHex(row.frame));
        EXPECT_EQ(ToHex(line.Unread()), row.unread);
    }
}

TEST(Link, ReceiveDataPacketAcknowledgesThenChecks) {
    Bytes largest(Packet::kMaxDataLength, 0x5A);
    largest[0] = 0x01;  // checksum 0x01 ^ (0x5A, an even number of times)
    const struct {
        const char* name;
        Bytes handheld;
        Kind kind;
        const char* acks;
        std::size_t length;
        std::size_t unread;
    } rows[] = {
        {"good", Hex("08 03 00 61 62 63 60"), Kind::ok, "06 06", 3, 0},
        {"bad checksum", Hex("08 03 00 61 62 63 61"), Kind::failed, "06 06", 3, 0},
        {"empty", Hex("08 00 00"), Kind::ok, "06", 0, 0},
        {"largest", Concat({Hex("08 03 10"), largest, {0x01}}), Kind::ok, "06 06", 4099, 0},
        {"over the buffer", Concat({Hex("08 04 10"), Bytes(4101, 0)}), Kind::failed, "06", 0, 4101},
        {"wrong lead", Hex("09 03 00 61 62 63 60"), Kind::failed, "", 0, 6},
        {"cut short", Hex("08 03 00 61 62"), Kind::timedOut, "06", 0, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Line line(row.handheld);
        const ResultOf<std::span<const std::uint8_t>> result = ReceiveDataPacket(line.link);
        EXPECT_EQ(result.GetKind(), row.kind);
        EXPECT_EQ(ToHex(line.PcWrote()), row.acks);
        EXPECT_EQ(line.Unread().size(), row.unread);
        if (result.IsOk()) {
            EXPECT_EQ(
                ToHex(Bytes(result.Value().begin(), result.Value().end())),
                ToHex(Bytes(row.handheld.begin() + 3, row.handheld.end() - (row.length > 0))));
        }
    }
}

TEST(Link, ACancelledPortEndsEveryStepAsCancelled) {
    Line line(Hex("57 51 58 05 4F 08 00 00"));
    line.ports.first->Cancel();
    EXPECT_EQ(Handshake(line.link).GetKind(), Kind::cancelled);
    EXPECT_EQ(SendPacket(line.link).GetKind(), Kind::cancelled);
    EXPECT_EQ(ReceiveDataPacket(line.link).GetKind(), Kind::cancelled);
}

}  // namespace
}  // namespace kestrel::test
