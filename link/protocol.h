#pragma once
// The PC's side of the link protocol: all-or-nothing byte exchange, the
// greeting, sending a packet and receiving a device data packet.
//
// Every step returns one Result: ok, or why not (failed, with the status
// text of the step that failed; cancelled, when the port was cancelled from
// another thread; refused, when the handheld answered 'X' to a packet). The
// caller decides what a failure means for the run; nothing here shows a text.

#include <cstdint>
#include <span>

#include "link/serial_link.h"
#include "status/result.h"

namespace kestrel {

Result WriteBytes(SerialLink& link, std::span<const std::uint8_t> bytes);  // "发送数据时出错"
Result WriteByte(SerialLink& link, std::uint8_t byte);
Result ReadBytes(SerialLink& link, std::span<std::uint8_t> bytes);  // "接收数据时出错"
Result ReadByte(SerialLink& link, std::uint8_t& byte);  // "接收到错误的响应信号"

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

// Receives one device data packet into link.packet (length and payload,
// followed by its checksum byte). A length beyond the payload room is
// refused before any payload byte is read; both acknowledgements go out
// before the checksum is looked at.
Result ReceiveDataPacket(SerialLink& link);

}  // namespace kestrel
