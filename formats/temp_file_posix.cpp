// POSIX backend of temp_file.h and private_folder_posix.h.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "formats/private_folder_posix.h"
#include "formats/temp_file.h"
#include "text/texts.h"

namespace kestrel {
namespace {

bool IsPrivateFolder(const std::filesystem::path& folder) {
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0) return false;
    return S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() && (info.st_mode & 077) == 0;
}

bool IsSet(const char* value) {
    return value != nullptr && value[0] != '\0';
}

// A staged file must be a plain file of ours with no other name, so that
// truncating it cannot reach anything else.
bool IsOwnSingleFile(int fd) {
    struct stat info {};
    return ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_nlink == 1 &&
           info.st_uid == ::geteuid();
}

int OpenForCreation(const std::filesystem::path& path, OutputFile::Creation creation) {
    // O_NONBLOCK keeps a FIFO in the file's place from blocking the open.
    int flags = O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
    if (creation == OutputFile::Creation::kFresh) flags |= O_EXCL;
    const mode_t mode = creation == OutputFile::Creation::kScratch ? 0600 : 0666;
    int fd = -1;
    do {
        fd = ::open(path.c_str(), flags, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

}  // namespace

std::optional<OutputFile> OutputFile::Open(const std::filesystem::path& path, Creation creation) {
    const int fd = OpenForCreation(path, creation);
    if (fd < 0) return std::nullopt;
    OutputFile file(fd);
    if (creation == Creation::kScratch && (!IsOwnSingleFile(fd) || ::ftruncate(fd, 0) != 0)) {
        return std::nullopt;
    }
    return file;
}

std::optional<TempFileClaim> TempFileClaim::Acquire(const std::filesystem::path& tempFile,
                                                    bool& busy) {
    std::filesystem::path lockFile = tempFile;
    lockFile += ".lock";
    const int fd =
        ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (fd < 0) return std::nullopt;
    TempFileClaim claim(fd);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        busy = errno == EWOULDBLOCK;
        return std::nullopt;
    }
    return claim;
}

TempFileClaim::TempFileClaim(TempFileClaim&& other) noexcept : handle_(other.handle_) {
    other.handle_ = kReleased;
}

TempFileClaim::~TempFileClaim() {
    if (handle_ != kReleased) ::close(static_cast<int>(handle_));  // closing releases the lock
}

OutputFile::OutputFile(OutputFile&& other) noexcept : handle_(other.handle_) {
    other.handle_ = kClosed;
}

OutputFile::~OutputFile() {
    if (handle_ != kClosed) ::close(static_cast<int>(handle_));
}

bool OutputFile::WriteAll(std::span<const std::uint8_t> bytes) {
    if (handle_ == kClosed) return false;
    while (!bytes.empty()) {
        const ssize_t written = ::write(static_cast<int>(handle_), bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
    return true;
}

bool OutputFile::Close() {
    if (handle_ == kClosed) return false;
    const int fd = static_cast<int>(handle_);
    handle_ = kClosed;
    // After an interrupted close the descriptor is gone on Linux; retrying
    // could close someone else's.
    return ::close(fd) == 0;
}

std::filesystem::path ChoosePrivateFolder(const char* runtimeDir, const char* tmpDir) {
    if (IsSet(runtimeDir)) {
        const std::filesystem::path runtime(runtimeDir);
        if (runtime.is_absolute() && IsPrivateFolder(runtime)) return runtime / "kestrel";
    }
    std::filesystem::path base("/tmp");
    if (IsSet(tmpDir) && std::filesystem::path(tmpDir).is_absolute()) base = tmpDir;
    return base / ("kestrel-" + std::to_string(::geteuid()));
}

std::string_view EnsurePrivateFolder(const std::filesystem::path& folder) {
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return texts::kNoTempDirectory;
    if (!IsPrivateFolder(folder)) return texts::kTempDirectoryUnsafe;
    return {};
}

TempFilePlace LocateDefaultTempFile() {
    const std::filesystem::path folder =
        ChoosePrivateFolder(std::getenv("XDG_RUNTIME_DIR"), std::getenv("TMPDIR"));
    const std::string_view failure = EnsurePrivateFolder(folder);
    if (!failure.empty()) return {{}, failure};
    return {folder / "tmpfile", {}};
}

}  // namespace kestrel
