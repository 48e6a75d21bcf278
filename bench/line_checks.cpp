#include "bench/line_checks.h"

#include <future>
#include <optional>
#include <stdexcept>
#include <thread>

#include "bench/bench_files.h"
#include "bench/latest_status.h"
#include "bench/paced_port.h"
#include "bench/thread_cpu.h"
#include "link/memory_port.h"
#include "link/pseudo_terminal.h"
#include "transfer/run_transfer.h"

namespace kestrel::bench {
namespace {

using Clock = std::chrono::steady_clock;
constexpr std::size_t kStep = 1024;

}  // namespace

StreamFigures StreamFromHandheld(std::uint64_t bytes) {
    TightenTimerSlack();
    auto [handheld, far] = MakeMemoryPortPair();
    PacedPort paced(*handheld, LinePace{});
    auto arrived = std::async(std::launch::async, [&far = far, bytes] {
        Bytes all(bytes);
        const bool whole = far->Read(all, std::nullopt).IsOk();
        return std::make_pair(whole, Clock::now());
    });
    const Bytes step(kStep, 0x55);
    const auto start = Clock::now();
    for (std::uint64_t sent = 0; sent < bytes; sent += kStep) {
        const auto size = static_cast<std::size_t>(std::min<std::uint64_t>(kStep, bytes - sent));
        if (!paced.Write(std::span(step).first(size)).IsOk()) {
            far->Cancel();
            throw std::runtime_error("the paced stream failed");
        }
    }
    const auto [whole, end] = arrived.get();
    if (!whole) throw std::runtime_error("the paced stream did not arrive");
    return {end - start, WireTime(bytes, LinePace{})};
}

StreamFigures StreamToHandheld(std::uint64_t bytes) {
    TightenTimerSlack();
    auto [handheld, far] = MakeMemoryPortPair();
    PacedPort paced(*handheld, LinePace{});
    Bytes step(kStep);
    const auto start = Clock::now();
    if (!far->Write(Bytes(bytes, 0xAA)).IsOk()) throw std::runtime_error("cannot send");
    for (std::uint64_t got = 0; got < bytes; got += kStep) {
        const auto size = static_cast<std::size_t>(std::min<std::uint64_t>(kStep, bytes - got));
        if (!paced.Read(std::span(step).first(size), std::nullopt).IsOk()) {
            throw std::runtime_error("the paced stream failed");
        }
    }
    return {Clock::now() - start, WireTime(bytes, LinePace{})};
}

IdleFigures WaitForSilentHandheld(std::chrono::milliseconds wait) {
    PseudoTerminal terminal = Need(PseudoTerminal::Open());
    if (Result kept = terminal.KeepSlaveOpenRaw(); !kept.IsOk()) Need(ResultOf<bool>(kept));
    const std::unique_ptr<Port> silentHandheld = Need(terminal.TakeMasterPort());
    BenchFolder folder;
    WriteFile(folder / "a.dat", Bytes(1024, 0x42));

    TransferRequest request{TransferKind::send,
                            PortChoice{PortChoice::Kind::serial, terminal.SlavePath()},
                            {{folder / "a.dat", FileType::kOther, "LAVA", false, "a.dat"}}};
    TransferSetup setup;
    setup.tempDirectory = folder.Path();
    LatestStatus status;
    CancelSwitch cancel;
    IdleFigures figures;
    std::thread pc([&] {
        const auto cpuBefore = ThreadCpuTime();
        const auto before = Clock::now();
        const Result end = RunTransfer(request, setup, status, cancel);
        figures.waited = Clock::now() - before;
        figures.cpu = ThreadCpuTime() - cpuBefore;
        figures.waitedThroughout = end.GetKind() == Result::Kind::cancelled;
    });
    std::this_thread::sleep_for(wait);
    cancel.Cancel();
    pc.join();
    return figures;
}

}  // namespace kestrel::bench
