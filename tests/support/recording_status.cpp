#include "tests/support/recording_status.h"

#include <algorithm>

namespace kestrel::test {

void RecordingStatus::ShowStatus(std::string_view gbkText) {
    std::lock_guard lock(mutex_);
    texts_.emplace_back(gbkText);
}

std::vector<std::string> RecordingStatus::Texts() const {
    std::lock_guard lock(mutex_);
    return texts_;
}

std::string RecordingStatus::Last() const {
    std::lock_guard lock(mutex_);
    return texts_.empty() ? std::string() : texts_.back();
}

bool RecordingStatus::Saw(std::string_view gbkText) const {
    std::lock_guard lock(mutex_);
    return std::find(texts_.begin(), texts_.end(), gbkText) != texts_.end();
}

}  // namespace kestrel::test
