// kestrel-line-bench: transfers over the paced virtual handheld at 115200
// baud, beside the protocol's ceiling; what the PC adds per turnaround and
// spends in CPU; the pacing itself and an idle wait, run alongside.
//
//   kestrel-line-bench [--only TEXT] [--no-checks] [--baud N]
//
// --only runs the transfer cases whose name holds TEXT; --no-checks leaves
// out the stream and idle checks; --baud runs the transfers at another speed
// (a quick look; the targets are for 115200). The exit status is 1 when a transfer
// failed or a check could not run, 0 otherwise (whether or not the targets
// were met: the table says).

#include <algorithm>
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
};

struct Row {
    TransferCase run;
    TransferFigures figures;
};

// Every latency both ways without conversions; the conversions, and the
// termios path both ways, at the latency of a low-latency USB adapter.
// About five minutes in all, the 16 ms receive alone 50 s.
std::vector<TransferCase> Cases(int baud) {
    const TransferMode down = TransferMode::down;
    const TransferMode up = TransferMode::up;
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
    return run.mode == TransferMode::down ? kSendChunk : kReceiveChunk;
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
        "handheld: the virtual handheld's time beyond the line (its files, wake-ups).\n\n");
    std::printf("%-22s %6s %8s %8s %7s %11s %10s %9s %9s\n", "case", "turn", "B/s", "ceiling",
                "share", "added/turn", "code/turn", "handheld", "CPU/MiB");
    std::fflush(stdout);
}

void PrintRow(const Row& row) {
    const TransferFigures& f = row.figures;
    const double ceiling = CeilingRate(CostOf(row.run), row.run.pace, row.run.packetWork);
    std::printf("%-22s %3lld ms %8s %8s %6.1f%% %8.3f ms %7.1f us %6.0f ms %6.1f ms%s\n",
                CaseName(row.run).c_str(),
                static_cast<long long>(row.run.pace.turnaround.count() / 1000),
                Grouped(PayloadRate(f)).c_str(), Grouped(ceiling).c_str(),
                100 * ShareOfCeiling(row), AddedPerTurnMs(f), 1000 * CodePerTurnMs(f),
                HandheldMs(f), CpuMsPerMiB(f), f.ok ? "" : "  FAILED");
    std::fflush(stdout);
}

const char* Verdict(bool met) {
    return met ? "met" : "NOT met";
}

void PrintTargets(const std::vector<Row>& rows) {
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
    std::printf("\nTargets\n");
    if (worstShare < 1e9) {
        std::printf("  at 1 ms: >= 97 %% of the ceiling            worst %6.1f %%   %s\n",
                    100 * worstShare, Verdict(worstShare >= kMinShareOfCeiling));
        std::printf("  at 1 ms: under 0.2 ms added per turnaround  worst %6.3f ms  %s\n",
                    worstAdded, Verdict(worstAdded < kMaxAddedPerTurnMs));
    }
    std::printf("  transfer CPU under 50 ms per MiB            worst %6.1f ms  %s\n", worstCpu,
                Verdict(worstCpu < kMaxCpuMsPerMiB));
}

bool PrintStream(const char* way, std::future<StreamFigures>& check) {
    try {
        const StreamFigures f = check.get();
        const double error = (Seconds(f.took) / Seconds(f.wireTime)) - 1;
        std::printf("  1 MiB paced stream %-13s %7.3f s for %7.3f s of wire time (%+.3f %%)  %s\n",
                    way, Seconds(f.took).count(), Seconds(f.wireTime).count(), 100 * error,
                    Verdict(error < kMaxStreamError && error > -kMaxStreamError));
        return true;
    } catch (const std::exception& error) {
        std::printf("  1 MiB paced stream %-13s could not run: %s\n", way, error.what());
        return false;
    }
}

bool PrintIdle(std::future<IdleFigures>& check) {
    try {
        const IdleFigures f = check.get();
        std::printf("  waiting %4.1f s for a silent handheld: %.2f ms of CPU (under 10 ms)  %s\n",
                    Seconds(f.waited).count(), Millis(f.cpu).count(),
                    Verdict(f.waitedThroughout && Millis(f.cpu).count() < kMaxIdleCpuMs));
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
        } else {
            std::fprintf(stderr,
                         "usage: kestrel-line-bench [--only TEXT] [--no-checks] [--baud N]\n");
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
    if (options.checks) {
        out = std::async(std::launch::async, StreamFromHandheld, kStreamBytes);
        in = std::async(std::launch::async, StreamToHandheld, kStreamBytes);
        idle = std::async(std::launch::async, WaitForSilentHandheld, kIdleWait);
    }
    PrintHeader(options.baud);
    bool allOk = true;
    std::vector<Row> rows;
    for (const TransferCase& run : Cases(options.baud)) {
        if (CaseName(run).find(options.only) == std::string::npos) continue;
        rows.push_back({run, RunPacedTransfer(run)});
        PrintRow(rows.back());
        allOk = allOk && rows.back().figures.ok;
    }
    PrintTargets(rows);
    if (options.checks) {
        allOk = PrintStream("handheld to PC", out) && allOk;
        allOk = PrintStream("PC to handheld", in) && allOk;
        allOk = PrintIdle(idle) && allOk;
    }
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
