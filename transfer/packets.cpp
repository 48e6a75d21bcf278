#include "transfer/packets.h"

#include <algorithm>
#include <array>

#include "transfer/transfer_texts.h"

namespace kestrel {

Result SendPacketWith(SerialLink& link, PacketType type, std::span<const std::uint8_t> payload) {
    Packet& packet = link.packet;
    packet.type = type;
    packet.length = static_cast<std::uint16_t>(payload.size());
    std::copy(payload.begin(), payload.end(), packet.Room().begin());
    return SendPacket(link);
}

Result SendStart(SerialLink& link) {
    // Spaces, with the banner at bytes 45 to 53.
    Packet& packet = link.packet;
    packet.type = PacketType::Start;
    packet.length = 100;
    const std::span<std::uint8_t> payload = packet.Room();
    std::fill_n(payload.begin(), packet.length, std::uint8_t{0x20});
    std::copy(texts::kStartBanner.begin(), texts::kStartBanner.end(), payload.begin() + 45);
    return SendPacket(link, Readiness::skipToEnq);
}

Result SendDirectory(SerialLink& link, std::string_view directory) {
    Packet& packet = link.packet;
    packet.type = PacketType::Directory;
    const std::span<std::uint8_t> payload = packet.Room();
    payload[0] = '/';
    std::copy(directory.begin(), directory.end(), payload.begin() + 1);
    payload[directory.size() + 1] = 0;
    packet.length = static_cast<std::uint16_t>(directory.size() + 2);
    return SendPacket(link);
}

Result SendEmptyPacket(SerialLink& link, PacketType type) {
    return SendPacketWith(link, type, {});
}

Result CloseHandheldSession(TransferRun& run) {
    if (Result sent = SendEmptyPacket(run.link, PacketType::EndSession); !sent.IsOk()) return sent;
    std::uint8_t closing = 0;
    Result read = ReadByte(run.link, closing);
    if (read.GetKind() == Result::Kind::cancelled) return read;
    if (!read.IsOk()) run.status.ShowStatus(read.Reason());
    return Result::Ok();
}

}  // namespace kestrel
