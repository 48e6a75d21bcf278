#pragma once
// Waiting on the dialog's thread for a run to end while the run may still be
// sending status texts to that thread: the wait dispatches messages sent
// from other threads, so neither thread waits on the other for ever.
//
// Promises: returns once `ended` is signalled or the wait itself fails; only
// sent messages are dispatched, posted ones stay queued.

#include <windows.h>

namespace kestrel {

void WaitDispatchingSentMessages(HANDLE ended);

}  // namespace kestrel
