#pragma once
// Scratch files: TempFile, where a converted or received file is staged, and
// files written whole before they replace a user's file.
//
// POSIX: TempFile is "tmpfile" in a private per-user folder, never a fixed
// name in a shared directory: "$XDG_RUNTIME_DIR/kestrel" when that runtime
// folder is set and private to the user, else "${TMPDIR:-/tmp}/kestrel-<uid>".
// The folder is created with owner-only rights and refused unless it is a
// real folder owned by the user with no group or other rights.
// Windows: the user's temporary directory followed by "\tmpfile".
// A folder given by the caller (tests) is used as it is: "<folder>/tmpfile".
//
// Nothing here deletes TempFile; it keeps the last staged file.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string_view>

namespace kestrel {

// A file open for writing; the destructor closes it if Close() was not called.
class OutputFile {
  public:
    enum class Creation {
        kScratch,  // create or truncate, owner-only; never through a symbolic link
                   // nor into anything but a plain file with a single name
        kFresh,    // create with ordinary rights; fails if the name is taken
    };

    // Empty when the file cannot be opened as asked.
    static std::optional<OutputFile> Open(const std::filesystem::path& path, Creation creation);

    OutputFile(OutputFile&& other) noexcept;
    OutputFile& operator=(OutputFile&&) = delete;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile();

    // True only when every byte was written.
    bool WriteAll(std::span<const std::uint8_t> bytes);
    // True when the file was closed without error (data committed).
    bool Close();

  private:
    explicit OutputFile(std::intptr_t handle) : handle_(handle) {}
    static constexpr std::intptr_t kClosed = -1;
    std::intptr_t handle_;  // the platform's file descriptor or handle
};

// Holds TempFile for one transfer run, so that two programs running at
// once never stage through the same file: the second is refused instead of
// sending or receiving the first one's bytes. Released when destroyed.
class TempFileClaim {
  public:
    // Empty when it cannot be taken; busy tells whether another run holds it.
    static std::optional<TempFileClaim> Acquire(const std::filesystem::path& tempFile, bool& busy);

    TempFileClaim(TempFileClaim&& other) noexcept;
    TempFileClaim& operator=(TempFileClaim&&) = delete;
    TempFileClaim(const TempFileClaim&) = delete;
    TempFileClaim& operator=(const TempFileClaim&) = delete;
    ~TempFileClaim();

  private:
    explicit TempFileClaim(std::intptr_t handle) : handle_(handle) {}
    static constexpr std::intptr_t kReleased = -1;
    std::intptr_t handle_;  // the platform's descriptor or handle of the lock file
};

// Where TempFile is. On failure, path is empty and failure the status text.
struct TempFilePlace {
    std::filesystem::path path;
    std::string_view failure;
};

// The platform's own place (see above), its folder created and checked.
TempFilePlace LocateDefaultTempFile();
// "<folder>/tmpfile" when a folder is given, else LocateDefaultTempFile().
TempFilePlace LocateTempFile(const std::optional<std::filesystem::path>& folder);

// LocateTempFile, then the claim for the rest of the run (kept in claim;
// taken once, on the first call).
TempFilePlace ClaimTempFile(std::optional<TempFileClaim>& claim,
                            const std::optional<std::filesystem::path>& folder);

// Makes bytes the whole content of TempFile. Empty on success, else the
// status text; a failure may leave TempFile holding part of the bytes.
std::string_view WriteTempFile(const std::filesystem::path& tempFile,
                               std::span<const std::uint8_t> bytes);

}  // namespace kestrel
