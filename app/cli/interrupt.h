#pragma once
// Ctrl-C and termination requests, turned into a call on a thread of their
// own, so that a running transfer can be cancelled and still put the port
// back before the program ends. Create it before any other thread.

#include <functional>
#include <memory>
#include <optional>

namespace kestrel::cli {

class InterruptWatcher {
  public:
    explicit InterruptWatcher(std::function<void()> onInterrupt);
    ~InterruptWatcher();
    InterruptWatcher(const InterruptWatcher&) = delete;
    InterruptWatcher& operator=(const InterruptWatcher&) = delete;

    bool Interrupted() const;
    // What shells expect of a program ended by the request: 130 for Ctrl-C
    // (or Ctrl-Break), 143 for a termination request (or a closing console);
    // nullopt when none came.
    std::optional<int> ExitStatus() const;

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace kestrel::cli
