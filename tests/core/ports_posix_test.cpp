// POSIX only: the port the handheld greets on, found among pseudo-terminals
// opened as serial devices; the ports passed over are left as they were.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>

#include <condition_variable>
#include <cstring>

#include "link/port_finder.h"
#include "link/pseudo_terminal.h"
#include "tests/support/gbk.h"
#include "tests/support/handheld_rig.h"
#include "transfer/transfer_texts.h"

namespace kestrel::test {
namespace {

using namespace std::chrono_literals;

// A serial port with settings no PC program would choose, kept through a
// slave descriptor of its own; the handheld's side is the master.
struct WatchedPort {
    WatchedPort() {
        termios settings{};
        tcgetattr(watch.Get(), &settings);
        cfmakeraw(&settings);
        cfsetspeed(&settings, B9600);
        settings.c_cflag |= CSTOPB;
        tcsetattr(watch.Get(), TCSANOW, &settings);
        tcgetattr(watch.Get(), &found);
    }
    void ExpectUntouched() {
        termios now{};
        ASSERT_EQ(tcgetattr(watch.Get(), &now), 0);
        EXPECT_EQ(std::memcmp(&now, &found, sizeof now), 0) << "settings not put back";
        EXPECT_EQ(master ? ToHex(Drain(*master)) : "", "") << "written to";
    }
    PseudoTerminal pty = Must(PseudoTerminal::Open());
    UniqueFd watch{::open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)};
    std::unique_ptr<Port> master = Must(pty.TakeMasterPort());
    termios found{};
};

TEST(PortsPosix, FindGreetingPort) {
    const struct {
        const char* name;
        int greets;          // which of the three says W Q X over and over; -1: none
        bool noise;          // the first says Q X over and over
        bool missing;        // a name no device has, in place of the ports
        bool stale = false;  // the third greeted before the search began
    } rows[] = {
        {"the second of three greets", 1, true, false},
        {"none greets", -1, false, false},
        {"no port opens", -1, false, true},
        {"a greeting from before the search", -1, false, false, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        WatchedPort ports[3];
        std::vector<std::string> names;
        for (const WatchedPort& port : ports) names.push_back(port.pty.SlavePath());
        if (row.missing) names = {"/dev/kestrel-none"};
        if (row.stale) (void)ports[2].master->Write(Hex("57 51 58"));
        std::jthread handheld([&](std::stop_token stop) {
            for (; !stop.stop_requested(); std::this_thread::sleep_for(20ms)) {
                if (row.noise) (void)ports[0].master->Write(Hex("51 58"));
                if (row.greets >= 0) (void)ports[row.greets].master->Write(Hex("57 51 58"));
            }
        });
        const auto giveUp = std::chrono::steady_clock::now() + (row.stale ? 300ms : 5s);
        ResultOf<FoundPort> found = FindGreetingPort(names, OpenSerialPort, [&] {
            return (row.greets < 0 && !row.stale) || std::chrono::steady_clock::now() > giveUp;
        });
        EXPECT_EQ(found.IsOk(), row.greets >= 0);
        if (row.greets < 0 && !row.missing) {
            EXPECT_EQ(found.GetKind(), Result::Kind::cancelled) << "stopped, which is no failure";
        }
        // Every port that would not open, and why, still reaches the user.
        EXPECT_EQ(found.Reason().find(Gbk("：没有可以打开的串口 /dev/kestrel-none：")) !=
                      std::string::npos,
                  row.missing)
            << found.Reason();
        if (found.IsOk()) {
            EXPECT_EQ(found.Value().name, names[static_cast<std::size_t>(row.greets)]);
            Bytes greeting(3);
            ASSERT_TRUE(found.Value().port->Read(greeting, 1s).IsOk());
            EXPECT_EQ(ToHex(greeting), "57 51 58") << "answered from its start";
        }
        for (int i = 0; i < 3; ++i) {
            if (i != row.greets) ports[i].ExpectUntouched();
        }
    }
}

TEST(PortsPosix, ComNamesStandForTheFirstFourSerialDevices) {
    const std::pair<const char*, const char*> rows[] = {{"COM1", "/dev/ttyS0"},
                                                        {"com4", "/dev/ttyS3"},
                                                        {"COM5", "COM5"},
                                                        {"/dev/pts/3", "/dev/pts/3"}};
    for (const auto& [name, path] : rows) EXPECT_EQ(SerialDevicePath(name), path) << name;
}

// A PC that stops mid-session (here at a wrong reply) leaves the handheld
// waiting; once the PC has been silent long enough, it greets again.
TEST(PortsPosix, AHandheldLeftMidSessionGreetsAgain) {
    WatchedPort line;
    const std::string path = line.pty.SlavePath();
    HandheldOptions options;
    options.pcSilence = 100ms;
    options.faults = {{FaultKind::wrongReply, 2}};  // at the NewFile
    HandheldRig rig(std::move(options), {std::move(line.master), [path](const PortChoice&) {
                                             return OpenSerialPort(path);
                                         }});
    WriteFileText(rig.Pc("a.dat"), "abc");
    EXPECT_EQ(rig.Run(OneFile(TransferKind::send, rig.Pc("a.dat"), "D", "a.dat")).GetKind(),
              Result::Kind::failed);
    const std::unique_ptr<Port> again = Must(OpenSerialPort(path));
    std::uint8_t byte = 0;  // the handheld's 0x05 from before may come first
    while (again->Read(std::span(&byte, 1), 2s).IsOk() && byte != 0x57) {
    }
    EXPECT_EQ(byte, 0x57) << "no W";
}

// A send to the automatic port: the handheld found and served, the other
// ports untouched, and every port's settings as they were afterwards.
TEST(PortsPosix, AnAutomaticPortIsTheOneTheHandheldGreetsOn) {
    WatchedPort ports[3];
    std::vector<std::string> names;
    for (const WatchedPort& port : ports) names.push_back(port.pty.SlavePath());
    HandheldRig rig({}, {std::move(ports[1].master),
                         [](const PortChoice& port) { return OpenSerialPort(port.name); }});
    rig.setup.listSerialPorts = [&names] { return names; };
    WriteFileText(rig.Pc("a.dat"), "abc");
    TransferRequest request = OneFile(TransferKind::send, rig.Pc("a.dat"), "D", "a.dat");
    request.port = {PortChoice::Kind::automatic, ""};
    CancelSwitch cancel;  // a run that finds no handheld waits for ever: five seconds at most
    std::jthread watchdog([&cancel](std::stop_token stop) {
        std::mutex mutex;
        std::unique_lock lock(mutex);
        std::condition_variable_any().wait_for(lock, stop, 5s, [] { return false; });
        cancel.Cancel();
    });
    const Result end = RunTransfer(request, rig.setup, rig.status, cancel);
    EXPECT_TRUE(end.IsOk()) << end.Reason();
    EXPECT_EQ(ReadFileBytes(rig.Root() / "D" / "a.dat"), FromText("abc"));
    EXPECT_TRUE(rig.status.Saw(texts::FoundOn(names[1])));
    for (WatchedPort& port : ports) port.ExpectUntouched();  // the handheld's own has no master
}

}  // namespace
}  // namespace kestrel::test
