#include "app/core/status_relay.h"

namespace kestrel {

void StatusRelay::ShowStatus(std::string_view gbkText) {
    Relay([this, gbkText] { controller_.OnRunStatus(gbkText); });
}

void StatusRelay::ShowProgress(std::string_view gbkText, Progress progress) {
    Relay([this, gbkText, progress] { controller_.OnRunProgress(gbkText, progress); });
}

void StatusRelay::ShowHint(std::string_view gbkText) {
    Relay([this, gbkText] { controller_.OnRunHint(gbkText); });
}

void StatusRelay::Relay(const std::function<void()>& show) {
    if (stopped_.load()) return;
    handOver_([this, &show] {
        if (!stopped_.load()) show();
    });
}

}  // namespace kestrel
