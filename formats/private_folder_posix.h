#pragma once
// POSIX only: the private per-user folder that holds TempFile (see
// temp_file.h). Both functions only look at the file system; neither reads
// the environment, so they can be tried on any folder.

#include <filesystem>
#include <string_view>

namespace kestrel {

// "<runtimeDir>/kestrel" when runtimeDir is an absolute path to a folder that
// is private to the user; else "<tmpDir>/kestrel-<uid>" when tmpDir is an
// absolute path; else "/tmp/kestrel-<uid>". Null or empty means unset.
std::filesystem::path ChoosePrivateFolder(const char* runtimeDir, const char* tmpDir);

// Creates folder (mode 0700) when missing. Empty when it is a real folder,
// not a symbolic link, owned by the user, with no group or other rights;
// otherwise the status text that says why it cannot be used.
std::string_view EnsurePrivateFolder(const std::filesystem::path& folder);

}  // namespace kestrel
