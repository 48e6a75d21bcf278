// The preparations and the finishing step, through real files. TempFile lives
// in the test's own folder.
#include "formats/routing.h"

#include <gtest/gtest.h>

#include "formats/format_texts.h"
#include "formats/substitution_table.h"
#include "tests/formats/formats_fixture.h"
#include "tests/support/bytes.h"
#include "tests/support/gbk.h"
#include "tests/support/image_codec.h"

namespace kestrel::test {
namespace {

using std::filesystem::path;

Bytes Filled(std::size_t size, std::uint8_t seed) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(seed + i * 13);
    return bytes;
}

using SendingTest = FormatsTest;

TEST_F(SendingTest, TextBecomesHeadedTempFile) {
    path pcPath = scratch_ / "a.txt";
    WriteFileText(pcPath, "hello");
    ASSERT_TRUE(PrepareForSending(pcPath, context_));
    EXPECT_EQ(pcPath, TempFilePath());
    EXPECT_EQ(ReadFileBytes(TempFilePath()),
              Hex("00 00 00 00 00 01 00 18 00 00 1D 00 00 00 00 00 18 00 00 1D 00 00 00 00"
                  "68 65 6C 6C 6F"));
    EXPECT_EQ(ReadFileBytes(scratch_ / "a.txt"), FromText("hello"));
    EXPECT_TRUE(status_.Texts().empty());
}

TEST_F(SendingTest, TempFileIsTruncatedNotAppended) {
    WriteFileBytes(TempFilePath(), Filled(500, 1));
    path pcPath = scratch_ / "a.txt";
    WriteFileText(pcPath, "hello");
    ASSERT_TRUE(PrepareForSending(pcPath, context_));
    EXPECT_EQ(ReadFileBytes(TempFilePath()).size(), 29u);
}

TEST_F(SendingTest, TempFileServesOneRunAtATime) {
    path pcPath = scratch_ / "a.txt";
    WriteFileText(pcPath, "first");
    ASSERT_TRUE(PrepareForSending(pcPath, context_));

    // A second run (another program) must not overwrite what the first sends.
    RecordingStatus otherStatus;
    FormatContext other{otherStatus, nullptr, {}, StagingDir()};
    path otherPath = scratch_ / "b.txt";
    WriteFileText(otherPath, "second");
    EXPECT_FALSE(PrepareForSending(otherPath, other));
    EXPECT_EQ(otherStatus.Last(), texts::kTempFileInUse);
    EXPECT_EQ(ReadFileBytes(TempFilePath()).size(), 24u + 5u);

    // The first run itself goes on using it, and once it ends the next may.
    pcPath = scratch_ / "a.txt";
    EXPECT_TRUE(PrepareForSending(pcPath, context_));
    context_.tempFileClaim.reset();
    EXPECT_TRUE(PrepareForSending(otherPath, other));
}

TEST_F(SendingTest, HeadedTextIsReheaded) {
    const Bytes gtx = Filled(100, 5);
    path pcPath = scratch_ / "b.gtx";
    WriteFileBytes(pcPath, gtx);
    ASSERT_TRUE(PrepareForSending(pcPath, context_));
    const Bytes staged = ReadFileBytes(TempFilePath());
    ASSERT_EQ(staged.size(), 108u);
    EXPECT_EQ(staged[10], 108);
    EXPECT_EQ(Bytes(staged.begin() + 24, staged.end()), Bytes(gtx.begin() + 16, gtx.end()));
}

TEST_F(SendingTest, FilesWithoutContentFailWithTheirOwnText) {
    path empty = scratch_ / "a.txt";
    WriteFileText(empty, "");
    EXPECT_FALSE(PrepareForSending(empty, context_));
    EXPECT_EQ(empty, scratch_ / "a.txt");
    EXPECT_EQ(status_.Last(), texts::kEmptyText);

    path headerOnly = scratch_ / "b.gtx";
    WriteFileBytes(headerOnly, Filled(16, 0));
    EXPECT_FALSE(PrepareForSending(headerOnly, context_));
    EXPECT_EQ(headerOnly, scratch_ / "b.gtx");
    EXPECT_EQ(status_.Last(), texts::kNoTextBody);
    EXPECT_FALSE(std::filesystem::exists(TempFilePath()));
}

TEST_F(SendingTest, UnreadableFileFailsWithItsText) {
    path missing = scratch_ / "absent.txt";
    EXPECT_FALSE(PrepareForSending(missing, context_));
    EXPECT_EQ(status_.Last(), texts::kCannotOpenFile);

    path folder = scratch_ / "folder.gtx";
    std::filesystem::create_directory(folder);
    EXPECT_FALSE(PrepareForSending(folder, context_));
    EXPECT_EQ(status_.Last(), texts::kCannotOpenFile);
    EXPECT_EQ(folder, scratch_ / "folder.gtx");
}

TEST_F(SendingTest, MissingStagingFolderFailsWithoutTouchingThePath) {
    context_.tempDirectory = scratch_ / "no-such-folder";
    path pcPath = scratch_ / "a.txt";
    WriteFileText(pcPath, "hello");
    EXPECT_FALSE(PrepareForSending(pcPath, context_));
    EXPECT_EQ(pcPath, scratch_ / "a.txt");
    EXPECT_EQ(status_.Last(), texts::kCannotWriteTempFile);
}

TEST_F(SendingTest, ApplicationWithoutTableFailsNamingTheTable) {
    context_.missingTableName = "substitution.table";
    path pcPath = scratch_ / "game.bin";
    WriteFileBytes(pcPath, Filled(200, 1));
    EXPECT_FALSE(PrepareForSending(pcPath, context_));
    EXPECT_EQ(pcPath, scratch_ / "game.bin");
    EXPECT_EQ(status_.Last(), Gbk("没有可用的解码表文件 substitution.table"));
    EXPECT_FALSE(std::filesystem::exists(TempFilePath()));
}

TEST_F(SendingTest, DamagedApplicationFailsWithItsText) {
    const auto table = SubstitutionTable::FromBytes(RandomPermutationTable(1));
    context_.table = &*table;
    path pcPath = scratch_ / "game.bin";
    WriteFileBytes(pcPath, Hex("1F 00"));
    EXPECT_FALSE(PrepareForSending(pcPath, context_));
    EXPECT_EQ(status_.Last(), texts::kBadKeyLength);
    EXPECT_EQ(pcPath, scratch_ / "game.bin");
}

using ReceivingTest = FormatsTest;

TEST_F(ReceivingTest, HeadedTextAndApplicationsCannotBeFetched) {
    for (const char* name : {"x.gtx", "x.bin"}) {
        path pcPath = scratch_ / name;
        path target;
        EXPECT_FALSE(PrepareForReceiving(pcPath, target, context_)) << name;
        EXPECT_EQ(target, scratch_ / name);
        EXPECT_EQ(status_.Last(), texts::kUploadNotSupported);
    }
}

class TextReceiveTest : public FormatsTest {
  protected:
    // Receives a device file of the given content into x.txt, which held
    // "old text" before; returns what FinishReceiving said.
    bool Receive(const Bytes& deviceFile) {
        WriteFileText(Target(), "old text");
        path pcPath = Target();
        path receiveTarget;
        EXPECT_TRUE(PrepareForReceiving(pcPath, receiveTarget, context_));
        EXPECT_EQ(pcPath, TempFilePath());
        EXPECT_EQ(receiveTarget, Target());
        WriteFileBytes(pcPath, deviceFile);
        return FinishReceiving(pcPath, receiveTarget, context_);
    }
    path Target() const { return scratch_ / "x.txt"; }
};

TEST_F(TextReceiveTest, KeepsWhatFollowsTheHeader) {
    for (const std::size_t size : {30u, 24u}) {
        const Bytes device = Filled(size, 4);
        EXPECT_TRUE(Receive(device)) << size;
        EXPECT_EQ(ReadFileBytes(Target()), Bytes(device.begin() + 24, device.end())) << size;
        EXPECT_EQ(ReadFileBytes(TempFilePath()), device);
    }
    EXPECT_TRUE(status_.Texts().empty());
}

TEST_F(TextReceiveTest, ShortFileLeavesTheUsersFileAsItWas) {
    EXPECT_FALSE(Receive(Filled(23, 4)));
    EXPECT_EQ(ReadFileBytes(Target()), FromText("old text"));
    EXPECT_EQ(status_.Last(), texts::kReceivedTextTooShort);
    // No half-made file is left beside the target.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(scratch_.Path()),
                            std::filesystem::directory_iterator()),
              2);
}

TEST_F(TextReceiveTest, MissingReceivedFileIsReported) {
    path receiveTarget = Target();
    EXPECT_FALSE(FinishReceiving(scratch_ / "gone", receiveTarget, context_));
    EXPECT_EQ(status_.Last(), texts::kCannotReadReceived);
    EXPECT_FALSE(std::filesystem::exists(Target()));
}

TEST_F(TextReceiveTest, TargetThatCannotBeReplacedKeepsItsContent) {
    // A folder in the target's place: the new text cannot be put there, and
    // what the folder holds must survive.
    std::filesystem::create_directory(Target());
    WriteFileText(Target() / "inside", "keep");
    path pcPath = TempFilePath();
    WriteFileBytes(pcPath, Filled(40, 1));
    EXPECT_FALSE(FinishReceiving(pcPath, Target(), context_));
    EXPECT_EQ(status_.Last(), texts::kCannotWriteFile);
    EXPECT_EQ(ReadFileBytes(Target() / "inside"), FromText("keep"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(scratch_.Path()),
                            std::filesystem::directory_iterator()),
              2);
}

TEST_F(TextReceiveTest, TargetInAMissingFolderIsReported) {
    path pcPath = TempFilePath();
    WriteFileBytes(pcPath, Filled(40, 1));
    EXPECT_FALSE(FinishReceiving(pcPath, scratch_ / "nowhere" / "x.txt", context_));
    EXPECT_EQ(status_.Last(), texts::kCannotWriteFile);
}

}  // namespace
}  // namespace kestrel::test
