#include "bench/paced_transfer.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <utility>
#include <vector>

#include "bench/bench_files.h"
#include "bench/latest_status.h"
#include "bench/stopwatch_port.h"
#include "bench/thread_cpu.h"
#include "device/handheld.h"
#include "formats/text_file.h"
#include "link/memory_port.h"
#include "link/pseudo_terminal.h"
#include "transfer/transfer_texts.h"
#include "transfer/transfer_worker.h"

namespace kestrel::bench {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kPackageEntries = 4;

// What a case puts on each side, and what must be where afterwards.
struct Prepared {
    TransferRequest request;
    std::vector<std::pair<std::filesystem::path, Bytes>> expected;
};

Bytes Wrapped(const Bytes& text) {
    return WrapTextBytes(text).bytes;
}

Prepared PrepareSend(const TransferCase& run, const BenchFolder& folder) {
    const auto device = folder / "device";
    Prepared prepared;
    prepared.request.mode = TransferMode::down;
    if (run.payload == Payload::package) {
        const SamplePackage package = MakePackage(kPackageEntries, kSampleSize / kPackageEntries);
        WriteFile(folder / "pc" / "a.pac", package.bytes);
        prepared.request.pcPath = folder / "pc" / "a.pac";
        prepared.request.deviceName = std::string(texts::kPackageName);
        prepared.request.deviceDirectory = "root";
        for (const PackedFile& file : package.files) {
            prepared.expected.emplace_back(device / file.directory / file.name, file.content);
        }
        return prepared;
    }
    const bool text = run.payload == Payload::text;
    const Bytes content = text ? SampleText(kSampleSize) : RandomBytes(kSampleSize, 1);
    const std::string name = text ? "a.txt" : "a.dat";
    WriteFile(folder / "pc" / name, content);
    prepared.request.pcPath = folder / "pc" / name;
    prepared.request.deviceName = name;
    prepared.request.deviceDirectory = "LAVA";
    prepared.expected.emplace_back(device / "LAVA" / name, text ? Wrapped(content) : content);
    return prepared;
}

Prepared PrepareReceive(const TransferCase& run, const BenchFolder& folder) {
    const bool text = run.payload == Payload::text;
    if (run.payload == Payload::package) throw std::invalid_argument("packages are only sent");
    const Bytes content = text ? SampleText(kSampleSize) : RandomBytes(kSampleSize, 2);
    const std::string name = text ? "a.txt" : "a.dat";
    WriteFile(folder / "device" / "LAVA" / name, text ? Wrapped(content) : content);
    Prepared prepared;
    prepared.request.mode = TransferMode::up;
    prepared.request.pcPath = folder / "pc" / ("back-" + name);
    prepared.request.deviceName = name;
    prepared.request.deviceDirectory = "LAVA";
    prepared.expected.emplace_back(prepared.request.pcPath, content);
    std::filesystem::create_directories(folder / "pc");
    return prepared;
}

bool AllArrived(const Prepared& prepared) {
    for (const auto& [path, content] : prepared.expected) {
        if (ReadFile(path) != content) return false;
    }
    return true;
}

// The two ends of the line: the handheld's, and how the PC gets its own.
struct Line {
    std::unique_ptr<PseudoTerminal> terminal;
    std::unique_ptr<Port> handheldEnd;
    std::unique_ptr<Port> pcEnd;  // an in-memory line's; a terminal's is opened by name
    std::string portName = "memory";
};

Line OpenLine(Carrier carrier) {
    Line line;
    if (carrier == Carrier::memory) {
        auto [handheld, pc] = MakeMemoryPortPair();
        line.handheldEnd = std::move(handheld);
        line.pcEnd = std::move(pc);
        return line;
    }
    line.terminal = std::make_unique<PseudoTerminal>();
    line.terminal->KeepSlaveOpenRaw();
    line.handheldEnd = line.terminal->TakeMasterPort();
    if (!line.handheldEnd) throw std::runtime_error("cannot use the pseudo-terminal");
    line.portName = line.terminal->SlavePath();
    return line;
}

// Once fired, stays fired.
class StartSignal {
  public:
    void Fire() {
        {
            std::lock_guard lock(mutex_);
            fired_ = true;
        }
        changed_.notify_all();
    }
    void Wait() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return fired_; });
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool fired_ = false;
};

// The handheld's thread: serves one session once started; stopping it (or
// destroying it) cuts any wait short and joins.
class ServingThread {
  public:
    ServingThread(VirtualHandheld& handheld, PacedPort& port, StartSignal& start)
        : port_(port), start_(start), thread_([&handheld, &port, &start] {
              TightenTimerSlack();
              start.Wait();
              handheld.ServeSession(port);
          }) {}
    ~ServingThread() { Stop(); }
    ServingThread(const ServingThread&) = delete;
    ServingThread& operator=(const ServingThread&) = delete;

    void Stop() {
        if (!thread_.joinable()) return;
        start_.Fire();
        port_.Cancel();
        thread_.join();
    }

  private:
    PacedPort& port_;
    StartSignal& start_;
    std::thread thread_;
};

}  // namespace

std::string CaseName(const TransferCase& run) {
    static constexpr const char* kPayloads[] = {"plain", "text", "package"};
    std::string name = run.mode == TransferMode::down ? "send " : "receive ";
    name += kPayloads[static_cast<int>(run.payload)];
    if (run.carrier == Carrier::pseudoTerminal) name += " over pty";
    return name;
}

TransferFigures RunPacedTransfer(const TransferCase& run) {
    BenchFolder folder;
    Prepared prepared =
        run.mode == TransferMode::down ? PrepareSend(run, folder) : PrepareReceive(run, folder);
    Line line = OpenLine(run.carrier);
    prepared.request.portName = line.portName;

    PacedPort paced(*line.handheldEnd, run.pace);
    HandheldOptions options;
    options.packetWork = run.packetWork;
    VirtualHandheld handheld(folder / "device", options);
    StartSignal start;
    ServingThread serving(handheld, paced, start);

    TransferSetup setup;
    setup.tempDirectory = folder / "tmp";
    std::filesystem::create_directories(*setup.tempDirectory);
    CodeTimes pcCode;
    setup.openPort = [&line, &start, &pcCode](std::string_view name) {
        OpenedPort opened =
            line.pcEnd ? OpenedPort{std::move(line.pcEnd), {}} : OpenSerialPort(name);
        if (opened.port) {
            opened.port = std::make_unique<StopwatchPort>(std::move(opened.port), pcCode);
        }
        start.Fire();
        return opened;
    };
    LatestStatus status;
    CancelSwitch cancel;

    const auto cpuBefore = ThreadCpuTime();
    const auto before = Clock::now();
    const TransferOutcome outcome = RunTransfer(prepared.request, setup, status, cancel);
    const auto after = Clock::now();
    const auto cpu = ThreadCpuTime() - cpuBefore;
    serving.Stop();

    TransferFigures figures;
    figures.line = paced.Account();
    figures.ok = outcome == TransferOutcome::succeeded && AllArrived(prepared);
    figures.payloadBytes = kSampleSize;
    figures.wall = after - before;
    figures.pcCpu = cpu;
    figures.pcTime = (figures.line.firstCall - before) + figures.line.peerTime +
                     (after - figures.line.lastDelivery);
    figures.pcCodeTurns = pcCode.turns;
    figures.pcCodeTime = pcCode.outsidePort;
    return figures;
}

}  // namespace kestrel::bench
