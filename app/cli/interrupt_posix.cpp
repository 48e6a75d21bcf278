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
    std::atomic<bool> interrupted{false};
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
            state.interrupted = true;
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
    return state_->interrupted;
}

}  // namespace kestrel::cli
