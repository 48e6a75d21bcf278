// Windows part of writable_target.h: the file opened by its UTF-16 name.
#include <windows.h>

#include "formats/writable_target.h"
#include "status/system_words.h"

namespace kestrel {

std::error_code WhyNotWritable(const std::filesystem::path& file) {
    const HANDLE handle = ::CreateFileW(file.c_str(), GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return LastSystemError();
    ::CloseHandle(handle);
    return {};
}

}  // namespace kestrel
