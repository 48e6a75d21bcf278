#include "tests/faults/fault_rig.h"

#include <gtest/gtest.h>

#include <future>
#include <thread>

namespace kestrel::test {

using namespace std::chrono_literals;

namespace {

HandheldOptions OptionsFor(HandheldLine& line, std::vector<Fault> faults) {
    HandheldOptions options;
    // A PC opening a real port flushes what came before, so the greeting is
    // repeated soon; the handheld itself never gives up on the PC in a run.
    options.greetingRepeat = 20ms;
    options.pcSilence = kRunBound;
    options.faults = std::move(faults);
    options.hangUp = line.HangUpAction();
    return options;
}

}  // namespace

FaultRig::FaultRig(std::unique_ptr<HandheldLine> line, std::vector<Fault> faults)
    : line_(std::move(line)),
      portName_(line_->PortName()),
      handheld_(std::make_unique<VirtualHandheld>(dir_ / "device",
                                                  OptionsFor(*line_, std::move(faults)))) {
    std::filesystem::create_directories(dir_ / "pc");
    std::filesystem::create_directories(dir_ / "temp");
    line_->Serve(*handheld_);
}

FaultRig::~FaultRig() {
    Cancel();
    worker_.reset();
    line_->StopServing();
}

std::filesystem::path FaultRig::DeviceFile(const std::filesystem::path& relative) const {
    return dir_ / "device" / relative;
}

std::filesystem::path FaultRig::PcFile(const std::filesystem::path& name) const {
    return dir_ / "pc" / name;
}

void FaultRig::Start(TransferRequest request, std::chrono::milliseconds silence,
                     StatusSink* status) {
    TransferSetup setup;
    setup.openPort = [line = line_.get()](std::string_view name) { return line->OpenPcEnd(name); };
    setup.tempDirectory = dir_ / "temp";
    setup.silenceBound = silence;
    started_ = std::chrono::steady_clock::now();
    // Held while the worker starts: its first text may reach a front end that
    // cancels before the worker is in place.
    std::lock_guard lock(workerMutex_);
    worker_ = std::make_unique<TransferWorker>(std::move(request), std::move(setup),
                                               status != nullptr ? *status : status_);
}

RunReport FaultRig::Finish() {
    RunReport report;
    TransferWorker* worker = nullptr;
    {
        std::lock_guard lock(workerMutex_);
        worker = worker_.get();
    }
    auto waited = std::async(std::launch::async, [worker] { return worker->Wait(); });
    report.inTime = waited.wait_for(kRunBound) == std::future_status::ready;
    if (!report.inTime) {
        ADD_FAILURE() << "the run did not end within " << kRunBound.count() << " s";
        worker->Cancel();
    }
    report.outcome = waited.get();
    report.took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - started_);
    report.texts = status_.Texts();
    {
        std::lock_guard lock(workerMutex_);
        worker_.reset();
    }
    line_->ExpectPortAsFound();
    line_->StopServing();
    return report;
}

RunReport FaultRig::Run(TransferRequest request, std::chrono::milliseconds silence) {
    Start(std::move(request), silence);
    return Finish();
}

void FaultRig::Cancel() {
    std::lock_guard lock(workerMutex_);
    if (worker_) worker_->Cancel();
}

bool FaultRig::AwaitStatus(std::string_view gbkText) {
    const auto deadline = std::chrono::steady_clock::now() + kRunBound;
    while (!status_.Saw(gbkText)) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

}  // namespace kestrel::test
