#include "link/protocol.h"

#include "link/link_texts.h"

namespace kestrel {
namespace {

// Reads are unbounded only while waiting for the greeting: the user may take
// a while to put the handheld into transfer mode. After that a silent
// handheld fails the read instead of hanging the transfer.
Silence ReadBound(const SerialLink& link) {
    if (!link.greeted) return std::nullopt;
    return link.silenceBound;
}

void ThrowIfCancelled(IoStatus status) {
    if (status == IoStatus::cancelled) throw TransferCancelled();
}

}  // namespace

LinkResult WriteBytes(SerialLink& link, std::span<const std::uint8_t> bytes) {
    const IoStatus status = link.port.Write(bytes);
    ThrowIfCancelled(status);
    if (status == IoStatus::ok) return LinkResult::ok;
    link.status.ShowStatus(texts::kSendError);
    return LinkResult::failed;
}

LinkResult WriteByte(SerialLink& link, std::uint8_t byte) {
    return WriteBytes(link, std::span<const std::uint8_t>(&byte, 1));
}

LinkResult ReadBytes(SerialLink& link, std::span<std::uint8_t> bytes) {
    const IoStatus status = link.port.Read(bytes, ReadBound(link));
    ThrowIfCancelled(status);
    if (status == IoStatus::ok) return LinkResult::ok;
    link.status.ShowStatus(texts::kReceiveError);
    return LinkResult::failed;
}

int ReadByte(SerialLink& link) {
    std::uint8_t byte = 0;
    const IoStatus status = link.port.Read(std::span<std::uint8_t>(&byte, 1), ReadBound(link));
    ThrowIfCancelled(status);
    if (status == IoStatus::ok) return byte;
    link.status.ShowStatus(texts::kBadResponse);
    return kReadFailed;
}

LinkResult Handshake(SerialLink& link) {
    int state = 0;  // how much of W, Q, X has been seen
    for (;;) {
        const int byte = ReadByte(link);
        if (byte == kReadFailed) return LinkResult::failed;
        if (byte == control::kGreetX && state == 2) {
            if (WriteByte(link, control::kGreetDone) != LinkResult::ok) return LinkResult::failed;
            link.greeted = true;
            return LinkResult::ok;
        }
        if (byte == control::kGreetW) {
            state = 1;
        } else if (byte == control::kGreetQ && state == 1) {
            state = 2;
        } else {
            state = 0;
        }
        if (WriteByte(link, control::kGreetNotYet) != LinkResult::ok) return LinkResult::failed;
    }
}

namespace {

// The handheld's 0x05 in front of every PC packet. After a greeting or a
// session start the handheld may send other bytes first; those are skipped
// once, when waitForEnq is set.
bool AwaitReady(SerialLink& link) {
    if (link.flags.waitForEnq) {
        link.flags.waitForEnq = false;
        for (;;) {
            const int byte = ReadByte(link);
            if (byte == kReadFailed) return false;  // a failed port ends the wait
            if (byte == control::kEnq) return true;
        }
    }
    return ReadByte(link) == control::kEnq;
}

}  // namespace

SendResult SendPacket(SerialLink& link) {
    const std::vector<std::uint8_t> frame = FramePacket(link.packet);
    if (!AwaitReady(link)) return SendResult::failed;
    if (WriteBytes(link, frame) != LinkResult::ok) return SendResult::failed;
    if (link.packet.length == 0) return SendResult::accepted;  // no reply to an empty packet
    switch (ReadByte(link)) {
        case control::kAccepted:
            return SendResult::accepted;
        case control::kRefused:
            return SendResult::refused;
        default:
            return SendResult::failed;
    }
}

LinkResult ReceiveDataPacket(SerialLink& link) {
    Packet& packet = link.packet;
    if (ReadByte(link) != control::kDataLead) return LinkResult::failed;
    if (WriteByte(link, control::kAck) != LinkResult::ok) return LinkResult::failed;
    std::array<std::uint8_t, 2> lengthBytes{};
    if (ReadBytes(link, lengthBytes) != LinkResult::ok) return LinkResult::failed;
    const auto length = static_cast<std::uint16_t>(lengthBytes[0] | (lengthBytes[1] << 8U));
    if (length > Packet::kMaxDataLength) {
        // More than the buffer holds: refuse before reading any of it.
        link.status.ShowStatus(texts::kReceiveError);
        return LinkResult::failed;
    }
    packet.length = length;
    if (length == 0) return LinkResult::ok;
    const std::span<std::uint8_t> body(packet.payload.data(), length + 1U);
    if (ReadBytes(link, body) != LinkResult::ok) return LinkResult::failed;
    if (WriteByte(link, control::kAck) != LinkResult::ok) return LinkResult::failed;
    return Checksum(body) == 0 ? LinkResult::ok : LinkResult::failed;
}

}  // namespace kestrel
