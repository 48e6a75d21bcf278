#pragma once
// The status line, and the window title's share done, as the transfer's
// status sink. A text shown from the worker's thread is handed to the
// dialog's thread, and ShowStatus returns once that thread has put it on
// the line, so the line shows every step in order and the caller's buffer
// may go at once.
//
// Once StopShowing() has been called (the dialog is closing), texts are
// dropped instead: a worker waiting for the dialog's thread is let go even
// though the line is no longer shown. The dialog's thread must keep its
// events flowing until a running worker has ended; a thread that blocked
// on the worker instead would wait for ever on a worker waiting for it.

#include <QLineEdit>
#include <atomic>
#include <functional>
#include <optional>
#include <string_view>

#include "status/status_sink.h"

namespace kestrel {

class DialogStatus final : public StatusSink {
  public:
    DialogStatus(QLineEdit& line, QWidget& window) : line_(line), window_(window) {}

    void ShowStatus(std::string_view gbkText) override;
    void ShowProgress(std::string_view gbkText, Progress progress) override;
    void StopShowing() { stopped_.store(true); }

  private:
    // The title shows the share only when it is known.
    void Show(std::string_view gbkText, std::optional<int> percent);

    QLineEdit& line_;
    QWidget& window_;
    std::atomic<bool> stopped_{false};
};

}  // namespace kestrel
