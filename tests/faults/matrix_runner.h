#pragma once
// Runs a scenario once for every fault kind at every one of its packets,
// each run on a fresh line and handheld, holds every run to the expected
// outcome and the scenario's file checks, and publishes the summary table.

#include <functional>
#include <memory>
#include <string>

#include "tests/faults/scenarios.h"

namespace kestrel::test {

// Short enough that the matrix never waits long on a silent handheld, long
// enough that a busy machine does not pass for one.
inline constexpr std::chrono::milliseconds kMatrixSilence{500};

void RunFaultMatrix(const Scenario& scenario, const std::string& lineName,
                    const std::function<std::unique_ptr<HandheldLine>()>& makeLine);

}  // namespace kestrel::test
