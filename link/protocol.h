#pragma once
// The PC's side of the link protocol: all-or-nothing byte exchange, the
// greeting, sending a packet and receiving a device data packet.
//
// Every step reports its own failure on the status line and returns it; the
// caller decides whether to abort the run. A port cancelled from another
// thread makes any step throw TransferCancelled, which the worker catches.

#include <cstdint>
#include <span>
#include <stdexcept>

#include "link/serial_link.h"

namespace kestrel {

enum class LinkResult { ok = 0, failed = 1 };
enum class SendResult { accepted = 0, failed = 1, refused = 2 };

inline constexpr int kReadFailed = 256;

struct TransferCancelled : std::runtime_error {
    TransferCancelled() : std::runtime_error("transfer cancelled") {}
};

// Failure shows "发送数据时出错".
LinkResult WriteBytes(SerialLink& link, std::span<const std::uint8_t> bytes);
LinkResult WriteByte(SerialLink& link, std::uint8_t byte);
// Failure shows "接收数据时出错".
LinkResult ReadBytes(SerialLink& link, std::span<std::uint8_t> bytes);
// The byte, or kReadFailed after showing "接收到错误的响应信号".
int ReadByte(SerialLink& link);

// Answers the handheld's W, Q, X greeting: 0xB3 to every byte that does not
// complete it, 'L' to the completing X. Waits without limit for the greeting.
LinkResult Handshake(SerialLink& link);

// Sends link.packet after the handheld's 0x05; packets with a payload wait
// for the reply byte: 'O' accepted, 'X' refused, anything else failed.
SendResult SendPacket(SerialLink& link);

// Receives one device data packet into link.packet (length and payload,
// followed by its checksum byte). A length beyond the payload room is
// refused before any payload byte is read.
LinkResult ReceiveDataPacket(SerialLink& link);

}  // namespace kestrel
