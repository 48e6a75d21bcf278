// Downloads on the line, byte for byte, against a scripted handheld.

#include <gtest/gtest.h>

#include "tests/support/gbk.h"
#include "tests/transfer/scripted_line.h"
#include "transfer/transfer_texts.h"

namespace kestrel::test {
namespace {

class SendTest : public ::testing::Test {
  protected:
    // A handheld that greets and accepts every packet of a one-file session
    // whose file has `chunks` Data packets.
    void AcceptingHandheld(int chunks) {
        line.Handheld(Concat({Greeting(), Accept(), Accept(), Accept()}));
        for (int i = 0; i < chunks; ++i) line.Handheld(Accept());
        line.Handheld(Hex("05 05"));  // EndOfFile, EndSession
        line.Handheld({kClosingByte});
    }

    ScriptedLine line;
};

TEST_F(SendTest, WholeDownloadOnTheLine) {
    const auto file = line.dir / "a.dat";
    WriteFileText(file, "abc");
    // Bytes before the first 0x05 are skipped.
    line.Handheld(Concat({Greeting(),
                          Hex("00 4C"),
                          Accept(),
                          Accept(),
                          Accept(),
                          Accept(),
                          Hex("05 05"),
                          {kClosingByte}}));

    EXPECT_EQ(line.Run(Download(file, "LavaData", "a.dat")), TransferOutcome::succeeded);

    const Bytes expected =
        Concat({Hex("B3 B3 4C"), StartFrame(), Hex("02 0A 00 2F 4C 61 76 61 44 61 74 61 00 25"),
                Hex("03 08 00 EF EF 61 2E 64 61 74 00 3E"), Hex("04 03 00 61 62 63 60"),
                Hex("05 00 00"), Hex("06 00 00")});
    EXPECT_EQ(ToHex(line.PcWrote()), ToHex(expected));
    EXPECT_EQ(StartFrame()[3 + 99], 0x20);
    EXPECT_EQ(line.status.Texts(), (std::vector<std::string>{texts::kWaiting.data(), "    0k",
                                                             "    0k", texts::kSucceeded.data()}));
}

TEST_F(SendTest, ChunksOf1024CountTheKilobytesDown) {
    const auto file = line.dir / "big.dat";
    WriteFileBytes(file, Bytes(2048 + 1, 0x5A));
    AcceptingHandheld(3);
    EXPECT_EQ(line.Run(Download(file, "LAVA", "big.dat")), TransferOutcome::succeeded);
    EXPECT_EQ(line.status.Texts(),
              (std::vector<std::string>{texts::kWaiting.data(), "    2k", "    1k", "    0k",
                                        "    0k", texts::kSucceeded.data()}));
    const Bytes wrote = line.PcWrote();
    const Bytes tail = Concat({Frame(4, {0x5A}), Hex("05 00 00 06 00 00")});
    ASSERT_GE(wrote.size(), tail.size());
    EXPECT_TRUE(std::equal(tail.begin(), tail.end(), wrote.end() - static_cast<long>(tail.size())));
}

TEST_F(SendTest, EmptyFileSendsNoDataPacketAndRootIsTheEmptyDirectory) {
    const auto file = line.dir / "empty.dat";
    WriteFileBytes(file, {});
    AcceptingHandheld(0);
    EXPECT_EQ(line.Run(Download(file, "root", "e")), TransferOutcome::succeeded);
    EXPECT_EQ(line.PcWrote(), Concat({Hex("B3 B3 4C"), StartFrame(), DirectoryFrame(""),
                                      NewFileFrame("e"), Hex("05 00 00 06 00 00")}));
}

TEST_F(SendTest, UnreadablePcFileFailsInsteadOfEndingTheFile) {
    // A folder opens as a stream on POSIX but every read fails.
    const auto folder = line.dir / "folder.dat";
    std::filesystem::create_directory(folder);
    AcceptingHandheld(0);
    EXPECT_EQ(line.Run(Download(folder, "LAVA", "f")), TransferOutcome::failed);
    EXPECT_EQ(line.status.Last(), texts::kAborted);
    EXPECT_FALSE(line.status.Saw(texts::kSucceeded));
    const Bytes wrote = line.PcWrote();
    const Bytes endOfFile = Hex("05 00 00");
    EXPECT_EQ(std::search(wrote.begin(), wrote.end(), endOfFile.begin(), endOfFile.end()),
              wrote.end())
        << "EndOfFile must not be sent for a file that was not read";
}

TEST_F(SendTest, EmptyTextFileFailsBeforeAnyByteIsExchanged) {
    const auto file = line.dir / "a.txt";
    WriteFileBytes(file, {});
    line.Handheld(Greeting());
    EXPECT_EQ(line.Run(Download(file, "LAVA", "a.txt")), TransferOutcome::failed);
    EXPECT_EQ(line.status.Last(), texts::kAborted);
    EXPECT_TRUE(line.PcWrote().empty());
}

TEST_F(SendTest, PortThatCannotBeOpenedSaysWhyAndExchangesNothing) {
    line.setup.openPort = [](std::string_view) { return OpenedPort{nullptr, Gbk("没有这个串口")}; };
    EXPECT_EQ(line.Run(Download(line.dir / "a.dat", "LAVA", "a.dat")),
              TransferOutcome::portUnavailable);
    EXPECT_EQ(Utf8(line.status.Last()), "无法打开串口COM1!没有这个串口");
}

}  // namespace
}  // namespace kestrel::test
