// The worker's own duties: the port is always closed, a cancel stops a run
// wherever it waits, and the outcome tells success from failure.

#include <gtest/gtest.h>

#include <thread>
#include <tuple>

#include "tests/transfer/scripted_line.h"
#include "transfer/transfer_texts.h"
#include "transfer/transfer_worker.h"

namespace kestrel::test {
namespace {

// A run whose port is one end of an in-memory line that stays silent.
class TransferWorkerTest : public ::testing::Test {
  protected:
    TransferWorkerTest() {
        std::tie(pc, handheld) = MakeMemoryPortPair();
        setup.tempDirectory = dir.Path();
        setup.openPort = [this](std::string_view) { return OpenedPort{std::move(pc), {}}; };
        WriteFileText(dir / "a.dat", "abc");
    }

    std::unique_ptr<MemoryPort> pc;
    std::unique_ptr<MemoryPort> handheld;
    ScratchDir dir;
    TransferSetup setup;
    RecordingStatus status;
};

TEST_F(TransferWorkerTest, CancelStopsAWaitingRunAndClosesThePort) {
    TransferWorker worker(Download(dir / "a.dat", "LAVA", "a.dat"), setup, status);
    while (status.Texts().empty()) std::this_thread::yield();  // waiting for the greeting
    worker.Cancel();
    EXPECT_EQ(worker.Wait(), TransferOutcome::cancelled);
    EXPECT_EQ(status.Last(), texts::kAborted);
    std::uint8_t byte = 0;
    EXPECT_EQ(handheld->Read({&byte, 1}, std::nullopt), IoStatus::failed)
        << "the PC end must be closed";
}

TEST_F(TransferWorkerTest, CancelBeforeThePortOpensStillEndsTheRun) {
    CancelSwitch cancel;
    cancel.Cancel();
    EXPECT_EQ(RunTransfer(Download(dir / "a.dat", "LAVA", "a.dat"), setup, status, cancel),
              TransferOutcome::cancelled);
}

TEST_F(TransferWorkerTest, DestroyingAWorkerCancelsItsRun) {
    {
        TransferWorker worker(Upload(dir / "x.dat", "LAVA", "a.dat"), setup, status);
        while (status.Texts().empty()) std::this_thread::yield();
    }
    EXPECT_EQ(status.Last(), texts::kAborted);
}

}  // namespace
}  // namespace kestrel::test
