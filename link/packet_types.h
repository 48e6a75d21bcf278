#pragma once
// The one table of the packets a PC sends: code, name, the lengths a payload
// may have, and where a name sits in it. The link's trace reads it to
// describe packets; the virtual handheld reads it to refuse packets whose
// length no such packet has.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "link/packet.h"

namespace kestrel {

struct PacketTypeInfo {
    PacketType type;
    std::string_view name;
    std::size_t minLength;  // payload bytes
    std::size_t maxLength;
    std::size_t textOffset;  // where a NUL-ended name starts in the payload; 0: none
};

std::span<const PacketTypeInfo> PacketTypes();

// Null for a code no packet has.
const PacketTypeInfo* FindPacketType(std::uint8_t code);

// Whether a packet of this code may carry this many payload bytes.
bool PayloadLengthFits(std::uint8_t code, std::size_t length);

}  // namespace kestrel
