#pragma once
// Whole-file reads and writes, checked: a file is either read completely or
// the read fails, and a replaced file either gets all of its new content or
// keeps its old one. Every failure names the file and carries the OS's
// reason (pc_file.h).

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "formats/pc_file.h"
#include "status/result.h"

namespace kestrel {

// The whole content of a plain file (symbolic links followed); never
// allocates more than the file's size. "无法打开文件", "读取文件时出错" or
// "文件太大".
ResultOf<Bytes> ReadWholeFile(const std::filesystem::path& file);

// Writes bytes to a new file beside target and renames it over target only
// once it is complete (CommitWholeFile). On failure the new file is removed
// and target is as it was: "无法写入文件" and target's name.
Result ReplaceFileWhole(const std::filesystem::path& target, std::span<const std::uint8_t> bytes);

// The file a write through target would write: every symbolic link
// followed (relative ones from their own folder), also one that leads
// nowhere, to where a write would create its target.
std::filesystem::path ResolvedTarget(const std::filesystem::path& target);

// Where a file that is to replace target is collected: "<name>.part" beside
// the file target stands for (through a symbolic link, the file it names),
// its name cut so that it stays within the file systems' 255-unit limit.
std::filesystem::path PartialPath(const std::filesystem::path& target);

// Renames complete over target as a write through target would replace its
// content: through a symbolic link (one that leads nowhere: its target is
// made), keeping target's rights and, as far as the system allows, its
// owner and group; a target a write could not change (CheckWritable) is
// refused, and so is one that is no regular file (a device, a FIFO, a
// folder: "电脑文件只能是新文件或普通文件"). complete must be beside the file target stands for. On
// failure
// ("无法写入文件", target's name and the OS's reason) complete stays where
// it was.
Result CommitWholeFile(const std::filesystem::path& complete, const std::filesystem::path& target);

}  // namespace kestrel
