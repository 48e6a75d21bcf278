#pragma once
// The packet buffer of one transfer run's link, in which every packet the PC
// sends is framed in place and every data packet the handheld sends lands,
// and the pure framing functions (no I/O), so that frames can be built and
// checked without a port.
//
// PC packet on the line:      type, length (16-bit LE), payload, XOR checksum
// Device data packet:         0x08, length (16-bit LE), payload, XOR checksum
// The payload and checksum are absent when the length is 0.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace kestrel {

enum class PacketType : std::uint8_t {
    Start = 1,
    Directory = 2,
    NewFile = 3,
    Data = 4,
    EndOfFile = 5,
    EndSession = 6,
    OpenFile = 7,
    ReadRequest = 8,
};

// Name of a packet type, from the table of packet types (packet_types.h);
// "?" for a code no packet has.
std::string_view PacketTypeName(std::uint8_t code);

namespace control {
inline constexpr std::uint8_t kEnq = 0x05;          // device ready for the next PC packet
inline constexpr std::uint8_t kAccepted = 0x4F;     // 'O'
inline constexpr std::uint8_t kRefused = 0x58;      // 'X'
inline constexpr std::uint8_t kDataLead = 0x08;     // a device data packet follows
inline constexpr std::uint8_t kAck = 0x06;          // PC acknowledges inside a data packet
inline constexpr std::uint8_t kGreetW = 0x57;       // 'W'
inline constexpr std::uint8_t kGreetQ = 0x51;       // 'Q'
inline constexpr std::uint8_t kGreetX = 0x58;       // 'X'
inline constexpr std::uint8_t kGreetNotYet = 0xB3;  // PC: greeting not complete
inline constexpr std::uint8_t kGreetDone = 0x4C;    // 'L': PC: greeting complete
inline constexpr std::uint8_t kRetryFirst = 0xCF;   // PC: after an X to a ReadRequest
inline constexpr std::uint8_t kRetrySecond = 0xCB;
inline constexpr std::uint8_t kClosing = 0x04;  // device: the session is closed
}  // namespace control

// A PC packet is framed where it is built, so sending it copies nothing and
// allocates nothing: the header goes before the payload, the checksum after.
class Packet {
  public:
    static constexpr std::size_t kHeaderSize = 3;  // type, then the length LE
    // Incoming data payloads and their checksum share the payload's room;
    // outgoing payloads never exceed 1024 bytes.
    static constexpr std::size_t kPayloadCapacity = 4100;
    static constexpr std::size_t kMaxDataLength = kPayloadCapacity - 1;

    PacketType type{};
    std::uint16_t length = 0;

    // Where a payload is put, or lands: kPayloadCapacity bytes.
    std::span<std::uint8_t> Room() { return {frame_.data() + kHeaderSize, kPayloadCapacity}; }
    std::span<const std::uint8_t> Payload() const { return {frame_.data() + kHeaderSize, length}; }
    // The bytes of the packet as they go on the line: type, length, and for
    // a length above 0 the payload and its XOR checksum.
    std::span<const std::uint8_t> Frame();

  private:
    std::array<std::uint8_t, kHeaderSize + kPayloadCapacity> frame_{};
};

std::uint8_t Checksum(std::span<const std::uint8_t> bytes);

}  // namespace kestrel
