#pragma once
// Checks beside the transfers: that the paced line itself keeps its wire
// time over a long stream, each way, and what the PC spends while it waits
// for a handheld that says nothing.

#include <chrono>
#include <cstdint>

namespace kestrel::bench {

struct StreamFigures {
    std::chrono::nanoseconds took{0};
    std::chrono::nanoseconds wireTime{0};
};

// The handheld sends `bytes` through a paced port in 1 KiB writes; timed
// from the first write until the far end has the last byte.
StreamFigures StreamFromHandheld(std::uint64_t bytes);

// The far end sends `bytes` at once; the handheld takes them through a
// paced port in 1 KiB reads; timed until it has the last one.
StreamFigures StreamToHandheld(std::uint64_t bytes);

struct IdleFigures {
    bool waitedThroughout = false;  // the run was still waiting when it was cancelled
    std::chrono::nanoseconds waited{0};
    std::chrono::nanoseconds cpu{0};  // the PC thread's, over the whole run
};

// A download waits for the greeting of a handheld that never speaks, over a
// pseudo-terminal, for `wait`; then it is cancelled. Throws std::exception
// when no pseudo-terminal can be had.
IdleFigures WaitForSilentHandheld(std::chrono::milliseconds wait);

}  // namespace kestrel::bench
