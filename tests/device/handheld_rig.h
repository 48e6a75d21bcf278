#pragma once
// A virtual handheld serving one end of a MemoryPort pair on its own thread,
// a scripted PC on the other end, and a scratch folder whose "device"
// subfolder is the handheld's root (the rest of the scratch folder counts as
// "outside" for the escape tests). The destructor hangs up the PC's end and
// waits for the handheld to return.

#include <filesystem>
#include <future>
#include <memory>
#include <utility>

#include "device/handheld.h"
#include "link/memory_port.h"
#include "tests/device/scripted_pc.h"
#include "tests/support/scratch_dir.h"

namespace kestrel::test {

// Bounds that never expire in a passing test: no greeting byte is repeated
// and no session is dropped unless a test asks for it.
HandheldOptions CalmOptions();

class HandheldRig {
  public:
    explicit HandheldRig(HandheldOptions options = CalmOptions());
    ~HandheldRig();
    HandheldRig(const HandheldRig&) = delete;
    HandheldRig& operator=(const HandheldRig&) = delete;

    void ServeOneSession();
    void ServeAll();
    // How the handheld ended; fails the test if it does not end within 10 s.
    SessionEnd Result();

    ScriptedPc& Pc() { return pc_; }
    MemoryPort& PcPort() { return *ports_.first; }
    VirtualHandheld& Handheld() { return handheld_; }
    std::filesystem::path Root() const { return scratch_ / "device"; }
    const std::filesystem::path& Scratch() const { return scratch_.Path(); }

  private:
    ScratchDir scratch_;
    std::pair<std::unique_ptr<MemoryPort>, std::unique_ptr<MemoryPort>> ports_;
    VirtualHandheld handheld_;
    ScriptedPc pc_;
    std::future<SessionEnd> served_;
};

}  // namespace kestrel::test
