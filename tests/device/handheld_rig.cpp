#include "tests/device/handheld_rig.h"

#include <gtest/gtest.h>

#include <chrono>

namespace kestrel::test {

HandheldOptions CalmOptions() {
    HandheldOptions options;
    options.greetingRepeat = std::chrono::seconds(3);
    options.pcSilence = std::chrono::seconds(3);
    return options;
}

namespace {

HandheldOptions WithHangUp(HandheldOptions options, MemoryPort& devicePort) {
    if (!options.hangUp) options.hangUp = [&devicePort] { devicePort.HangUp(); };
    return options;
}

}  // namespace

HandheldRig::HandheldRig(HandheldOptions options)
    : ports_(MakeMemoryPortPair()),
      handheld_(scratch_ / "device", WithHangUp(std::move(options), *ports_.second)),
      pc_(*ports_.first) {}

HandheldRig::~HandheldRig() {
    ports_.first->HangUp();
    if (served_.valid()) served_.wait();
}

void HandheldRig::ServeOneSession() {
    served_ =
        std::async(std::launch::async, [this] { return handheld_.ServeSession(*ports_.second); });
}

void HandheldRig::ServeAll() {
    served_ = std::async(std::launch::async, [this] { return handheld_.Serve(*ports_.second); });
}

SessionEnd HandheldRig::Result() {
    if (served_.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        ADD_FAILURE() << "the handheld did not return";
        ports_.first->HangUp();
    }
    return served_.get();
}

}  // namespace kestrel::test
