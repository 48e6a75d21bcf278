#pragma once
// Whole-file reads and writes, checked: a file is either read completely or
// the read fails, and a replaced file either gets all of its new content or
// keeps its old one.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>

#include "formats/conversion_result.h"

namespace kestrel {

// The whole content of a plain file (symbolic links followed). Fails with
// kCannotOpenFile, kCannotReadFile or kFileTooLarge; never allocates more
// than the file's size.
ConversionResult ReadWholeFile(const std::filesystem::path& file);

// Writes bytes to a new file beside target and renames it over target only
// once it is complete (CommitWholeFile). On failure the new file is removed
// and target is as it was. Empty on success, else kCannotWriteFile.
std::string_view ReplaceFileWhole(const std::filesystem::path& target,
                                  std::span<const std::uint8_t> bytes);

// Where a file that is to replace target is collected: "<name>.part" beside
// the file target stands for (through a symbolic link, the file it names),
// its name cut so that it stays within the file systems' 255-unit limit.
std::filesystem::path PartialPath(const std::filesystem::path& target);

// Renames complete over target as a write through target would replace its
// content: through a symbolic link, and keeping target's rights. complete
// must be beside the file target stands for. Empty on success, else
// kCannotWriteFile; complete stays where it was then.
std::string_view CommitWholeFile(const std::filesystem::path& complete,
                                 const std::filesystem::path& target);

}  // namespace kestrel
