#include "link/memory_port.h"

#include <gtest/gtest.h>

#include <thread>

#include "tests/support/bytes.h"

namespace kestrel {
namespace {

using test::Hex;

TEST(MemoryPort, BytesCrossInOrderAndReadsCollectPieces) {
    auto [a, b] = MakeMemoryPortPair();
    std::thread writer([&b] {
        for (std::uint8_t i = 0; i < 4; ++i) {
            ASSERT_EQ(b->Write(std::vector<std::uint8_t>{i}), IoStatus::ok);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
    std::array<std::uint8_t, 4> got{};
    EXPECT_EQ(a->Read(got, std::nullopt), IoStatus::ok);
    writer.join();
    EXPECT_EQ(std::vector<std::uint8_t>(got.begin(), got.end()), Hex("00 01 02 03"));
}

TEST(MemoryPort, SilenceHangUpAndCancelEndAReadDifferently) {
    auto [a, b] = MakeMemoryPortPair();
    std::array<std::uint8_t, 2> got{};
    EXPECT_EQ(a->Read(got, std::chrono::milliseconds(5)), IoStatus::timedOut);

    ASSERT_EQ(b->Write(Hex("AA")), IoStatus::ok);
    b->HangUp();
    EXPECT_EQ(a->Read(got, std::nullopt), IoStatus::failed) << "one byte then the far end went";
    EXPECT_EQ(a->Write(Hex("01")), IoStatus::failed);

    auto [c, d] = MakeMemoryPortPair();
    std::thread canceller([&c] {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        c->Cancel();
    });
    EXPECT_EQ(c->Read(got, std::nullopt), IoStatus::cancelled);
    canceller.join();
    EXPECT_EQ(c->Write(Hex("01")), IoStatus::cancelled);
    EXPECT_EQ(d->Write(Hex("01")), IoStatus::ok) << "cancel concerns one side only";
}

}  // namespace
}  // namespace kestrel
