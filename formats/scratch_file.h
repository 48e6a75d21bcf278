#pragma once
// Scratch files: where a converted file waits to be sent, or a received text
// to be unwrapped. Each use has a file of its own, of a name no other use or
// run can have, so two runs at once never meet in one; it is removed when
// the ScratchFile goes.
//
// The folder: on POSIX "$XDG_RUNTIME_DIR/kestrel" when that runtime folder
// is set and private to the user, else "${TMPDIR:-/tmp}/kestrel-<uid>",
// created with owner-only rights and refused unless it is a real folder
// owned by the user with no group or other rights (scratch_folder_posix.h);
// on Windows the user's temporary directory. A folder the caller gives
// (tests) is used as it is.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>

#include "status/result.h"

namespace kestrel {

class ScratchFile {
  public:
    // A new file holding `bytes` that only its owner may read or write.
    static ResultOf<ScratchFile> Holding(const std::optional<std::filesystem::path>& folder,
                                         std::span<const std::uint8_t> bytes);

    ScratchFile(ScratchFile&& other) noexcept : path_(std::move(other.path_)) {
        other.path_.clear();
    }
    ScratchFile& operator=(ScratchFile&&) = delete;
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
    ~ScratchFile();

    const std::filesystem::path& Path() const { return path_; }

  private:
    explicit ScratchFile(std::filesystem::path path) : path_(std::move(path)) {}
    std::filesystem::path path_;
};

// The platform's own folder for scratch files, created and checked (one file
// per platform); fails naming it, with the OS's reason when it has one.
ResultOf<std::filesystem::path> DefaultScratchFolder();

}  // namespace kestrel
