#pragma once
// Filling the run's packet buffer for each packet the PC sends, and sending
// it. Each returns the result of SendPacket.

#include <cstdint>
#include <span>
#include <string_view>

#include "link/protocol.h"
#include "transfer/transfer_run.h"

namespace kestrel {

inline constexpr std::size_t kChunkSize = 1024;

// Puts type and payload into the link's packet and sends it.
Result SendPacketWith(SerialLink& link, PacketType type, std::span<const std::uint8_t> payload);

// 100 bytes with the banner. The first packet of every handheld session, so
// whatever the handheld sent before its 0x05 is skipped.
Result SendStart(SerialLink& link);
Result SendDirectory(SerialLink& link, std::string_view directory);  // "/" dir NUL
Result SendEmptyPacket(SerialLink& link, PacketType type);           // EndOfFile, EndSession

// Ends the handheld session: EndSession, then the handheld's closing byte,
// whose value and arrival do not matter (a missing one is only shown).
Result CloseHandheldSession(TransferRun& run);

}  // namespace kestrel
