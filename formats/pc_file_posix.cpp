// POSIX backend of pc_file.h: files through descriptors.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "formats/pc_file.h"
#include "status/retry_posix.h"
#include "status/shown_name.h"
#include "status/system_words.h"
#include "text/texts.h"

namespace kestrel {
namespace {

int Descriptor(std::intptr_t handle) {
    return static_cast<int>(handle);
}

std::error_code SystemError(int error) {
    return {error, std::system_category()};
}

}  // namespace

ResultOf<InputFile> InputFile::Open(const std::filesystem::path& path) {
    std::string name = ShownName(path);
    // O_NONBLOCK keeps a FIFO in the file's place from holding the open up.
    const int fd =
        RetryOnInterrupt([&] { return ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK); });
    if (fd < 0) return Result::Failed(texts::kCannotOpenFile, name, LastSystemError());
    InputFile file(fd, 0, std::move(name));
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        return Result::Failed(texts::kCannotOpenFile, file.name_, LastSystemError());
    }
    // A folder or a device would give bytes (or a size) that are no file's.
    if (!S_ISREG(info.st_mode)) {
        return Result::Failed(texts::kCannotOpenFile, file.name_,
                              SystemError(S_ISDIR(info.st_mode) ? EISDIR : EINVAL));
    }
    file.size_ = static_cast<std::uint64_t>(info.st_size);
    return file;
}

InputFile::~InputFile() {
    if (handle_ != kClosed) ::close(Descriptor(handle_));
}

ResultOf<std::uint64_t> InputFile::SizeNow() const {
    struct stat info {};
    if (::fstat(Descriptor(handle_), &info) != 0) {
        return Result::Failed(texts::kCannotReadFile, name_, LastSystemError());
    }
    return static_cast<std::uint64_t>(info.st_size);
}

ResultOf<std::size_t> InputFile::ReadSome(std::span<std::uint8_t> bytes) {
    const ssize_t n =
        RetryOnInterrupt([&] { return ::read(Descriptor(handle_), bytes.data(), bytes.size()); });
    if (n < 0) return Result::Failed(texts::kCannotReadFile, name_, LastSystemError());
    return static_cast<std::size_t>(n);
}

ResultOf<std::size_t> InputFile::ReadAt(std::uint64_t offset, std::span<std::uint8_t> bytes) {
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = RetryOnInterrupt([&] {
            return ::pread(Descriptor(handle_), bytes.data() + got, bytes.size() - got,
                           static_cast<off_t>(offset + got));
        });
        if (n < 0) return Result::Failed(texts::kCannotReadFile, name_, LastSystemError());
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    return got;
}

ResultOf<OutputFile> OutputFile::Open(const std::filesystem::path& path, Creation creation) {
    int flags = O_WRONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK;
    flags |= creation == Creation::kEmptied ? O_TRUNC : O_EXCL;
    const mode_t mode = creation == Creation::kPrivate ? 0600 : 0666;
    const int fd = RetryOnInterrupt([&] { return ::open(path.c_str(), flags, mode); });
    if (fd < 0) return Result::Failed(texts::kCannotCreateFile, ShownName(path), LastSystemError());
    return OutputFile(fd, ShownName(path));
}

Result OutputFile::WriteThrough(std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t written = RetryOnInterrupt(
            [&] { return ::write(Descriptor(handle_), bytes.data(), bytes.size()); });
        if (written < 0) return Result::Failed(texts::kCannotWriteFile, name_, LastSystemError());
        if (written == 0) return Result::Failed(texts::kCannotWriteFile, name_, SystemError(EIO));
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
    return Result::Ok();
}

Result CheckWritable(const std::filesystem::path& path) {
    const int fd = RetryOnInterrupt(
        [&] { return ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY); });
    if (fd < 0 && errno == ENOENT) return Result::Ok();
    if (fd < 0) return Result::Failed(texts::kCannotWriteFile, ShownName(path), LastSystemError());
    ::close(fd);
    return Result::Ok();
}

void KeepOwner(const std::filesystem::path& like, const std::filesystem::path& file) {
    struct stat info {};
    if (::stat(like.c_str(), &info) != 0) return;
    if (::chown(file.c_str(), info.st_uid, info.st_gid) != 0) {
        (void)::chown(file.c_str(), static_cast<uid_t>(-1), info.st_gid);
    }
}

bool OutputFile::CloseSystemFile() {
    const int fd = Descriptor(handle_);
    handle_ = kClosed;
    // After an interrupted close the descriptor is gone on Linux; retrying
    // could close someone else's.
    return ::close(fd) == 0;
}

}  // namespace kestrel
