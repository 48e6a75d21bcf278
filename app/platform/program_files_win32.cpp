// Windows: the table beside the executable or in the user's data folder,
// which is %LOCALAPPDATA%\KESTREL. Paths stay UTF-16 throughout, so any
// folder name works whatever the system's code page.

#include <shlobj.h>
#include <windows.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <system_error>

#include "app/platform/program_files.h"

namespace kestrel {
namespace {

constexpr wchar_t kFolderName[] = L"KESTREL";

std::filesystem::path ExecutablePath() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), size);
        if (length == 0) return {};
        if (length < size) {
            buffer.resize(length);
            return buffer;
        }
        if (buffer.size() >= 32768) return {};  // longer than any path can be
        buffer.resize(buffer.size() * 2);
    }
}

struct TaskMemoryFree {
    void operator()(wchar_t* memory) const { ::CoTaskMemFree(memory); }
};

std::filesystem::path LocalAppData() {
    wchar_t* found = nullptr;
    const HRESULT result = ::SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &found);
    const std::unique_ptr<wchar_t, TaskMemoryFree> owned(found);  // freed on failure too
    if (SUCCEEDED(result) && found != nullptr && found[0] != L'\0') return found;
    if (const wchar_t* variable = ::_wgetenv(L"LOCALAPPDATA");
        variable != nullptr && variable[0] != L'\0') {
        return variable;
    }
    return {};
}

}  // namespace

std::vector<std::filesystem::path> TableFolders() {
    std::vector<std::filesystem::path> folders;
    const auto executable = ExecutablePath();
    if (!executable.empty()) folders.push_back(executable.parent_path());
    folders.push_back(UserDataFolder());
    return folders;
}

std::optional<std::filesystem::path> TraceFileFromEnvironment() {
    const wchar_t* file = ::_wgetenv(L"KESTREL_TRACE");
    if (file == nullptr || file[0] == L'\0') return std::nullopt;
    return std::filesystem::path(file);
}

std::filesystem::path UserDataFolder() {
    const std::filesystem::path localAppData = LocalAppData();
    if (!localAppData.empty()) return localAppData / kFolderName;
    std::error_code error;
    const std::filesystem::path temp = std::filesystem::temp_directory_path(error);
    return error ? std::filesystem::path(kFolderName) : temp / kFolderName;
}

}  // namespace kestrel
