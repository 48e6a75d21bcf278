// The Win32 serial backend through a real COM handle. Under Wine the port
// named by KESTREL_TEST_PORT leads to a pseudo-terminal whose far end sends
// back every byte (pty_echo_peer; com_port_test.sh sets it all up). Without
// that variable the tests are skipped.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <future>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "link/link_texts.h"
#include "link/open_port.h"

namespace kestrel {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

constexpr Silence kPatient = 5s;  // a bound a correct test never reaches

std::string PortUnderTest() {
    const char* name = std::getenv("KESTREL_TEST_PORT");
    return name == nullptr ? std::string() : std::string(name);
}

class ComPortTest : public ::testing::Test {
  protected:
    void SetUp() override {
        name_ = PortUnderTest();
        if (name_.empty()) GTEST_SKIP() << "KESTREL_TEST_PORT is not set (see com_port_test.sh)";
    }

    std::unique_ptr<Port> Open() {
        OpenedPort opened = OpenSerialPort(name_);
        EXPECT_NE(opened.port, nullptr) << name_ << " refused";
        return std::move(opened.port);
    }

    std::string name_;
};

Bytes AllByteValues() {
    Bytes bytes(256);
    std::iota(bytes.begin(), bytes.end(), std::uint8_t{0});
    return bytes;
}

// Writes `sent` and reads back as many bytes from the echoing far end.
Bytes RoundTrip(Port& port, const Bytes& sent) {
    EXPECT_EQ(port.Write(sent), IoStatus::ok);
    Bytes back(sent.size());
    EXPECT_EQ(port.Read(back, kPatient), IoStatus::ok);
    return back;
}

TEST_F(ComPortTest, EveryByteValuePassesUnchangedBothWays) {
    auto port = Open();
    ASSERT_NE(port, nullptr);
    const Bytes all = AllByteValues();
    EXPECT_EQ(RoundTrip(*port, all), all) << "upwards";
    Bytes reversed(all.rbegin(), all.rend());
    EXPECT_EQ(RoundTrip(*port, reversed), reversed) << "downwards";
}

TEST_F(ComPortTest, ControlBytesInBulkPassUnchanged) {
    // XON, XOFF, CR, LF, NUL and 0xFF, many times over and among other
    // bytes: what flow control, line editing or NUL stripping would eat.
    std::mt19937 random(7);
    Bytes sent;
    const std::uint8_t awkward[] = {0x11, 0x13, 0x0D, 0x0A, 0x00, 0xFF, 0x03, 0x7F};
    for (int i = 0; i < 5000; ++i) {
        sent.push_back(awkward[random() % std::size(awkward)]);
        sent.push_back(static_cast<std::uint8_t>(random()));
    }
    auto port = Open();
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(RoundTrip(*port, sent), sent);
}

TEST_F(ComPortTest, ASilentFarEndEndsTheReadAfterTheBound) {
    auto port = Open();
    ASSERT_NE(port, nullptr);
    std::uint8_t byte = 0;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(port->Read({&byte, 1}, 200ms), IoStatus::timedOut);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, 190ms);
    EXPECT_LT(waited, 4s);
}

TEST_F(ComPortTest, AShortAnswerTimesOutAndThePortGoesOn) {
    auto port = Open();
    ASSERT_NE(port, nullptr);
    // Two bytes come back at once, the third never: the read times out,
    // and the port still works for the next exchange.
    ASSERT_EQ(port->Write(Bytes{1, 2}), IoStatus::ok);
    Bytes three(3);
    EXPECT_EQ(port->Read(three, 300ms), IoStatus::timedOut);
    EXPECT_EQ(RoundTrip(*port, Bytes{9}), Bytes{9});
}

TEST_F(ComPortTest, CancelWakesAReadWithoutBound) {
    auto port = Open();
    ASSERT_NE(port, nullptr);
    auto reading = std::async(std::launch::async, [&port] {
        std::uint8_t byte = 0;
        return port->Read({&byte, 1}, std::nullopt);
    });
    EXPECT_EQ(reading.wait_for(100ms), std::future_status::timeout) << "no byte was sent";
    port->Cancel();
    ASSERT_EQ(reading.wait_for(5s), std::future_status::ready);
    EXPECT_EQ(reading.get(), IoStatus::cancelled);
    EXPECT_EQ(port->Write(Bytes{1}), IoStatus::cancelled) << "cancelled for good";
}

bool UnderWine() {
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

TEST_F(ComPortTest, ASecondOpenIsRefusedAsBusy) {
    // Windows keeps a COM port to one handle; Wine 8 does not.
    if (UnderWine()) GTEST_SKIP() << "Wine lets a COM port be opened twice";
    auto port = Open();
    ASSERT_NE(port, nullptr);
    const OpenedPort second = OpenSerialPort(name_);
    EXPECT_EQ(second.port, nullptr);
    EXPECT_EQ(second.reason, texts::kPortBusy);
}

// Settings another program left on the port, through a handle of our own.
struct RawPort {
    explicit RawPort(const std::string& name)
        : handle(::CreateFileW((L"\\\\.\\" + std::wstring(name.begin(), name.end())).c_str(),
                               GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                               nullptr)) {}
    ~RawPort() {
        if (handle != INVALID_HANDLE_VALUE) ::CloseHandle(handle);
    }
    RawPort(const RawPort&) = delete;
    RawPort& operator=(const RawPort&) = delete;

    DCB State() const {
        DCB state{};
        state.DCBlength = sizeof state;
        EXPECT_TRUE(::GetCommState(handle, &state));
        return state;
    }

    HANDLE handle;
};

DCB LeftByAnotherProgram(const DCB& found) {
    DCB odd = found;
    odd.BaudRate = CBR_9600;
    odd.ByteSize = 7;
    odd.Parity = EVENPARITY;
    odd.StopBits = TWOSTOPBITS;
    odd.fParity = TRUE;
    odd.fOutX = TRUE;
    odd.fInX = TRUE;
    odd.fOutxCtsFlow = TRUE;
    odd.fRtsControl = RTS_CONTROL_HANDSHAKE;
    return odd;
}

void ExpectSameLine(const DCB& expected, const DCB& actual) {
    EXPECT_EQ(expected.BaudRate, actual.BaudRate);
    EXPECT_EQ(expected.ByteSize, actual.ByteSize);
    EXPECT_EQ(expected.Parity, actual.Parity);
    EXPECT_EQ(expected.StopBits, actual.StopBits);
    EXPECT_EQ(expected.fOutX, actual.fOutX);
    EXPECT_EQ(expected.fInX, actual.fInX);
    EXPECT_EQ(expected.fOutxCtsFlow, actual.fOutxCtsFlow);
}

TEST_F(ComPortTest, WorksFromOddSettingsAndPutsThemBack) {
    DCB left{};
    {
        RawPort raw(name_);
        ASSERT_NE(raw.handle, INVALID_HANDLE_VALUE);
        DCB odd = LeftByAnotherProgram(raw.State());
        ASSERT_TRUE(::SetCommState(raw.handle, &odd));
        left = raw.State();  // as the system keeps it
        ASSERT_EQ(left.BaudRate, DWORD{CBR_9600});
    }
    {
        auto port = Open();
        ASSERT_NE(port, nullptr);
        const Bytes all = AllByteValues();
        EXPECT_EQ(RoundTrip(*port, all), all);
    }
    RawPort after(name_);
    ASSERT_NE(after.handle, INVALID_HANDLE_VALUE);
    ExpectSameLine(left, after.State());
    // Left as this test found it, for the next one.
    DCB plain = after.State();
    plain.fOutX = plain.fInX = plain.fOutxCtsFlow = FALSE;
    plain.fRtsControl = RTS_CONTROL_ENABLE;
    ::SetCommState(after.handle, &plain);
}

}  // namespace
}  // namespace kestrel
