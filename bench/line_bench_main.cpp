// kestrel-line-bench: transfers over the paced virtual handheld at 115200
// baud, beside the protocol's ceiling; what the PC adds per turnaround and
// spends in CPU; the pacing itself and an idle wait, run alongside.
//
//   kestrel-line-bench [--only TEXT] [--no-checks] [--baud N] [--packet-work US]
//
// --only runs the transfer cases whose name holds TEXT; --no-checks leaves
// out the checks and bare loops that run alongside; --baud runs the
// transfers at another speed (a quick look; the targets are for 115200);
// --packet-work gives the handheld that many microseconds of its own work
// on each packet, which the ceiling then counts too. The exit status is 1 when a transfer
// failed or a check could not run, 0 otherwise (whether or not the targets
// were met: the table says).

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <future>
#include <string>
#include <vector>

#include "bench/bench_files.h"
#include "bench/line_checks.h"
#include "bench/line_figures.h"
#include "bench/paced_transfer.h"

namespace kestrel::bench {
namespace {

using namespace std::chrono_literals;
using Millis = std::chrono::duration<double, std::milli>;
using Seconds = std::chrono::duration<double>;

constexpr std::uint64_t kStreamBytes = 1 << 20;
constexpr auto kIdleWait = 10s;

// The targets.
constexpr double kMinShareOfCeiling = 0.97;
constexpr double kMaxAddedPerTurnMs = 0.2;
constexpr double kMaxCpuMsPerMiB = 50;
constexpr double kMaxIdleCpuMs = 10;
constexpr double kMaxStreamError = 0.01;

struct Options {
    std::string only;
    bool checks = true;
    int baud = 115200;
    std::chrono::microseconds packetWork{0};
};

struct Row {
    TransferCase run;
    TransferFigures figures;
};

// Every latency both ways without conversions; the conversions, and the
// termios path both ways, at the latency of a low-latency USB adapter.
// About five minutes in all, the 16 ms receive alone 50 s.
std::vector<TransferCase> Cases(int baud) {
    const TransferKind down = TransferKind::send;
    const TransferKind up = TransferKind::receive;
    auto At = [baud](std::chrono::microseconds turnaround) {
        return LinePace{baud, 10, turnaround};
    };
    std::vector<TransferCase> cases;
    for (const auto latency : {0us, 1000us, 16000us}) {
        cases.push_back({down, Payload::plain, At(latency)});
        cases.push_back({up, Payload::plain, At(latency)});
    }
    cases.push_back({down, Payload::text, At(1ms)});
    cases.push_back({up, Payload::text, At(1ms)});
    cases.push_back({down, Payload::package, At(1ms)});
    cases.push_back({down, Payload::plain, At(1ms), Carrier::pseudoTerminal});
    cases.push_back({up, Payload::plain, At(1ms), Carrier::pseudoTerminal});
    return cases;
}

const ChunkCost& CostOf(const TransferCase& run) {
    return run.mode == TransferKind::send ? kSendChunk : kReceiveChunk;
}

double ShareOfCeiling(const Row& row) {
    return PayloadRate(row.figures) /
           CeilingRate(CostOf(row.run), row.run.pace, row.run.packetWork);
}

void PrintHeader(int baud) {
    std::printf("Paced line: %d baud 8N1, %.1f us a byte; %d KiB a transfer.\n", baud,
                1e6 * 10 / baud, static_cast<int>(kSampleSize / 1024));
    std::printf(
        "added/turn: the PC's time each time it answers the handheld, as the handheld\n"
        "  sees it; code/turn: all of KESTREL's own code, spread over its turnarounds\n"
        "  (the rest is the system carrying bytes between the ends).\n"
        "handheld: the virtual handheld's time beyond the line (its files, its work, "
        "wake-ups).\n\n");
    std::printf("%-27s %6s %8s %8s %7s %11s %10s %9s %9s\n", "case", "turn", "B/s", "ceiling",
                "share", "added/turn", "code/turn", "handheld", "CPU/MiB");
    std::fflush(stdout);
}

void PrintRow(const Row& row, const std::string& prefix = "") {
    const TransferFigures& f = row.figures;
    const double ceiling = CeilingRate(CostOf(row.run), row.run.pace, row.run.packetWork);
    std::printf("%-27s %3lld ms %8s %8s %6.1f%% %8.3f ms %7.1f us %6.0f ms %6.1f ms%s\n",
                (prefix + CaseName(row.run)).c_str(),
                static_cast<long long>(row.run.pace.turnaround.count() / 1000),
                Grouped(PayloadRate(f)).c_str(), Grouped(ceiling).c_str(),
                100 * ShareOfCeiling(row), AddedPerTurnMs(f), 1000 * CodePerTurnMs(f),
                HandheldMs(f), CpuMsPerMiB(f), f.ok ? "" : "  FAILED");
    std::fflush(stdout);
}

// The targets, each with its worst figure, printed together at the end.
class Targets {
  public:
    void Add(const std::string& target, const std::string& figure, bool met) {
        char line[160];
        std::snprintf(line, sizeof line, "  %-44s %-12s %s", target.c_str(), figure.c_str(),
                      met ? "met" : "NOT met");
        lines_.emplace_back(line);
    }
    void Print() const {
        std::printf("\nTargets\n");
        for (const std::string& line : lines_) std::printf("%s\n", line.c_str());
    }

  private:
    std::vector<std::string> lines_;
};

std::string Figure(const char* format, double value) {
    char text[40];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

void JudgeTransfers(const std::vector<Row>& rows, Targets& targets) {
    double worstShare = 1e9;
    double worstAdded = 0;
    double worstCpu = 0;
    for (const Row& row : rows) {
        worstCpu = std::max(worstCpu, CpuMsPerMiB(row.figures));
        if (row.run.pace.turnaround != 1ms) continue;
        worstShare = std::min(worstShare, ShareOfCeiling(row));
        worstAdded = std::max(worstAdded, AddedPerTurnMs(row.figures));
    }
    if (rows.empty()) return;
    if (worstShare < 1e9) {
        targets.Add("at 1 ms, at least 97 % of the ceiling", Figure("%.1f %%", 100 * worstShare),
                    worstShare >= kMinShareOfCeiling);
        targets.Add("at 1 ms, under 0.2 ms added per turnaround", Figure("%.3f ms", worstAdded),
                    worstAdded < kMaxAddedPerTurnMs);
    }
    targets.Add("a transfer under 50 ms of CPU per MiB", Figure("%.1f ms", worstCpu),
                worstCpu < kMaxCpuMsPerMiB);
}

// The floor: the same exchanges as plain transfers at 1 ms, with bare
// loops in place of KESTREL and the handheld.
std::vector<Row> BareRows(int baud) {
    std::vector<Row> rows;
    for (const Carrier carrier : {Carrier::memory, Carrier::pseudoTerminal}) {
        for (const TransferKind mode : {TransferKind::send, TransferKind::receive}) {
            const TransferCase run{mode, Payload::plain, LinePace{baud, 10, 1ms}, carrier};
            rows.push_back({run, RunBareExchange(run)});
        }
    }
    return rows;
}

bool PrintBare(std::future<std::vector<Row>>& bare) {
    std::printf("\nThe same exchanges by bare loops, without KESTREL: the carrier's own cost\n");
    try {
        bool allOk = true;
        for (const Row& row : bare.get()) {
            PrintRow(row, "bare ");
            allOk = allOk && row.figures.ok;
        }
        return allOk;
    } catch (const std::exception& error) {
        std::printf("  could not run: %s\n", error.what());
        return false;
    }
}

bool CheckStream(const char* way, std::future<StreamFigures>& check, Targets& targets) {
    try {
        const StreamFigures f = check.get();
        const double error = (Seconds(f.took) / Seconds(f.wireTime)) - 1;
        std::printf("  1 MiB stream %-15s %8.3f s for %8.3f s of wire time\n", way,
                    Seconds(f.took).count(), Seconds(f.wireTime).count());
        targets.Add(std::string("the paced line, ") + way + ", within 1 %",
                    Figure("%+.3f %%", 100 * error), std::abs(error) < kMaxStreamError);
        return true;
    } catch (const std::exception& error) {
        std::printf("  1 MiB stream %-15s could not run: %s\n", way, error.what());
        return false;
    }
}

bool CheckIdle(std::future<IdleFigures>& check, Targets& targets) {
    try {
        const IdleFigures f = check.get();
        const double cpuMs = Millis(f.cpu).count();
        std::printf("  waiting for a silent handheld: %.1f s, %.2f ms of CPU%s\n",
                    Seconds(f.waited).count(), cpuMs,
                    f.waitedThroughout ? "" : " (the wait ended early)");
        targets.Add("waiting 10 s, under 10 ms of CPU", Figure("%.2f ms", cpuMs),
                    f.waitedThroughout && cpuMs < kMaxIdleCpuMs);
        return f.waitedThroughout;
    } catch (const std::exception& error) {
        std::printf("  waiting for a silent handheld could not run: %s\n", error.what());
        return false;
    }
}

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--only" && i + 1 < argc) {
            options.only = argv[++i];
        } else if (arg == "--no-checks") {
            options.checks = false;
        } else if (arg == "--baud" && i + 1 < argc) {
            options.baud = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--packet-work" && i + 1 < argc) {
            options.packetWork = std::chrono::microseconds(std::max(0, std::atoi(argv[++i])));
        } else {
            std::fprintf(stderr,
                         "usage: kestrel-line-bench [--only TEXT] [--no-checks] [--baud N] "
                         "[--packet-work US]\n");
            std::exit(2);
        }
    }
    return options;
}

int Run(const Options& options) {
    // The checks sleep nearly all the time; they run beside the transfers,
    // each on a line of its own, to keep the whole run short.
    std::future<StreamFigures> out, in;
    std::future<IdleFigures> idle;
    std::future<std::vector<Row>> bare;
    if (options.checks) {
        out = std::async(std::launch::async, StreamFromHandheld, kStreamBytes);
        in = std::async(std::launch::async, StreamToHandheld, kStreamBytes);
        idle = std::async(std::launch::async, WaitForSilentHandheld, kIdleWait);
        bare = std::async(std::launch::async, BareRows, options.baud);
    }
    PrintHeader(options.baud);
    bool allOk = true;
    std::vector<Row> rows;
    for (TransferCase run : Cases(options.baud)) {
        if (CaseName(run).find(options.only) == std::string::npos) continue;
        run.packetWork = options.packetWork;
        rows.push_back({run, RunPacedTransfer(run)});
        PrintRow(rows.back());
        allOk = allOk && rows.back().figures.ok;
    }
    Targets targets;
    JudgeTransfers(rows, targets);
    if (options.checks) {
        allOk = PrintBare(bare) && allOk;
        std::printf("\nThe paced line itself, and waiting\n");
        allOk = CheckStream("handheld to PC", out, targets) && allOk;
        allOk = CheckStream("PC to handheld", in, targets) && allOk;
        allOk = CheckIdle(idle, targets) && allOk;
    }
    targets.Print();
    return allOk ? 0 : 1;
}

}  // namespace
}  // namespace kestrel::bench

int main(int argc, char** argv) {
    try {
        return kestrel::bench::Run(kestrel::bench::ParseOptions(argc, argv));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "kestrel-line-bench: %s\n", error.what());
        return 1;
    }
}
