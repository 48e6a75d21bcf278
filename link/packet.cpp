#include "link/packet.h"

#include <array>

namespace kestrel {

std::uint8_t Checksum(std::span<const std::uint8_t> bytes) {
    std::uint8_t sum = 0;
    for (std::uint8_t b : bytes) sum ^= b;
    return sum;
}

std::vector<std::uint8_t> FramePacket(const Packet& packet) {
    std::vector<std::uint8_t> frame;
    frame.reserve(4U + packet.length);
    frame.push_back(static_cast<std::uint8_t>(packet.type));
    frame.push_back(static_cast<std::uint8_t>(packet.length & 0xFFU));
    frame.push_back(static_cast<std::uint8_t>(packet.length >> 8U));
    if (packet.length == 0) return frame;
    const auto payload = packet.Payload();
    frame.insert(frame.end(), payload.begin(), payload.end());
    frame.push_back(Checksum(payload));
    return frame;
}

}  // namespace kestrel
