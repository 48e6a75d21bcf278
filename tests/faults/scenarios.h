#pragma once
// The three runs of the fault matrix: a send, a receive into a PC file that
// already holds something, and a package of three entries. Each knows its
// packets, puts its files in place, and checks the files after a run.

#include <functional>
#include <string>
#include <vector>

#include "tests/faults/fault_rig.h"
#include "tests/faults/packet_steps.h"

namespace kestrel::test {

inline constexpr std::size_t kNoPacket = static_cast<std::size_t>(-1);

struct Scenario {
    std::string name;
    std::vector<PacketStep> steps;
    // Puts the files in place and returns the request for the run.
    std::function<TransferRequest(FaultRig&)> prepare;
    // Checks the PC's and the handheld's files after a run. firstUnanswered
    // is the first packet the handheld did not answer as asked, when known.
    std::function<void(FaultRig&, bool succeeded, std::size_t firstUnanswered)> checkFiles;
};

Scenario SendScenario();
Scenario ReceiveScenario();
Scenario PackageScenario();

}  // namespace kestrel::test
