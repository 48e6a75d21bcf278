#pragma once
// The PC packets of a run in the order the handheld counts them, and what
// the exchanges allow when a fault strikes one of them: the rule the fault
// matrix holds every run to. Pure; no line, no files.

#include <array>
#include <cstddef>
#include <span>
#include <vector>

#include "device/faults.h"
#include "link/packet.h"

namespace kestrel::test {

inline constexpr std::array<FaultKind, 6> kAllFaultKinds = {
    FaultKind::refuse,         FaultKind::wrongReply, FaultKind::corruptChecksum,
    FaultKind::noiseBeforeEnq, FaultKind::goSilent,   FaultKind::hangUp};

struct PacketStep {
    PacketType type;
    bool opensSession = false;  // a Start sent with waitForEnq: bytes before its 0x05 are skipped
    bool bringsChunk = false;   // a ReadRequest answered by a data packet with a payload
};

// One handheld session per file, all in one run (a package when there are
// several): Start, Directory, NewFile, a Data packet per 1024 bytes,
// EndOfFile; EndSession after the last.
std::vector<PacketStep> SendSteps(std::span<const std::size_t> fileSizes);

// Start, Directory, OpenFile, a ReadRequest per 1024-byte chunk and one for
// the shorter chunk that ends the file, EndOfFile, EndSession.
std::vector<PacketStep> ReceiveSteps(std::size_t fileSize);

// Whether the run still succeeds when `kind` strikes packet `at`.
bool ExpectSuccess(FaultKind kind, std::size_t at, std::span<const PacketStep> steps);

}  // namespace kestrel::test
