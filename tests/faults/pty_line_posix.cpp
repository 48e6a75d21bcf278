#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <termios.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <future>
#include <mutex>

#include "link/pseudo_terminal.h"
#include "tests/faults/handheld_line.h"

namespace kestrel::test {
namespace {

// Settings no PC program would choose, so that a restore is visible.
termios Distinctive(int fd) {
    termios settings{};
    tcgetattr(fd, &settings);
    cfmakeraw(&settings);
    cfsetspeed(&settings, B9600);
    settings.c_cflag |= CSTOPB;
    return settings;
}

bool SameSettings(const termios& a, const termios& b) {
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
           a.c_lflag == b.c_lflag && cfgetispeed(&a) == cfgetispeed(&b) &&
           cfgetospeed(&a) == cfgetospeed(&b) &&
           std::equal(std::begin(a.c_cc), std::end(a.c_cc), std::begin(b.c_cc));
}

// The master side, closed by the serving thread once the handheld returns
// (which is how a hang-up fault reaches the PC) and cancelled from the test.
class Master {
  public:
    explicit Master(std::unique_ptr<Port> port) : port_(std::move(port)) {}
    Port* Get() {
        std::lock_guard lock(mutex_);
        return port_.get();
    }
    void Cancel() {
        std::lock_guard lock(mutex_);
        if (port_) port_->Cancel();
    }
    void Close() {
        std::lock_guard lock(mutex_);
        port_.reset();
    }

  private:
    std::mutex mutex_;
    std::unique_ptr<Port> port_;
};

class PseudoTerminalLine : public HandheldLine {
  public:
    PseudoTerminalLine()
        : watch_(open(terminal_.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)),
          master_(terminal_.TakeMasterPort()) {
        EXPECT_TRUE(watch_.Valid());
        found_ = Distinctive(watch_.Get());
        EXPECT_EQ(tcsetattr(watch_.Get(), TCSANOW, &found_), 0);
        tcgetattr(watch_.Get(), &found_);  // as the driver took them
    }
    ~PseudoTerminalLine() override {
        master_.Cancel();
        if (served_.valid()) served_.wait();
    }

    std::function<void()> HangUpAction() override { return {}; }
    void Serve(VirtualHandheld& handheld) override {
        Port* port = master_.Get();
        served_ = std::async(std::launch::async, [this, &handheld, port] {
            if (handheld.Serve(*port) != SessionEnd::hungUp) return;
            hungUp_ = true;
            master_.Close();
        });
    }
    std::string PortName() const override { return terminal_.SlavePath(); }
    OpenedPort OpenPcEnd(std::string_view name) override { return OpenSerialPort(name); }
    void StopServing() override {
        master_.Cancel();
        if (served_.valid() && served_.wait_for(kRunBound) != std::future_status::ready) {
            ADD_FAILURE() << "the handheld did not stop";
        }
    }
    void ExpectPortAsFound() override {
        // Once the master is gone the slave is hung up for good: its settings
        // can no longer be read (nor set) through any descriptor.
        if (!hungUp_) {
            termios now{};
            ASSERT_EQ(tcgetattr(watch_.Get(), &now), 0) << std::strerror(errno);
            EXPECT_TRUE(SameSettings(now, found_)) << "the port's settings were not put back";
        }
        EXPECT_EQ(flock(watch_.Get(), LOCK_EX | LOCK_NB), 0) << "the port is still locked";
        flock(watch_.Get(), LOCK_UN);
    }

  private:
    PseudoTerminal terminal_;
    UniqueFd watch_;  // keeps the slave open and shows its settings
    termios found_{};
    Master master_;
    std::atomic<bool> hungUp_{false};
    std::future<void> served_;
};

}  // namespace

std::unique_ptr<HandheldLine> MakePseudoTerminalLine() {
    return std::make_unique<PseudoTerminalLine>();
}

}  // namespace kestrel::test
