// Windows backend of scratch_file.h: the user's temporary directory.

#include <windows.h>

#include <string>

#include "formats/scratch_file.h"
#include "status/system_words.h"
#include "text/texts.h"

namespace kestrel {

// The temporary directory as the system reports it, created when missing.
ResultOf<std::filesystem::path> DefaultScratchFolder() {
    std::wstring folder(MAX_PATH + 1, L'\0');
    DWORD length = ::GetTempPathW(static_cast<DWORD>(folder.size()), folder.data());
    if (length > folder.size()) {
        folder.resize(length);
        length = ::GetTempPathW(static_cast<DWORD>(folder.size()), folder.data());
    }
    if (length == 0 || length > folder.size()) {
        return Result::Failed(texts::kNoTempDirectory, {}, LastSystemError());
    }
    folder.resize(length);
    if (!::CreateDirectoryW(folder.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) {
        return Result::Failed(texts::kNoTempDirectory, {}, LastSystemError());
    }
    const DWORD attributes = ::GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return Result::Failed(texts::kNoTempDirectory);
    }
    return std::filesystem::path(folder);
}

}  // namespace kestrel
