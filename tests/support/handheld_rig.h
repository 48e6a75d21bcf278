#pragma once
// A virtual handheld serving one end of a line on a thread of its own, while
// a transfer run opens the other end through Setup(). The handheld's files
// are under Root(), the PC's under Pc(). A hang-up fault closes the
// handheld's end; the destructor cancels it and joins the thread.

#include <chrono>
#include <memory>
#include <mutex>
#include <thread>

#include "device/handheld.h"
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
    explicit HandheldRig(HandheldOptions options = {}, HandheldLine line = MemoryLine(),
                         std::chrono::milliseconds pcSilenceBound = std::chrono::milliseconds(250));
    ~HandheldRig();
    HandheldRig(const HandheldRig&) = delete;
    HandheldRig& operator=(const HandheldRig&) = delete;

    std::filesystem::path Root() const { return dir / "device"; }
    std::filesystem::path Pc(const std::filesystem::path& name) const { return dir / "pc" / name; }
    TransferEnd Run(const TransferRequest& request);
    Trace GetTrace() const { return handheld_.GetTrace(); }

    ScratchDir dir;
    RecordingStatus status;
    TransferSetup setup;

  private:
    VirtualHandheld handheld_;
    std::mutex portMutex_;
    std::unique_ptr<Port> handheldEnd_;
    std::thread serving_;
};

TransferRequest SendRequest(const std::filesystem::path& pcPath, std::string_view directory,
                            std::string_view name, FileType type = FileType::kOther);
TransferRequest ReceiveRequest(const std::filesystem::path& pcPath, std::string_view directory,
                               std::string_view name, FileType type = FileType::kOther);

}  // namespace kestrel::test
