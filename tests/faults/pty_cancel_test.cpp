// Over pseudo-terminals, the PC opening the slave as a serial device: a
// second program on the port of a running transfer is turned away at once,
// and the running transfer goes on to the end.

#include <gtest/gtest.h>

#include <future>

#include "link/link_texts.h"
#include "tests/faults/front_end_thread.h"
#include "tests/faults/scenarios.h"
#include "transfer/transfer_texts.h"

namespace kestrel::test {
namespace {

using namespace std::chrono_literals;

// Another program's whole run on the same port, bounded: a port that let it
// in would leave it waiting for a greeting that never comes.
TransferOutcome RunSecondProgram(const TransferRequest& request, RecordingStatus& status) {
    CancelSwitch cancel;
    const TransferSetup setup;  // opens the named port as any program would
    auto run =
        std::async(std::launch::async, [&] { return RunTransfer(request, setup, status, cancel); });
    if (run.wait_for(2s) != std::future_status::ready) {
        ADD_FAILURE() << "the second program was not turned away at once";
        cancel.Cancel();
    }
    return run.get();
}

TEST(SecondProgram, IsTurnedAwayWhileATransferRunsWhichGoesOn) {
    const Scenario scenario = SendScenario();
    FaultRig rig(MakePseudoTerminalLine(), {});
    const TransferRequest second{rig.PortName(), TransferMode::down, rig.PcFile("a.dat"), "b.dat",
                                 "LAVA"};
    RecordingStatus secondStatus;
    TransferOutcome secondOutcome = TransferOutcome::succeeded;
    // Text 2 is the countdown after the first Data packet: the first run is
    // mid-file, with the port open, while the second program tries it.
    FrontEndThread frontEnd(2, [&] { secondOutcome = RunSecondProgram(second, secondStatus); });
    rig.Start(scenario.prepare(rig), 5s, &frontEnd);
    const RunReport report = rig.Finish();

    EXPECT_EQ(secondOutcome, TransferOutcome::portUnavailable);
    EXPECT_EQ(secondStatus.Texts(),
              (std::vector<std::string>{std::string(texts::kWaiting),
                                        texts::CannotOpenPort(rig.PortName(), texts::kPortBusy)}));
    EXPECT_EQ(report.outcome, TransferOutcome::succeeded);
    EXPECT_EQ(frontEnd.Texts().back(), texts::kSucceeded);
    scenario.checkFiles(rig, true, kNoPacket);
}

}  // namespace
}  // namespace kestrel::test
