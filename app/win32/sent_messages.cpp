#include "app/win32/sent_messages.h"

namespace kestrel {

void WaitDispatchingSentMessages(HANDLE ended) {
    for (;;) {
        const DWORD woken = MsgWaitForMultipleObjects(1, &ended, FALSE, INFINITE, QS_SENDMESSAGE);
        if (woken != WAIT_OBJECT_0 + 1) return;  // ended, or the wait itself failed
        // Peeking dispatches the messages other threads sent to this one.
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

}  // namespace kestrel
