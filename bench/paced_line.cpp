#include "bench/paced_line.h"

#include <stdexcept>
#include <utility>

#include "bench/bench_files.h"
#include "bench/thread_cpu.h"
#include "link/memory_port.h"

namespace kestrel::bench {

void StartSignal::Fire() {
    {
        std::lock_guard lock(mutex_);
        fired_ = true;
    }
    changed_.notify_all();
}

void StartSignal::Wait() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return fired_; });
}

PacedLine::PacedLine(Carrier carrier, const LinePace& pace) {
    if (carrier == Carrier::memory) {
        auto [handheld, pc] = MakeMemoryPortPair();
        handheldEnd_ = std::move(handheld);
        pcEnd_ = std::move(pc);
    } else {
        terminal_ = std::make_unique<PseudoTerminal>(Need(PseudoTerminal::Open()));
        if (Result kept = terminal_->KeepSlaveOpenRaw(); !kept.IsOk()) Need(ResultOf<bool>(kept));
        handheldEnd_ = Need(terminal_->TakeMasterPort());
        portName_ = terminal_->SlavePath();
    }
    paced_ = std::make_unique<PacedPort>(*handheldEnd_, pace);
}

PacedLine::~PacedLine() {
    StopHandheld();
}

void PacedLine::StartHandheld(std::function<void(Port& pacedEnd)> serve) {
    handheld_ = std::thread([this, serve = std::move(serve)] {
        TightenTimerSlack();
        start_.Wait();
        serve(*paced_);
    });
}

ResultOf<std::unique_ptr<Port>> PacedLine::OpenPcEnd() {
    ResultOf<std::unique_ptr<Port>> opened =
        pcEnd_ ? ResultOf<std::unique_ptr<Port>>(std::move(pcEnd_)) : OpenSerialPort(portName_);
    start_.Fire();
    if (!opened.IsOk()) return opened;
    return std::unique_ptr<Port>(
        std::make_unique<StopwatchPort>(std::move(opened).Value(), pcCode_));
}

void PacedLine::StopHandheld() {
    if (!handheld_.joinable()) return;
    start_.Fire();
    paced_->Cancel();
    handheld_.join();
}

TransferFigures MeasurePc(PacedLine& line, const std::function<bool()>& pc,
                          std::uint64_t payloadBytes) {
    using Clock = std::chrono::steady_clock;
    const auto cpuBefore = ThreadCpuTime();
    const auto before = Clock::now();
    const bool ok = pc();
    const auto after = Clock::now();
    const auto cpu = ThreadCpuTime() - cpuBefore;
    line.StopHandheld();

    TransferFigures figures;
    figures.line = line.Account();
    figures.ok = ok;
    figures.payloadBytes = payloadBytes;
    figures.wall = after - before;
    figures.pcCpu = cpu;
    figures.pcTime = (figures.line.firstCall - before) + figures.line.peerTime +
                     (after - figures.line.lastDelivery);
    figures.pcCodeTurns = line.PcCode().turns;
    figures.pcCodeTime = line.PcCode().outsidePort;
    return figures;
}

}  // namespace kestrel::bench
