// kestrel-cli, a process of its own, against a virtual handheld in this
// process over a pseudo-terminal: stopped by SIGINT or SIGTERM in the middle
// of a transfer, it says "终止传输", fails, puts the port back and keeps the
// user's file; a second kestrel-cli on the port of a running one is turned
// away at once with the open-failure text.

#include <gtest/gtest.h>
#include <signal.h>

#include <ostream>
#include <string>
#include <vector>

#include "tests/cli/child_process.h"
#include "tests/faults/scenarios.h"

namespace kestrel::test {
namespace {

const std::string kCli = KESTREL_CLI_PATH;

struct CliRun {
    const char* name;
    int signal;
    bool receive;
};

void PrintTo(const CliRun& run, std::ostream* out) { *out << run.name; }

std::vector<std::string> CliArguments(FaultRig& rig, bool receive) {
    if (receive) {
        return {kCli,    "receive", rig.PcFile("x.dat").string(),
                "--dir", "LAVA",    "--name",
                "a.dat", "--port",  rig.PortName()};
    }
    return {kCli,    "send",   rig.PcFile("a.dat").string(),
            "--dir", "LAVA",   "--name",
            "a.dat", "--port", rig.PortName()};
}

// Reads the program's lines until `line`; false if it never comes.
bool AwaitLine(ChildProcess& program, const std::string& line) {
    while (const auto next = program.ReadLine(kRunBound)) {
        if (*next == line) return true;
    }
    return false;
}

class InterruptedCli : public ::testing::TestWithParam<CliRun> {};

TEST_P(InterruptedCli, StopsAtOnceAndLeavesPortAndFilesAsTheyWere) {
    const CliRun run = GetParam();
    const Scenario scenario = run.receive ? ReceiveScenario() : SendScenario();
    // Silent from the first Data packet of a send, or the second ReadRequest
    // of a receive: the program waits there until the signal comes.
    FaultRig rig(MakePseudoTerminalLine(), {Fault{FaultKind::goSilent, run.receive ? 4U : 3U}});
    scenario.prepare(rig);

    ChildProcess cli(CliArguments(rig, run.receive));
    ASSERT_TRUE(AwaitLine(cli, "    1k"));
    cli.Signal(run.signal);
    EXPECT_EQ(cli.Wait(), 1);
    // Nothing but the abort: no read error, which a silence bound running
    // out instead of the signal would have shown first.
    EXPECT_EQ(cli.RestOfOutput(), "终止传输\n");
    rig.ExpectPortAsFound();
    scenario.checkFiles(rig, false, kNoPacket);
}

INSTANTIATE_TEST_SUITE_P(Signals, InterruptedCli,
                         ::testing::Values(CliRun{"SigintMidSend", SIGINT, false},
                                           CliRun{"SigtermMidSend", SIGTERM, false},
                                           CliRun{"SigintMidReceive", SIGINT, true},
                                           CliRun{"SigtermMidReceive", SIGTERM, true}),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(SecondCli, IsTurnedAwayWhileAnotherTransfers) {
    const Scenario scenario = SendScenario();
    FaultRig rig(MakePseudoTerminalLine(), {Fault{FaultKind::goSilent, 3}});
    scenario.prepare(rig);
    ChildProcess first(CliArguments(rig, false));
    ASSERT_TRUE(AwaitLine(first, "    1k"));

    const Finished second = RunToEnd(CliArguments(rig, false));
    EXPECT_EQ(second.status, 1);
    EXPECT_EQ(second.output,
              "等待传输开始...\n无法打开串口" + rig.PortName() + "!串口正被其他程序使用\n");

    first.Signal(SIGTERM);
    EXPECT_EQ(first.Wait(), 1);
    rig.ExpectPortAsFound();
}

}  // namespace
}  // namespace kestrel::test
