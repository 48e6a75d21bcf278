// The send's matrix over a pseudo-terminal, which the PC opens as it would a
// serial device: after every run the port's settings are as they were.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>

#include <cstring>

#include "link/pseudo_terminal.h"
#include "tests/faults/fault_matrix.h"

namespace kestrel::test {
namespace {

TEST(FaultMatrix, SendOverAPseudoTerminal) {
    std::unique_ptr<PseudoTerminal> pty;
    UniqueFd watch;  // keeps the slave open with settings no PC program would choose
    termios found{};
    auto makeLine = [&] {
        pty = std::make_unique<PseudoTerminal>(Must(PseudoTerminal::Open()));
        watch =
            UniqueFd(::open(pty->SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
        termios settings{};
        EXPECT_EQ(tcgetattr(watch.Get(), &settings), 0);
        cfmakeraw(&settings);
        cfsetspeed(&settings, B9600);
        settings.c_cflag |= CSTOPB;
        EXPECT_EQ(tcsetattr(watch.Get(), TCSANOW, &settings), 0);
        tcgetattr(watch.Get(), &found);
        return HandheldLine{
            Must(pty->TakeMasterPort()),
            [path = pty->SlavePath()](const PortChoice&) { return OpenSerialPort(path); }};
    };
    auto settingsKept = [&](FaultKind kind) {
        if (kind == FaultKind::hangUp) return;  // a hung-up terminal has no settings left to read
        termios now{};
        ASSERT_EQ(tcgetattr(watch.Get(), &now), 0);
        EXPECT_EQ(std::memcmp(&now, &found, sizeof now), 0) << "the settings were not put back";
    };
    RunMatrix(SendScenario(), "pty", makeLine, settingsKept);
}

}  // namespace
}  // namespace kestrel::test
