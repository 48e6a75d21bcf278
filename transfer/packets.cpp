#include "transfer/packets.h"

#include <algorithm>
#include <array>

#include "transfer/transfer_texts.h"

namespace kestrel {

SendResult SendPacketWith(SerialLink& link, PacketType type,
                          std::span<const std::uint8_t> payload) {
    Packet& packet = link.packet;
    packet.type = type;
    packet.length = static_cast<std::uint16_t>(payload.size());
    std::copy(payload.begin(), payload.end(), packet.payload.begin());
    return SendPacket(link);
}

SendResult SendStart(SerialLink& link) {
    // Spaces, with the banner at bytes 45 to 53.
    std::array<std::uint8_t, 100> payload{};
    payload.fill(0x20);
    std::copy(texts::kStartBanner.begin(), texts::kStartBanner.end(), payload.begin() + 45);
    return SendPacketWith(link, PacketType::Start, payload);
}

SendResult SendDirectory(SerialLink& link, std::string_view directory) {
    Packet& packet = link.packet;
    packet.type = PacketType::Directory;
    packet.payload[0] = '/';
    std::copy(directory.begin(), directory.end(), packet.payload.begin() + 1);
    packet.payload[directory.size() + 1] = 0;
    packet.length = static_cast<std::uint16_t>(directory.size() + 2);
    return SendPacket(link);
}

SendResult SendEmptyPacket(SerialLink& link, PacketType type) {
    return SendPacketWith(link, type, {});
}

LinkResult CloseHandheldSession(SerialLink& link) {
    if (SendEmptyPacket(link, PacketType::EndSession) != SendResult::accepted) {
        return LinkResult::failed;
    }
    ReadByte(link);
    return LinkResult::ok;
}

}  // namespace kestrel
