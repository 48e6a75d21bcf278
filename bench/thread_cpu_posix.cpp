// POSIX thread clocks; Linux timer slack.
#include <time.h>

#include "bench/thread_cpu.h"

#ifdef __linux__
#include <sys/prctl.h>
#endif

namespace kestrel::bench {

std::chrono::nanoseconds ThreadCpuTime() {
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

#ifdef __linux__
void TightenTimerSlack() {
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
}
#else
void TightenTimerSlack() {}
#endif

}  // namespace kestrel::bench
