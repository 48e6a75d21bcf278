#pragma once
// POSIX only, for the link's own files: a byte port over a non-blocking
// descriptor (a serial device, or a pseudo-terminal's master), whose waits
// happen in poll() beside a self-pipe that Cancel() writes to.
//
// Promises: every promise of Port. The descriptor and the pipe are owned and
// closed by the port; its name (GBK, may be empty) names it in failures.

#include <atomic>
#include <chrono>
#include <optional>
#include <string>

#include "link/port.h"
#include "link/pseudo_terminal.h"
#include "status/retry_posix.h"

namespace kestrel {

bool SetNonBlockingAndCloseOnExec(int fd);

// A self-pipe rather than an eventfd so that the same code serves macOS.
struct CancelPipe {
    UniqueFd readEnd;
    UniqueFd writeEnd;
};

// 0, or the errno of what failed.
int OpenCancelPipe(CancelPipe& pipe);

class DescriptorPort : public Port {
  public:
    DescriptorPort(UniqueFd fd, CancelPipe cancel, std::string name)
        : fd_(std::move(fd)), cancel_(std::move(cancel)), name_(std::move(name)) {}

    Result Write(std::span<const std::uint8_t> bytes) override;
    Result Read(std::span<std::uint8_t> bytes, Silence silence) override;
    void Cancel() override;

  protected:
    int Descriptor() const { return fd_.Get(); }
    bool Cancelled() const { return cancelled_.load(); }

  private:
    using Deadline = std::optional<std::chrono::steady_clock::time_point>;
    enum class Direction { in, out };

    Result Wait(Direction direction, Deadline deadline);
    Result Failure(Direction direction, std::error_code error) const;

    UniqueFd fd_;
    CancelPipe cancel_;
    std::string name_;
    std::atomic<bool> cancelled_{false};
};

}  // namespace kestrel
