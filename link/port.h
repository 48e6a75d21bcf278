#pragma once
// A byte port: the narrow interface between the link protocol and whatever
// carries the bytes (a termios device, a Win32 COM handle, the browser's Web
// Serial, or an in-memory pair used by tests and by the built-in virtual
// handheld).
//
// Promises:
// - Write() returns once every byte has been handed to the device, or the port
//   failed; a partial write is never reported as success.
// - Read() returns once every requested byte has arrived, or no byte came for
//   `silence` (nullopt waits without limit), or the port failed or hung up, or
//   Cancel() was called.
// - Each ends with Result::Ok() or one of the ends below, the same for every
//   port: PortCancelled(), PortSilent() (Kind::timedOut), ReadFailed() or
//   WriteFailed() with the OS's error when there is one. Success builds
//   nothing and allocates nothing.
// - Cancel() may be called from any thread; the Read() or Write() in progress
//   and every later one end cancelled. Nothing else is thread-safe.
// - Destroying a port closes it and puts back whatever device settings it
//   changed when it was opened.

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <system_error>

#include "status/result.h"

namespace kestrel {

using Silence = std::optional<std::chrono::milliseconds>;

class Port {
  public:
    Port() = default;
    Port(const Port&) = delete;
    Port& operator=(const Port&) = delete;
    virtual ~Port() = default;

    virtual Result Write(std::span<const std::uint8_t> bytes) = 0;
    virtual Result Read(std::span<std::uint8_t> bytes, Silence silence) = 0;
    virtual void Cancel() = 0;
};

// The ends of a port call other than success. `port` is the port's name as
// the user reads it (GBK; empty for a port without one).
Result PortCancelled();                    // "已取消"
Result PortSilent(std::string_view port);  // "文曲星没有应答", timedOut
Result ReadFailed(std::string_view port, std::error_code error = {});   // "接收数据时出错"
Result WriteFailed(std::string_view port, std::error_code error = {});  // "发送数据时出错"

}  // namespace kestrel
