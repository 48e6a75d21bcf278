// Windows backend of temp_file.h: files through Win32 handles, opened by
// their UTF-16 names so that any path works whatever the system's code page.

#include <windows.h>

#include <algorithm>
#include <string>

#include "formats/temp_file.h"
#include "text/texts.h"

namespace kestrel {
namespace {

HANDLE AsHandle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

std::intptr_t FromHandle(HANDLE handle) {
    return reinterpret_cast<std::intptr_t>(handle);
}

// A staged file must be a plain file with no other name, reached without
// following a link, so that truncating it cannot reach anything else.
bool IsPlainSingleFile(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileType(file) != FILE_TYPE_DISK || !::GetFileInformationByHandle(file, &info)) {
        return false;
    }
    const DWORD notPlain =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE;
    return (info.dwFileAttributes & notPlain) == 0 && info.nNumberOfLinks == 1;
}

bool Truncate(HANDLE file) {
    LARGE_INTEGER start{};
    return ::SetFilePointerEx(file, start, nullptr, FILE_BEGIN) && ::SetEndOfFile(file);
}

HANDLE OpenForCreation(const std::filesystem::path& path, OutputFile::Creation creation) {
    const bool scratch = creation == OutputFile::Creation::kScratch;
    // For a scratch file, a link in its place is opened as itself (and then
    // refused), never followed. TRUNCATE_EXISTING would act before the check.
    const DWORD disposition = scratch ? OPEN_ALWAYS : CREATE_NEW;
    const DWORD flags = FILE_ATTRIBUTE_NORMAL | (scratch ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
    return ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, disposition, flags,
                         nullptr);
}

}  // namespace

std::optional<OutputFile> OutputFile::Open(const std::filesystem::path& path, Creation creation) {
    const HANDLE handle = OpenForCreation(path, creation);
    if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
    OutputFile file(FromHandle(handle));
    if (creation == Creation::kScratch && (!IsPlainSingleFile(handle) || !Truncate(handle))) {
        return std::nullopt;
    }
    return file;
}

std::optional<TempFileClaim> TempFileClaim::Acquire(const std::filesystem::path& tempFile,
                                                    bool& busy) {
    std::filesystem::path lockFile = tempFile;
    lockFile += L".lock";
    // Shared opening, exclusive lock: a scanner or backup tool that opens the
    // file for a moment cannot make a run look busy. The system drops the
    // lock when the handle closes, also when the process dies.
    const HANDLE handle =
        ::CreateFileW(lockFile.c_str(), GENERIC_READ | GENERIC_WRITE,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
    TempFileClaim claim(FromHandle(handle));
    OVERLAPPED whole{};
    if (!::LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                      &whole)) {
        busy = ::GetLastError() == ERROR_LOCK_VIOLATION;
        return std::nullopt;
    }
    return claim;
}

TempFileClaim::TempFileClaim(TempFileClaim&& other) noexcept : handle_(other.handle_) {
    other.handle_ = kReleased;
}

TempFileClaim::~TempFileClaim() {
    if (handle_ != kReleased) ::CloseHandle(AsHandle(handle_));  // closing releases the lock
}

OutputFile::OutputFile(OutputFile&& other) noexcept : handle_(other.handle_) {
    other.handle_ = kClosed;
}

OutputFile::~OutputFile() {
    if (handle_ != kClosed) ::CloseHandle(AsHandle(handle_));
}

bool OutputFile::WriteAll(std::span<const std::uint8_t> bytes) {
    if (handle_ == kClosed) return false;
    while (!bytes.empty()) {
        const auto size = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1U << 30));
        DWORD written = 0;
        if (!::WriteFile(AsHandle(handle_), bytes.data(), size, &written, nullptr) ||
            written == 0) {
            return false;
        }
        bytes = bytes.subspan(written);
    }
    return true;
}

bool OutputFile::Close() {
    if (handle_ == kClosed) return false;
    const HANDLE handle = AsHandle(handle_);
    handle_ = kClosed;
    return ::CloseHandle(handle) != FALSE;
}

// The temporary directory as the system reports it (it ends with a
// backslash) followed by "\tmpfile": the doubled separator is the system's
// own form, which Windows accepts. The directory is created when missing.
TempFilePlace LocateDefaultTempFile() {
    std::wstring folder(MAX_PATH + 1, L'\0');
    DWORD length = ::GetTempPathW(static_cast<DWORD>(folder.size()), folder.data());
    if (length > folder.size()) {
        folder.resize(length);
        length = ::GetTempPathW(static_cast<DWORD>(folder.size()), folder.data());
    }
    if (length == 0 || length > folder.size()) return {{}, texts::kNoTempDirectory};
    folder.resize(length);
    if (!::CreateDirectoryW(folder.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) {
        return {{}, texts::kNoTempDirectory};
    }
    const DWORD attributes = ::GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return {{}, texts::kNoTempDirectory};
    }
    return {std::filesystem::path(folder + L"\\tmpfile"), {}};
}

}  // namespace kestrel
