#pragma once
// Two ports joined back to back in memory: what one end writes, the other
// reads. Used by the tests and by the built-in virtual handheld. Destroying
// or hanging up one end makes the other's reads fail once the bytes already
// sent are read, as a serial line does when the far side goes away.

#include <memory>
#include <utility>

#include "link/port.h"

namespace kestrel {

class MemoryPort : public Port {
  public:
    struct Line;  // the shared state of both ends
    MemoryPort(std::shared_ptr<Line> line, int side);
    ~MemoryPort() override;

    Result Write(std::span<const std::uint8_t> bytes) override;
    Result Read(std::span<std::uint8_t> bytes, Silence silence) override;
    void Cancel() override;

    // Ends this side as a pulled cable would: both sides' reads fail once
    // drained, and writes fail at once.
    void HangUp();

  private:
    std::shared_ptr<Line> line_;
    int side_;
};

std::pair<std::unique_ptr<MemoryPort>, std::unique_ptr<MemoryPort>> MakeMemoryPortPair();

}  // namespace kestrel
