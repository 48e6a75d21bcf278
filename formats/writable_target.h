#pragma once
// Whether a receive may replace a PC file, known before anything is asked of
// the handheld, so that a receive that could not end well never begins.
//
// Promises: CheckWritableTarget fails, naming target and carrying the OS's
// reason, when target (through a symbolic link, the file it names) is a
// folder or a file that does not open for writing as it is ("无法写入文件"),
// when it is something else than a regular file, a FIFO or a device
// ("电脑文件只能是新文件或普通文件"),
// or when its ".part" (PartialPath) cannot be made: a folder has that name,
// or the folder it goes to takes no new file ("无法创建文件": missing,
// read-only, no permission). Nothing of the
// user's changes: target is opened without being emptied, and the probe file
// made in the folder is removed at once. Nothing blocks: a FIFO is not opened.

#include <filesystem>

#include "status/result.h"

namespace kestrel {

Result CheckWritableTarget(const std::filesystem::path& target);

}  // namespace kestrel
