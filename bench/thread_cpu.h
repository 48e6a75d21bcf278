#pragma once
// The CPU time the calling thread has used so far (user and system), for
// telling what the PC side costs apart from the virtual handheld beside it.

#include <chrono>

namespace kestrel::bench {

std::chrono::nanoseconds ThreadCpuTime();

// Lets this thread's timed waits end close to their deadlines (Linux rounds
// them up by 50 µs by default); threads started later inherit it. Does
// nothing where the platform has no such setting.
void TightenTimerSlack();

}  // namespace kestrel::bench
