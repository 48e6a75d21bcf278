// The same matrix over pseudo-terminals, the PC opening the slave as a
// serial device: after every run the port's settings are as the test set
// them and no lock is left on it.

#include <gtest/gtest.h>

#include "tests/faults/matrix_runner.h"

namespace kestrel::test {
namespace {

TEST(FaultMatrixOnPseudoTerminal, Send) {
    RunFaultMatrix(SendScenario(), "pty", MakePseudoTerminalLine);
}

TEST(FaultMatrixOnPseudoTerminal, Receive) {
    RunFaultMatrix(ReceiveScenario(), "pty", MakePseudoTerminalLine);
}

TEST(FaultMatrixOnPseudoTerminal, Package) {
    RunFaultMatrix(PackageScenario(), "pty", MakePseudoTerminalLine);
}

}  // namespace
}  // namespace kestrel::test
