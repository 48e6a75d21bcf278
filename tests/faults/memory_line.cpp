#include <gtest/gtest.h>

#include <future>

#include "link/memory_port.h"
#include "tests/faults/handheld_line.h"

namespace kestrel::test {
namespace {

class MemoryLine : public HandheldLine {
  public:
    MemoryLine() : ports_(MakeMemoryPortPair()) {}
    ~MemoryLine() override {
        if (served_.valid()) ports_.second->Cancel();
    }

    std::function<void()> HangUpAction() override {
        return [device = ports_.second.get()] { device->HangUp(); };
    }
    void Serve(VirtualHandheld& handheld) override {
        served_ = std::async(std::launch::async, [&handheld, device = ports_.second.get()] {
            return handheld.Serve(*device);
        });
    }
    std::string PortName() const override { return "memory"; }
    OpenedPort OpenPcEnd(std::string_view) override { return {std::move(ports_.first), {}}; }
    void StopServing() override {
        if (ports_.first) ports_.first->HangUp();  // the PC never took its end
        if (!served_.valid()) return;
        if (served_.wait_for(kRunBound) != std::future_status::ready) {
            ADD_FAILURE() << "the handheld still serves: the PC did not close its end";
            ports_.second->Cancel();
        }
        served_.get();
    }
    void ExpectPortAsFound() override {}

  private:
    std::pair<std::unique_ptr<MemoryPort>, std::unique_ptr<MemoryPort>> ports_;
    std::future<SessionEnd> served_;
};

}  // namespace

std::unique_ptr<HandheldLine> MakeMemoryLine() {
    return std::make_unique<MemoryLine>();
}

}  // namespace kestrel::test
