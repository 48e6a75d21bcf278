#pragma once
// A status sink that keeps every text it is shown; safe to feed from a run's
// thread while the test reads it. A test may hook an action to the first
// showing of a text, run on the showing thread (e.g. to change a file while
// it is being sent).

#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "status/status_sink.h"

namespace kestrel::test {

class RecordingStatus : public StatusSink {
  public:
    void ShowStatus(std::string_view gbkText) override;

    std::vector<std::string> Texts() const;  // GBK, in order shown
    bool Saw(std::string_view gbkText) const;
    void OnFirst(std::string gbkText, std::function<void()> action);

  private:
    mutable std::mutex mutex_;
    std::vector<std::string> texts_;
    std::string hookText_;
    std::function<void()> hook_;
};

}  // namespace kestrel::test
