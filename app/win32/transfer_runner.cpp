#include "app/win32/transfer_runner.h"

#include <utility>

namespace kestrel {

TransferRunner::TransferRunner(TransferRequest request, const TransferSetup& setup,
                               StatusSink& status, HWND notify, UINT endedMessage)
    : finished_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    thread_ = std::thread(
        [this, request = std::move(request), &setup, &status, notify, endedMessage]() mutable {
            outcome_.store(RunTransfer(std::move(request), setup, status, cancel_));
            if (finished_) SetEvent(finished_.get());
            PostMessageW(notify, endedMessage, 0, 0);
        });
}

TransferRunner::~TransferRunner() {
    cancel_.Cancel();
    WaitDispatchingSentMessages();
    thread_.join();
}

void TransferRunner::WaitDispatchingSentMessages() const {
    if (!finished_) return;  // no event to wait on: join blocks instead
    HANDLE finished = finished_.get();
    for (;;) {
        const DWORD woken =
            MsgWaitForMultipleObjects(1, &finished, FALSE, INFINITE, QS_SENDMESSAGE);
        if (woken != WAIT_OBJECT_0 + 1) return;  // ended, or the wait itself failed
        // Peeking dispatches the messages other threads sent to this one.
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

}  // namespace kestrel
