#pragma once
// Whole runs against a handheld in memory, two ways:
// - HandheldRig: a virtual handheld serving one end of a line on a thread of
//   its own while the run opens the other end through `setup`. Its files are
//   under Root(), the PC's under Pc(). A hang-up fault closes the handheld's
//   end; the destructor cancels that end and joins the thread.
// - ScriptedLine, for golden exchanges: the handheld's bytes for a whole run
//   are queued before it (the protocol is half-duplex, so the PC takes them
//   in order), and everything the PC wrote is read back afterwards.

#include <chrono>
#include <memory>
#include <mutex>
#include <thread>

#include "handheld/handheld.h"
#include "link/memory_port.h"
#include "tests/support/frames.h"
#include "tests/support/recording_status.h"
#include "tests/support/scratch_dir.h"
#include "transfer/run_transfer.h"

namespace kestrel::test {

struct HandheldLine {
    std::unique_ptr<Port> handheldEnd;
    PortOpener openPc;  // the PC's end
};
HandheldLine MemoryLine();  // the PC's end can be opened once

class HandheldRig {
  public:
    explicit HandheldRig(HandheldOptions options = {}, HandheldLine line = MemoryLine());
    ~HandheldRig();
    HandheldRig(const HandheldRig&) = delete;
    HandheldRig& operator=(const HandheldRig&) = delete;

    std::filesystem::path Root() const { return dir / "device"; }
    std::filesystem::path Pc(const std::filesystem::path& name) const { return dir / "pc" / name; }
    Result Run(const TransferRequest& request);
    HandheldRecord GetRecord() const { return handheld_.GetRecord(); }

    ScratchDir dir;
    RecordingStatus status;
    TransferSetup setup;  // the PC stays silent for 250 ms at most

  private:
    VirtualHandheld handheld_;
    std::mutex portMutex_;
    std::unique_ptr<Port> handheldEnd_;
    std::thread serving_;
};

class ScriptedLine {
  public:
    ScriptedLine();

    void Handheld(const Bytes& bytes) { (void)handheldEnd_->Write(bytes); }
    Result Run(const TransferRequest& request) {
        return RunTransfer(request, setup, status, cancel);
    }
    Bytes PcWrote() { return Drain(*handheldEnd_); }

    ScratchDir dir;
    RecordingStatus status;
    TransferSetup setup;
    CancelSwitch cancel;

  private:
    std::unique_ptr<Port> handheldEnd_;
};

// One file to or from `directory` ("" for the root) on serial port "COM1".
TransferRequest OneFile(TransferKind kind, const std::filesystem::path& pcPath,
                        std::string_view directory, std::string_view name,
                        FileType type = FileType::kOther);

}  // namespace kestrel::test
