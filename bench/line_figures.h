#pragma once
// The arithmetic of the line benchmarks: what the protocol allows at best on
// a paced line, and what one measured transfer comes to beside it.
//
// The protocol's ceiling counts one 1024-byte chunk at a time, as the line
// carries it:
//   sending    0x05, type, length, 1024 bytes, checksum, 'O': 1030 bytes and
//              two turnarounds;
//   receiving  0x05, the 6-byte request, 'O', 0x08, 0x06, length, 1024 bytes,
//              checksum, 0x06: 1038 bytes and six turnarounds;
// plus the handheld's own work on the one packet of each chunk.

#include <chrono>
#include <cstdint>
#include <string>

#include "bench/paced_port.h"

namespace kestrel::bench {

struct ChunkCost {
    std::uint64_t lineBytes;
    int turnarounds;
    int packets;
};

inline constexpr ChunkCost kSendChunk{1030, 2, 1};
inline constexpr ChunkCost kReceiveChunk{1038, 6, 1};
inline constexpr double kChunkPayload = 1024;

// Payload bytes a second that the protocol can carry at best.
double CeilingRate(const ChunkCost& chunk, const LinePace& pace,
                   std::chrono::microseconds packetWork);

// One measured transfer.
struct TransferFigures {
    bool ok = false;                 // succeeded, and the bytes arrived as they left
    std::uint64_t payloadBytes = 0;  // the user's file
    std::chrono::nanoseconds wall{0};
    std::chrono::nanoseconds pcCpu{0};
    // The PC's own time: before the handheld's first byte, while turning
    // around, and after the handheld's last byte.
    std::chrono::nanoseconds pcTime{0};
    // Of it at most, the PC's own code: all its time outside port calls
    // between its first and its last, timed at the PC's port.
    std::uint64_t pcCodeTurns = 0;
    std::chrono::nanoseconds pcCodeTime{0};
    LineAccount line;
};

double PayloadRate(const TransferFigures& figures);
// What the PC adds each time it answers the handheld, in milliseconds: as
// seen from the handheld, and the PC's own code spread over its turnarounds
// (an upper bound: some of that code runs while the line is busy anyway).
double AddedPerTurnMs(const TransferFigures& figures);
double CodePerTurnMs(const TransferFigures& figures);
// What the virtual handheld took beyond the line and the PC (its own file
// work and packet work, thread wake-ups), in milliseconds.
double HandheldMs(const TransferFigures& figures);
double CpuMsPerMiB(const TransferFigures& figures);

// "11,204" for 11204.4
std::string Grouped(double value);

}  // namespace kestrel::bench
