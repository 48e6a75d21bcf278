#pragma once
// The line of one benchmark run: the handheld's end behind a PacedPort, the
// PC's end (in memory, or a pseudo-terminal's slave opened as a serial
// device), the handheld's thread, which starts only once the PC has opened
// its end so that nothing is lost to the opening, and the arithmetic that
// turns one run's times into TransferFigures.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "bench/line_figures.h"
#include "bench/paced_port.h"
#include "bench/stopwatch_port.h"
#include "link/open_port.h"
#include "link/pseudo_terminal.h"

namespace kestrel::bench {

enum class Carrier { memory, pseudoTerminal };

class StartSignal {
  public:
    void Fire();  // once fired, stays fired
    void Wait();

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool fired_ = false;
};

class PacedLine {
  public:
    // Throws std::exception when no pseudo-terminal can be had.
    PacedLine(Carrier carrier, const LinePace& pace);
    ~PacedLine();  // stops the handheld
    PacedLine(const PacedLine&) = delete;
    PacedLine& operator=(const PacedLine&) = delete;

    // Starts the handheld's thread: `serve` runs on the paced end once the
    // PC has opened its own.
    void StartHandheld(std::function<void(Port& pacedEnd)> serve);
    // The PC's end, timed by a StopwatchPort into CodeTimes(); once only.
    // Starts the handheld.
    ResultOf<std::unique_ptr<Port>> OpenPcEnd();
    // Cuts the handheld's waits short and joins its thread.
    void StopHandheld();

    const std::string& PortName() const { return portName_; }
    LineAccount Account() const { return paced_->Account(); }
    const CodeTimes& PcCode() const { return pcCode_; }

  private:
    std::unique_ptr<PseudoTerminal> terminal_;
    std::unique_ptr<Port> handheldEnd_;
    std::unique_ptr<Port> pcEnd_;  // in memory only; a terminal's is opened by name
    std::string portName_ = "memory";
    std::unique_ptr<PacedPort> paced_;
    CodeTimes pcCode_;
    StartSignal start_;
    std::thread handheld_;
};

// Runs `pc` on this thread and returns its figures: wall and CPU time, and
// the PC's share of the time as the handheld saw it.
TransferFigures MeasurePc(PacedLine& line, const std::function<bool()>& pc,
                          std::uint64_t payloadBytes);

}  // namespace kestrel::bench
