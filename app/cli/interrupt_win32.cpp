// Ctrl-C, Ctrl-Break and closing the console window, turned into a call on
// the watcher's thread.
//
// A console control handler takes no context, and the program keeps no
// mutable globals, so the handler finds the watcher through an event named
// after the process. For a closing window the system ends the process once
// the handler returns, so the handler waits there (briefly) until the
// watcher is gone, which is after the transfer has put the port back.

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "app/cli/interrupt.h"

namespace kestrel::cli {

// Named, not anonymous: the watcher's state, a class of the header, holds
// them, and a member of a type no other file may name is what GCC warns of.
namespace watcher_events {
struct HandleCloser {
    void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;
}  // namespace watcher_events

namespace {

using watcher_events::UniqueHandle;

// The system allows a closing console about five seconds.
constexpr DWORD kCloseWaitMs = 4000;

std::wstring EventName(const wchar_t* what, DWORD processId) {
    return L"Local\\kestrel-cli-" + std::wstring(what) + L"-" + std::to_wstring(processId);
}

UniqueHandle CreateNamedEvent(const wchar_t* what) {
    return UniqueHandle(
        ::CreateEventW(nullptr, TRUE, FALSE, EventName(what, ::GetCurrentProcessId()).c_str()));
}

UniqueHandle OpenNamedEvent(const wchar_t* what, DWORD access) {
    return UniqueHandle(
        ::OpenEventW(access, FALSE, EventName(what, ::GetCurrentProcessId()).c_str()));
}

BOOL WINAPI OnConsoleControl(DWORD type) {
    const UniqueHandle interrupt = OpenNamedEvent(L"interrupt", EVENT_MODIFY_STATE);
    if (!interrupt) return FALSE;  // no watcher: the system's default, ending the process
    const bool closing =
        type == CTRL_CLOSE_EVENT || type == CTRL_LOGOFF_EVENT || type == CTRL_SHUTDOWN_EVENT;
    if (closing) {
        const UniqueHandle terminate = OpenNamedEvent(L"terminate", EVENT_MODIFY_STATE);
        if (terminate) ::SetEvent(terminate.get());
    }
    ::SetEvent(interrupt.get());
    if (closing) {
        const UniqueHandle gone = OpenNamedEvent(L"gone", SYNCHRONIZE);
        if (gone) ::WaitForSingleObject(gone.get(), kCloseWaitMs);
    }
    return TRUE;
}

}  // namespace

struct InterruptWatcher::State {
    using UniqueHandle = watcher_events::UniqueHandle;
    UniqueHandle interrupt = CreateNamedEvent(L"interrupt");
    UniqueHandle gone = CreateNamedEvent(L"gone");
    UniqueHandle terminate = CreateNamedEvent(L"terminate");  // set for a closing console
    UniqueHandle leave{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::atomic<int> exitStatus{0};  // of the first request that came
    std::thread watcher;
};

InterruptWatcher::InterruptWatcher(std::function<void()> onInterrupt)
    : state_(std::make_unique<State>()) {
    State& state = *state_;
    state.watcher = std::thread([&state, onInterrupt = std::move(onInterrupt)] {
        const HANDLE events[2] = {state.leave.get(), state.interrupt.get()};
        for (;;) {
            const DWORD woke = ::WaitForMultipleObjects(2, events, FALSE, INFINITE);
            if (woke != WAIT_OBJECT_0 + 1) return;  // leaving, or the events are unusable
            ::ResetEvent(state.interrupt.get());
            const bool terminated =
                ::WaitForSingleObject(state.terminate.get(), 0) == WAIT_OBJECT_0;
            int none = 0;
            state.exitStatus.compare_exchange_strong(none, terminated ? 143 : 130);
            onInterrupt();
        }
    });
    ::SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

InterruptWatcher::~InterruptWatcher() {
    ::SetConsoleCtrlHandler(OnConsoleControl, FALSE);
    ::SetEvent(state_->leave.get());
    state_->watcher.join();
    ::SetEvent(state_->gone.get());
}

bool InterruptWatcher::Interrupted() const {
    return state_->exitStatus != 0;
}

std::optional<int> InterruptWatcher::ExitStatus() const {
    const int status = state_->exitStatus;
    if (status == 0) return std::nullopt;
    return status;
}

}  // namespace kestrel::cli
