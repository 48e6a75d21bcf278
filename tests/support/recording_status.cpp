#include "tests/support/recording_status.h"

#include <algorithm>
#include <utility>

namespace kestrel::test {

void RecordingStatus::ShowStatus(std::string_view gbkText) {
    std::function<void()> action;
    {
        std::lock_guard lock(mutex_);
        texts_.emplace_back(gbkText);
        if (hook_ && gbkText == hookText_) action = std::exchange(hook_, nullptr);
    }
    if (action) action();
}

std::vector<std::string> RecordingStatus::Texts() const {
    std::lock_guard lock(mutex_);
    return texts_;
}

bool RecordingStatus::Saw(std::string_view gbkText) const {
    std::lock_guard lock(mutex_);
    return std::find(texts_.begin(), texts_.end(), gbkText) != texts_.end();
}

void RecordingStatus::OnFirst(std::string gbkText, std::function<void()> action) {
    std::lock_guard lock(mutex_);
    hookText_ = std::move(gbkText);
    hook_ = std::move(action);
}

}  // namespace kestrel::test
