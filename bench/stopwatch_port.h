#pragma once
// A port wrapped around the PC's end for the benchmarks: it adds up the time
// the PC spends in its own code between one port call and the next, and
// counts its turnarounds (a write after a read). Time spent waiting inside
// the port, and the system's carrying of the bytes, stay out of it.

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>

#include "link/port.h"

namespace kestrel::bench {

struct CodeTimes {
    std::uint64_t turns = 0;
    std::chrono::nanoseconds outsidePort{0};
};

class StopwatchPort final : public Port {
  public:
    // `times` must outlive the port.
    StopwatchPort(std::unique_ptr<Port> inner, CodeTimes& times)
        : inner_(std::move(inner)), times_(times) {}

    Result Write(std::span<const std::uint8_t> bytes) override {
        Enter();
        if (lastWasRead_) ++times_.turns;
        lastWasRead_ = false;
        Result status = inner_->Write(bytes);
        lastCallEnd_ = Clock::now();
        return status;
    }
    Result Read(std::span<std::uint8_t> bytes, Silence silence) override {
        Enter();
        lastWasRead_ = true;
        Result status = inner_->Read(bytes, silence);
        lastCallEnd_ = Clock::now();
        return status;
    }
    void Cancel() override { inner_->Cancel(); }

  private:
    using Clock = std::chrono::steady_clock;

    void Enter() {
        if (lastCallEnd_) times_.outsidePort += Clock::now() - *lastCallEnd_;
    }

    std::unique_ptr<Port> inner_;
    CodeTimes& times_;
    std::optional<Clock::time_point> lastCallEnd_;
    bool lastWasRead_ = false;
};

}  // namespace kestrel::bench
