#include "link/packet.h"

#include <cstring>

namespace kestrel {

// Eight bytes at a time: a checksum runs over every byte sent and received.
std::uint8_t Checksum(std::span<const std::uint8_t> bytes) {
    std::uint64_t wide = 0;
    std::size_t at = 0;
    for (; bytes.size() - at >= sizeof wide; at += sizeof wide) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes.data() + at, sizeof word);
        wide ^= word;
    }
    for (unsigned shift = 32; shift >= 8; shift /= 2) wide ^= wide >> shift;
    auto sum = static_cast<std::uint8_t>(wide);
    for (; at < bytes.size(); ++at) sum ^= bytes[at];
    return sum;
}

std::span<const std::uint8_t> Packet::Frame() {
    frame_[0] = static_cast<std::uint8_t>(type);
    frame_[1] = static_cast<std::uint8_t>(length & 0xFFU);
    frame_[2] = static_cast<std::uint8_t>(length >> 8U);
    if (length == 0) return {frame_.data(), kHeaderSize};
    frame_[kHeaderSize + length] = Checksum(Payload());
    return {frame_.data(), kHeaderSize + length + 1U};
}

}  // namespace kestrel
