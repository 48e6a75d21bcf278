// Ctrl-C on Windows: the console handler finds the watcher through an event
// named after the process and sets it; these tests set that event the same
// way (a console control event cannot be raised without a console, which a
// test under CTest does not have).
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "app/cli/interrupt.h"

namespace kestrel::cli {
namespace {

using namespace std::chrono_literals;

std::wstring InterruptEventName() {
    return L"Local\\kestrel-cli-interrupt-" + std::to_wstring(::GetCurrentProcessId());
}

// What the console handler does on Ctrl-C. False when no watcher is there.
bool SignalLikeTheConsoleHandler() {
    const HANDLE event = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, InterruptEventName().c_str());
    if (event == nullptr) return false;
    ::SetEvent(event);
    ::CloseHandle(event);
    return true;
}

template <typename Condition>
bool WaitFor(Condition condition) {
    const auto giveUp = std::chrono::steady_clock::now() + 5s;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > giveUp) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

TEST(InterruptWatcherWin32Test, EachInterruptCallsOnceOnTheWatchersThread) {
    std::atomic<int> calls{0};
    std::atomic<bool> onOwnThread{true};
    const auto testThread = std::this_thread::get_id();
    {
        InterruptWatcher watcher([&] {
            onOwnThread = onOwnThread && std::this_thread::get_id() != testThread;
            ++calls;
        });
        EXPECT_FALSE(watcher.Interrupted());
        ASSERT_TRUE(SignalLikeTheConsoleHandler());
        ASSERT_TRUE(WaitFor([&] { return calls == 1; }));
        EXPECT_TRUE(watcher.Interrupted());
        ASSERT_TRUE(SignalLikeTheConsoleHandler());
        ASSERT_TRUE(WaitFor([&] { return calls == 2; })) << "the second Ctrl-C counts too";
        std::this_thread::sleep_for(20ms);
        EXPECT_EQ(calls, 2) << "one call per interrupt";
    }
    EXPECT_TRUE(onOwnThread);
    EXPECT_FALSE(SignalLikeTheConsoleHandler()) << "nothing is left to find once it is gone";
}

}  // namespace
}  // namespace kestrel::cli
