#pragma once
// The PC's side of the link protocol: all-or-nothing byte exchange, the
// greeting, sending a packet and receiving a device data packet.
//
// Every step returns one Result: ok, or why not: the port's own end of a
// read or write (port.h: cancelled, silent, failed with the OS's reason),
// refused when the handheld answered 'X' to a packet, failed with
// "接收到错误的响应信号" when a byte came that has no place there. The
// caller decides what a failure means for the run; nothing here shows a text.

#include <cstdint>
#include <span>

#include "link/serial_link.h"
#include "status/result.h"

namespace kestrel {

// Reads are bounded by link.silenceBound once the greeting is answered.
Result WriteBytes(SerialLink& link, std::span<const std::uint8_t> bytes);
Result WriteByte(SerialLink& link, std::uint8_t byte);
Result ReadBytes(SerialLink& link, std::span<std::uint8_t> bytes);
Result ReadByte(SerialLink& link, std::uint8_t& byte);

// Answers the handheld's W, Q, X greeting: 0xB3 to every byte that does not
// complete it, 'L' to the completing X. Waits without limit for the greeting.
Result Handshake(SerialLink& link);

// What comes before the handheld's 0x05 in front of a packet: after the
// greeting or a session start the handheld may send other bytes first.
enum class Readiness {
    enqFirst,   // any byte other than 0x05 fails the packet
    skipToEnq,  // bytes before the 0x05 are read and dropped
};

// Sends link.packet after the handheld's 0x05; packets with a payload wait
// for the reply byte: 'O' ok, 'X' refused, anything else failed.
Result SendPacket(SerialLink& link, Readiness readiness = Readiness::enqFirst);

// Receives one device data packet into link.packet and gives its payload,
// which stays valid until the link's next packet. A length beyond the
// payload room fails before any payload byte is read; both acknowledgements
// go out before the checksum is looked at.
ResultOf<std::span<const std::uint8_t>> ReceiveDataPacket(SerialLink& link);

}  // namespace kestrel
