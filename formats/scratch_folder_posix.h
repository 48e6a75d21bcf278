#pragma once
// POSIX only: the private per-user folder that holds scratch files (see
// scratch_file.h). Both functions only look at the file system; neither
// reads the environment, so they can be tried on any folder.

#include <filesystem>

#include "status/result.h"

namespace kestrel {

// "<runtimeDir>/kestrel" when runtimeDir is an absolute path to a folder that
// is private to the user; else "<tmpDir>/kestrel-<uid>" when tmpDir is an
// absolute path; else "/tmp/kestrel-<uid>". Null or empty means unset.
std::filesystem::path ChoosePrivateFolder(const char* runtimeDir, const char* tmpDir);

// Creates folder (mode 0700) when missing. Ok when it is a real folder, not
// a symbolic link, owned by the user, with no group or other rights;
// otherwise why it cannot be used, naming it.
Result EnsurePrivateFolder(const std::filesystem::path& folder);

}  // namespace kestrel
