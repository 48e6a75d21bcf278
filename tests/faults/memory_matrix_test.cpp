// Every fault at every packet of a send, a receive and a package, with the
// handheld on an in-memory line.

#include <gtest/gtest.h>

#include "tests/faults/matrix_runner.h"

namespace kestrel::test {
namespace {

TEST(FaultMatrixInMemory, Send) {
    RunFaultMatrix(SendScenario(), "memory", MakeMemoryLine);
}

TEST(FaultMatrixInMemory, Receive) {
    RunFaultMatrix(ReceiveScenario(), "memory", MakeMemoryLine);
}

TEST(FaultMatrixInMemory, Package) {
    RunFaultMatrix(PackageScenario(), "memory", MakeMemoryLine);
}

}  // namespace
}  // namespace kestrel::test
