#pragma once
// A port that moves bytes no faster than a serial line. Wrapped around the
// virtual handheld's end of a link, it makes every byte the handheld sends or
// accepts cost its wire time (10 bits a byte for 8N1 at the line's baud
// rate), adds a fixed delay at each change of direction (what a USB serial
// adapter adds per turnaround), and keeps account of the line's time, so a
// benchmark can tell the line's own time from the time the PC adds.
//
// Promises:
// - Write() hands the bytes to the wrapped port once they would have crossed
//   the line: turnaround (when the previous transfer went the other way) plus
//   their wire time after the call. Read() returns the bytes once they would
//   have arrived: the same charge, counted from when the wrapped port had
//   them. The first transfer charges no turnaround.
// - Waits aim at deadlines of the clock; a late wake-up is not carried into
//   the next bytes going the same way, so a long stream keeps its wire time
//   however the waits fall.
// - Silence, failures and cancelling are the wrapped port's: a read that does
//   not complete is passed on at once and charges nothing. Cancel() also cuts
//   short a wait in progress.
// - One thread reads and writes; Cancel() and Account() may come from any.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

#include "link/port.h"

namespace kestrel {

struct LinePace {
    int baud = 115200;
    int bitsPerByte = 10;  // start bit, 8 data bits, stop bit
    std::chrono::microseconds turnaround{0};
};

// The wire time of `bytes` at `pace`, to the nanosecond.
std::chrono::nanoseconds WireTime(std::uint64_t bytes, const LinePace& pace);

// What the line carried, and where the time went.
struct LineAccount {
    std::uint64_t bytesOut = 0;            // from the handheld
    std::uint64_t bytesIn = 0;             // to the handheld
    std::uint64_t turnarounds = 0;         // changes of direction, both ways
    std::uint64_t peerTurns = 0;           // of which the peer (the PC) answered the handheld
    std::chrono::nanoseconds lineTime{0};  // wire time and turnarounds charged
    // From each delivery of the handheld's bytes to the arrival of the peer's
    // answer: the time the peer took to turn around.
    std::chrono::nanoseconds peerTime{0};
    std::chrono::steady_clock::time_point firstCall{};     // when the handheld first used the line
    std::chrono::steady_clock::time_point lastDelivery{};  // when its last bytes reached the peer
};

// Time for a PacedPort: the steady clock normally, a fake one in tests.
class PaceClock {
  public:
    using TimePoint = std::chrono::steady_clock::time_point;
    virtual ~PaceClock() = default;
    virtual TimePoint Now() = 0;
    // Returns at `deadline`, or sooner once Interrupt() has been called.
    virtual void SleepUntil(TimePoint deadline) = 0;
    // Ends the sleep in progress and every later one at once.
    virtual void Interrupt() = 0;
};

class SteadyPaceClock final : public PaceClock {
  public:
    TimePoint Now() override { return std::chrono::steady_clock::now(); }
    void SleepUntil(TimePoint deadline) override;
    void Interrupt() override;

  private:
    std::mutex mutex_;
    std::condition_variable wake_;
    bool interrupted_ = false;
};

class PacedPort final : public Port {
  public:
    // `inner` (and `clock`) must outlive the paced port.
    PacedPort(Port& inner, LinePace pace);
    PacedPort(Port& inner, LinePace pace, PaceClock& clock);

    Result Write(std::span<const std::uint8_t> bytes) override;
    Result Read(std::span<std::uint8_t> bytes, Silence silence) override;
    void Cancel() override;

    LineAccount Account() const;

  private:
    enum class Direction { none, out, in };
    using TimePoint = PaceClock::TimePoint;

    void NoteCall(TimePoint now);
    // Waits until the bytes going `way` would have crossed the line, counted
    // from `from`, and books the charge.
    void Cross(Direction way, std::size_t count, TimePoint from);

    Port& inner_;
    LinePace pace_;
    std::unique_ptr<PaceClock> ownClock_;
    PaceClock& clock_;
    std::atomic<bool> cancelled_{false};
    Direction last_ = Direction::none;
    std::chrono::nanoseconds lastLate_{0};  // how late the previous wait ended

    mutable std::mutex accountMutex_;
    LineAccount account_;
};

}  // namespace kestrel
