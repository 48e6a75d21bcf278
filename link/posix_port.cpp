// Byte ports over POSIX descriptors, and serial devices opened through termios.
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "link/open_port.h"
#include "link/pseudo_terminal.h"
#include "text/texts.h"

#ifdef __linux__
#include <linux/serial.h>
#endif

namespace kestrel {

namespace {

using Clock = std::chrono::steady_clock;
using Deadline = std::optional<Clock::time_point>;

#ifdef CRTSCTS
constexpr tcflag_t kHardwareFlowControl = CRTSCTS;
#else
constexpr tcflag_t kHardwareFlowControl = 0;
#endif

// Longest wait for the driver to send what is still queued before the found
// settings go back; a line that never drains must not hold the close up.
constexpr std::chrono::milliseconds kDrainBound{500};

constexpr const char* kComDevices[] = {"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS3"};

template <typename Call>
int RetryOnInterrupt(Call call) {
    int result = 0;
    do {
        result = call();
    } while (result < 0 && errno == EINTR);
    return result;
}

bool SetNonBlockingAndCloseOnExec(int fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0) return false;
    return ::fcntl(fd, F_SETFD, FD_CLOEXEC) == 0;
}

struct CancelPipe {
    UniqueFd readEnd;
    UniqueFd writeEnd;
};

// A self-pipe rather than an eventfd so that the same code serves macOS.
int OpenCancelPipe(CancelPipe& pipe) {
    int ends[2] = {-1, -1};
    if (::pipe(ends) != 0) return errno;
    pipe.readEnd.Reset(ends[0]);
    pipe.writeEnd.Reset(ends[1]);
    if (!SetNonBlockingAndCloseOnExec(ends[0]) || !SetNonBlockingAndCloseOnExec(ends[1])) {
        return errno;
    }
    return 0;
}

Deadline DeadlineAfter(Silence silence) {
    if (!silence) return std::nullopt;
    const auto now = Clock::now();
    const auto wait = std::max(*silence, std::chrono::milliseconds::zero());
    if (wait >
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::time_point::max() - now)) {
        return std::nullopt;  // beyond any clock: the same as no limit
    }
    return now + wait;
}

int PollTimeout(Deadline deadline) {
    if (!deadline) return -1;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - Clock::now());
    return static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(left.count(), 0, INT_MAX));
}

class DescriptorPort : public Port {
  public:
    DescriptorPort(UniqueFd fd, CancelPipe cancel)
        : fd_(std::move(fd)), cancel_(std::move(cancel)) {}

    IoStatus Write(std::span<const std::uint8_t> bytes) override;
    IoStatus Read(std::span<std::uint8_t> bytes, Silence silence) override;
    void Cancel() override;

  protected:
    int Descriptor() const { return fd_.Get(); }
    bool Cancelled() const { return cancelled_.load(); }

  private:
    IoStatus Wait(short events, Deadline deadline);

    UniqueFd fd_;
    CancelPipe cancel_;
    std::atomic<bool> cancelled_{false};
};

void DescriptorPort::Cancel() {
    if (cancelled_.exchange(true)) return;
    // Wakes a poll() in progress; the byte is never read, so every later wait
    // sees it too.
    const std::uint8_t signal = 1;
    RetryOnInterrupt([&] { return static_cast<int>(::write(cancel_.writeEnd.Get(), &signal, 1)); });
}

// Waits until `events` are possible on the descriptor. ok, or why not.
IoStatus DescriptorPort::Wait(short events, Deadline deadline) {
    for (;;) {
        if (cancelled_.load()) return IoStatus::cancelled;
        pollfd watched[2] = {{fd_.Get(), events, 0}, {cancel_.readEnd.Get(), POLLIN, 0}};
        const int ready = ::poll(watched, 2, PollTimeout(deadline));
        if (ready < 0) {
            if (errno == EINTR) continue;
            return IoStatus::failed;
        }
        if (watched[1].revents != 0) return IoStatus::cancelled;
        if ((watched[0].revents & events) != 0) return IoStatus::ok;
        if ((watched[0].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) return IoStatus::failed;
        if (deadline && Clock::now() >= *deadline) return IoStatus::timedOut;
    }
}

IoStatus DescriptorPort::Write(std::span<const std::uint8_t> bytes) {
    if (cancelled_.load()) return IoStatus::cancelled;
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::write(fd_.Get(), bytes.data() + sent, bytes.size() - sent);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) return IoStatus::failed;
        const IoStatus room = Wait(POLLOUT, std::nullopt);
        if (room != IoStatus::ok) return room;
    }
    return IoStatus::ok;
}

IoStatus DescriptorPort::Read(std::span<std::uint8_t> bytes, Silence silence) {
    if (cancelled_.load()) return IoStatus::cancelled;
    std::size_t got = 0;
    Deadline deadline = DeadlineAfter(silence);
    while (got < bytes.size()) {
        const IoStatus waited = Wait(POLLIN, deadline);
        if (waited != IoStatus::ok) return waited;
        const ssize_t n = ::read(fd_.Get(), bytes.data() + got, bytes.size() - got);
        if (n > 0) {
            got += static_cast<std::size_t>(n);
            deadline = DeadlineAfter(silence);  // the bound counts from the latest byte
            continue;
        }
        // End of file on a terminal is a hang-up; EIO is what a pulled
        // adapter or a closed peer gives.
        if (n == 0) return IoStatus::failed;
        if (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK) return IoStatus::failed;
    }
    return IoStatus::ok;
}

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
    SerialPort(UniqueFd fd, CancelPipe cancel, const termios& found)
        : DescriptorPort(std::move(fd), std::move(cancel)), found_(found) {}
    ~SerialPort() override;

    // TIOCEXCL turns away later opens by other programs (except privileged
    // ones, which the advisory lock taken at open turns away).
    bool ClaimExclusive();
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
    if (::tcgetattr(fd, &now) != 0 || !WorkingSettingsTookEffect(now)) return false;
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
            return texts::kPortSystemError;
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

std::string ReasonForOpenError(int error, const std::string& path) {
    if (error == EACCES || error == EPERM) return NoPermissionReason(path);
    return std::string(ReasonForError(error));
}

OpenedPort Refuse(std::string_view reason) {
    return {nullptr, std::string(reason)};
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// /dev/ttyS* exist for every port the kernel reserved; only those with a
// UART behind them have a known type (0 means none).
bool HasUart(const std::string& name) {
    std::ifstream type("/sys/class/tty/" + name + "/type");
    int value = 0;
    return static_cast<bool>(type >> value) && value != 0;
}

bool LooksLikeSerialPort(const std::string& name) {
    return StartsWith(name, "ttyUSB") || StartsWith(name, "ttyACM") || StartsWith(name, "cu.") ||
           (StartsWith(name, "ttyS") && HasUart(name));
}

// ttyS2 before ttyS10: the same stem, then fewer digits, then the text.
bool NaturalLess(const std::string& a, const std::string& b) {
    auto key = [](const std::string& s) {
        const auto stem = s.find_last_not_of("0123456789") + 1;
        return std::tuple(std::string_view(s).substr(0, stem), s.size() - stem,
                          std::string_view(s));
    };
    return key(a) < key(b);
}

}  // namespace

void UniqueFd::Reset(int fd) {
    // close() is not retried: on EINTR the descriptor is already gone on
    // Linux, and retrying could close one another thread just opened.
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
}

std::unique_ptr<Port> MakeDescriptorPort(UniqueFd fd) {
    CancelPipe cancel;
    if (!fd.Valid() || !SetNonBlockingAndCloseOnExec(fd.Get())) return nullptr;
    if (OpenCancelPipe(cancel) != 0) return nullptr;
    return std::make_unique<DescriptorPort>(std::move(fd), std::move(cancel));
}

OpenedPort OpenSerialPort(std::string_view name) {
    const std::string path = SerialDevicePath(name);
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.Valid()) return Refuse(ReasonForOpenError(errno, path));
    // Other lock failures (a file system without locks) leave TIOCEXCL alone
    // to keep other programs out.
    if (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        return Refuse(texts::kPortBusy);
    }
    termios found{};
    if (::tcgetattr(fd.Get(), &found) != 0) return Refuse(ReasonForError(errno));
    CancelPipe cancel;
    if (const int error = OpenCancelPipe(cancel); error != 0) return Refuse(ReasonForError(error));

    // From here on, destroying the port puts the found settings back.
    auto port = std::make_unique<SerialPort>(std::move(fd), std::move(cancel), found);
    if (!port->ClaimExclusive()) return Refuse(texts::kPortBusy);
    if (!port->ApplyWorkingSettings()) return Refuse(texts::kPortUnsupported);
    return {std::move(port), {}};
}

std::string SerialDevicePath(std::string_view name) {
    // "com1" as well as "COM1", as Windows takes it.
    std::string upper(name);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    for (std::size_t i = 0; i < std::size(kComDevices); ++i) {
        if (upper == "COM" + std::to_string(i + 1)) return kComDevices[i];
    }
    return std::string(name);
}

std::vector<std::string> ListSerialPorts() {
    std::vector<std::string> ports;
    std::error_code error;
    for (std::filesystem::directory_iterator entry("/dev", error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (LooksLikeSerialPort(name)) ports.push_back(entry->path().string());
    }
    std::sort(ports.begin(), ports.end(), NaturalLess);
    return ports;
}

}  // namespace kestrel
