#pragma once
// The virtual handheld's record of what it saw, for tests and for a session
// log: every PC packet in the order it arrived, the greetings completed, and
// how each session ended. (The PC's trace of the bytes is another thing:
// link/trace_port.h.)

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "handheld/pc_packet.h"
#include "link/packet.h"

namespace kestrel {

enum class SessionEnd {
    closed,      // EndSession came and the closing byte went out
    pcSilent,    // the PC said nothing for a while mid-session; dropped
    pcConfused,  // the PC sent a byte that has no place there; dropped
    portFailed,  // the line failed or the PC hung up
    cancelled,   // the port was cancelled
    hungUp,      // a hang-up fault ended the session
    wentSilent,  // a go-silent fault lasted until the port failed or was cancelled
};

struct HandheldRecord {
    std::vector<PcPacket> packets;  // its index is the packet index faults count
    std::size_t greetings = 0;      // greetings completed (answered with 'L')
    std::vector<SessionEnd> ends;   // one per session served

    std::size_t Count(PacketType type) const {
        return static_cast<std::size_t>(
            std::count_if(packets.begin(), packets.end(), [type](const PcPacket& packet) {
                return packet.type == static_cast<std::uint8_t>(type);
            }));
    }
};

}  // namespace kestrel
