// The PC's side of the line, fed whatever a handheld (or a bad cable) might
// send: the greeting, readiness bytes, reply bytes and data packets. The
// input's first byte chooses the course (greeting or not, waiting for the
// first 0x05 or not, a send's packets or a receive's); the rest is the line.
// The line holds only the input, and reads give up at once when it is used
// up, so every course ends and nothing waits.
#include <algorithm>
#include <array>
#include <chrono>
#include <string_view>

#include "fuzz/fuzz_targets.h"
#include "link/memory_port.h"
#include "link/protocol.h"

namespace kestrel::fuzz {
namespace {

bool Send(SerialLink& link, PacketType type, std::size_t length, std::uint8_t fill,
          Readiness readiness = Readiness::enqFirst) {
    Packet& packet = link.packet;
    packet.type = type;
    packet.length = static_cast<std::uint16_t>(length);
    std::fill_n(packet.payload.begin(), length, fill);
    const Result result = SendPacket(link, readiness);
    Require(length > 0 || result.GetKind() != Result::Kind::refused,
            "an empty packet is never refused");
    Require(result.IsOk() || !result.Reason().empty(), "a failure says why");
    return result.IsOk();
}

enum class Chunk { failed, last, more };

// A data packet that passed is one the buffer holds, with a matching checksum.
Chunk ReceiveChunk(SerialLink& link) {
    if (!ReceiveDataPacket(link).IsOk()) return Chunk::failed;
    const Packet& packet = link.packet;
    Require(packet.length <= Packet::kMaxDataLength, "a data packet fits the buffer");
    if (packet.length > 0) {
        const auto body = std::span(packet.payload).first(packet.length + 1U);
        Require(Checksum(body) == 0, "a data packet that passed has a matching checksum");
    }
    return packet.length >= 1024 ? Chunk::more : Chunk::last;
}

// A ReadRequest, asked again after every refusal as a receive does.
bool AskForChunk(SerialLink& link) {
    for (;;) {
        link.packet = Packet{PacketType::ReadRequest, 2, {0x00, 0x04}};
        const Result asked = SendPacket(link);
        if (asked.GetKind() != Result::Kind::refused) return asked.IsOk();
        if (!WriteByte(link, control::kRetryFirst).IsOk()) return false;
        if (!WriteByte(link, control::kRetrySecond).IsOk()) return false;
    }
}

void ReceiveCourse(SerialLink& link, Readiness first) {
    if (!Send(link, PacketType::Start, 100, 0x20, first)) return;
    for (const PacketType type : {PacketType::Directory, PacketType::OpenFile}) {
        if (!Send(link, type, 8, 0x20)) return;
    }
    for (;;) {
        if (!AskForChunk(link)) return;
        const Chunk chunk = ReceiveChunk(link);
        if (chunk == Chunk::failed) return;
        if (chunk == Chunk::last) break;
    }
    if (!Send(link, PacketType::EndOfFile, 0, 0)) return;
    if (!Send(link, PacketType::EndSession, 0, 0)) return;
    std::uint8_t closing = 0;
    (void)ReadByte(link, closing);
}

void SendCourse(SerialLink& link, Readiness first) {
    if (!Send(link, PacketType::Start, 100, 0x61, first)) return;
    static constexpr std::array<std::pair<PacketType, std::size_t>, 5> kPackets = {{
        {PacketType::Directory, 6},
        {PacketType::NewFile, 8},
        {PacketType::Data, 1024},
        {PacketType::EndOfFile, 0},
        {PacketType::EndSession, 0},
    }};
    for (const auto& [type, length] : kPackets) {
        if (!Send(link, type, length, 0x61)) return;
    }
    std::uint8_t closing = 0;
    (void)ReadByte(link, closing);
}

}  // namespace

void FuzzLinkReceive(Input input) {
    if (input.empty()) return;
    const std::uint8_t course = input[0];
    auto [pc, handheld] = MakeMemoryPortPair();
    Require(handheld->Write(input.subspan(1)) == IoStatus::ok, "the line takes the input");

    SerialLink link(*pc);
    link.greeted = true;  // every read bounded, and the bound is nil: nothing waits
    link.silenceBound = std::chrono::milliseconds(0);
    const Readiness first = (course & 1U) != 0 ? Readiness::skipToEnq : Readiness::enqFirst;
    if ((course & 2U) != 0 && !Handshake(link).IsOk()) return;
    if ((course & 4U) != 0) {
        SendCourse(link, first);
    } else {
        ReceiveCourse(link, first);
    }
}

}  // namespace kestrel::fuzz
