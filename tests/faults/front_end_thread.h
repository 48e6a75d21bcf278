#pragma once
// A front end's status line on a thread of its own: ShowStatus hands each
// text to that thread and returns only once it has been taken, as a dialog's
// does. When the text numbered `at` (from 0) is taken, `action` runs on the
// front end's thread while the worker still waits in ShowStatus, so it acts
// at a known point of the run: a user pressing cancel, or starting a second
// program on the same port.

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "status/status_sink.h"

namespace kestrel::test {

class FrontEndThread : public StatusSink {
  public:
    FrontEndThread(std::size_t at, std::function<void()> action);
    ~FrontEndThread() override;
    FrontEndThread(const FrontEndThread&) = delete;
    FrontEndThread& operator=(const FrontEndThread&) = delete;

    void ShowStatus(std::string_view gbkText) override;
    std::vector<std::string> Texts() const;  // GBK, in order taken

  private:
    void Run();

    std::size_t at_;
    std::function<void()> action_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<std::string> handedOver_;
    std::vector<std::string> taken_;
    bool leaving_ = false;
    std::thread thread_;
};

}  // namespace kestrel::test
