// POSIX backend of scratch_file.h and scratch_folder_posix.h.
#include "formats/scratch_folder_posix.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "formats/scratch_file.h"
#include "status/shown_name.h"
#include "status/system_words.h"
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

}  // namespace

std::filesystem::path ChoosePrivateFolder(const char* runtimeDir, const char* tmpDir) {
    if (IsSet(runtimeDir)) {
        const std::filesystem::path runtime(runtimeDir);
        if (runtime.is_absolute() && IsPrivateFolder(runtime)) return runtime / "kestrel";
    }
    std::filesystem::path base("/tmp");
    if (IsSet(tmpDir) && std::filesystem::path(tmpDir).is_absolute()) base = tmpDir;
    return base / ("kestrel-" + std::to_string(::geteuid()));
}

Result EnsurePrivateFolder(const std::filesystem::path& folder) {
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        return Result::Failed(texts::kNoTempDirectory, ShownName(folder), LastSystemError());
    }
    if (!IsPrivateFolder(folder))
        return Result::Failed(texts::kTempDirectoryUnsafe, ShownName(folder));
    return Result::Ok();
}

ResultOf<std::filesystem::path> DefaultScratchFolder() {
    std::filesystem::path folder =
        ChoosePrivateFolder(std::getenv("XDG_RUNTIME_DIR"), std::getenv("TMPDIR"));
    if (Result ready = EnsurePrivateFolder(folder); !ready.IsOk()) return ready;
    return folder;
}

}  // namespace kestrel
