#include "formats/package_file.h"

#include <algorithm>
#include <array>

#include "text/texts.h"

namespace kestrel {
namespace {

constexpr std::array<std::uint8_t, 4> kMagic = {'P', 'A', 'C', ' '};
constexpr std::size_t kHeaderSize = 16;
constexpr std::size_t kCountSize = 2;
constexpr std::size_t kEntryHeaderSize = 4 + kPackagePathField;

std::uint32_t LittleEndian32(const std::uint8_t* bytes) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8U) | bytes[i];
    return value;
}

// The handheld refuses a path that climbs out of its directory or holds a
// control character; finding it here keeps a package from going half-way.
bool PathTheHandheldTakes(std::string_view path) {
    if (std::any_of(path.begin(), path.end(), IsControlByte)) return false;
    for (std::size_t at = 0; at <= path.size();) {
        const std::size_t slash = std::min(path.find('/', at), path.size());
        if (path.substr(at, slash - at) == "..") return false;
        at = slash + 1;
    }
    return true;
}

// Splits "dir/sub/name" at its last "/"; a path without one names a file in the root.
bool SplitDevicePath(std::string_view path, PackageEntry& entry) {
    const auto slash = path.rfind('/');
    entry.directory = slash == std::string_view::npos ? "" : std::string(path.substr(0, slash));
    entry.name = std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
    return !entry.name.empty() && entry.name.size() <= kMaxPackageNameLength &&
           PathTheHandheldTakes(path);
}

// Reads a whole field at `offset`: ok, the package too short (`shortText`),
// or the reader's failure.
Result ReadField(const PackageReader& read, std::uint64_t offset, std::span<std::uint8_t> into,
                 std::string_view shortText, std::string_view name) {
    ResultOf<std::size_t> got = read(offset, into);
    if (!got.IsOk()) return std::move(got).Failure();
    if (got.Value() != into.size()) return Result::Failed(shortText, name);
    return Result::Ok();
}

}  // namespace

ResultOf<std::vector<PackageEntry>> CheckPackage(std::uint64_t size, const PackageReader& read,
                                                 std::string_view name) {
    std::array<std::uint8_t, kHeaderSize> header{};
    if (Result got = ReadField(read, 0, header, texts::kPackageNotPackage, name); !got.IsOk()) {
        return got;
    }
    if (!std::equal(kMagic.begin(), kMagic.end(), header.begin())) {
        return Result::Failed(texts::kPackageNotPackage, name);
    }
    std::array<std::uint8_t, kCountSize> countBytes{};
    if (Result got = ReadField(read, kHeaderSize, countBytes, texts::kPackageTruncated, name);
        !got.IsOk()) {
        return got;
    }
    const auto count = static_cast<std::int16_t>(countBytes[0] | (countBytes[1] << 8U));
    std::vector<PackageEntry> entries;
    std::uint64_t offset = kHeaderSize + kCountSize;
    for (int i = 0; i < count; ++i) {
        std::array<std::uint8_t, kEntryHeaderSize> entryHeader{};
        if (Result got = ReadField(read, offset, entryHeader, texts::kPackageTruncated, name);
            !got.IsOk()) {
            return got;
        }
        PackageEntry entry;
        entry.size = LittleEndian32(entryHeader.data());
        entry.dataOffset = offset + kEntryHeaderSize;
        // An empty entry is skipped whole, so its path is never used.
        const std::string_view field(reinterpret_cast<const char*>(entryHeader.data()) + 4,
                                     kPackagePathField);
        const auto end = field.find('\0');
        if (entry.size > 0 &&
            (end == std::string_view::npos || !SplitDevicePath(field.substr(0, end), entry))) {
            return Result::Failed(texts::kPackageBadPath, name);
        }
        if (entry.size > size - std::min(size, entry.dataOffset)) {
            return Result::Failed(texts::kPackageTruncated, name);
        }
        offset = entry.dataOffset + entry.size;
        entries.push_back(std::move(entry));
    }
    return entries;
}

ResultOf<Bytes> ReadEntryData(const PackageReader& read, const PackageEntry& entry,
                              std::string_view name) {
    Bytes data(entry.size);
    if (Result got = ReadField(read, entry.dataOffset, data, texts::kPackageTruncated, name);
        !got.IsOk()) {
        return got;
    }
    return data;
}

}  // namespace kestrel
