#include <unistd.h>

#include <cstdlib>
#include <system_error>

#include "app/platform/program_files.h"

#ifdef __APPLE__
#include <mach-o/dyld.h>
#endif

namespace kestrel {
namespace {

#ifdef __APPLE__
std::filesystem::path ExecutablePath() {
    char buffer[4096];
    std::uint32_t size = sizeof buffer;
    if (_NSGetExecutablePath(buffer, &size) != 0) return {};
    std::error_code error;
    auto path = std::filesystem::canonical(buffer, error);
    return error ? std::filesystem::path() : path;
}
#else
std::filesystem::path ExecutablePath() {
    std::error_code error;
    auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : path;
}
#endif

}  // namespace

std::vector<std::filesystem::path> TableFolders() {
    std::vector<std::filesystem::path> folders;
    const auto executable = ExecutablePath();
    if (!executable.empty()) folders.push_back(executable.parent_path());
    folders.emplace_back(KESTREL_DATA_DIR);
    return folders;
}

std::optional<std::filesystem::path> TraceFileFromEnvironment() {
    const char* file = std::getenv("KESTREL_TRACE");
    if (file == nullptr || file[0] == '\0') return std::nullopt;
    return std::filesystem::path(file);
}

std::filesystem::path UserDataFolder() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && xdg[0] == '/') {
        return std::filesystem::path(xdg) / "kestrel";
    }
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') {
        return std::filesystem::path(home) / ".local" / "share" / "kestrel";
    }
    return std::filesystem::temp_directory_path() / ("kestrel-data-" + std::to_string(getuid()));
}

}  // namespace kestrel
