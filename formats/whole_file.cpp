#include "formats/whole_file.h"

#include <string>
#include <type_traits>
#include <utility>

#include "status/shown_name.h"
#include "text/texts.h"

namespace kestrel {
namespace {

// Removes the half-made sibling unless the rename has taken it.
class SiblingGuard {
  public:
    explicit SiblingGuard(std::filesystem::path path) : path_(std::move(path)) {}
    SiblingGuard(const SiblingGuard&) = delete;
    SiblingGuard& operator=(const SiblingGuard&) = delete;
    ~SiblingGuard() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove(path_, ignored);
    }
    void Release() { path_.clear(); }

  private:
    std::filesystem::path path_;
};

// What went wrong on the way to target, told about target: the scratch
// sibling's name means nothing to the user.
Result AboutTarget(const Result& failure, const std::filesystem::path& target) {
    return Result::Failed(texts::kCannotWriteFile, ShownName(target), failure.Error());
}

}  // namespace

std::filesystem::path ResolvedTarget(const std::filesystem::path& target) {
    constexpr int kMostLinks = 40;  // as the system gives up on a loop of links
    std::filesystem::path at = target;
    std::error_code error;
    for (int link = 0; link < kMostLinks && std::filesystem::is_symlink(at, error); ++link) {
        const std::filesystem::path to = std::filesystem::read_symlink(at, error);
        if (error) break;
        at = at.parent_path() / to;  // an absolute `to` stands alone
    }
    return at;
}

ResultOf<Bytes> ReadWholeFile(const std::filesystem::path& file) {
    ResultOf<InputFile> opened = InputFile::Open(file);
    if (!opened.IsOk()) return std::move(opened).Failure();
    InputFile& in = opened.Value();
    Bytes bytes;
    if (in.Size() > bytes.max_size()) return Result::Failed(texts::kFileTooLarge, ShownName(file));
    bytes.resize(static_cast<std::size_t>(in.Size()));
    ResultOf<std::size_t> got = in.Read(bytes);
    if (!got.IsOk()) return std::move(got).Failure();
    // A file that shrank since it was opened is not read whole.
    if (got.Value() != bytes.size()) {
        return Result::Failed(texts::kCannotReadFile, ShownName(file));
    }
    return bytes;
}

Result ReplaceFileWhole(const std::filesystem::path& target, std::span<const std::uint8_t> bytes) {
    const std::filesystem::path final = ResolvedTarget(target);
    // A short name: a long target name plus a suffix could pass the file
    // system's limit; an unpredictable one, created so that nothing already
    // there is ever overwritten.
    std::filesystem::path sibling;
    ResultOf<OutputFile> opened = OutputFile::OpenUnique(final.parent_path(), ".kestrel-",
                                                         OutputFile::Creation::kFresh, sibling);
    if (!opened.IsOk()) return AboutTarget(opened.Failure(), target);
    SiblingGuard guard(sibling);
    OutputFile file = std::move(opened).Value();
    if (Result written = file.Write(bytes); !written.IsOk()) return AboutTarget(written, target);
    if (Result closed = file.Close(); !closed.IsOk()) return AboutTarget(closed, target);
    Result committed = CommitWholeFile(sibling, target);
    if (committed.IsOk()) guard.Release();
    return committed;
}

std::filesystem::path PartialPath(const std::filesystem::path& target) {
    constexpr std::size_t kNameLimit = 255;  // bytes on POSIX file systems, units on NTFS
    const std::filesystem::path::string_type suffix = std::filesystem::path(".part").native();
    const std::filesystem::path final = ResolvedTarget(target);
    std::filesystem::path::string_type name = final.filename().native();
    if (name.size() + suffix.size() > kNameLimit) {
        std::size_t keep = kNameLimit - suffix.size();
        // Never half a character: no UTF-8 continuation byte, no lone high surrogate.
        auto splits = [&name](std::size_t at) {
            using Unit = std::make_unsigned_t<std::filesystem::path::value_type>;
            const auto unit = static_cast<std::uint32_t>(static_cast<Unit>(name[at]));
            return sizeof(name[at]) == 1 ? (unit & 0xC0U) == 0x80U : (unit & 0xFC00U) == 0xDC00U;
        };
        while (keep > 0 && splits(keep)) --keep;
        name.resize(keep);
    }
    return final.parent_path() / (name + suffix);
}

Result CommitWholeFile(const std::filesystem::path& complete, const std::filesystem::path& target) {
    const std::filesystem::path final = ResolvedTarget(target);
    std::error_code error;
    const std::filesystem::file_status former = std::filesystem::status(final, error);
    // Renamed over, a device or a FIFO would be gone, not written to.
    if (std::filesystem::exists(former) && !std::filesystem::is_regular_file(former)) {
        return Result::Failed(texts::kPcFileNotRegular, ShownName(target));
    }
    if (Result writable = CheckWritable(final); !writable.IsOk()) {
        return AboutTarget(writable, target);
    }
    if (std::filesystem::is_regular_file(former)) {
        KeepOwner(final, complete);  // first: a new owner would clear set-id rights
        std::filesystem::permissions(complete, former.permissions(), error);
        if (error) return Result::Failed(texts::kCannotWriteFile, ShownName(target), error);
    }
    std::filesystem::rename(complete, final, error);
    if (error) return Result::Failed(texts::kCannotWriteFile, ShownName(target), error);
    return Result::Ok();
}

}  // namespace kestrel
