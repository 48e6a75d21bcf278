#include "tests/faults/matrix_runner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "tests/faults/summary_table.h"
#include "transfer/transfer_texts.h"

namespace kestrel::test {
namespace {

bool Saw(const RunReport& report, std::string_view text) {
    return std::find(report.texts.begin(), report.texts.end(), text) != report.texts.end();
}

// The handheld saw every packet before the fault's, and the fault's own
// packet is the one the scenario names (unless the PC gave up before it).
void ExpectFaultReached(FaultRig& rig, const Scenario& scenario, const Fault& fault) {
    const Trace trace = rig.Handheld().GetTrace();
    ASSERT_GE(trace.packets.size(), fault.atPacket) << "the run ended before the fault's packet";
    const std::size_t compared = std::min(trace.packets.size(), fault.atPacket + 1);
    for (std::size_t i = 0; i < compared; ++i) {
        EXPECT_EQ(trace.packets[i].type, static_cast<std::uint8_t>(scenario.steps[i].type))
            << "packet " << i << " is not the one the scenario counts on";
    }
}

void RunOne(const Scenario& scenario, const Fault& fault, FaultRig& rig, SummaryTable& table) {
    const bool expected = ExpectSuccess(fault.kind, fault.atPacket, scenario.steps);
    const RunReport report = rig.Run(scenario.prepare(rig), kMatrixSilence);
    const bool succeeded = report.outcome == TransferOutcome::succeeded;
    table.Add(fault.kind, fault.atPacket, succeeded, expected, report.took);

    EXPECT_TRUE(report.inTime);
    EXPECT_EQ(succeeded, expected);
    ASSERT_FALSE(report.texts.empty());
    if (succeeded) {
        EXPECT_EQ(report.texts.back(), texts::kSucceeded);
    } else {
        EXPECT_EQ(report.outcome, TransferOutcome::failed);
        EXPECT_EQ(report.texts.back(), texts::kAborted);
        EXPECT_FALSE(Saw(report, texts::kSucceeded)) << "success shown in a run that failed";
    }
    // Every kind but a spoiled checksum stops the exchange at its packet.
    const bool answered = fault.kind == FaultKind::corruptChecksum;
    scenario.checkFiles(rig, succeeded, answered ? kNoPacket : fault.atPacket);
    ExpectFaultReached(rig, scenario, fault);
}

}  // namespace

void RunFaultMatrix(const Scenario& scenario, const std::string& lineName,
                    const std::function<std::unique_ptr<HandheldLine>()>& makeLine) {
    SummaryTable table(scenario.name + "-" + lineName, scenario.steps);
    for (const FaultKind kind : kAllFaultKinds) {
        for (std::size_t at = 0; at < scenario.steps.size(); ++at) {
            const Fault fault{kind, at};
            SCOPED_TRACE(testing::Message() << scenario.name << " over " << lineName << ": "
                                            << FaultKindName(kind) << " at packet " << at);
            FaultRig rig(makeLine(), {fault});
            RunOne(scenario, fault, rig, table);
        }
    }
    table.Publish();
}

}  // namespace kestrel::test
