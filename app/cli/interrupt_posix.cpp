#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <thread>

#include "app/cli/interrupt.h"

namespace kestrel::cli {

// SIGINT and SIGTERM are blocked in every thread and taken by sigwait() on a
// watcher thread, where any code may run; SIGUSR1 only wakes it to leave.
struct InterruptWatcher::State {
    sigset_t signals{};
    sigset_t previous{};
    std::atomic<int> signal{0};  // the first request that came
    std::atomic<bool> leaving{false};
    std::thread watcher;
};

InterruptWatcher::InterruptWatcher(std::function<void()> onInterrupt)
    : state_(std::make_unique<State>()) {
    State& state = *state_;
    sigemptyset(&state.signals);
    sigaddset(&state.signals, SIGINT);
    sigaddset(&state.signals, SIGTERM);
    sigaddset(&state.signals, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &state.signals, &state.previous);
    state.watcher = std::thread([&state, onInterrupt = std::move(onInterrupt)] {
        for (;;) {
            int signal = 0;
            if (sigwait(&state.signals, &signal) != 0) continue;
            if (state.leaving) return;
            if (signal == SIGUSR1) continue;
            int none = 0;
            state.signal.compare_exchange_strong(none, signal);
            onInterrupt();
        }
    });
}

InterruptWatcher::~InterruptWatcher() {
    state_->leaving = true;
    pthread_kill(state_->watcher.native_handle(), SIGUSR1);
    state_->watcher.join();
    pthread_sigmask(SIG_SETMASK, &state_->previous, nullptr);
}

bool InterruptWatcher::Interrupted() const {
    return state_->signal != 0;
}

std::optional<int> InterruptWatcher::ExitStatus() const {
    const int signal = state_->signal;
    if (signal == 0) return std::nullopt;
    return 128 + signal;  // 130 for SIGINT, 143 for SIGTERM
}

}  // namespace kestrel::cli
