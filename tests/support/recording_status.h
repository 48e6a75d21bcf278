#pragma once
// A status sink that keeps every text it is shown, for tests to inspect.
// Safe to feed from a worker thread while the test reads it.

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
    std::string Last() const;                // GBK; empty when nothing was shown
    bool Saw(std::string_view gbkText) const;

private:
    mutable std::mutex mutex_;
    std::vector<std::string> texts_;
};

}  // namespace kestrel::test
