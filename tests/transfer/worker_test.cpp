// The worker's own duties: the port is always closed, a cancel stops a run
// wherever it waits, and the outcome tells success from failure.

#include <gtest/gtest.h>

#include <thread>

#include "tests/transfer/scripted_line.h"
#include "transfer/transfer_texts.h"
#include "transfer/transfer_worker.h"

namespace kestrel::test {
namespace {

TEST(TransferWorker, CancelStopsAWaitingRunAndClosesThePort) {
    auto [pc, handheld] = MakeMemoryPortPair();
    ScratchDir dir;
    WriteFileText(dir / "a.dat", "abc");
    TransferSetup setup;
    setup.tempDirectory = dir.Path();
    setup.openPort = [&pc = pc](std::string_view) { return OpenedPort{std::move(pc), {}}; };
    RecordingStatus status;

    TransferWorker worker(Download(dir / "a.dat", "LAVA", "a.dat"), setup, status);
    while (status.Texts().empty()) std::this_thread::yield();  // waiting for the greeting
    worker.Cancel();
    EXPECT_EQ(worker.Wait(), TransferOutcome::cancelled);
    EXPECT_EQ(status.Last(), texts::kAborted);
    std::uint8_t byte = 0;
    EXPECT_EQ(handheld->Read({&byte, 1}, std::nullopt), IoStatus::failed)
        << "the PC end must be closed";
}

TEST(TransferWorker, CancelBeforeThePortOpensStillEndsTheRun) {
    auto [pc, handheld] = MakeMemoryPortPair();
    CancelSwitch cancel;
    cancel.Cancel();
    TransferSetup setup;
    setup.openPort = [&pc = pc](std::string_view) { return OpenedPort{std::move(pc), {}}; };
    RecordingStatus status;
    EXPECT_EQ(RunTransfer(Download("a.dat", "LAVA", "a.dat"), setup, status, cancel),
              TransferOutcome::cancelled);
}

TEST(TransferWorker, DestroyingAWorkerCancelsItsRun) {
    auto [pc, handheld] = MakeMemoryPortPair();
    TransferSetup setup;
    setup.openPort = [&pc = pc](std::string_view) { return OpenedPort{std::move(pc), {}}; };
    RecordingStatus status;
    {
        TransferWorker worker(Upload("x.dat", "LAVA", "a.dat"), setup, status);
        while (status.Texts().empty()) std::this_thread::yield();
    }
    EXPECT_EQ(status.Last(), texts::kAborted);
}

TEST(TransferWorker, SilentHandheldAfterTheGreetingEndsTheRun) {
    ScriptedLine line;
    line.setup.silenceBound = std::chrono::milliseconds(30);
    WriteFileText(line.dir / "a.dat", "abc");
    line.Handheld(Concat({Greeting(), Accept()}));  // then nothing
    EXPECT_EQ(line.Run(Download(line.dir / "a.dat", "LAVA", "a.dat")), TransferOutcome::failed);
    EXPECT_EQ(line.status.Last(), texts::kAborted);
}

}  // namespace
}  // namespace kestrel::test
