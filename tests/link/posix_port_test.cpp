// The termios backend over real pseudo-terminals: the PC side opens the slave
// path with OpenSerialPort, the test plays the handheld on the master.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <future>
#include <numeric>
#include <thread>
#include <vector>

#include "link/link_texts.h"
#include "link/open_port.h"
#include "link/pseudo_terminal.h"
#include "tests/support/scratch_dir.h"

namespace kestrel {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

constexpr Silence kQuiet = 50ms;  // long enough to be sure nothing more is coming
constexpr Silence kPatient = 2s;  // a bound a correct test never reaches

Bytes AllByteValues() {
    Bytes bytes(256);
    std::iota(bytes.begin(), bytes.end(), std::uint8_t{0});
    return bytes;
}

// A second descriptor on the slave, opened before the PC side so that the
// exclusive flag does not keep it out; used to look at and set the settings.
UniqueFd OpenProbe(const std::string& path) {
    UniqueFd probe(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK));
    EXPECT_TRUE(probe.Valid()) << path << ": " << std::strerror(errno);
    return probe;
}

termios SettingsOf(const UniqueFd& fd) {
    termios settings{};
    EXPECT_EQ(::tcgetattr(fd.Get(), &settings), 0) << std::strerror(errno);
    return settings;
}

// A terminal as a shell leaves it: every kind of processing a raw link must undo.
termios CookedSettings(const UniqueFd& fd) {
    termios cooked = SettingsOf(fd);
    cooked.c_iflag |= ICRNL | IXON | IXOFF | ISTRIP | BRKINT;
    cooked.c_oflag |= OPOST | ONLCR;
    cooked.c_lflag |= ICANON | ECHO | ECHOE | ISIG | IEXTEN;
    cooked.c_cflag = (cooked.c_cflag & ~tcflag_t{CSIZE}) | CS7 | PARENB | CSTOPB | CRTSCTS;
    ::cfsetispeed(&cooked, B9600);
    ::cfsetospeed(&cooked, B9600);
    EXPECT_EQ(::tcsetattr(fd.Get(), TCSANOW, &cooked), 0) << std::strerror(errno);
    return SettingsOf(fd);
}

void ExpectSameSettings(const termios& expected, const termios& actual) {
    EXPECT_EQ(expected.c_iflag, actual.c_iflag);
    EXPECT_EQ(expected.c_oflag, actual.c_oflag);
    EXPECT_EQ(expected.c_cflag, actual.c_cflag);
    EXPECT_EQ(expected.c_lflag, actual.c_lflag);
    EXPECT_EQ(::cfgetispeed(&expected), ::cfgetispeed(&actual));
    EXPECT_EQ(::cfgetospeed(&expected), ::cfgetospeed(&actual));
    EXPECT_TRUE(
        std::equal(std::begin(expected.c_cc), std::end(expected.c_cc), std::begin(actual.c_cc)))
        << "control characters differ";
}

std::unique_ptr<Port> OpenPc(const std::string& path) {
    OpenedPort opened = OpenSerialPort(path);
    EXPECT_NE(opened.port, nullptr) << "refused: reason of " << opened.reason.size() << " bytes";
    return std::move(opened.port);
}

Bytes ReadExactly(Port& port, std::size_t count, IoStatus expected = IoStatus::ok) {
    Bytes bytes(count);
    EXPECT_EQ(port.Read(bytes, kPatient), expected);
    return bytes;
}

void ExpectNothingMore(Port& port) {
    std::uint8_t extra = 0;
    EXPECT_EQ(port.Read({&extra, 1}, kQuiet), IoStatus::timedOut)
        << "unexpected byte " << int{extra};
}

class PosixPortTest : public ::testing::Test {
  protected:
    PseudoTerminal pty;
    std::unique_ptr<Port> master = pty.TakeMasterPort();
};

TEST_F(PosixPortTest, EveryByteValuePassesUnchangedBothWaysOverAFormerlyCookedLine) {
    UniqueFd probe = OpenProbe(pty.SlavePath());
    CookedSettings(probe);
    auto pc = OpenPc(pty.SlavePath());
    ASSERT_NE(pc, nullptr);
    ASSERT_NE(master, nullptr);
    const Bytes all = AllByteValues();

    ASSERT_EQ(pc->Write(all), IoStatus::ok);
    EXPECT_EQ(ReadExactly(*master, all.size()), all);
    ExpectNothingMore(*master);  // no CR/LF expansion

    ASSERT_EQ(master->Write(all), IoStatus::ok);
    EXPECT_EQ(ReadExactly(*pc, all.size()), all);
    ExpectNothingMore(*pc);
    ExpectNothingMore(*master);  // no echo
}

TEST_F(PosixPortTest, WorkingSettingsWhileOpenAndTheFoundOnesExactlyAfterClose) {
    UniqueFd probe = OpenProbe(pty.SlavePath());
    const termios found = CookedSettings(probe);
    {
        auto pc = OpenPc(pty.SlavePath());
        ASSERT_NE(pc, nullptr);
        const termios working = SettingsOf(probe);
        EXPECT_EQ(::cfgetospeed(&working), speed_t{B115200});
        EXPECT_EQ(::cfgetispeed(&working), speed_t{B115200});
        EXPECT_EQ(working.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS | CLOCAL | CREAD),
                  tcflag_t{CS8 | CLOCAL | CREAD});
        EXPECT_EQ(working.c_iflag & (IXON | IXOFF | IXANY | ICRNL | ISTRIP), 0u);
        EXPECT_EQ(working.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
        EXPECT_EQ(working.c_oflag & OPOST, 0u);
    }
    ExpectSameSettings(found, SettingsOf(probe));
}

TEST_F(PosixPortTest, FoundSettingsComeBackAfterASessionThatFailed) {
    UniqueFd probe = OpenProbe(pty.SlavePath());
    const termios found = CookedSettings(probe);
    std::uint8_t byte = 0;
    {
        auto pc = OpenPc(pty.SlavePath());
        ASSERT_NE(pc, nullptr);
        EXPECT_EQ(pc->Read({&byte, 1}, 10ms), IoStatus::timedOut);
    }
    ExpectSameSettings(found, SettingsOf(probe));
    {
        auto pc = OpenPc(pty.SlavePath());
        ASSERT_NE(pc, nullptr);
        ASSERT_EQ(pc->Write({&byte, 1}), IoStatus::ok);
        pc->Cancel();
        EXPECT_EQ(pc->Read({&byte, 1}, std::nullopt), IoStatus::cancelled);
    }
    ExpectSameSettings(found, SettingsOf(probe));
}

TEST_F(PosixPortTest, AReadWaitsForPiecesAndItsSilenceBoundRestartsWithEach) {
    auto pc = OpenPc(pty.SlavePath());
    ASSERT_NE(pc, nullptr);
    // Ten pieces 25 ms apart: together longer than the 150 ms bound, which
    // only a bound counted from the latest byte survives.
    const Bytes all = AllByteValues();
    std::thread handheld([&] {
        for (std::size_t at = 0; at < 40; at += 4) {
            std::this_thread::sleep_for(25ms);
            EXPECT_EQ(master->Write(std::span(all).subspan(at, 4)), IoStatus::ok);
        }
    });
    Bytes got(40);
    EXPECT_EQ(pc->Read(got, 150ms), IoStatus::ok);
    handheld.join();
    EXPECT_EQ(got, Bytes(all.begin(), all.begin() + 40));
}

TEST_F(PosixPortTest, SilenceBoundEndsAReadThatStalls) {
    auto pc = OpenPc(pty.SlavePath());
    ASSERT_NE(pc, nullptr);
    const Bytes half = {0x08, 0x00};
    ASSERT_EQ(master->Write(half), IoStatus::ok);
    Bytes got(4);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(pc->Read(got, 50ms), IoStatus::timedOut);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 50ms);
}

TEST_F(PosixPortTest, CancelWakesABlockedReadAndRefusesEveryLaterOperation) {
    auto pc = OpenPc(pty.SlavePath());
    ASSERT_NE(pc, nullptr);
    auto reading = std::async(std::launch::async, [&] {
        std::uint8_t byte = 0;
        return pc->Read({&byte, 1}, std::nullopt);
    });
    std::this_thread::sleep_for(20ms);
    pc->Cancel();
    if (reading.wait_for(2s) != std::future_status::ready) {
        master.reset();  // a hang-up frees the reader so that the test can end
        FAIL() << "the read did not wake up";
    }
    EXPECT_EQ(reading.get(), IoStatus::cancelled);

    const Bytes byte = {0x06};
    ASSERT_EQ(master->Write(byte), IoStatus::ok);
    EXPECT_EQ(pc->Write(byte), IoStatus::cancelled);
    ReadExactly(*pc, 1, IoStatus::cancelled);  // even with a byte waiting
}

TEST_F(PosixPortTest, AWriteLargerThanTheLineBuffersWaitsForRoom) {
    auto pc = OpenPc(pty.SlavePath());
    ASSERT_NE(pc, nullptr);
    Bytes block(256 * 1024);
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
    auto handheld =
        std::async(std::launch::async, [&] { return ReadExactly(*master, block.size()); });
    EXPECT_EQ(pc->Write(block), IoStatus::ok);
    EXPECT_EQ(handheld.get(), block);
}

TEST_F(PosixPortTest, CancelWakesAWriteWaitingForRoom) {
    auto pc = OpenPc(pty.SlavePath());
    ASSERT_NE(pc, nullptr);
    // Nobody reads the master, so the write fills the line and waits.
    auto writing = std::async(std::launch::async, [&] { return pc->Write(Bytes(1024 * 1024)); });
    std::this_thread::sleep_for(20ms);
    pc->Cancel();
    if (writing.wait_for(2s) != std::future_status::ready) {
        master.reset();
        FAIL() << "the write did not wake up";
    }
    EXPECT_EQ(writing.get(), IoStatus::cancelled);
}

TEST_F(PosixPortTest, HangUpOfTheFarSideFailsReadsAndWrites) {
    auto pc = OpenPc(pty.SlavePath());
    ASSERT_NE(pc, nullptr);
    master.reset();
    ReadExactly(*pc, 1, IoStatus::failed);
    const Bytes byte = {0x06};
    EXPECT_EQ(pc->Write(byte), IoStatus::failed);
}

TEST_F(PosixPortTest, WithoutAKeptSlaveTheMasterFailsOnceThePcCloses) {
    auto pc = OpenPc(pty.SlavePath());
    ASSERT_NE(pc, nullptr);
    pc.reset();
    ReadExactly(*master, 1, IoStatus::failed);
}

TEST_F(PosixPortTest, ASecondOpenIsRefusedAsBusyUntilTheFirstCloses) {
    auto first = OpenPc(pty.SlavePath());
    ASSERT_NE(first, nullptr);
    OpenedPort second = OpenSerialPort(pty.SlavePath());
    EXPECT_EQ(second.port, nullptr);
    EXPECT_EQ(second.reason, texts::kPortBusy);
    first.reset();
    EXPECT_NE(OpenPc(pty.SlavePath()), nullptr);
}

#ifdef TIOCGEXCL
// Privileged programs pass the exclusive flag, so the refusal test above
// cannot show that it is set; and a flag left behind keeps ordinary users
// out of the next session.
TEST_F(PosixPortTest, ExclusiveFlagIsSetWhileOpenAndClearedAfter) {
    UniqueFd probe = OpenProbe(pty.SlavePath());
    int exclusive = 0;
    {
        auto pc = OpenPc(pty.SlavePath());
        ASSERT_NE(pc, nullptr);
        ASSERT_EQ(::ioctl(probe.Get(), TIOCGEXCL, &exclusive), 0);
        EXPECT_NE(exclusive, 0);
    }
    ASSERT_EQ(::ioctl(probe.Get(), TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
}
#endif

TEST_F(PosixPortTest, KeptSlaveLetsTheHandheldWaitBetweenPcSessions) {
    pty.KeepSlaveOpenRaw();
    UniqueFd probe = OpenProbe(pty.SlavePath());
    const termios kept = SettingsOf(probe);
    EXPECT_EQ(kept.c_lflag & (ICANON | ECHO), 0u);
    const Bytes greeting = {'W', 'Q', 'X'};
    for (int session = 0; session < 2; ++session) {
        auto pc = OpenPc(pty.SlavePath());
        ASSERT_NE(pc, nullptr) << "session " << session;
        EXPECT_EQ(OpenSerialPort(pty.SlavePath()).reason, texts::kPortBusy);
        ASSERT_EQ(master->Write(greeting), IoStatus::ok);
        EXPECT_EQ(ReadExactly(*pc, greeting.size()), greeting);
        ASSERT_EQ(pc->Write(greeting), IoStatus::ok);
        EXPECT_EQ(ReadExactly(*master, greeting.size()), greeting);
        pc.reset();
        ExpectNothingMore(*master);  // waiting, not failed
        ExpectSameSettings(kept, SettingsOf(probe));
    }
}

TEST_F(PosixPortTest, BytesSentBeforeTheOpenAreNotPartOfTheSession) {
    pty.KeepSlaveOpenRaw();
    const Bytes stale = {0x05, 0x4F, 0x58};
    ASSERT_EQ(master->Write(stale), IoStatus::ok);
    std::this_thread::sleep_for(10ms);  // let them reach the slave's queue
    auto pc = OpenPc(pty.SlavePath());
    ASSERT_NE(pc, nullptr);
    ExpectNothingMore(*pc);
    const Bytes fresh = {0x08};
    ASSERT_EQ(master->Write(fresh), IoStatus::ok);
    EXPECT_EQ(ReadExactly(*pc, 1), fresh);
}

TEST(OpenSerialPortTest, SaysWhyAPathCannotBeUsed) {
    test::ScratchDir scratch;
    EXPECT_EQ(OpenSerialPort((scratch / "ttyUSB9").string()).reason, texts::kPortMissing);
    EXPECT_EQ(OpenSerialPort((scratch / "no" / "ttyUSB0").string()).reason, texts::kPortMissing);
    test::WriteFileText(scratch / "plain", "not a device");
    EXPECT_EQ(OpenSerialPort((scratch / "plain").string()).reason, texts::kPortNotSerial);
    EXPECT_EQ(OpenSerialPort(scratch.Path().string()).reason, texts::kPortNotSerial);
}

TEST(OpenSerialPortTest, SaysWhenTheUserMayNotUseThePort) {
    test::ScratchDir scratch;
    const auto path = scratch / "ttyLocked";
    test::WriteFileText(path, "");
    ASSERT_EQ(::chmod(path.c_str(), 0), 0);
    ::chmod(scratch.Path().c_str(), 0755);
    // Root passes file permissions, so the check runs in a child process
    // that has given root up.
    EXPECT_EXIT(
        {
            if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) _exit(2);
            _exit(OpenSerialPort(path.string()).reason == texts::kPortNoPermission ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(SerialDevicePathTest, ComNamesStandForTheFirstFourSerialPorts) {
    EXPECT_EQ(SerialDevicePath("COM1"), "/dev/ttyS0");
    EXPECT_EQ(SerialDevicePath("COM3"), "/dev/ttyS2");
    EXPECT_EQ(SerialDevicePath("COM4"), "/dev/ttyS3");
    EXPECT_EQ(SerialDevicePath("/dev/ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(SerialDevicePath("com3"), "com3");
    EXPECT_EQ(SerialDevicePath("COM31"), "COM31");
}

}  // namespace
}  // namespace kestrel
