// TempFile on Windows: where it is, how it is claimed, and what it refuses to
// write through.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>

#include "formats/format_texts.h"
#include "formats/routing.h"
#include "formats/temp_file.h"
#include "tests/formats/formats_fixture.h"
#include "tests/support/bytes.h"

namespace kestrel::test {
namespace {

using std::filesystem::path;

// Sets an environment variable for one test and puts back what was there.
class EnvironmentOverride {
  public:
    EnvironmentOverride(const wchar_t* name, const std::wstring& value) : name_(name) {
        wchar_t buffer[32768];
        const DWORD length = ::GetEnvironmentVariableW(name, buffer, 32768);
        if (length > 0 && length < 32768) saved_ = std::wstring(buffer, length);
        ::SetEnvironmentVariableW(name, value.c_str());
    }
    ~EnvironmentOverride() { ::SetEnvironmentVariableW(name_, saved_ ? saved_->c_str() : nullptr); }
    EnvironmentOverride(const EnvironmentOverride&) = delete;
    EnvironmentOverride& operator=(const EnvironmentOverride&) = delete;

  private:
    const wchar_t* name_;
    std::optional<std::wstring> saved_;
};

TEST(DefaultTempFileTest, FollowsTheTemporaryDirectoryWhateverItsName) {
    ScratchDir scratch;
    // Missing, and named with characters no narrow code page holds.
    const path folder = scratch / L"\x4E34\x65F6 \x0E01\xD83D\xDE00";
    const EnvironmentOverride tmp(L"TMP", folder.native());
    const EnvironmentOverride temp(L"TEMP", folder.native());

    const TempFilePlace place = LocateDefaultTempFile();
    ASSERT_EQ(place.failure, "");
    EXPECT_EQ(place.path.native(), folder.native() + L"\\\\tmpfile") << "as the system forms it";
    EXPECT_TRUE(std::filesystem::is_directory(folder)) << "created when missing";

    // And a text send stages there.
    RecordingStatus status;
    FormatContext context{status};
    path pcPath = scratch / "a.txt";
    WriteFileText(pcPath, "hello");
    ASSERT_TRUE(PrepareForSending(pcPath, context));
    EXPECT_TRUE(std::filesystem::equivalent(pcPath, folder / "tmpfile"));
    EXPECT_EQ(ReadFileBytes(folder / "tmpfile").size(), 24u + 5u);
}

TEST(DefaultTempFileTest, AFileWhereTheFolderShouldBeIsNoTemporaryDirectory) {
    ScratchDir scratch;
    WriteFileText(scratch / "taken", "x");
    const EnvironmentOverride tmp(L"TMP", (scratch / "taken").native());
    const EnvironmentOverride temp(L"TEMP", (scratch / "taken").native());
    const TempFilePlace place = LocateDefaultTempFile();
    EXPECT_TRUE(place.path.empty());
    EXPECT_EQ(place.failure, texts::kNoTempDirectory);
}

TEST(TempFileClaimTest, IsHeldByOneRunAtATime) {
    ScratchDir scratch;
    const path tempFile = scratch / "tmpfile";
    bool busy = false;
    std::optional<TempFileClaim> first = TempFileClaim::Acquire(tempFile, busy);
    ASSERT_TRUE(first.has_value());
    EXPECT_FALSE(TempFileClaim::Acquire(tempFile, busy).has_value());
    EXPECT_TRUE(busy);
    first.reset();
    busy = false;
    EXPECT_TRUE(TempFileClaim::Acquire(tempFile, busy).has_value()) << "released with the claim";
    EXPECT_FALSE(busy);
}

using ScratchFileTest = FormatsTest;

TEST_F(ScratchFileTest, ReplacesWhatWasThere) {
    WriteFileText(TempFilePath(), "an older and longer staged file");
    EXPECT_EQ(WriteTempFile(TempFilePath(), FromText("new")), "");
    EXPECT_EQ(ReadFileBytes(TempFilePath()), FromText("new"));
}

TEST_F(ScratchFileTest, APlantedSymbolicLinkIsNotFollowed) {
    const path victim = scratch_ / "victim";
    WriteFileText(victim, "precious");
    // Without the right to make links the call fails; Wine 8 reports success
    // and makes nothing.
    const DWORD made = ::CreateSymbolicLinkW(TempFilePath().c_str(), victim.c_str(),
                                             SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE)
                           ? ::GetFileAttributesW(TempFilePath().c_str())
                           : INVALID_FILE_ATTRIBUTES;
    if (made == INVALID_FILE_ATTRIBUTES || (made & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        GTEST_SKIP() << "symbolic links cannot be made here";
    }
    EXPECT_EQ(WriteTempFile(TempFilePath(), FromText("evil")), texts::kCannotWriteTempFile);
    EXPECT_EQ(ReadFileBytes(victim), FromText("precious"));
}

TEST_F(ScratchFileTest, APlantedHardLinkIsNotTruncated) {
    const path victim = scratch_ / "victim";
    WriteFileText(victim, "precious");
    ASSERT_TRUE(::CreateHardLinkW(TempFilePath().c_str(), victim.c_str(), nullptr));
    EXPECT_EQ(WriteTempFile(TempFilePath(), FromText("evil")), texts::kCannotWriteTempFile);
    EXPECT_EQ(ReadFileBytes(victim), FromText("precious"));
}

TEST_F(ScratchFileTest, AFolderInItsPlaceIsRefused) {
    std::filesystem::create_directory(TempFilePath());
    EXPECT_EQ(WriteTempFile(TempFilePath(), FromText("x")), texts::kCannotWriteTempFile);
    EXPECT_TRUE(std::filesystem::is_directory(TempFilePath()));
}

TEST_F(ScratchFileTest, FreshFilesNeverReplaceOne) {
    const path taken = scratch_ / "taken";
    WriteFileText(taken, "mine");
    EXPECT_FALSE(OutputFile::Open(taken, OutputFile::Creation::kFresh).has_value());
    EXPECT_EQ(ReadFileBytes(taken), FromText("mine"));

    auto fresh = OutputFile::Open(scratch_ / L"\x65B0 \xD83D\xDE00", OutputFile::Creation::kFresh);
    ASSERT_TRUE(fresh.has_value());
    EXPECT_TRUE(fresh->WriteAll(FromText("ok")));
    EXPECT_TRUE(fresh->Close());
    EXPECT_FALSE(fresh->WriteAll(FromText("late"))) << "closed";
    EXPECT_EQ(ReadFileBytes(scratch_ / L"\x65B0 \xD83D\xDE00"), FromText("ok"));
}

}  // namespace
}  // namespace kestrel::test
