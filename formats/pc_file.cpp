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

InputFile::InputFile(InputFile&& other) noexcept
    : handle_(other.handle_),
      size_(other.size_),
      name_(std::move(other.name_)),
      ahead_(std::move(other.ahead_)),
      aheadAt_(other.aheadAt_) {
    other.handle_ = kClosed;
}

ResultOf<std::size_t> InputFile::Read(std::span<std::uint8_t> bytes) {
    std::size_t got = 0;
    while (got < bytes.size()) {
        const std::span<std::uint8_t> rest = bytes.subspan(got);
        if (aheadAt_ < ahead_.size()) {
            const std::size_t taken = std::min(rest.size(), ahead_.size() - aheadAt_);
            std::copy_n(ahead_.begin() + static_cast<std::ptrdiff_t>(aheadAt_), taken,
                        rest.begin());
            aheadAt_ += taken;
            got += taken;
            continue;
        }
        const bool direct = rest.size() >= kBufferSize;  // no use going through the buffer
        if (!direct) ahead_.resize(kBufferSize);
        ResultOf<std::size_t> some = ReadSome(direct ? rest : std::span<std::uint8_t>(ahead_));
        if (!some.IsOk()) return some;
        if (some.Value() == 0) break;
        if (direct) {
            got += some.Value();
        } else {
            ahead_.resize(some.Value());
            aheadAt_ = 0;
        }
    }
    return got;
}

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
