// The PC side of the link against a scripted handheld: the handheld's bytes
// are queued on the line before each step, and what the PC wrote is compared
// byte for byte afterwards.

#include "link/protocol.h"

#include <gtest/gtest.h>

#include <thread>

#include "link/link_texts.h"
#include "link/memory_port.h"
#include "tests/support/bytes.h"
#include "tests/support/recording_status.h"

namespace kestrel {
namespace {

using test::Bytes;
using test::Hex;

class ProtocolTest : public ::testing::Test {
  protected:
    ProtocolTest() : ends_(MakeMemoryPortPair()), link_(*ends_.first, status_) {
        link_.silenceBound = std::chrono::milliseconds(50);
    }

    void Handheld(const Bytes& bytes) { ASSERT_EQ(ends_.second->Write(bytes), IoStatus::ok); }
    Bytes PcWrote() { return test::Drain(*ends_.second); }
    void SetPacket(PacketType type, const Bytes& payload) {
        link_.packet.type = type;
        link_.packet.length = static_cast<std::uint16_t>(payload.size());
        std::copy(payload.begin(), payload.end(), link_.packet.payload.begin());
    }

    test::RecordingStatus status_;
    std::pair<std::unique_ptr<MemoryPort>, std::unique_ptr<MemoryPort>> ends_;
    SerialLink link_;
};

TEST_F(ProtocolTest, HandshakeAnswersEveryByteAndRestartsOnBytesOutOfSequence) {
    // Every byte but the closing X gets B3. W X resets; an X without W Q
    // before it does not complete; Q alone does not count; W W Q X greets.
    Handheld(Hex("57 58 51 58 00 57 51 57 57 51 58"));
    EXPECT_EQ(Handshake(link_), LinkResult::ok);
    EXPECT_EQ(PcWrote(), Hex("B3 B3 B3 B3 B3 B3 B3 B3 B3 B3 4C"));
    EXPECT_TRUE(link_.greeted);
}

TEST_F(ProtocolTest, HandshakeWaitsForTheUserWithoutLimit) {
    // The greeting may come long after the silence bound: it must still be answered.
    std::thread late([this] {
        std::this_thread::sleep_for(link_.silenceBound * 3);
        Handheld(Hex("57 51 58"));
    });
    EXPECT_EQ(Handshake(link_), LinkResult::ok);
    late.join();
    EXPECT_EQ(PcWrote(), Hex("B3 B3 4C"));
}

TEST_F(ProtocolTest, HandshakeFailsWhenTheLineHangsUp) {
    Handheld(Hex("57"));
    ends_.second->HangUp();
    EXPECT_EQ(Handshake(link_), LinkResult::failed);
    EXPECT_EQ(status_.Last(), texts::kSendError);
}

TEST_F(ProtocolTest, EmptyPacketIsThreeBytesAndReadsNoReply) {
    link_.flags.waitForEnq = false;
    SetPacket(PacketType::EndOfFile, {});
    Handheld(Hex("05 4F"));
    EXPECT_EQ(SendPacket(link_), SendResult::accepted);
    EXPECT_EQ(PcWrote(), Hex("05 00 00"));
    // The 'O' was not consumed as a reply.
    std::uint8_t left = 0;
    EXPECT_EQ(ends_.first->Read({&left, 1}, std::chrono::milliseconds(0)), IoStatus::ok);
    EXPECT_EQ(left, 0x4F);
}

TEST_F(ProtocolTest, PacketCarriesItsXorChecksumAndTheReplyDecidesTheResult) {
    link_.flags.waitForEnq = false;
    SetPacket(PacketType::Data, Hex("61 62 63"));
    const struct {
        std::uint8_t reply;
        SendResult expected;
    } cases[] = {{0x4F, SendResult::accepted},
                 {0x58, SendResult::refused},
                 {0x06, SendResult::failed},
                 {0x05, SendResult::failed}};
    for (const auto& c : cases) {
        Handheld({0x05, c.reply});
        EXPECT_EQ(SendPacket(link_), c.expected) << int(c.reply);
        EXPECT_EQ(PcWrote(), Hex("04 03 00 61 62 63 60"));
    }
}

TEST_F(ProtocolTest, WaitForEnqDiscardsNoiseOnceThenRequiresEnqAtOnce) {
    link_.flags.waitForEnq = true;
    SetPacket(PacketType::EndSession, {});
    Handheld(Hex("4C 00 FF 58 05"));
    EXPECT_EQ(SendPacket(link_), SendResult::accepted);
    EXPECT_FALSE(link_.flags.waitForEnq);
    EXPECT_EQ(PcWrote(), Hex("06 00 00"));

    // The flag is spent: noise in front of the next packet fails it, and nothing is sent.
    Handheld(Hex("00 05"));
    EXPECT_EQ(SendPacket(link_), SendResult::failed);
    EXPECT_TRUE(PcWrote().empty());
}

TEST_F(ProtocolTest, ReadinessWaitEndsWhenThePortFails) {
    link_.flags.waitForEnq = true;
    SetPacket(PacketType::Start, Bytes(100, 0x20));
    Handheld(Hex("00 01 02"));
    ends_.second->HangUp();
    EXPECT_EQ(SendPacket(link_), SendResult::failed);
    EXPECT_EQ(status_.Last(), texts::kBadResponse);
    EXPECT_TRUE(PcWrote().empty());
}

TEST_F(ProtocolTest, SilentHandheldFailsAfterTheGreetingWithinTheBound) {
    link_.greeted = true;
    link_.flags.waitForEnq = true;
    SetPacket(PacketType::EndSession, {});
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(SendPacket(link_), SendResult::failed);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(status_.Last(), texts::kBadResponse);

    std::array<std::uint8_t, 4> some{};
    EXPECT_EQ(ReadBytes(link_, some), LinkResult::failed);
    EXPECT_EQ(status_.Last(), texts::kReceiveError);
}

TEST_F(ProtocolTest, DataPacketIsAcknowledgedPerPartAndChecked) {
    const struct {
        const char* handheld;
        LinkResult expected;
        const char* pcWrote;
    } cases[] = {
        {"08 03 00 61 62 63 60", LinkResult::ok, "06 06"},
        {"08 03 00 61 62 63 61", LinkResult::failed, "06 06"},  // bad checksum: both acks anyway
        {"08 00 00", LinkResult::ok, "06"},                     // empty: one ack
        {"4F 03 00", LinkResult::failed, ""},                   // wrong lead byte: no answer
    };
    for (const auto& c : cases) {
        const Bytes sent = Hex(c.handheld);
        Handheld(sent);
        EXPECT_EQ(ReceiveDataPacket(link_), c.expected) << c.handheld;
        EXPECT_EQ(PcWrote(), Hex(c.pcWrote)) << c.handheld;
        test::Drain(*ends_.first);
        if (c.expected != LinkResult::ok) continue;
        // The checksum is kept in the buffer right after the data.
        EXPECT_EQ(link_.packet.length, sent[1]) << c.handheld;
        EXPECT_EQ(Bytes(link_.packet.payload.begin(),
                        link_.packet.payload.begin() + static_cast<long>(sent.size()) - 3),
                  Bytes(sent.begin() + 3, sent.end()));
    }
}

TEST_F(ProtocolTest, OversizedDataPacketIsRefusedBeforeItsPayload) {
    // 4100 data bytes plus the checksum would not fit the buffer.
    Handheld(Hex("08 04 10"));
    Handheld(Bytes(5000, 0xAA));
    EXPECT_EQ(ReceiveDataPacket(link_), LinkResult::failed);
    EXPECT_EQ(status_.Last(), texts::kReceiveError);
    EXPECT_EQ(PcWrote(), Hex("06"));
    EXPECT_EQ(test::Drain(*ends_.first).size(), 5000U) << "payload must be left unread";
}

TEST_F(ProtocolTest, LargestDataPacketFits) {
    Bytes body(Packet::kMaxDataLength, 0x11);
    body.push_back(Checksum(body));
    Handheld(test::Concat({Hex("08 03 10"), body}));
    EXPECT_EQ(ReceiveDataPacket(link_), LinkResult::ok);
    EXPECT_EQ(link_.packet.length, Packet::kMaxDataLength);
}

TEST_F(ProtocolTest, CancelUnwindsAWaitingStep) {
    std::thread canceller([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ends_.first->Cancel();
    });
    EXPECT_THROW(Handshake(link_), TransferCancelled);
    canceller.join();
    EXPECT_TRUE(status_.Texts().empty()) << "a cancel is not a line error";
}

}  // namespace
}  // namespace kestrel
