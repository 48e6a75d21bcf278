// Windows backend of pc_file.h: files through Win32 handles, opened by their
// UTF-16 names so that any path works whatever the system's code page.

#include <windows.h>

#include <algorithm>

#include "formats/pc_file.h"
#include "status/shown_name.h"
#include "status/system_words.h"
#include "text/texts.h"

namespace kestrel {
namespace {

HANDLE AsHandle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

std::intptr_t FromHandle(HANDLE handle) {
    return reinterpret_cast<std::intptr_t>(handle);
}

std::error_code SystemError(DWORD error) {
    return {static_cast<int>(error), std::system_category()};
}

// One ReadFile of at most a DWORD's worth, at `offset` when one is given.
ResultOf<std::size_t> ReadAtMost(HANDLE file, std::span<std::uint8_t> bytes,
                                 const std::uint64_t* offset) {
    OVERLAPPED at{};
    if (offset != nullptr) {
        at.Offset = static_cast<DWORD>(*offset);
        at.OffsetHigh = static_cast<DWORD>(*offset >> 32U);
    }
    const auto size = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1U << 30));
    DWORD got = 0;
    if (!::ReadFile(file, bytes.data(), size, &got, offset != nullptr ? &at : nullptr) &&
        ::GetLastError() != ERROR_HANDLE_EOF) {
        return Result::Failed(texts::kCannotReadFile, {}, LastSystemError());
    }
    return static_cast<std::size_t>(got);
}

}  // namespace

ResultOf<InputFile> InputFile::Open(const std::filesystem::path& path) {
    std::string name = ShownName(path);
    const HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return Result::Failed(texts::kCannotOpenFile, name, LastSystemError());
    }
    InputFile file(FromHandle(handle), 0, std::move(name));
    LARGE_INTEGER size{};
    if (::GetFileType(handle) != FILE_TYPE_DISK) {
        return Result::Failed(texts::kCannotOpenFile, file.name_,
                              SystemError(ERROR_INVALID_FUNCTION));
    }
    if (!::GetFileSizeEx(handle, &size)) {
        return Result::Failed(texts::kCannotOpenFile, file.name_, LastSystemError());
    }
    file.size_ = static_cast<std::uint64_t>(size.QuadPart);
    return file;
}

InputFile::~InputFile() {
    if (handle_ != kClosed) ::CloseHandle(AsHandle(handle_));
}

ResultOf<std::uint64_t> InputFile::SizeNow() const {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(AsHandle(handle_), &size)) {
        return Result::Failed(texts::kCannotReadFile, name_, LastSystemError());
    }
    return static_cast<std::uint64_t>(size.QuadPart);
}

ResultOf<std::size_t> InputFile::ReadSome(std::span<std::uint8_t> bytes) {
    ResultOf<std::size_t> some = ReadAtMost(AsHandle(handle_), bytes, nullptr);
    if (!some.IsOk()) return std::move(some).Failure().About(name_);
    return some;
}

ResultOf<std::size_t> InputFile::ReadAt(std::uint64_t offset, std::span<std::uint8_t> bytes) {
    std::size_t got = 0;
    while (got < bytes.size()) {
        const std::uint64_t at = offset + got;
        ResultOf<std::size_t> some = ReadAtMost(AsHandle(handle_), bytes.subspan(got), &at);
        if (!some.IsOk()) return std::move(some).Failure().About(name_);
        if (some.Value() == 0) break;
        got += some.Value();
    }
    return got;
}

ResultOf<OutputFile> OutputFile::Open(const std::filesystem::path& path, Creation creation) {
    const DWORD disposition = creation == Creation::kEmptied ? CREATE_ALWAYS : CREATE_NEW;
    const HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                        disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return Result::Failed(texts::kCannotCreateFile, ShownName(path), LastSystemError());
    }
    return OutputFile(FromHandle(handle), ShownName(path));
}

Result OutputFile::WriteThrough(std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const auto size = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1U << 30));
        DWORD written = 0;
        if (!::WriteFile(AsHandle(handle_), bytes.data(), size, &written, nullptr)) {
            return Result::Failed(texts::kCannotWriteFile, name_, LastSystemError());
        }
        if (written == 0) {
            return Result::Failed(texts::kCannotWriteFile, name_, SystemError(ERROR_WRITE_FAULT));
        }
        bytes = bytes.subspan(written);
    }
    return Result::Ok();
}

Result CheckWritable(const std::filesystem::path& path) {
    const HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        ::CloseHandle(handle);
        return Result::Ok();
    }
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return Result::Ok();
    return Result::Failed(texts::kCannotWriteFile, ShownName(path), SystemError(error));
}

void KeepOwner(const std::filesystem::path&, const std::filesystem::path&) {}

bool OutputFile::CloseSystemFile() {
    const HANDLE handle = AsHandle(handle_);
    handle_ = kClosed;
    return ::CloseHandle(handle) != FALSE;
}

}  // namespace kestrel
