#pragma once
// The status line of the dialog as the transfer's status sink. A text shown
// from the worker thread is converted to UTF-16 and handed to the dialog's
// own thread in a message; ShowStatus returns once that thread has put it
// into control 1007.
//
// Promises:
// - Before Attach and after Close, texts are dropped: a worker never waits on
//   a dialog that is gone or going.
// - The dialog's thread must keep dispatching sent messages while a worker
//   may be showing a text (see TransferRunner), or both wait for ever.

#include <windows.h>

#include <atomic>
#include <string_view>

#include "status/status_sink.h"

namespace kestrel {

inline constexpr UINT kShowStatusMessage = WM_APP + 1;

class DialogStatus : public StatusSink {
  public:
    void Attach(HWND dialog) { dialog_.store(dialog); }
    void Close() { dialog_.store(nullptr); }
    void ShowStatus(std::string_view gbkText) override;

  private:
    std::atomic<HWND> dialog_{nullptr};
};

// On the dialog's thread: puts the text a kShowStatusMessage carries
// (its lParam) into the status line.
void TakeStatus(HWND dialog, LPARAM text);

}  // namespace kestrel
