// TempFile's private folder and the guarded ways files are written, on POSIX.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>

#include "formats/format_texts.h"
#include "formats/private_folder_posix.h"
#include "formats/routing.h"
#include "formats/temp_file.h"
#include "tests/formats/formats_fixture.h"
#include "tests/support/bytes.h"

namespace kestrel::test {
namespace {

using std::filesystem::path;

mode_t ModeOf(const path& file) {
    struct stat info {};
    EXPECT_EQ(::lstat(file.c_str(), &info), 0) << file;
    return info.st_mode & 07777;
}

std::string OwnFolderName() {
    return "kestrel-" + std::to_string(::geteuid());
}

TEST(PrivateFolderTest, RefusesGroupOrOtherRights) {
    ScratchDir scratch;
    const path folder = scratch / "kestrel";
    for (const mode_t mode : {0750u, 0705u, 0701u, 0777u}) {
        std::filesystem::create_directory(folder);
        ASSERT_EQ(::chmod(folder.c_str(), mode), 0);
        EXPECT_EQ(EnsurePrivateFolder(folder), texts::kTempDirectoryUnsafe) << std::oct << mode;
        EXPECT_EQ(ModeOf(folder), mode) << "refused, not repaired";
    }
}

TEST(PrivateFolderTest, IsMadeOwnerOnlyButALinkOrAFileInItsPlaceIsRefused) {
    ScratchDir scratch;
    ASSERT_EQ(EnsurePrivateFolder(scratch / "real"), "");
    EXPECT_EQ(ModeOf(scratch / "real"), 0700u);
    EXPECT_EQ(EnsurePrivateFolder(scratch / "real"), "") << "an existing private folder is reused";
    std::filesystem::create_directory_symlink(scratch / "real", scratch / "link");
    WriteFileText(scratch / "file", "not a folder");
    EXPECT_EQ(EnsurePrivateFolder(scratch / "link"), texts::kTempDirectoryUnsafe);
    EXPECT_EQ(EnsurePrivateFolder(scratch / "file"), texts::kTempDirectoryUnsafe);
    EXPECT_EQ(EnsurePrivateFolder(scratch / "absent" / "kestrel"), texts::kNoTempDirectory);
}

TEST(PrivateFolderTest, RefusesAFolderOwnedBySomeoneElse) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to give a folder away";
    ScratchDir scratch;
    const path folder = scratch / "kestrel";
    std::filesystem::create_directory(folder);
    ASSERT_EQ(::chmod(folder.c_str(), 0700), 0);
    ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
    EXPECT_EQ(EnsurePrivateFolder(folder), texts::kTempDirectoryUnsafe);
}

TEST(PrivateFolderTest, PrefersAPrivateRuntimeFolder) {
    ScratchDir scratch;
    const path runtime = scratch / "run";
    ASSERT_EQ(EnsurePrivateFolder(runtime), "");
    const path tmp = scratch.Path();
    EXPECT_EQ(ChoosePrivateFolder(runtime.c_str(), tmp.c_str()), runtime / "kestrel");

    ASSERT_EQ(::chmod(runtime.c_str(), 0755), 0);
    EXPECT_EQ(ChoosePrivateFolder(runtime.c_str(), tmp.c_str()), tmp / OwnFolderName());
    EXPECT_EQ(ChoosePrivateFolder("run", tmp.c_str()), tmp / OwnFolderName());
    EXPECT_EQ(ChoosePrivateFolder("", tmp.c_str()), tmp / OwnFolderName());
    EXPECT_EQ(ChoosePrivateFolder(nullptr, nullptr), path("/tmp") / OwnFolderName());
    EXPECT_EQ(ChoosePrivateFolder(nullptr, "relative"), path("/tmp") / OwnFolderName());
}

// Sets an environment variable for one test and puts back what was there.
class EnvironmentOverride {
  public:
    EnvironmentOverride(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) saved_ = old;
        Set(value);
    }
    ~EnvironmentOverride() { Set(saved_ ? saved_->c_str() : nullptr); }
    EnvironmentOverride(const EnvironmentOverride&) = delete;
    EnvironmentOverride& operator=(const EnvironmentOverride&) = delete;

  private:
    void Set(const char* value) const {
        (void)(value != nullptr ? ::setenv(name_, value, 1) : ::unsetenv(name_));
    }
    const char* name_;
    std::optional<std::string> saved_;
};

TEST(PrivateFolderTest, DefaultFolderIsMadePrivateAndRefusedOnceOthersMayWrite) {
    ScratchDir scratch;
    const EnvironmentOverride runtime("XDG_RUNTIME_DIR", nullptr);
    const EnvironmentOverride tmp("TMPDIR", scratch.Path().c_str());
    const path folder = scratch / OwnFolderName();
    {
        RecordingStatus status;
        FormatContext context{status};
        path pcPath = scratch / "x.txt";
        path target;
        ASSERT_TRUE(PrepareForReceiving(pcPath, target, context));
        EXPECT_EQ(pcPath, folder / "tmpfile");
        EXPECT_EQ(ModeOf(folder), 0700u);
    }
    ASSERT_EQ(::chmod(folder.c_str(), 0777), 0);
    RecordingStatus status;
    FormatContext context{status};
    path pcPath = scratch / "a.txt";
    WriteFileText(pcPath, "hello");
    EXPECT_FALSE(PrepareForSending(pcPath, context));
    EXPECT_EQ(pcPath, scratch / "a.txt");
    EXPECT_EQ(status.Last(), texts::kTempDirectoryUnsafe);
    EXPECT_FALSE(std::filesystem::exists(folder / "tmpfile"));
}

using StagedFileTest = FormatsTest;

TEST_F(StagedFileTest, TempFileIsOwnerOnly) {
    path pcPath = scratch_ / "a.txt";
    WriteFileText(pcPath, "hello");
    ASSERT_TRUE(PrepareForSending(pcPath, context_));
    EXPECT_EQ(ModeOf(TempFilePath()), 0600u);
}

TEST_F(StagedFileTest, PlantedLinkOrFifoIsNeitherFollowedNorWritten) {
    namespace fs = std::filesystem;
    const path victim = scratch_ / "victim";
    WriteFileText(victim, "precious");
    const struct {
        std::function<void()> plant;
        fs::file_type left;
    } cases[] = {
        {[&] { fs::create_symlink(victim, TempFilePath()); }, fs::file_type::symlink},
        {[&] { fs::create_hard_link(victim, TempFilePath()); }, fs::file_type::regular},
        {[&] { ASSERT_EQ(::mkfifo(TempFilePath().c_str(), 0600), 0); }, fs::file_type::fifo},
    };
    for (const auto& c : cases) {
        fs::remove(TempFilePath());
        c.plant();
        path pcPath = scratch_ / "a.txt";
        WriteFileText(pcPath, "hello");
        EXPECT_FALSE(PrepareForSending(pcPath, context_));
        EXPECT_EQ(pcPath, scratch_ / "a.txt");
        EXPECT_EQ(status_.Last(), texts::kCannotWriteTempFile);
        EXPECT_EQ(ReadFileBytes(victim), FromText("precious"));
        EXPECT_EQ(fs::symlink_status(TempFilePath()).type(), c.left);
    }
}

// Makes writes past a size fail (EFBIG), even for root: a disk that fills up
// part-way through a file.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit saved_{};
    void (*oldHandler_)(int) = nullptr;
};

TEST_F(StagedFileTest, TempFileThatCannotBeWrittenWholeFailsTheSend) {
    path pcPath = scratch_ / "a.txt";
    WriteFileBytes(pcPath, Bytes(5000, 'x'));
    {
        const FileSizeLimit limit(1000);
        EXPECT_FALSE(PrepareForSending(pcPath, context_));
    }
    EXPECT_EQ(pcPath, scratch_ / "a.txt");
    EXPECT_EQ(status_.Last(), texts::kCannotWriteTempFile);
}

TEST_F(StagedFileTest, ReceiveTargetKeepsItsContentWhenWritingStopsPartWay) {
    const path target = scratch_ / "x.txt";
    WriteFileText(target, "old text");
    Bytes received(24, 0);
    received.insert(received.end(), 5000, 'y');
    WriteFileBytes(TempFilePath(), received);
    {
        const FileSizeLimit limit(1000);
        EXPECT_FALSE(FinishReceiving(TempFilePath(), target, context_));
    }
    EXPECT_EQ(status_.Last(), texts::kCannotWriteFile);
    EXPECT_EQ(ReadFileBytes(target), FromText("old text"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(scratch_.Path()),
                            std::filesystem::directory_iterator()),
              2)
        << "the half-written sibling is removed";
}

TEST_F(StagedFileTest, ReplacedTargetKeepsItsRightsAndLinks) {
    const path real = scratch_ / "real.txt";
    WriteFileText(real, "old text");
    ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
    std::filesystem::create_symlink(real, scratch_ / "x.txt");
    WriteFileBytes(TempFilePath(), Concat({Bytes(24, 0), FromText("new")}));
    ASSERT_TRUE(FinishReceiving(TempFilePath(), scratch_ / "x.txt", context_));
    EXPECT_TRUE(std::filesystem::is_symlink(scratch_ / "x.txt"));
    EXPECT_EQ(ReadFileBytes(real), FromText("new"));
    EXPECT_EQ(ModeOf(real), 0640u);
}

}  // namespace
}  // namespace kestrel::test
