#pragma once
// One transfer run on a thread of its own, for the dialog. The run's end is
// posted to the dialog as a message, so the dialog never blocks while a run
// goes on; stopping a run early waits for it while still dispatching the
// status texts the run sends to this thread, so neither waits on the other.
//
// Promises:
// - The run starts when the runner is made. Once it has ended, its port
//   restored and closed, `endedMessage` is posted to `notify`.
// - Destroying the runner cancels a run still going and returns only when
//   the run's thread has ended.
// - `setup` and `status` must outlive the runner.

#include <windows.h>

#include <atomic>
#include <memory>
#include <thread>

#include "link/status_sink.h"
#include "transfer/transfer_request.h"
#include "transfer/transfer_worker.h"

namespace kestrel {

class TransferRunner {
  public:
    TransferRunner(TransferRequest request, const TransferSetup& setup, StatusSink& status,
                   HWND notify, UINT endedMessage);
    ~TransferRunner();
    TransferRunner(const TransferRunner&) = delete;
    TransferRunner& operator=(const TransferRunner&) = delete;

    void Cancel() { cancel_.Cancel(); }
    // How the run ended; meaningful once the ended message has come.
    TransferOutcome Outcome() const { return outcome_.load(); }

  private:
    struct HandleCloser {
        void operator()(HANDLE handle) const { CloseHandle(handle); }
    };

    void WaitDispatchingSentMessages() const;

    CancelSwitch cancel_;
    std::unique_ptr<void, HandleCloser> finished_;
    std::atomic<TransferOutcome> outcome_{TransferOutcome::failed};
    std::thread thread_;
};

}  // namespace kestrel
