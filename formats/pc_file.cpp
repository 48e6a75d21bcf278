// The part of PC files that every platform shares: the output buffer, and
// names no other file has.
#include "formats/pc_file.h"

#include <algorithm>
#include <random>
#include <string>

#include "status/shown_name.h"
#include "status/system_words.h"
#include "text/texts.h"

namespace kestrel {
namespace {

// Large enough that a receive hands the system one piece for every 64
// chunks; a write this long goes straight through.
constexpr std::size_t kBufferSize = 64 * 1024;

}  // namespace

ResultOf<OutputFile> OutputFile::OpenUnique(const std::filesystem::path& folder,
                                            std::string_view stem, Creation creation,
                                            std::filesystem::path& made) {
    std::random_device random;
    std::error_code error;
    // A name taken by chance is tried again; any other failure would come again.
    for (int attempt = 0; attempt < 4; ++attempt) {
        std::filesystem::path candidate = folder / (std::string(stem) + std::to_string(random()) +
                                                    "-" + std::to_string(random()));
        ResultOf<OutputFile> file = Open(candidate, creation);
        if (file.IsOk()) {
            made = std::move(candidate);
            return file;
        }
        error = file.Failure().Error();
        if (error != std::errc::file_exists) break;
    }
    // The random name means nothing to the user; the folder does.
    return Result::Failed(texts::kCannotCreateFile, ShownName(folder), error);
}

OutputFile::OutputFile(OutputFile&& other) noexcept
    : handle_(other.handle_), name_(std::move(other.name_)), buffer_(std::move(other.buffer_)) {
    other.handle_ = kClosed;
}

OutputFile::~OutputFile() {
    if (handle_ == kClosed) return;
    (void)Flush();
    CloseSystemFile();
}

Result OutputFile::Write(std::span<const std::uint8_t> bytes) {
    if (handle_ == kClosed) return Result::Failed(texts::kCannotWriteFile, name_);
    if (buffer_.size() + bytes.size() > kBufferSize) {
        if (Result flushed = Flush(); !flushed.IsOk()) return flushed;
    }
    if (bytes.size() >= kBufferSize) return WriteThrough(bytes);
    if (buffer_.capacity() < kBufferSize) buffer_.reserve(kBufferSize);
    buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
    return Result::Ok();
}

Result OutputFile::Flush() {
    if (buffer_.empty()) return Result::Ok();
    Result written = WriteThrough(buffer_);
    buffer_.clear();
    return written;
}

Result OutputFile::Close() {
    if (handle_ == kClosed) return Result::Failed(texts::kCannotWriteFile, name_);
    Result flushed = Flush();
    const bool closed = CloseSystemFile();
    if (!flushed.IsOk()) return flushed;
    if (!closed) return Result::Failed(texts::kCannotWriteFile, name_, LastSystemError());
    return Result::Ok();
}

}  // namespace kestrel
