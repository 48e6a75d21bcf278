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
#include <optional>
#include <string_view>

#include "status/status_sink.h"

namespace kestrel {

inline constexpr UINT kShowStatusMessage = WM_APP + 1;

class DialogStatus : public StatusSink {
  public:
    void Attach(HWND dialog) { dialog_.store(dialog); }
    void Close() { dialog_.store(nullptr); }
    void ShowStatus(std::string_view gbkText) override;
    // Also shows the share done in the title, when the file's size is known.
    void ShowProgress(std::string_view gbkText, Progress progress) override;

  private:
    void Show(std::string_view gbkText, std::optional<int> percent);

    std::atomic<HWND> dialog_{nullptr};
};

// On the dialog's thread: puts what a kShowStatusMessage carries (its
// lParam) into the status line, and the title.
void TakeStatus(HWND dialog, LPARAM shown);

}  // namespace kestrel
