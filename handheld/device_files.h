#pragma once
// The handheld's files, kept in a folder on the PC: one subfolder per device
// directory, the root directory being the folder itself. Files hold exactly
// the bytes the PC sent, and are served back as they are.
//
// Every name passes the checks of device_paths.h, and every existing part of
// a path must be a real folder or a regular file, never a link (nor a
// Windows junction), so nothing outside the folder is read or written. A file
// that is written anew is written beside its old self and takes its place
// only at FinishWriting, once every byte is on disk (the rename also cuts a
// hard link to a file outside); a file left unfinished is removed and the
// old one stays. Each operation returns false (or nullopt) when it refuses
// or fails.
//
// At most one file is open for writing and one for reading; both are closed
// by the Close calls, by opening another, and by destruction.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <span>
#include <string_view>
#include <utility>
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

    // Starts `name` anew in `directory` (making folders as needed) and keeps
    // it open for Append.
    bool CreateFile(std::string_view directory, std::string_view name);
    bool Append(std::span<const std::uint8_t> bytes);
    // Puts the file written in place of its old self; false, the old one
    // kept, when a byte of it could not be written. True when none is open.
    bool FinishWriting();
    // Drops the file being written; its old self stays.
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

    // Where the file being written collects, beside the one it replaces;
    // removed unless it took that one's place.
    class Arriving {
      public:
        Arriving() = default;
        Arriving(Arriving&& other) noexcept
            : path_(std::exchange(other.path_, {})), target_(std::exchange(other.target_, {})) {}
        Arriving& operator=(Arriving&&) = delete;
        Arriving(const Arriving&) = delete;
        Arriving& operator=(const Arriving&) = delete;
        ~Arriving() { Drop(); }
        bool Begin(const std::filesystem::path& target);  // false when its place is taken
        bool Replace();  // the target replaced; false (and dropped) when that fails
        void Drop();
        const std::filesystem::path& Path() const { return path_; }

      private:
        std::filesystem::path path_;
        std::filesystem::path target_;
    };

    std::filesystem::path root_;
    NameMapper mapName_;
    Arriving arriving_;  // before writer_, so that the file is closed before it goes
    std::ofstream writer_;
    std::ifstream reader_;
};

}  // namespace kestrel
