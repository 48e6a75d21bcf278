#pragma once
// POSIX descriptors as byte ports, and pseudo-terminals (POSIX only).
//
// A pseudo-terminal gives a virtual handheld a serial device of its own: the
// handheld side talks through the master, the PC side opens the slave path with
// OpenSerialPort exactly as it would open a real device.
//
// Promises:
// - UniqueFd closes its descriptor exactly once, when destroyed or reset.
// - MakeDescriptorPort() owns the descriptor it is given, switches it to
//   non-blocking, never changes its terminal settings, and keeps every promise
//   of Port (whole reads and writes, the silence bound, Cancel, hang-up as
//   failure).
// - PseudoTerminal::Open() acquires a master and its slave path, or fails
//   with "无法建立虚拟串口" and the OS's reason when the system has none to
//   give; everything it opened is closed when it is destroyed.

#include <memory>
#include <string>

#include "link/port.h"
#include "status/result.h"

namespace kestrel {

class UniqueFd {
  public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.Release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { Reset(); }

    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    int Release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    void Reset(int fd = -1);

  private:
    int fd_ = -1;
};

// A Port over `fd`, which it owns; fails when the descriptor is invalid or
// the port's cancel signal cannot be created (the descriptor is closed then).
ResultOf<std::unique_ptr<Port>> MakeDescriptorPort(UniqueFd fd);

class PseudoTerminal {
  public:
    static ResultOf<PseudoTerminal> Open();

    // The path a PC-side program opens, e.g. /dev/pts/3.
    const std::string& SlavePath() const { return slavePath_; }

    // The master side as a Port; the master belongs to the port from then on,
    // and destroying that port hangs up the slave. Fails when already taken.
    ResultOf<std::unique_ptr<Port>> TakeMasterPort();

    // Keeps a slave descriptor of its own open, set raw, for as long as this
    // object lives. Without it the master fails (EIO on Linux) whenever no
    // program has the slave open, so a virtual handheld could not wait between
    // two PC sessions; raw so that nothing written to the master is echoed or
    // altered before a PC program sets its own settings. The keeper takes
    // neither the lock nor the exclusive flag, so a PC program opening the
    // slave afterwards still gets the port for itself.
    Result KeepSlaveOpenRaw();

  private:
    PseudoTerminal() = default;

    UniqueFd master_;
    UniqueFd keeper_;
    std::string slavePath_;
};

}  // namespace kestrel
