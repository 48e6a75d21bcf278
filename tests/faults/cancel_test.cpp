// Cancelling a run from the front end's thread at every step it reports:
// the run stops, says "终止传输", never claims success, closes the port and
// leaves the user's files as the matrix requires.

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/faults/front_end_thread.h"
#include "tests/faults/scenarios.h"
#include "transfer/transfer_texts.h"

namespace kestrel::test {
namespace {

// How many texts a run shows when nothing goes wrong.
std::size_t TextsOfACleanRun(const Scenario& scenario) {
    FaultRig rig(MakeMemoryLine(), {});
    const RunReport report = rig.Run(scenario.prepare(rig), std::chrono::seconds(5));
    EXPECT_EQ(report.outcome, TransferOutcome::succeeded);
    return report.texts.size();
}

void CancelAtEveryStep(const Scenario& scenario) {
    const std::size_t steps = TextsOfACleanRun(scenario);
    ASSERT_GE(steps, 3U);
    for (std::size_t at = 0; at < steps; ++at) {
        SCOPED_TRACE(testing::Message() << scenario.name << ": cancel on text " << at);
        FaultRig rig(MakeMemoryLine(), {});
        FrontEndThread frontEnd(at, [&rig] { rig.Cancel(); });
        rig.Start(scenario.prepare(rig), std::chrono::seconds(5), &frontEnd);
        const RunReport report = rig.Finish();
        const std::vector<std::string> texts = frontEnd.Texts();
        ASSERT_FALSE(texts.empty());
        const bool cancelledAfterSuccess = at + 1 == steps;
        if (cancelledAfterSuccess) {
            EXPECT_EQ(report.outcome, TransferOutcome::succeeded);
            EXPECT_EQ(texts.back(), texts::kSucceeded);
        } else {
            EXPECT_EQ(report.outcome, TransferOutcome::cancelled);
            EXPECT_EQ(texts.back(), texts::kAborted);
            EXPECT_EQ(std::count(texts.begin(), texts.end(), texts::kSucceeded), 0);
        }
        scenario.checkFiles(rig, cancelledAfterSuccess, kNoPacket);
    }
}

TEST(CancelFromTheFrontEnd, AtEveryStepOfASend) {
    CancelAtEveryStep(SendScenario());
}

TEST(CancelFromTheFrontEnd, AtEveryStepOfAReceive) {
    CancelAtEveryStep(ReceiveScenario());
}

TEST(CancelFromTheFrontEnd, AtEveryStepOfAPackage) {
    CancelAtEveryStep(PackageScenario());
}

}  // namespace
}  // namespace kestrel::test
