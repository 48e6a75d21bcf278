#pragma once
// PC files read and written through the platform's own calls, so that every
// failure names the file (its name as the user reads it) and carries the
// OS's own error: "无法打开文件 notes.txt：" and the OS's words.
//
// Promises:
// - InputFile reads a regular file (symbolic links followed); a folder or a
//   device fails to open. Read() reads on from the last read, through a
//   buffer of its own, so that reading a chunk at a time costs the system a
//   call every 64 chunks; ReadAt() reads at an offset (a file is read one way
//   or the other, not both); either gives fewer bytes than asked only at the
//   end of the file.
// - OutputFile collects writes in a buffer of its own and hands them to the
//   system in large pieces; Close() hands over the rest and reports the
//   first failure of any of them. Destroying a file that was not closed
//   still hands over what it holds (a failed receive keeps every byte that
//   arrived) and closes it, without a word.
// - Both are move-only and close their file exactly once. Nothing blocks
//   beyond the disk's own time: a FIFO in a file's place does not hold an
//   open up.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "status/result.h"

namespace kestrel {

using Bytes = std::vector<std::uint8_t>;

class InputFile {
  public:
    // "无法打开文件": missing, not a regular file, no permission, ...
    static ResultOf<InputFile> Open(const std::filesystem::path& path);

    InputFile(InputFile&& other) noexcept;
    InputFile& operator=(InputFile&&) = delete;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    ~InputFile();

    // The size the file had when it was opened, and the size it has now.
    std::uint64_t Size() const { return size_; }
    ResultOf<std::uint64_t> SizeNow() const;
    // "读取文件时出错" on a failure; 0 bytes at the end of the file.
    ResultOf<std::size_t> Read(std::span<std::uint8_t> bytes);
    ResultOf<std::size_t> ReadAt(std::uint64_t offset, std::span<std::uint8_t> bytes);

  private:
    InputFile(std::intptr_t handle, std::uint64_t size, std::string name)
        : handle_(handle), size_(size), name_(std::move(name)) {}
    // One call of the system, from where the last ended; 0 at the end.
    ResultOf<std::size_t> ReadSome(std::span<std::uint8_t> bytes);  // the platform's part

    static constexpr std::intptr_t kClosed = -1;
    std::intptr_t handle_;  // the platform's file descriptor or handle
    std::uint64_t size_;
    std::string name_;  // GBK, for failures
    Bytes ahead_;       // read from the file, not yet by the caller
    std::size_t aheadAt_ = 0;
};

class OutputFile {
  public:
    enum class Creation {
        kFresh,    // a new file with ordinary rights; fails if the name is taken
        kPrivate,  // a new file only its owner may read or write; fails if the name is taken
        kEmptied,  // created with ordinary rights, or emptied if it is there
    };

    // "无法创建文件".
    static ResultOf<OutputFile> Open(const std::filesystem::path& path, Creation creation);
    // A new file of a name no other has, "<stem>" and a random part, in
    // `folder`; `made` is its path. A failure names the folder.
    static ResultOf<OutputFile> OpenUnique(const std::filesystem::path& folder,
                                           std::string_view stem, Creation creation,
                                           std::filesystem::path& made);

    OutputFile(OutputFile&& other) noexcept;
    OutputFile& operator=(OutputFile&&) = delete;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile();

    // "无法写入文件": the disk full, the file too large, ...
    Result Write(std::span<const std::uint8_t> bytes);
    // Hands what the buffer holds to the system now.
    Result Flush();
    Result Close();

  private:
    OutputFile(std::intptr_t handle, std::string name) : handle_(handle), name_(std::move(name)) {}
    Result WriteThrough(std::span<const std::uint8_t> bytes);  // the platform's part
    bool CloseSystemFile();                                    // the platform's part

    static constexpr std::intptr_t kClosed = -1;
    std::intptr_t handle_;  // the platform's file descriptor or handle
    std::string name_;      // GBK, for failures
    Bytes buffer_;          // written, not yet handed to the system
};

// Ok when a write could change the file at path, or when nothing is there
// (a write would create it); else "无法写入文件", its name and the OS's
// reason: a read-only file, a folder, ... Keeps nothing open.
Result CheckWritable(const std::filesystem::path& path);

// Gives `file` the owner and group of `like` as far as the system lets the
// user (on POSIX the superuser both, others a group of their own; nothing on
// Windows, where a new file's rights come from its folder).
void KeepOwner(const std::filesystem::path& like, const std::filesystem::path& file);

}  // namespace kestrel
