// The PC's side of the line, fed whatever a handheld (or a bad cable) might
// send. The input's first byte chooses the course (greeting or not, waiting
// for the first 0x05 or not, a send's packets or a receive's); the rest is
// the line, and reads give up at once when it is used up, so nothing waits.
#include <chrono>

#include "fuzz/fuzz_targets.h"
#include "link/memory_port.h"
#include "link/protocol.h"

namespace kestrel::fuzz {
namespace {

bool Send(SerialLink& link, PacketType type, std::size_t length,
          Readiness readiness = Readiness::enqFirst) {
    link.packet.type = type;
    link.packet.length = static_cast<std::uint16_t>(length);
    std::fill_n(link.packet.Room().begin(), length, std::uint8_t{0x61});
    const Result result = SendPacket(link, readiness);
    Require(length > 0 || result.GetKind() != Result::Kind::refused,
            "an empty packet is never refused");
    Require(result.IsOk() || !result.Reason().empty(), "a failure says why");
    return result.IsOk();
}

// A ReadRequest, asked again after every refusal as a receive does, then its
// data packet; false once the receive cannot go on.
bool ReceiveChunk(SerialLink& link, bool& last) {
    for (;;) {
        link.packet.type = PacketType::ReadRequest;
        link.packet.length = 2;
        link.packet.Room()[0] = 0x00;
        link.packet.Room()[1] = 0x04;
        const Result asked = SendPacket(link);
        if (asked.IsOk()) break;
        if (asked.GetKind() != Result::Kind::refused) return false;
        if (!WriteByte(link, control::kRetryFirst).IsOk()) return false;
        if (!WriteByte(link, control::kRetrySecond).IsOk()) return false;
    }
    const ResultOf<std::span<const std::uint8_t>> data = ReceiveDataPacket(link);
    if (!data.IsOk()) return false;
    const std::size_t length = data.Value().size();
    Require(length <= Packet::kMaxDataLength, "a data packet fits the buffer");
    Require(length == 0 || Checksum(link.packet.Room().first(length + 1U)) == 0,
            "a data packet that passed has a matching checksum");
    last = length < 1024;
    return true;
}

bool Course(SerialLink& link, bool send) {
    if (send) {
        for (const auto& [type, length] : {std::pair{PacketType::Directory, 6},
                                           {PacketType::NewFile, 8},
                                           {PacketType::Data, 1024}}) {
            if (!Send(link, type, static_cast<std::size_t>(length))) return false;
        }
        return true;
    }
    if (!Send(link, PacketType::Directory, 8) || !Send(link, PacketType::OpenFile, 8)) return false;
    for (bool last = false; !last;) {
        if (!ReceiveChunk(link, last)) return false;
    }
    return true;
}

}  // namespace

void FuzzLinkReceive(Input input) {
    if (input.empty()) return;
    auto [pc, handheld] = MakeMemoryPortPair();
    Require(handheld->Write(input.subspan(1)).IsOk(), "the line takes the input");
    SerialLink link(*pc);
    link.greeted = true;  // every read bounded, and the bound is nil
    link.silenceBound = std::chrono::milliseconds(0);
    const bool greet = (input[0] & 2U) != 0, send = (input[0] & 4U) != 0;
    if (greet && !Handshake(link).IsOk()) return;
    const Readiness first = (input[0] & 1U) != 0 ? Readiness::skipToEnq : Readiness::enqFirst;
    if (!Send(link, PacketType::Start, 100, first) || !Course(link, send)) return;
    if (!Send(link, PacketType::EndOfFile, 0) || !Send(link, PacketType::EndSession, 0)) return;
    std::uint8_t closing = 0;
    (void)ReadByte(link, closing);
}

}  // namespace kestrel::fuzz
