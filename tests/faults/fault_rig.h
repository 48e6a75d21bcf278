#pragma once
// One transfer run of the PC against a virtual handheld that misbehaves on
// cue: the handheld served on a line (handheld_line.h) with a folder of its
// own, the PC's files in another, and the run on a TransferWorker as a front
// end starts it. Each run is bounded: one that does not end within kRunBound
// is cancelled and fails the test.

#include <chrono>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "device/handheld.h"
#include "tests/faults/handheld_line.h"
#include "tests/support/recording_status.h"
#include "tests/support/scratch_dir.h"
#include "transfer/transfer_worker.h"

namespace kestrel::test {

struct RunReport {
    TransferOutcome outcome = TransferOutcome::failed;
    std::vector<std::string> texts;  // GBK, in order shown
    std::chrono::milliseconds took{};
    bool inTime = false;
};

class FaultRig {
  public:
    FaultRig(std::unique_ptr<HandheldLine> line, std::vector<Fault> faults);
    ~FaultRig();
    FaultRig(const FaultRig&) = delete;
    FaultRig& operator=(const FaultRig&) = delete;

    std::filesystem::path DeviceFile(const std::filesystem::path& relative) const;
    std::filesystem::path PcFile(const std::filesystem::path& name) const;
    const std::string& PortName() const { return portName_; }
    VirtualHandheld& Handheld() { return *handheld_; }

    // Starts the run; `status` defaults to the rig's own recording sink.
    void Start(TransferRequest request, std::chrono::milliseconds silence,
               StatusSink* status = nullptr);
    // Waits for the run (cancelling it past kRunBound), then for the
    // handheld, and checks the port was left as found.
    RunReport Finish();
    RunReport Run(TransferRequest request, std::chrono::milliseconds silence);

    // Cancels the run; callable from any thread.
    void Cancel();
    // Fails the test unless the port is as the test left it (see HandheldLine);
    // for a PC run outside this rig, such as another program.
    void ExpectPortAsFound() { line_->ExpectPortAsFound(); }
    // Waits up to kRunBound until the rig's sink has shown `gbkText`.
    bool AwaitStatus(std::string_view gbkText);
    RecordingStatus& Status() { return status_; }

  private:
    ScratchDir dir_;
    std::unique_ptr<HandheldLine> line_;
    std::string portName_;
    std::unique_ptr<VirtualHandheld> handheld_;
    RecordingStatus status_;
    std::mutex workerMutex_;  // Cancel() may come from a front end's thread
    std::unique_ptr<TransferWorker> worker_;
    std::chrono::steady_clock::time_point started_;
};

}  // namespace kestrel::test
