#include "formats/whole_file.h"

#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <type_traits>
#include <utility>

#include "formats/temp_file.h"
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

// Writing through a symbolic link, as a plain write would, rather than
// replacing the link itself.
std::filesystem::path ResolvedTarget(const std::filesystem::path& target) {
    std::error_code error;
    if (!std::filesystem::is_symlink(target, error)) return target;
    std::filesystem::path resolved = std::filesystem::weakly_canonical(target, error);
    return error ? target : resolved;
}

// An unpredictable, short name in target's folder (a long target name plus a
// suffix could pass the file system's limit), created so that nothing already
// there is ever overwritten.
std::optional<OutputFile> OpenSibling(const std::filesystem::path& target,
                                      std::filesystem::path& sibling) {
    std::random_device random;
    for (int attempt = 0; attempt < 4; ++attempt) {
        std::filesystem::path candidate =
            target.parent_path() /
            (".kestrel-" + std::to_string(random()) + "-" + std::to_string(random()));
        std::optional<OutputFile> file = OutputFile::Open(candidate, OutputFile::Creation::kFresh);
        if (file.has_value()) {
            sibling = std::move(candidate);
            return file;
        }
    }
    return std::nullopt;
}

}  // namespace

ConversionResult ReadWholeFile(const std::filesystem::path& file) {
    std::error_code error;
    // A folder or device would report a size that has nothing to do with
    // what can be read from it.
    if (!std::filesystem::is_regular_file(file, error)) {
        return ConversionFailure(texts::kCannotOpenFile);
    }
    std::ifstream in(file, std::ios::binary);
    if (!in.is_open()) return ConversionFailure(texts::kCannotOpenFile);
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    in.seekg(0, std::ios::beg);
    if (size < 0 || !in) return ConversionFailure(texts::kCannotReadFile);
    ConversionResult result;
    if (static_cast<std::uintmax_t>(size) > result.bytes.max_size()) {
        return ConversionFailure(texts::kFileTooLarge);
    }
    result.bytes.resize(static_cast<std::size_t>(size));
    in.read(reinterpret_cast<char*>(result.bytes.data()), static_cast<std::streamsize>(size));
    if (in.gcount() != size) return ConversionFailure(texts::kCannotReadFile);
    return result;
}

std::string_view ReplaceFileWhole(const std::filesystem::path& target,
                                  std::span<const std::uint8_t> bytes) {
    std::filesystem::path sibling;
    std::optional<OutputFile> file = OpenSibling(ResolvedTarget(target), sibling);
    if (!file.has_value()) return texts::kCannotWriteFile;
    SiblingGuard guard(sibling);
    if (!file->WriteAll(bytes) || !file->Close()) return texts::kCannotWriteFile;
    const std::string_view failure = CommitWholeFile(sibling, target);
    if (failure.empty()) guard.Release();
    return failure;
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

std::string_view CommitWholeFile(const std::filesystem::path& complete,
                                 const std::filesystem::path& target) {
    const std::filesystem::path final = ResolvedTarget(target);
    std::error_code error;
    const std::filesystem::file_status former = std::filesystem::status(final, error);
    if (std::filesystem::is_regular_file(former)) {
        std::filesystem::permissions(complete, former.permissions(), error);
    }
    std::filesystem::rename(complete, final, error);
    return error ? texts::kCannotWriteFile : std::string_view();
}

}  // namespace kestrel
