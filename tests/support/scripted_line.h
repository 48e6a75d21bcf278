#pragma once
// A scripted handheld for golden exchanges: the handheld's bytes for a whole
// run are queued on a memory line before the run (the protocol is
// half-duplex, so the PC takes them in order), and everything the PC wrote is
// read back afterwards, byte for byte.

#include <memory>

#include "link/memory_port.h"
#include "tests/support/frames.h"
#include "tests/support/handheld_rig.h"

namespace kestrel::test {

class ScriptedLine {
  public:
    ScriptedLine();

    void Handheld(const Bytes& bytes);
    TransferEnd Run(const TransferRequest& request);
    Bytes PcWrote() { return Drain(*handheldEnd_); }

    ScratchDir dir;
    RecordingStatus status;
    TransferSetup setup;
    CancelSwitch cancel;

  private:
    std::unique_ptr<MemoryPort> handheldEnd_;
};

}  // namespace kestrel::test
