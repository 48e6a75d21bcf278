#pragma once
// Misbehaviour on demand, so that tests can watch the PC cope with a handheld
// that refuses, garbles, stalls or hangs up. Faults are placed by PC packet
// index: the packets of one connection are counted from 0 across all its
// sessions, in the order their headers arrive (a repeated ReadRequest is a
// new packet).
//
// What each kind does at its packet:
// - refuse:          reply 'X' instead of acting on the packet;
// - wrongReply:      reply the options' wrong byte instead of acting;
// - corruptChecksum: act normally, but spoil the checksum of the next data
//                    packet with a payload that the handheld sends;
// - noiseBeforeEnq:  send the options' noise bytes before the 0x05;
// - goSilent:        read the packet, then answer nothing ever again;
// - hangUp:          read the packet, then end the session at once.
// A reply fault on an empty packet (which normally gets no reply) sends its
// byte where the PC expects the next 0x05 or the closing byte, and the packet
// is still acted on: the byte is a stray one, not a refusal.

#include <cstddef>
#include <string_view>
#include <utility>
#include <vector>

namespace kestrel {

enum class FaultKind { refuse, wrongReply, corruptChecksum, noiseBeforeEnq, goSilent, hangUp };

std::string_view FaultKindName(FaultKind kind);

struct Fault {
    FaultKind kind = FaultKind::refuse;
    std::size_t atPacket = 0;
    std::size_t times = 1;  // consecutive packets affected, from atPacket on
};

class FaultPlan {
  public:
    explicit FaultPlan(std::vector<Fault> faults = {}) : faults_(std::move(faults)) {}

    // Whether a fault of `kind` covers PC packet `index`.
    bool Has(FaultKind kind, std::size_t index) const;

  private:
    std::vector<Fault> faults_;
};

}  // namespace kestrel
