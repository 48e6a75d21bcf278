#pragma once
// A byte port: the narrow interface between the link protocol and whatever
// carries the bytes (a termios device, a Win32 COM handle, or an in-memory
// pair used by tests and by the built-in virtual handheld).
//
// Promises:
// - Write() returns once every byte has been handed to the device, or the port
//   failed; a partial write is never reported as success.
// - Read() returns once every requested byte has arrived, or no byte came for
//   `silence` (nullopt waits without limit), or the port failed or hung up, or
//   Cancel() was called.
// - Cancel() may be called from any thread; the Read() or Write() in progress
//   and every later one return IoStatus::cancelled. Nothing else is thread-safe.
// - Destroying a port closes it and puts back whatever device settings it
//   changed when it was opened.

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>

namespace kestrel {

enum class IoStatus { ok, failed, timedOut, cancelled };

using Silence = std::optional<std::chrono::milliseconds>;

class Port {
public:
    Port() = default;
    Port(const Port&) = delete;
    Port& operator=(const Port&) = delete;
    virtual ~Port() = default;

    virtual IoStatus Write(std::span<const std::uint8_t> bytes) = 0;
    virtual IoStatus Read(std::span<std::uint8_t> bytes, Silence silence) = 0;
    virtual void Cancel() = 0;
};

}  // namespace kestrel
