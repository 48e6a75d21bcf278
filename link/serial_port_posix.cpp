// Serial devices opened through termios: exclusive use, the working
// settings, and the found ones put back at close.
#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "link/descriptor_port_posix.h"
#include "link/link_texts.h"
#include "link/open_port.h"
#include "text/gbk.h"

#ifdef __linux__
#include <linux/serial.h>
#endif

namespace kestrel {

namespace {

using Clock = std::chrono::steady_clock;

#ifdef CRTSCTS
constexpr tcflag_t kHardwareFlowControl = CRTSCTS;
#else
constexpr tcflag_t kHardwareFlowControl = 0;
#endif

// Longest wait for the driver to send what is still queued before the found
// settings go back; a line that never drains must not hold the close up.
constexpr std::chrono::milliseconds kDrainBound{500};

bool SameSpeed(const termios& settings, speed_t speed) {
    return ::cfgetispeed(&settings) == speed && ::cfgetospeed(&settings) == speed;
}

constexpr tcflag_t kLineControl =
    CSIZE | PARENB | PARODD | CSTOPB | CLOCAL | CREAD | kHardwareFlowControl;
constexpr tcflag_t kWantedLineControl = CS8 | CLOCAL | CREAD;

// 115200 8N1, every byte passed as it is, no flow control of either kind, and
// the modem lines ignored. The rest of the found settings are kept.
termios WorkingSettings(const termios& found) {
    termios working = found;
    working.c_iflag = 0;
    working.c_oflag = 0;
    working.c_lflag = 0;
    working.c_cflag = (working.c_cflag & ~kLineControl) | kWantedLineControl;
    // One byte makes the descriptor readable; reads never wait in the
    // driver, since waits happen in poll().
    working.c_cc[VMIN] = 1;
    working.c_cc[VTIME] = 0;
    ::cfsetispeed(&working, B115200);
    ::cfsetospeed(&working, B115200);
    return working;
}

// A driver may accept tcsetattr() and apply only part of it; check what stuck.
bool WorkingSettingsTookEffect(const termios& now) {
    const tcflag_t cooking =
        IXON | IXOFF | IXANY | ICRNL | INLCR | IGNCR | ISTRIP | PARMRK | BRKINT;
    const tcflag_t local = ICANON | ECHO | ECHONL | ISIG | IEXTEN;
    return SameSpeed(now, B115200) && (now.c_cflag & kLineControl) == kWantedLineControl &&
           (now.c_iflag & cooking) == 0 && (now.c_oflag & OPOST) == 0 &&
           (now.c_lflag & local) == 0 && now.c_cc[VMIN] == 1 && now.c_cc[VTIME] == 0;
}

#if defined(__linux__) && defined(TIOCGSERIAL) && defined(ASYNC_LOW_LATENCY)
// USB serial adapters hold received bytes back (up to 16 ms on the common
// ones) unless the driver is asked for low latency, and every turnaround of
// the protocol would pay for it. True when this call switched the mode on,
// so that closing switches it off again; a driver without the setting (a
// pseudo-terminal, say) is left as it is.
bool RequestLowLatency(int fd) {
    serial_struct serial{};
    if (::ioctl(fd, TIOCGSERIAL, &serial) != 0) return false;
    if ((serial.flags & static_cast<int>(ASYNC_LOW_LATENCY)) != 0) return false;
    serial.flags |= static_cast<int>(ASYNC_LOW_LATENCY);
    return ::ioctl(fd, TIOCSSERIAL, &serial) == 0;
}

void DropLowLatency(int fd) {
    serial_struct serial{};
    if (::ioctl(fd, TIOCGSERIAL, &serial) != 0) return;
    serial.flags &= ~static_cast<int>(ASYNC_LOW_LATENCY);
    ::ioctl(fd, TIOCSSERIAL, &serial);
}
#else
// Elsewhere the adapter's latency is set by hand (see the README).
bool RequestLowLatency(int) {
    return false;
}
void DropLowLatency(int) {}
#endif

class SerialPort final : public DescriptorPort {
  public:
    SerialPort(UniqueFd fd, CancelPipe cancel, std::string name, const termios& found)
        : DescriptorPort(std::move(fd), std::move(cancel), std::move(name)), found_(found) {}
    ~SerialPort() override;

    // TIOCEXCL turns away later opens by other programs (except privileged
    // ones, which the advisory lock taken at open turns away).
    bool ClaimExclusive();
    // False when the settings could not be applied, or did not all stick
    // (errno is 0 then).
    bool ApplyWorkingSettings();

  private:
    void FinishOutput();

    termios found_;
    bool exclusive_ = false;
    bool lowLatency_ = false;  // switched on by us, to be switched off at close
};

SerialPort::~SerialPort() {
    const int fd = Descriptor();
    FinishOutput();
    RetryOnInterrupt([&] { return ::tcsetattr(fd, TCSANOW, &found_); });
    if (lowLatency_) DropLowLatency(fd);
    if (exclusive_) ::ioctl(fd, TIOCNXCL);
    ::flock(fd, LOCK_UN);
}

bool SerialPort::ClaimExclusive() {
    exclusive_ = ::ioctl(Descriptor(), TIOCEXCL) == 0;
    return exclusive_;
}

bool SerialPort::ApplyWorkingSettings() {
    const int fd = Descriptor();
    const termios working = WorkingSettings(found_);
    if (RetryOnInterrupt([&] { return ::tcsetattr(fd, TCSANOW, &working); }) != 0) return false;
    termios now{};
    if (::tcgetattr(fd, &now) != 0) return false;
    if (!WorkingSettingsTookEffect(now)) {
        errno = 0;
        return false;
    }
    // Whatever arrived before this session is not part of it.
    ::tcflush(fd, TCIOFLUSH);
    lowLatency_ = RequestLowLatency(fd);
    return true;
}

// Lets queued bytes (the last acknowledgement of a transfer, say) leave at
// the working speed before the found settings change it. A cancelled port
// drops them instead.
void SerialPort::FinishOutput() {
    const int fd = Descriptor();
    if (Cancelled()) {
        ::tcflush(fd, TCOFLUSH);
        return;
    }
    const auto giveUp = Clock::now() + kDrainBound;
    int queued = 0;
    while (::ioctl(fd, TIOCOUTQ, &queued) == 0 && queued > 0 && Clock::now() < giveUp) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// The program's own words for an errno of open(), when it has any: the
// OS's words follow them.
std::string_view ReasonForError(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
        case EROFS:
            return texts::kPortNoPermission;
        case EBUSY:
            return texts::kPortBusy;
        case ENOENT:
        case ENOTDIR:
        case ENODEV:
        case ENXIO:
        case EIO:  // what a serial port without hardware behind it gives
            return texts::kPortMissing;
        case ENOTTY:
        case EISDIR:
            return texts::kPortNotSerial;
        default:
            return {};
    }
}

bool InGroup(gid_t group) {
    if (::getegid() == group) return true;
    const int count = ::getgroups(0, nullptr);
    if (count <= 0) return false;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    const int got = ::getgroups(count, groups.data());
    return got > 0 &&
           std::find(groups.begin(), groups.begin() + got, group) != groups.begin() + got;
}

// The name of a group, when it is plain ASCII (and so the same in GBK).
std::optional<std::string> AsciiGroupName(gid_t id) {
    std::vector<char> buffer(4096);
    group entry{};
    group* found = nullptr;
    if (::getgrgid_r(id, &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr) {
        return std::nullopt;
    }
    std::string name(found->gr_name);
    const bool ascii =
        std::all_of(name.begin(), name.end(), [](char c) { return c > ' ' && c < 0x7F; });
    if (!ascii || name.empty()) return std::nullopt;
    return name;
}

// A device whose group may read and write it, while the user is not in that
// group, is what a fresh install gives (dialout on Debian, uucp elsewhere):
// joining the group is the way in, so the reason says so.
std::string NoPermissionReason(const std::string& path) {
    std::string reason(texts::kPortNoPermission);
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return reason;
    if ((info.st_mode & (S_IRGRP | S_IWGRP)) != (S_IRGRP | S_IWGRP) || InGroup(info.st_gid)) {
        return reason;
    }
    if (const auto name = AsciiGroupName(info.st_gid)) {
        reason.append(texts::kJoinGroupBefore).append(*name).append(texts::kJoinGroupAfter);
    }
    return reason;
}

// 无法打开串口%s! with the port's name, the program's words for why, and
// the OS's (none when `error` is 0).
Result CannotOpen(std::string_view name, std::string_view why, int error) {
    const std::error_code code =
        error == 0 ? std::error_code() : std::error_code(error, std::system_category());
    return Result::Failed(texts::CannotOpenPort(texts::PortName(name)) + std::string(why), {},
                          code);
}

// The same for an errno of the device at `path`.
Result CannotOpenDevice(std::string_view name, const std::string& path, int error) {
    if (error == EACCES || error == EPERM) return CannotOpen(name, NoPermissionReason(path), error);
    return CannotOpen(name, ReasonForError(error), error);
}

}  // namespace

ResultOf<std::unique_ptr<Port>> OpenSerialPort(std::string_view name) {
    const std::string path = SerialDevicePath(name);
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.Valid()) return CannotOpenDevice(name, path, errno);
    // Other lock failures (a file system without locks) leave TIOCEXCL alone
    // to keep other programs out.
    if (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        return CannotOpen(name, texts::kPortBusy, 0);
    }
    termios found{};
    if (::tcgetattr(fd.Get(), &found) != 0) return CannotOpenDevice(name, path, errno);
    CancelPipe cancel;
    if (const int error = OpenCancelPipe(cancel); error != 0)
        return CannotOpenDevice(name, path, error);

    // From here on, destroying the port puts the found settings back.
    auto port = std::make_unique<SerialPort>(std::move(fd), std::move(cancel),
                                             texts::PortName(name), found);
    if (!port->ClaimExclusive()) return CannotOpen(name, texts::kPortBusy, errno);
    if (!port->ApplyWorkingSettings()) return CannotOpen(name, texts::kPortUnsupported, errno);
    return std::unique_ptr<Port>(std::move(port));
}

}  // namespace kestrel
