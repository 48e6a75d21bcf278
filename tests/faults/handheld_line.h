#pragma once
// The line between the PC under test and a virtual handheld, and the
// handheld served on it from a thread of its own: in memory (fast), or over a
// pseudo-terminal (POSIX), where the PC opens the slave as it would a real
// serial device and the port's settings can be watched through tcgetattr.

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "device/handheld.h"
#include "transfer/transfer_worker.h"

namespace kestrel::test {

// Longest a passing run, or a handheld winding down, takes.
inline constexpr std::chrono::seconds kRunBound{10};

class HandheldLine {
  public:
    virtual ~HandheldLine() = default;

    // What a hang-up fault does to the line (a MemoryPort hangs up at once;
    // a pseudo-terminal's master is closed once the handheld has returned).
    virtual std::function<void()> HangUpAction() = 0;
    // Serves handheld on a thread of its own until StopServing.
    virtual void Serve(VirtualHandheld& handheld) = 0;
    virtual std::string PortName() const = 0;
    // Opens the PC's end; a memory line gives it once.
    virtual OpenedPort OpenPcEnd(std::string_view name) = 0;
    // Ends the handheld's serving once the PC's run is over; fails the test if
    // it does not end within kRunBound. A memory line's handheld ends on its
    // own when the PC closes its port, which this checks.
    virtual void StopServing() = 0;
    // Fails the test unless the port is as the test left it before the run:
    // the same settings, and no lock held on it. Called once the PC's run has
    // ended, before StopServing.
    virtual void ExpectPortAsFound() = 0;
};

std::unique_ptr<HandheldLine> MakeMemoryLine();
// POSIX only. The test keeps the slave open with settings of its own, which
// the PC's run must put back.
std::unique_ptr<HandheldLine> MakePseudoTerminalLine();

}  // namespace kestrel::test
