#pragma once
// A run's status sink for a dialog: each text goes to the controller on the
// dialog's own thread, through the face's hand-over, which runs it there and
// returns once it has run, so the caller's text may go at once and the line
// shows every step in order.
//
// Promises: after Stop() (the dialog is going) texts are dropped, so a run
// still going never waits on a dialog that takes no more. A face whose
// thread then waits for the run must keep handing over meanwhile: a text
// already on its way is still waiting to be taken.

#include <atomic>
#include <functional>
#include <string_view>

#include "app/core/dialog_controller.h"
#include "status/status_sink.h"

namespace kestrel {

class StatusRelay final : public StatusSink {
  public:
    using HandOver = std::function<void(const std::function<void()>& show)>;

    StatusRelay(DialogController& controller, HandOver handOver)
        : controller_(controller), handOver_(std::move(handOver)) {}

    void ShowStatus(std::string_view gbkText) override;
    void ShowProgress(std::string_view gbkText, Progress progress) override;
    void ShowHint(std::string_view gbkText) override;
    void Stop() { stopped_.store(true); }

  private:
    void Relay(const std::function<void()>& show);

    DialogController& controller_;
    HandOver handOver_;
    std::atomic<bool> stopped_{false};
};

}  // namespace kestrel
