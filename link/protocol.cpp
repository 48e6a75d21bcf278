#include "link/protocol.h"

#include <utility>

#include "text/texts.h"

namespace kestrel {
namespace {

// Reads are unbounded only while waiting for the greeting: the user may take
// a while to put the handheld into transfer mode. After that a silent
// handheld fails the read instead of hanging the transfer.
Silence ReadBound(const SerialLink& link) {
    if (!link.greeted) return std::nullopt;
    return link.silenceBound;
}

}  // namespace

Result WriteBytes(SerialLink& link, std::span<const std::uint8_t> bytes) {
    return link.port.Write(bytes);
}

Result WriteByte(SerialLink& link, std::uint8_t byte) {
    return WriteBytes(link, std::span<const std::uint8_t>(&byte, 1));
}

Result ReadBytes(SerialLink& link, std::span<std::uint8_t> bytes) {
    return link.port.Read(bytes, ReadBound(link));
}

Result ReadByte(SerialLink& link, std::uint8_t& byte) {
    return ReadBytes(link, std::span<std::uint8_t>(&byte, 1));
}

namespace {

// A greeting byte; the first wait wakes once after a quiet spell to say so.
Result ReadGreetingByte(SerialLink& link, std::uint8_t& byte) {
    if (link.onQuietGreeting) {
        Result read = link.port.Read(std::span<std::uint8_t>(&byte, 1), link.quietGreeting);
        if (read.GetKind() != Result::Kind::timedOut) {
            link.onQuietGreeting = nullptr;  // the handheld is heard: nothing to say
            return read;
        }
        std::exchange(link.onQuietGreeting, nullptr)();
    }
    return ReadByte(link, byte);
}

}  // namespace

Result Handshake(SerialLink& link) {
    int state = 0;  // how much of W, Q, X has been seen
    for (;;) {
        std::uint8_t byte = 0;
        if (Result read = ReadGreetingByte(link, byte); !read.IsOk()) return read;
        if (byte == control::kGreetX && state == 2) {
            Result done = WriteByte(link, control::kGreetDone);
            link.greeted = done.IsOk();
            return done;
        }
        if (byte == control::kGreetW) {
            state = 1;
        } else if (byte == control::kGreetQ && state == 1) {
            state = 2;
        } else {
            state = 0;
        }
        if (Result answered = WriteByte(link, control::kGreetNotYet); !answered.IsOk()) {
            return answered;
        }
    }
}

namespace {

Result AwaitReady(SerialLink& link, Readiness readiness) {
    std::uint8_t byte = 0;
    if (Result read = ReadByte(link, byte); !read.IsOk()) return read;
    // A failed port ends the skipping too: the read above fails then.
    while (readiness == Readiness::skipToEnq && byte != control::kEnq) {
        if (Result read = ReadByte(link, byte); !read.IsOk()) return read;
    }
    if (byte != control::kEnq) return Result::Failed(texts::kBadResponse);
    return Result::Ok();
}

}  // namespace

Result SendPacket(SerialLink& link, Readiness readiness) {
    if (Result ready = AwaitReady(link, readiness); !ready.IsOk()) return ready;
    if (Result sent = WriteBytes(link, link.packet.Frame()); !sent.IsOk()) return sent;
    if (link.packet.length == 0) return Result::Ok();  // no reply to an empty packet
    std::uint8_t reply = 0;
    if (Result read = ReadByte(link, reply); !read.IsOk()) return read;
    switch (reply) {
        case control::kAccepted:
            return Result::Ok();
        case control::kRefused:
            return Result::Refused(texts::kHandheldRefused);
        default:
            return Result::Failed(texts::kBadResponse);
    }
}

ResultOf<std::span<const std::uint8_t>> ReceiveDataPacket(SerialLink& link) {
    Packet& packet = link.packet;
    std::uint8_t lead = 0;
    if (Result read = ReadByte(link, lead); !read.IsOk()) return read;
    if (lead != control::kDataLead) return Result::Failed(texts::kBadResponse);
    if (Result acked = WriteByte(link, control::kAck); !acked.IsOk()) return acked;
    std::array<std::uint8_t, 2> lengthBytes{};
    if (Result read = ReadBytes(link, lengthBytes); !read.IsOk()) return read;
    const auto length = static_cast<std::uint16_t>(lengthBytes[0] | (lengthBytes[1] << 8U));
    // More than the buffer holds: refused before any of it is read.
    if (length > Packet::kMaxDataLength) return Result::Failed(texts::kReceiveError);
    packet.length = length;
    if (length == 0) return packet.Payload();
    const std::span<std::uint8_t> body = packet.Room().first(length + 1U);
    if (Result read = ReadBytes(link, body); !read.IsOk()) return read;
    if (Result acked = WriteByte(link, control::kAck); !acked.IsOk()) return acked;
    if (Checksum(body) != 0) return Result::Failed(texts::kChecksumError);
    return packet.Payload();
}

}  // namespace kestrel
