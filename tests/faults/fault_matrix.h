#pragma once
// The fault matrix: each fault of the virtual handheld at each packet of a
// run, with the outcome the rule in fault_matrix.cpp expects, the files
// checked after every run and a summary table printed per scenario.

#include <functional>

#include "tests/support/handheld_rig.h"

namespace kestrel::test {

struct Scenario {
    const char* name;
    std::vector<PacketType> steps;  // the PC packets in the order the handheld counts them
    std::function<TransferRequest(HandheldRig&)> prepare;
    std::function<void(HandheldRig&, bool succeeded)> check;
};

Scenario SendScenario();

// afterRun, when given, runs after each run while the line is still up.
void RunMatrix(const Scenario& scenario, const char* line,
               const std::function<HandheldLine()>& makeLine,
               const std::function<void(FaultKind)>& afterRun = {});

}  // namespace kestrel::test
