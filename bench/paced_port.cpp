#include "bench/paced_port.h"

#include <algorithm>

namespace kestrel {

using std::chrono::nanoseconds;

nanoseconds WireTime(std::uint64_t bytes, const LinePace& pace) {
    constexpr std::uint64_t kNanosPerSecond = 1'000'000'000;
    const std::uint64_t bits = bytes * static_cast<std::uint64_t>(pace.bitsPerByte);
    const auto baud = static_cast<std::uint64_t>(pace.baud);
    // Whole seconds first, so that long streams cannot overflow.
    const std::uint64_t whole = bits / baud * kNanosPerSecond;
    const std::uint64_t rest = (bits % baud * kNanosPerSecond + baud / 2) / baud;
    return nanoseconds(static_cast<nanoseconds::rep>(whole + rest));
}

void SteadyPaceClock::SleepUntil(TimePoint deadline) {
    std::unique_lock lock(mutex_);
    wake_.wait_until(lock, deadline, [this] { return interrupted_; });
}

void SteadyPaceClock::Interrupt() {
    {
        std::lock_guard lock(mutex_);
        interrupted_ = true;
    }
    wake_.notify_all();
}

PacedPort::PacedPort(Port& inner, LinePace pace)
    : inner_(inner),
      pace_(pace),
      ownClock_(std::make_unique<SteadyPaceClock>()),
      clock_(*ownClock_) {}

PacedPort::PacedPort(Port& inner, LinePace pace, PaceClock& clock)
    : inner_(inner), pace_(pace), clock_(clock) {}

Result PacedPort::Write(std::span<const std::uint8_t> bytes) {
    const TimePoint called = clock_.Now();
    NoteCall(called);
    if (bytes.empty()) return inner_.Write(bytes);
    Cross(Direction::out, bytes.size(), called);
    Result status = inner_.Write(bytes);
    if (status.IsOk()) {
        std::lock_guard lock(accountMutex_);
        account_.lastDelivery = clock_.Now();
    }
    return status;
}

Result PacedPort::Read(std::span<std::uint8_t> bytes, Silence silence) {
    NoteCall(clock_.Now());
    Result status = inner_.Read(bytes, silence);
    if (!status.IsOk() || bytes.empty()) return status;
    const TimePoint arrived = clock_.Now();
    if (last_ == Direction::out) {
        std::lock_guard lock(accountMutex_);
        account_.peerTime += arrived - account_.lastDelivery;
        ++account_.peerTurns;
    }
    Cross(Direction::in, bytes.size(), arrived);
    return cancelled_.load() ? PortCancelled() : Result::Ok();
}

void PacedPort::Cancel() {
    cancelled_.store(true);
    // The wrapped port first: a write whose wait is cut short goes on to it
    // at once, and must find it cancelled rather than let its bytes cross.
    inner_.Cancel();
    clock_.Interrupt();
}

LineAccount PacedPort::Account() const {
    std::lock_guard lock(accountMutex_);
    return account_;
}

void PacedPort::NoteCall(TimePoint now) {
    std::lock_guard lock(accountMutex_);
    if (account_.firstCall == TimePoint{}) account_.firstCall = now;
}

void PacedPort::Cross(Direction way, std::size_t count, TimePoint from) {
    const bool turning = last_ != Direction::none && last_ != way;
    // Bytes following others the same way go on from where those would have
    // ended had our wait not woken late; a turn starts afresh.
    const TimePoint start = turning ? from : from - lastLate_;
    const nanoseconds charge =
        (turning ? nanoseconds(pace_.turnaround) : nanoseconds::zero()) + WireTime(count, pace_);
    const TimePoint deadline = start + charge;
    clock_.SleepUntil(deadline);
    lastLate_ = std::max(nanoseconds::zero(), clock_.Now() - deadline);
    last_ = way;

    std::lock_guard lock(accountMutex_);
    (way == Direction::out ? account_.bytesOut : account_.bytesIn) += count;
    if (turning) ++account_.turnarounds;
    account_.lineTime += charge;
}

}  // namespace kestrel
