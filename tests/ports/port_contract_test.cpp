// What every serial port promises, through a real device: a pseudo-terminal
// natively, a COM port leading to one under Wine. KESTREL_TEST_PORT names the
// port, whose far end sends every byte back (with_port_peer.sh sets it up).

#include <gtest/gtest.h>

#include <cstdlib>
#include <future>
#include <numeric>
#include <tuple>

#include "link/open_port.h"
#include "tests/support/bytes.h"
#include "text/texts.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace kestrel::test {
namespace {

using namespace std::chrono_literals;

class PortContract : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* name = std::getenv("KESTREL_TEST_PORT");
        if (name == nullptr) GTEST_SKIP() << "no KESTREL_TEST_PORT (run through with_port_peer.sh)";
        name_ = name;
        ResultOf<std::unique_ptr<Port>> opened = OpenSerialPort(name_);
        ASSERT_TRUE(opened.IsOk()) << name_ << ": " << opened.Reason();
        port_ = std::move(opened).Value();
    }

    std::string name_;
    std::unique_ptr<Port> port_;
};

TEST_F(PortContract, BytesComeBackUnchanged) {
    Bytes everyValue(256);
    std::iota(everyValue.begin(), everyValue.end(), std::uint8_t{0});
    // What flow control, line editing, signals or NUL stripping would eat.
    const Bytes awkward = Hex("11 13 03 0D 0A 00 0D 7F FF 0A");
    Bytes controls;
    for (int i = 0; i < 40; ++i) controls.insert(controls.end(), awkward.begin(), awkward.end());
    for (const Bytes& sent :
         {everyValue, Bytes(everyValue.rbegin(), everyValue.rend()), controls}) {
        SCOPED_TRACE(ToHex(Bytes(sent.begin(), sent.begin() + 8)));
        ASSERT_TRUE(port_->Write(sent).IsOk());
        Bytes back(sent.size());
        EXPECT_TRUE(port_->Read(back, 5s).IsOk());
        EXPECT_EQ(back, sent);
    }
}

TEST_F(PortContract, ReadWithASilenceBoundTimesOut) {
    std::uint8_t byte = 0;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(port_->Read({&byte, 1}, 200ms).GetKind(), Result::Kind::timedOut);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 190ms);
}

TEST_F(PortContract, CancelWakesAReadWithoutLimit) {
    auto reading = std::async(std::launch::async, [this] {
        std::uint8_t byte = 0;
        return port_->Read({&byte, 1}, std::nullopt).GetKind();
    });
    EXPECT_EQ(reading.wait_for(100ms), std::future_status::timeout);
    port_->Cancel();
    ASSERT_EQ(reading.wait_for(5s), std::future_status::ready);
    EXPECT_EQ(reading.get(), Result::Kind::cancelled);
}

TEST_F(PortContract, ASecondOpenIsRefusedAsBusy) {
#ifdef _WIN32
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    if (ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr) {
        GTEST_SKIP() << "Wine lets a COM port be opened twice; Windows does not";
    }
#endif
    const ResultOf<std::unique_ptr<Port>> second = OpenSerialPort(name_);
    EXPECT_FALSE(second.IsOk());
    EXPECT_NE(second.Reason().find(texts::kPortBusy), std::string::npos) << second.Reason();
}

#ifndef _WIN32
TEST_F(PortContract, TerminalSettingsAreRawWhileOpenAndPutBackAfter) {
    port_.reset();
    const int fd = ::open(name_.c_str(), O_RDWR | O_NOCTTY);
    termios found{}, odd{}, working{}, after{};
    ASSERT_EQ(::tcgetattr(fd, &found), 0);
    odd = found;  // as another program may leave it
    odd.c_cflag |= CSTOPB | PARENB;
    odd.c_iflag |= IXON | IXOFF | ICRNL;
    odd.c_lflag |= ICANON | ECHO | ISIG;
    ::cfsetspeed(&odd, B9600);
    ASSERT_EQ(::tcsetattr(fd, TCSANOW, &odd), 0);
    ::tcgetattr(fd, &odd);  // as the driver keeps it

    port_ = Must(OpenSerialPort(name_));
    ::tcgetattr(fd, &working);
    EXPECT_EQ(::cfgetospeed(&working), speed_t{B115200});
    EXPECT_EQ(working.c_cflag & (CSIZE | PARENB | CSTOPB), tcflag_t{CS8});
    EXPECT_EQ(working.c_iflag & (IXON | IXOFF | ICRNL | INLCR | ISTRIP), 0u);
    EXPECT_EQ(working.c_oflag & OPOST, 0u);
    EXPECT_EQ(working.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    port_.reset();
    ::tcgetattr(fd, &after);  // c_cflag holds the speed too
    EXPECT_EQ(std::tie(after.c_cflag, after.c_iflag, after.c_oflag, after.c_lflag),
              std::tie(odd.c_cflag, odd.c_iflag, odd.c_oflag, odd.c_lflag));
    ::tcsetattr(fd, TCSANOW, &found);
    ::close(fd);
}
#endif

}  // namespace
}  // namespace kestrel::test
