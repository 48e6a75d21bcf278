#pragma once
// How the handheld's texts (GBK directory and file names) become names on the
// PC disk, and the checks that keep every such name inside the handheld's
// folder. Pure: nothing here touches the disk (links are the store's job).
//
// A device text is checked as the PC sent it (no empty, "." or ".." part, no
// NUL, no "/" inside a name), then mapped one part at a time by the owner's
// NameMapper, and the mapped part is checked again as the disk will see it: no
// root, no "/", "\" or ":", no "." or "..", and no trailing dot or space
// (which Windows would strip, turning ".. " into ".."). Checking the mapped
// part rather than the raw bytes lets a converting mapper accept GBK
// characters whose second byte happens to be 0x5C, while the default mapper,
// which keeps the bytes, refuses them.

#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace kestrel {

// One device text (a directory part or a file name) to one disk name;
// nullopt when it has no disk name (e.g. bytes that are not GBK).
using NameMapper = std::function<std::optional<std::filesystem::path>(std::string_view)>;

// The default mapper: the bytes as they are.
std::optional<std::filesystem::path> KeepBytes(std::string_view deviceText);

// "" gives no parts (the folder itself); "a/b" gives the disk names of a and b.
std::optional<std::vector<std::filesystem::path>> MapDirectory(std::string_view directory,
                                                               const NameMapper& map);

// A file name, which must be a single part.
std::optional<std::filesystem::path> MapFileName(std::string_view name, const NameMapper& map);

}  // namespace kestrel
