#include "transfer/cancel_switch.h"

namespace kestrel {

void CancelSwitch::Cancel() {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
    if (port_ != nullptr) port_->Cancel();
}

bool CancelSwitch::Cancelled() const {
    std::lock_guard lock(mutex_);
    return cancelled_;
}

void CancelSwitch::Attach(Port* port) {
    std::lock_guard lock(mutex_);
    port_ = port;
    if (port_ != nullptr && cancelled_) port_->Cancel();
}

}  // namespace kestrel
