// Uploads on the line, byte for byte, against a scripted handheld.

#include <gtest/gtest.h>

#include "tests/transfer/scripted_line.h"
#include "transfer/receive_session.h"
#include "transfer/transfer_texts.h"

namespace kestrel::test {
namespace {

Bytes Pattern(std::size_t size, std::uint8_t seed) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(seed + i * 7);
    return bytes;
}

class ReceiveTest : public ::testing::Test {
  protected:
    // Greeting, Start, Directory and OpenFile accepted.
    void OpenedSession() { line.Handheld(Concat({Greeting(), Accept(), Accept(), Accept()})); }
    // One ReadRequest accepted and answered with this chunk.
    void Chunk(const Bytes& data) { line.Handheld(Concat({Accept(), DataPacket(data)})); }
    void ClosedSession() { line.Handheld(Hex("05 05 00")); }

    ScriptedLine line;
};

TEST_F(ReceiveTest, FileArrivesInChunksUntilAShortOne) {
    const Bytes content = Pattern(2048, 3);
    OpenedSession();
    Chunk(Bytes(content.begin(), content.begin() + 1024));
    Chunk(Bytes(content.begin() + 1024, content.end()));
    Chunk({});
    ClosedSession();
    const auto target = line.dir / "x.dat";

    EXPECT_EQ(line.Run(Upload(target, "LAVA", "a.dat")), TransferOutcome::succeeded);

    EXPECT_EQ(ReadFileBytes(target), content);
    EXPECT_FALSE(std::filesystem::exists(PartialPath(target)));
    EXPECT_EQ(line.status.Texts(),
              (std::vector<std::string>{texts::kWaiting.data(), "    0k", "    1k", "    2k",
                                        texts::kSucceeded.data()}));
    const Bytes request = ReadRequestFrame();
    const Bytes oneChunk = Concat({request, Hex("06 06")});
    EXPECT_EQ(ToHex(line.PcWrote()),
              ToHex(Concat({Hex("B3 B3 4C"), StartFrame(), Hex("02 06 00 2F 4C 41 56 41 00 35"),
                            Hex("07 08 00 2F 4C 61 2E 64 61 74 00 5D"), oneChunk, oneChunk, request,
                            Hex("06"), Hex("05 00 00 06 00 00")})));
}

TEST_F(ReceiveTest, EmptyDeviceFileMakesAnEmptyPcFile) {
    OpenedSession();
    Chunk({});
    ClosedSession();
    const auto target = line.dir / "x.dat";
    WriteFileText(target, "old content");
    EXPECT_EQ(line.Run(Upload(target, "", "a.dat")), TransferOutcome::succeeded);
    EXPECT_TRUE(ReadFileBytes(target).empty());
    const Bytes wrote = line.PcWrote();
    const Bytes openFile = Hex("07 08 00 2F 00 61 2E 64 61 74 00 11");
    EXPECT_NE(std::search(wrote.begin(), wrote.end(), openFile.begin(), openFile.end()),
              wrote.end());
}

TEST_F(ReceiveTest, OversizedChunkIsWrittenWholeAndAsksForMore) {
    const Bytes big = Pattern(2048, 9);
    const Bytes rest = Pattern(476, 1);
    OpenedSession();
    Chunk(big);
    Chunk(rest);
    ClosedSession();
    const auto target = line.dir / "x.dat";
    EXPECT_EQ(line.Run(Upload(target, "LAVA", "a.dat")), TransferOutcome::succeeded);
    EXPECT_EQ(ReadFileBytes(target), Concat({big, rest}));
}

TEST_F(ReceiveTest, RefusedReadRequestIsAnsweredAndRepeated) {
    OpenedSession();
    line.Handheld(Hex("05 58 05 58"));  // refused twice
    Chunk(FromText("hi"));
    ClosedSession();
    const auto target = line.dir / "x.dat";
    EXPECT_EQ(line.Run(Upload(target, "LAVA", "a.dat")), TransferOutcome::succeeded);
    EXPECT_EQ(ReadFileBytes(target), FromText("hi"));
    const Bytes request = ReadRequestFrame();
    const Bytes expectedTail = Concat(
        {request, Hex("CF CB"), request, Hex("CF CB"), request, Hex("06 06 05 00 00 06 00 00")});
    const Bytes wrote = line.PcWrote();
    ASSERT_GE(wrote.size(), expectedTail.size());
    EXPECT_EQ(ToHex(Bytes(wrote.end() - static_cast<long>(expectedTail.size()), wrote.end())),
              ToHex(expectedTail));
}

TEST_F(ReceiveTest, BadChunkKeepsTheUsersFileAndWhatArrivedIntact) {
    OpenedSession();
    Chunk(Pattern(1024, 1));
    Chunk(Pattern(1024, 2));
    line.Handheld(Concat({Accept(), BadDataPacket(Pattern(1024, 3))}));
    const auto target = line.dir / "x.dat";
    WriteFileText(target, "precious");

    EXPECT_EQ(line.Run(Upload(target, "LAVA", "a.dat")), TransferOutcome::failed);

    EXPECT_EQ(line.status.Last(), texts::kAborted);
    EXPECT_EQ(ReadFileBytes(target), FromText("precious"));
    EXPECT_EQ(ReadFileBytes(PartialPath(target)), Concat({Pattern(1024, 1), Pattern(1024, 2)}));
    const Bytes wrote = line.PcWrote();
    EXPECT_EQ(Bytes(wrote.end() - 2, wrote.end()), Hex("06 06")) << "both acks, then nothing";
}

TEST_F(ReceiveTest, PcFileThatCannotBeCreatedEndsAfterOpenFile) {
    OpenedSession();
    Chunk(FromText("data"));
    const auto target = line.dir / "no-such-folder" / "x.dat";
    EXPECT_EQ(line.Run(Upload(target, "LAVA", "a.dat")), TransferOutcome::failed);
    EXPECT_EQ(line.status.Last(), texts::kAborted);
    const Bytes wrote = line.PcWrote();
    const Bytes openFile = Hex("07 08 00 2F 4C 61 2E 64 61 74 00 5D");
    ASSERT_GE(wrote.size(), openFile.size());
    EXPECT_EQ(Bytes(wrote.end() - static_cast<long>(openFile.size()), wrote.end()), openFile)
        << "nothing after OpenFile";
}

TEST_F(ReceiveTest, TextShorterThanItsHeaderIsNotReportedAsSuccess) {
    OpenedSession();
    Chunk(Bytes(23, 0));
    ClosedSession();
    const auto target = line.dir / "x.txt";
    WriteFileText(target, "precious");
    EXPECT_EQ(line.Run(Upload(target, "LAVA", "a.txt")), TransferOutcome::failed);
    EXPECT_FALSE(line.status.Saw(texts::kSucceeded));
    EXPECT_NE(line.status.Last(), texts::kAborted) << "the reason stands last";
    EXPECT_EQ(ReadFileBytes(target), FromText("precious"));
}

TEST_F(ReceiveTest, TypesThatCannotBeFetchedExchangeNothing) {
    for (const char* name : {"x.gtx", "x.bin"}) {
        ScriptedLine fresh;
        fresh.Handheld(Greeting());
        EXPECT_EQ(fresh.Run(Upload(fresh.dir / name, "LAVA", "a")), TransferOutcome::failed);
        EXPECT_EQ(fresh.status.Last(), texts::kAborted);
        EXPECT_EQ(fresh.status.Texts().size(), 3U) << "waiting, the refusal, then abort";
        EXPECT_TRUE(fresh.PcWrote().empty());
    }
}

}  // namespace
}  // namespace kestrel::test
