#pragma once
// Filling the run's packet buffer for each packet the PC sends, and sending it.

#include <cstdint>
#include <span>
#include <string_view>

#include "link/protocol.h"

namespace kestrel {

// Puts type and payload into the link's packet and sends it.
SendResult SendPacketWith(SerialLink& link, PacketType type, std::span<const std::uint8_t> payload);

SendResult SendStart(SerialLink& link);  // 100 bytes with the banner
SendResult SendDirectory(SerialLink& link, std::string_view directory);  // "/" dir NUL
SendResult SendEmptyPacket(SerialLink& link, PacketType type);           // EndOfFile, EndSession

// Ends the handheld session: EndSession, then the handheld's closing byte,
// whose value and arrival do not matter.
LinkResult CloseHandheldSession(SerialLink& link);

}  // namespace kestrel
