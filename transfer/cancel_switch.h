#pragma once
// Lets another thread stop a run: Cancel() may be called from any thread, at
// any time, any number of times. The run's port, while attached, is cancelled
// at once, so a run waiting on it wakes; a port attached after Cancel() is
// cancelled as it is attached.

#include <mutex>

#include "link/port.h"

namespace kestrel {

class CancelSwitch {
  public:
    void Cancel();
    bool Cancelled() const;

    // The run's port while it is open; null detaches it before it closes.
    void Attach(Port* port);

  private:
    mutable std::mutex mutex_;
    Port* port_ = nullptr;
    bool cancelled_ = false;
};

}  // namespace kestrel
