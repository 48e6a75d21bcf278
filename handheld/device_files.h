#pragma once
// The handheld's files, kept in a folder on the PC: one subfolder per device
// directory, the root directory being the folder itself. Files hold exactly
// the bytes the PC sent, and are served back as they are.
//
// Every name passes the checks of device_paths.h, and every existing part of
// a path must be a real folder or a regular file, never a link (nor a
// Windows junction), so nothing outside the folder is read or written. A file
// that is written anew is removed first, which also cuts a hard link to a file
// outside. Each operation returns false (or nullopt) when it refuses or fails.
//
// At most one file is open for writing and one for reading; both are closed
// by the Close calls, by opening another, and by destruction.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "handheld/device_paths.h"
#include "status/result.h"

namespace kestrel {

class DeviceFiles {
  public:
    // Creates the folder when it is missing; fails with "无法建立虚拟文曲星的
    // 文件夹", its name and the OS's reason when it cannot be created or found.
    static ResultOf<DeviceFiles> Open(const std::filesystem::path& root, NameMapper mapName);

    const std::filesystem::path& Root() const { return root_; }

    // Whether a device directory may be used: a safe text whose existing parts
    // are real folders. Missing parts are fine (CreateFile makes them).
    bool IsUsableDirectory(std::string_view directory) const;

    // Creates or empties `name` in `directory` (making folders as needed) and
    // keeps it open for Append.
    bool CreateFile(std::string_view directory, std::string_view name);
    bool Append(std::span<const std::uint8_t> bytes);
    void CloseWriting();

    // Opens an existing regular file for ReadChunk.
    bool OpenForReading(std::string_view directory, std::string_view name);
    // Up to `size` bytes from where the last chunk ended; an empty chunk at the
    // end of the file; nullopt when nothing is open or the read failed.
    std::optional<std::vector<std::uint8_t>> ReadChunk(std::size_t size);
    void CloseReading();

  private:
    DeviceFiles(std::filesystem::path root, NameMapper mapName)
        : root_(std::move(root)), mapName_(std::move(mapName)) {}
    std::optional<std::filesystem::path> Folder(std::string_view directory, bool create) const;
    std::optional<std::filesystem::path> FilePath(std::string_view directory, std::string_view name,
                                                  bool create) const;

    std::filesystem::path root_;
    NameMapper mapName_;
    std::ofstream writer_;
    std::ifstream reader_;
};

}  // namespace kestrel
