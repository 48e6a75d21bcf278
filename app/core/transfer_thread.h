#pragma once
// One request run on a thread of its own, the way every front end runs one.
//
// Promises:
// - The run starts when the object is made. `finished` is called on the
//   run's thread as its last act, once the port is back as it was found, with
//   how the run ended; an exception from `finished` is swallowed.
// - Cancel() may be called from any thread at any time; so may the switch a
//   caller hands in, also before the run exists (Ctrl-C at the very start).
// - Wait() blocks until the run has ended and returns how. The destructor
//   cancels a run still going and waits for it: a front end whose status
//   sink hands texts to its own thread must keep that thread's events
//   flowing until `finished` has come, or both would wait for ever.
// - `status` must outlive the object.

#include <functional>
#include <memory>
#include <thread>

#include "status/status_sink.h"
#include "transfer/cancel_switch.h"
#include "transfer/run_transfer.h"

namespace kestrel {

class TransferThread {
  public:
    using Finished = std::function<void(const Result& end)>;

    TransferThread(TransferRequest request, TransferSetup setup, StatusSink& status,
                   Finished finished = {},
                   std::shared_ptr<CancelSwitch> cancel = std::make_shared<CancelSwitch>());
    ~TransferThread();
    TransferThread(const TransferThread&) = delete;
    TransferThread& operator=(const TransferThread&) = delete;

    void Cancel() { cancel_->Cancel(); }
    Result Wait();

  private:
    std::shared_ptr<CancelSwitch> cancel_;
    Result end_ = Result::Ok();
    std::thread thread_;  // last: starts once everything it uses exists
};

}  // namespace kestrel
