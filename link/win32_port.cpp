// Serial ports through Win32 COM handles, opened for overlapped I/O so that a
// read can wait for its bytes, for the silence bound and for Cancel() at once.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

#include "link/link_texts.h"
#include "link/open_port.h"
#include "status/system_words.h"

namespace kestrel {
namespace {

using Clock = std::chrono::steady_clock;

struct HandleCloser {
    void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
// Holds only valid handles: null stands for none, never INVALID_HANDLE_VALUE.
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

UniqueHandle AdoptHandle(HANDLE handle) {
    return UniqueHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

UniqueHandle MakeEvent() {
    return UniqueHandle(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
}

// A read completes as soon as at least one byte is there, or after this long
// with none; the silence bound itself is kept here, with the cancel signal.
constexpr DWORD kReadPollMs = 1000;

// Longest wait for queued bytes to leave before the found settings go back.
constexpr std::chrono::milliseconds kDrainBound{500};

constexpr wchar_t kWorkingSettings[] = L"baud=115200 parity=N data=8 stop=1";

DWORD WaitMilliseconds(std::optional<Clock::time_point> deadline) {
    if (!deadline) return INFINITE;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - Clock::now());
    const auto limit = static_cast<std::chrono::milliseconds::rep>(INFINITE - 1);
    return static_cast<DWORD>(std::clamp<std::chrono::milliseconds::rep>(left.count(), 0, limit));
}

std::optional<Clock::time_point> DeadlineAfter(Silence silence) {
    if (!silence) return std::nullopt;
    const auto wait = std::max(*silence, std::chrono::milliseconds::zero());
    // A wait beyond a DWORD of milliseconds (about 49 days) is no limit.
    if (wait.count() >= static_cast<std::chrono::milliseconds::rep>(INFINITE)) return std::nullopt;
    return Clock::now() + wait;
}

class ComPort final : public Port {
  public:
    ComPort(UniqueHandle handle, std::string name, const DCB& foundState,
            const COMMTIMEOUTS& foundTimeouts)
        : handle_(std::move(handle)),
          name_(std::move(name)),
          foundState_(foundState),
          foundTimeouts_(foundTimeouts),
          cancel_(MakeEvent()),
          readDone_(MakeEvent()),
          writeDone_(MakeEvent()) {}
    ~ComPort() override;

    bool Ready() const { return cancel_ && readDone_ && writeDone_; }
    bool ApplyWorkingSettings();

    Result Write(std::span<const std::uint8_t> bytes) override;
    Result Read(std::span<std::uint8_t> bytes, Silence silence) override;
    void Cancel() override;

  private:
    enum class Direction { in, out };
    // An overlapped operation's end: its bytes, or its failure.
    struct Transfer {
        Result status;
        DWORD count;
    };
    Result Failure(Direction direction) const;
    Transfer Finish(OVERLAPPED& pending, DWORD waitMs, Direction direction);
    Transfer ReadSome(std::span<std::uint8_t> bytes, std::optional<Clock::time_point> deadline);
    void FinishOutput();

    UniqueHandle handle_;
    std::string name_;  // GBK, for failures
    DCB foundState_;
    COMMTIMEOUTS foundTimeouts_;
    UniqueHandle cancel_;
    UniqueHandle readDone_;
    UniqueHandle writeDone_;
    std::atomic<bool> cancelled_{false};
};

// The settings go back in the reverse order of applying, on every path that
// opened the port (a failed ApplyWorkingSettings() included).
ComPort::~ComPort() {
    FinishOutput();
    ::SetCommTimeouts(handle_.get(), &foundTimeouts_);
    ::SetCommState(handle_.get(), &foundState_);
}

void ComPort::Cancel() {
    cancelled_ = true;
    // The event stays set, so every later wait sees it too.
    ::SetEvent(cancel_.get());
}

// 8N1 from the text, then everything that could drop, add or change a byte
// switched off: the found block may hold XON/XOFF, CTS/DSR handshaking, NUL
// stripping, error replacement or parity checking from an earlier program.
DCB WorkingState(const DCB& found) {
    DCB working = found;
    working.DCBlength = sizeof working;
    ::BuildCommDCBW(kWorkingSettings, &working);
    working.BaudRate = CBR_115200;
    working.ByteSize = 8;
    working.Parity = NOPARITY;
    working.StopBits = ONESTOPBIT;
    working.fBinary = TRUE;
    working.fParity = FALSE;
    working.fOutxCtsFlow = FALSE;
    working.fOutxDsrFlow = FALSE;
    working.fDsrSensitivity = FALSE;
    working.fOutX = FALSE;
    working.fInX = FALSE;
    working.fErrorChar = FALSE;
    working.fNull = FALSE;
    working.fAbortOnError = FALSE;
    if (working.fDtrControl == DTR_CONTROL_HANDSHAKE) working.fDtrControl = DTR_CONTROL_ENABLE;
    if (working.fRtsControl == RTS_CONTROL_HANDSHAKE || working.fRtsControl == RTS_CONTROL_TOGGLE) {
        working.fRtsControl = RTS_CONTROL_ENABLE;
    }
    return working;
}

// A driver may accept SetCommState() and apply only part of it.
bool WorkingStateTookEffect(const DCB& now) {
    return now.BaudRate == CBR_115200 && now.ByteSize == 8 && now.Parity == NOPARITY &&
           now.StopBits == ONESTOPBIT && !now.fOutxCtsFlow && !now.fOutxDsrFlow && !now.fOutX &&
           !now.fInX && !now.fNull && !now.fErrorChar;
}

bool ComPort::ApplyWorkingSettings() {
    HANDLE handle = handle_.get();
    DCB working = WorkingState(foundState_);
    if (!::SetCommState(handle, &working)) return false;
    DCB now{};
    now.DCBlength = sizeof now;
    if (!::GetCommState(handle, &now) || !WorkingStateTookEffect(now)) return false;

    COMMTIMEOUTS session{};
    session.ReadIntervalTimeout = MAXDWORD;
    session.ReadTotalTimeoutMultiplier = MAXDWORD;
    session.ReadTotalTimeoutConstant = kReadPollMs;
    if (!::SetCommTimeouts(handle, &session)) return false;
    // Whatever arrived before this session is not part of it.
    ::PurgeComm(handle, PURGE_RXCLEAR | PURGE_TXCLEAR);
    return true;
}

// Waits for an overlapped operation to end: done, cancelled, or out of time.
// The operation is always collected before this returns, since the system
// writes into `pending` and the buffer until it has ended.
ComPort::Transfer ComPort::Finish(OVERLAPPED& pending, DWORD waitMs, Direction direction) {
    HANDLE handle = handle_.get();
    const HANDLE events[2] = {pending.hEvent, cancel_.get()};
    const DWORD woke = ::WaitForMultipleObjects(2, events, FALSE, waitMs);
    if (woke != WAIT_OBJECT_0) ::CancelIoEx(handle, &pending);
    DWORD count = 0;
    const bool done = ::GetOverlappedResult(handle, &pending, &count, TRUE) != FALSE;
    if (woke == WAIT_OBJECT_0 + 1) return {PortCancelled(), 0};
    // Bytes that came in while the wait ran out still count.
    if (count > 0) return {Result::Ok(), count};
    if (woke == WAIT_TIMEOUT) return {PortSilent(name_), 0};
    return {done ? Result::Ok() : Failure(direction), 0};
}

Result ComPort::Failure(Direction direction) const {
    const std::error_code error = LastSystemError();
    return direction == Direction::in ? ReadFailed(name_, error) : WriteFailed(name_, error);
}

Result ComPort::Write(std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        if (cancelled_) return PortCancelled();
        OVERLAPPED pending{};
        pending.hEvent = writeDone_.get();
        const auto size = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1U << 20));
        if (!::WriteFile(handle_.get(), bytes.data(), size, nullptr, &pending) &&
            ::GetLastError() != ERROR_IO_PENDING) {
            return Failure(Direction::out);
        }
        Transfer written = Finish(pending, INFINITE, Direction::out);
        if (!written.status.IsOk()) return std::move(written.status);
        if (written.count == 0) return WriteFailed(name_);  // the port took nothing
        bytes = bytes.subspan(written.count);
    }
    return Result::Ok();
}

// One ReadFile: whatever is there, up to bytes.size(), once at least one
// byte is; a count of 0 means none came within kReadPollMs.
ComPort::Transfer ComPort::ReadSome(std::span<std::uint8_t> bytes,
                                    std::optional<Clock::time_point> deadline) {
    OVERLAPPED pending{};
    pending.hEvent = readDone_.get();
    const auto size = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1U << 20));
    if (!::ReadFile(handle_.get(), bytes.data(), size, nullptr, &pending) &&
        ::GetLastError() != ERROR_IO_PENDING) {
        return {Failure(Direction::in), 0};
    }
    return Finish(pending, WaitMilliseconds(deadline), Direction::in);
}

Result ComPort::Read(std::span<std::uint8_t> bytes, Silence silence) {
    auto deadline = DeadlineAfter(silence);
    while (!bytes.empty()) {
        if (cancelled_) return PortCancelled();
        Transfer got = ReadSome(bytes, deadline);
        if (!got.status.IsOk()) return std::move(got.status);
        if (got.count == 0) {
            if (deadline && Clock::now() >= *deadline) return PortSilent(name_);
            continue;
        }
        bytes = bytes.subspan(got.count);
        deadline = DeadlineAfter(silence);  // the bound counts from the latest byte
    }
    return Result::Ok();
}

// Lets queued bytes (the last acknowledgement of a transfer, say) leave at
// the working speed before the found settings change it. A cancelled port
// drops them instead.
void ComPort::FinishOutput() {
    HANDLE handle = handle_.get();
    if (cancelled_) {
        ::PurgeComm(handle, PURGE_TXABORT | PURGE_TXCLEAR);
        return;
    }
    const auto giveUp = Clock::now() + kDrainBound;
    DWORD errors = 0;
    COMSTAT queues{};
    while (::ClearCommError(handle, &errors, &queues) && queues.cbOutQue > 0 &&
           Clock::now() < giveUp) {
        ::Sleep(1);
    }
}

// The program's own words for an error of CreateFileW, when it has any:
// the OS's words follow them.
std::string_view ReasonForError(DWORD error) {
    switch (error) {
        case ERROR_ACCESS_DENIED:  // what a COM port open in another program gives
        case ERROR_SHARING_VIOLATION:
        case ERROR_BUSY:
            return texts::kPortBusy;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_DEV_NOT_EXIST:
        case ERROR_BAD_UNIT:
        case ERROR_NOT_READY:
            return texts::kPortMissing;
        case ERROR_INVALID_FUNCTION:
        case ERROR_NOT_SUPPORTED:
        case ERROR_INVALID_HANDLE:
            return texts::kPortNotSerial;
        default:
            return {};
    }
}

// 无法打开串口%s! with the port's name, the program's words for why, and
// the OS's (none when `error` is 0).
Result CannotOpen(std::string_view name, std::string_view why, DWORD error) {
    const std::error_code code =
        error == 0 ? std::error_code()
                   : std::error_code(static_cast<int>(error), std::system_category());
    return Result::Failed(texts::CannotOpenPort(texts::PortName(name)) + std::string(why), {},
                          code);
}

std::wstring WideFromUtf8(std::string_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(std::min<std::size_t>(text.size(), INT_MAX));
    const int length =
        ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(), length);
    return wide;
}

std::string AsciiFromWide(std::wstring_view wide) {
    std::string text;
    for (const wchar_t c : wide) {
        if (c == 0 || c > 0x7F) return {};
        text.push_back(static_cast<char>(c));
    }
    return text;
}

// "COM12" is number 12; 0 for anything that is not "COM" and a number.
unsigned ComNumber(std::string_view name) {
    if (name.size() < 4 || name.size() > 8) return 0;
    std::string prefix(name.substr(0, 3));
    std::transform(prefix.begin(), prefix.end(), prefix.begin(),
                   [](char c) { return static_cast<char>(c & ~0x20); });
    if (prefix != "COM") return 0;
    unsigned number = 0;
    for (const char c : name.substr(3)) {
        if (c < '0' || c > '9') return 0;
        number = number * 10 + static_cast<unsigned>(c - '0');
    }
    return number;
}

struct KeyCloser {
    void operator()(HKEY key) const { ::RegCloseKey(key); }
};
using UniqueKey = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

// The COM port names of the system's serial-port map.
std::vector<std::string> PortsInDeviceMap() {
    std::vector<std::string> ports;
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ,
                        &opened) != ERROR_SUCCESS) {
        return ports;
    }
    const UniqueKey key(opened);
    for (DWORD index = 0;; ++index) {
        wchar_t valueName[256];
        DWORD nameLength = static_cast<DWORD>(std::size(valueName));
        wchar_t data[64] = {};
        DWORD dataBytes = sizeof data - sizeof(wchar_t);  // room for a terminator
        DWORD type = 0;
        const LSTATUS result = ::RegEnumValueW(key.get(), index, valueName, &nameLength, nullptr,
                                               &type, reinterpret_cast<BYTE*>(data), &dataBytes);
        if (result == ERROR_NO_MORE_ITEMS) break;
        if (result != ERROR_SUCCESS || type != REG_SZ) continue;
        const std::string name = AsciiFromWide(data);  // zero-filled, so always terminated
        if (ComNumber(name) != 0) ports.push_back(name);
    }
    return ports;
}

}  // namespace

ResultOf<std::unique_ptr<Port>> OpenSerialPort(std::string_view name) {
    const std::wstring path = WideFromUtf8(SerialDevicePath(name));
    if (path.empty()) return CannotOpen(name, texts::kPortMissing, 0);
    UniqueHandle handle =
        AdoptHandle(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
    if (!handle) {
        const DWORD error = ::GetLastError();
        return CannotOpen(name, ReasonForError(error), error);
    }
    DCB foundState{};
    foundState.DCBlength = sizeof foundState;
    COMMTIMEOUTS foundTimeouts{};
    if (!::GetCommState(handle.get(), &foundState) ||
        !::GetCommTimeouts(handle.get(), &foundTimeouts)) {
        return CannotOpen(name, texts::kPortNotSerial, ::GetLastError());
    }
    // From here on, destroying the port puts the found settings back.
    auto port = std::make_unique<ComPort>(std::move(handle), texts::PortName(name), foundState,
                                          foundTimeouts);
    if (!port->Ready()) return CannotOpen(name, {}, ::GetLastError());
    if (!port->ApplyWorkingSettings()) {
        return CannotOpen(name, texts::kPortUnsupported, ::GetLastError());
    }
    return std::unique_ptr<Port>(std::move(port));
}

// "COM10" and above open only through the device namespace, and the form
// works for every number, so every COM name takes it.
std::string SerialDevicePath(std::string_view name) {
    if (ComNumber(name) == 0) return std::string(name);
    return "\\\\.\\" + std::string(name);
}

std::vector<std::string> ListSerialPorts() {
    std::vector<std::string> ports = PortsInDeviceMap();
    const auto byNumber = [](const std::string& a, const std::string& b) {
        return std::tuple(ComNumber(a), a) < std::tuple(ComNumber(b), b);
    };
    std::sort(ports.begin(), ports.end(), byNumber);
    ports.erase(std::unique(ports.begin(), ports.end()), ports.end());
    return ports;
}

}  // namespace kestrel
