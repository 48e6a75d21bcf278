// The paced line's arithmetic, on a fake clock: what each transfer costs,
// when a turnaround is charged, what the account says, and that late
// wake-ups do not pile up over a stream. How close the pacing comes on the
// real clock is measured by the benchmarks, not here.
#include "device/paced_port.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <future>
#include <mutex>
#include <vector>

#include "link/memory_port.h"

namespace kestrel {
namespace {

using namespace std::chrono_literals;
using std::chrono::nanoseconds;
using Bytes = std::vector<std::uint8_t>;

constexpr nanoseconds kByte115200{86806};  // 10 bits at 115200 baud, rounded

// Time moves only when the port sleeps, by exactly what it asked for plus
// `late`, or when a test moves it.
class FakeClock : public PaceClock {
  public:
    explicit FakeClock(nanoseconds late = 0ns) : late_(late) {}
    TimePoint Now() override { return now_; }
    void SleepUntil(TimePoint deadline) override {
        if (deadline > now_) now_ = deadline + late_;
    }
    void Interrupt() override {}
    void Advance(nanoseconds by) { now_ += by; }
    nanoseconds Elapsed() const { return now_ - TimePoint{}; }

  private:
    TimePoint now_{};
    nanoseconds late_;
};

// Never wakes on its own: only Interrupt() ends a sleep.
class StuckClock : public PaceClock {
  public:
    TimePoint Now() override { return TimePoint{}; }
    void SleepUntil(TimePoint) override {
        std::unique_lock lock(mutex_);
        sleeping_ = true;
        changed_.notify_all();
        changed_.wait(lock, [this] { return interrupted_; });
    }
    void Interrupt() override {
        std::lock_guard lock(mutex_);
        interrupted_ = true;
        changed_.notify_all();
    }
    void AwaitSleeper() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return sleeping_; });
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool sleeping_ = false;
    bool interrupted_ = false;
};

struct PacedRig {
    explicit PacedRig(LinePace pace = {}, nanoseconds late = 0ns)
        : clock(late), ports(MakeMemoryPortPair()), paced(*ports.first, pace, clock) {}

    Bytes PeerTakes(std::size_t count) {
        Bytes got(count);
        EXPECT_EQ(ports.second->Read(got, 1s), IoStatus::ok);
        return got;
    }
    void PeerSends(const Bytes& bytes) { ASSERT_EQ(ports.second->Write(bytes), IoStatus::ok); }
    IoStatus HandheldReads(std::size_t count) {
        Bytes got(count);
        return paced.Read(got, 1s);
    }

    FakeClock clock;
    std::pair<std::unique_ptr<MemoryPort>, std::unique_ptr<MemoryPort>> ports;
    PacedPort paced;
};

TEST(WireTime, CountsTenBitsAByteAtTheBaudRate) {
    EXPECT_EQ(WireTime(1, {}), kByte115200);
    EXPECT_EQ(WireTime(0, {}), 0ns);
    // 1 MiB: 10,485,760 bits at 115200 baud is 91.0222... s.
    EXPECT_EQ(WireTime(1 << 20, {}), nanoseconds(91'022'222'222));
    EXPECT_EQ(WireTime(1152, {9600, 10, {}}), 1200ms);
    EXPECT_EQ(WireTime(3, {300, 11, {}}), 110ms);  // 8N2
}

TEST(WireTime, StaysExactForStreamsBeyondAnyTransfer) {
    const std::uint64_t tenGiB = std::uint64_t{10} << 30U;
    EXPECT_EQ(WireTime(tenGiB, {}), nanoseconds(932'067'555'555'556));
}

TEST(PacedPort, AWriteReachesThePeerOnlyAfterItsWireTime) {
    PacedRig rig;
    const Bytes chunk(1030, 0x5A);
    ASSERT_EQ(rig.paced.Write(chunk), IoStatus::ok);
    EXPECT_EQ(rig.clock.Elapsed(), WireTime(1030, {}));
    EXPECT_EQ(rig.PeerTakes(1030), chunk);
    const LineAccount account = rig.paced.Account();
    EXPECT_EQ(account.bytesOut, 1030U);
    EXPECT_EQ(account.lastDelivery - account.firstCall, WireTime(1030, {}));
}

TEST(PacedPort, ChargesATurnaroundAtEachChangeOfDirectionOnly) {
    PacedRig rig({115200, 10, 16ms});
    ASSERT_EQ(rig.paced.Write(Bytes{0x05}), IoStatus::ok);  // the first transfer: no turn
    EXPECT_EQ(rig.clock.Elapsed(), kByte115200);
    rig.PeerSends(Bytes(7, 0x01));
    ASSERT_EQ(rig.HandheldReads(3), IoStatus::ok);  // turn
    ASSERT_EQ(rig.HandheldReads(4), IoStatus::ok);  // same way
    const nanoseconds untilRead = kByte115200 + 16ms + WireTime(3, {}) + WireTime(4, {});
    EXPECT_EQ(rig.clock.Elapsed(), untilRead);
    ASSERT_EQ(rig.paced.Write(Bytes{0x4F}), IoStatus::ok);  // turn
    ASSERT_EQ(rig.paced.Write(Bytes{0x05}), IoStatus::ok);  // same way
    EXPECT_EQ(rig.clock.Elapsed(), untilRead + 16ms + 2 * kByte115200);

    const LineAccount account = rig.paced.Account();
    EXPECT_EQ(account.turnarounds, 2U);
    EXPECT_EQ(account.peerTurns, 1U);
    EXPECT_EQ(account.bytesOut, 3U);
    EXPECT_EQ(account.bytesIn, 7U);
    EXPECT_EQ(account.lineTime, rig.clock.Elapsed());
}

TEST(PacedPort, ChargesIncomingBytesFromWhenThePeerSentThem) {
    PacedRig rig({115200, 10, 1ms});
    ASSERT_EQ(rig.paced.Write(Bytes{0x05}), IoStatus::ok);
    rig.clock.Advance(3ms);  // the PC takes its time to answer
    rig.PeerSends(Bytes(1028, 0x11));
    ASSERT_EQ(rig.HandheldReads(1028), IoStatus::ok);
    EXPECT_EQ(rig.clock.Elapsed(), WireTime(1, {}) + 3ms + 1ms + WireTime(1028, {}));

    const LineAccount account = rig.paced.Account();
    EXPECT_EQ(account.peerTime, 3ms) << "the PC's own time, apart from the line's";
    EXPECT_EQ(account.lineTime, rig.clock.Elapsed() - 3ms);
}

TEST(PacedPort, OnlyAnswersToTheHandheldCountAsThePeersTurns) {
    PacedRig rig;
    rig.PeerSends(Bytes{0xB3, 0x06});
    ASSERT_EQ(rig.HandheldReads(1), IoStatus::ok);  // read first: nothing to answer yet
    ASSERT_EQ(rig.paced.Write(Bytes{0x08}), IoStatus::ok);
    rig.clock.Advance(2ms);
    ASSERT_EQ(rig.HandheldReads(1), IoStatus::ok);
    const LineAccount account = rig.paced.Account();
    EXPECT_EQ(account.peerTurns, 1U);
    EXPECT_EQ(account.peerTime, 2ms);
}

TEST(PacedPort, LateWakeUpsDoNotPileUpOverAStream) {
    PacedRig rig({}, 50us);
    const Bytes chunk(1024, 0x33);
    for (int i = 0; i < 100; ++i) ASSERT_EQ(rig.paced.Write(chunk), IoStatus::ok);
    EXPECT_EQ(rig.clock.Elapsed(), 100 * WireTime(1024, {}) + 50us) << "only the last one shows";
}

TEST(PacedPort, AStreamComingInKeepsItsWireTimeToo) {
    PacedRig rig({}, 50us);
    rig.PeerSends(Bytes(64 * 1024, 0x44));
    for (int i = 0; i < 64; ++i) ASSERT_EQ(rig.HandheldReads(1024), IoStatus::ok);
    EXPECT_EQ(rig.clock.Elapsed(), 64 * WireTime(1024, {}) + 50us);
}

TEST(PacedPort, ALateWakeUpIsNotCreditedAcrossATurn) {
    PacedRig rig({115200, 10, 1ms}, 50us);
    ASSERT_EQ(rig.paced.Write(Bytes{0x05}), IoStatus::ok);
    rig.PeerSends(Bytes{0x01});
    ASSERT_EQ(rig.HandheldReads(1), IoStatus::ok);
    // The turn starts from when the byte was read, after the late wake-up.
    EXPECT_EQ(rig.clock.Elapsed(), 2 * kByte115200 + 1ms + 100us);
}

TEST(PacedPort, AReadThatDoesNotCompleteChargesNothingAndTurnsNothing) {
    PacedRig rig({115200, 10, 16ms});
    ASSERT_EQ(rig.paced.Write(Bytes{0x57}), IoStatus::ok);
    Bytes answer(1);
    EXPECT_EQ(rig.paced.Read(answer, 1ms), IoStatus::timedOut);
    ASSERT_EQ(rig.paced.Write(Bytes{0x57}), IoStatus::ok);
    EXPECT_EQ(rig.clock.Elapsed(), 2 * kByte115200);
    EXPECT_EQ(rig.paced.Account().turnarounds, 0U);
}

TEST(PacedPort, EmptyTransfersPassThroughFree) {
    PacedRig rig({115200, 10, 16ms});
    ASSERT_EQ(rig.paced.Write(Bytes{0x05}), IoStatus::ok);
    EXPECT_EQ(rig.paced.Read(std::span<std::uint8_t>{}, 1ms), IoStatus::ok);
    ASSERT_EQ(rig.paced.Write(Bytes{}), IoStatus::ok);
    EXPECT_EQ(rig.clock.Elapsed(), kByte115200);
    EXPECT_EQ(rig.paced.Account().turnarounds, 0U);
}

TEST(PacedPort, FailuresOfTheWrappedPortComeThrough) {
    PacedRig rig;
    rig.ports.second->HangUp();
    EXPECT_EQ(rig.paced.Write(Bytes{0x05}), IoStatus::failed);
    EXPECT_EQ(rig.HandheldReads(1), IoStatus::failed);
}

TEST(PacedPort, CancelCutsAWaitShortAndNothingCrosses) {
    StuckClock clock;
    auto [handheld, pc] = MakeMemoryPortPair();
    PacedPort paced(*handheld, {}, clock);
    auto writing = std::async(std::launch::async, [&paced] { return paced.Write(Bytes(64, 1)); });
    clock.AwaitSleeper();
    paced.Cancel();
    EXPECT_EQ(writing.get(), IoStatus::cancelled);
    Bytes got(1);
    EXPECT_EQ(pc->Read(got, 1ms), IoStatus::timedOut);
    EXPECT_EQ(paced.Read(got, 1ms), IoStatus::cancelled);
}

TEST(PacedPort, ByteArrivingAsItIsCancelledStillCountsAsCancelled) {
    StuckClock clock;
    auto [handheld, pc] = MakeMemoryPortPair();
    PacedPort paced(*handheld, {}, clock);
    ASSERT_EQ(pc->Write(Bytes{0x4C}), IoStatus::ok);
    auto reading = std::async(std::launch::async, [&paced] {
        Bytes got(1);
        return paced.Read(got, 1s);
    });
    clock.AwaitSleeper();  // the byte is in, its wire time is being waited out
    paced.Cancel();
    EXPECT_EQ(reading.get(), IoStatus::cancelled);
}

}  // namespace
}  // namespace kestrel
