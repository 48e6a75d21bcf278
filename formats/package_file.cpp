#include "formats/package_file.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace kestrel {
namespace {

constexpr std::array<char, 4> kMagic = {'P', 'A', 'C', ' '};
constexpr std::size_t kHeaderSize = 16;
constexpr std::size_t kEntryHeaderSize = 4 + kPackagePathField;

bool ReadExactly(std::istream& in, char* buffer, std::size_t size) {
    in.read(buffer, static_cast<std::streamsize>(size));
    return static_cast<std::size_t>(in.gcount()) == size;
}

std::uint32_t LittleEndian32(const char* bytes) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8U) | static_cast<unsigned char>(bytes[i]);
    return value;
}

// Splits "dir/sub/name" at its last "/"; a path without one names a file in the root.
bool SplitDevicePath(std::string_view path, PackageEntry& entry) {
    const auto slash = path.rfind('/');
    entry.directory = slash == std::string_view::npos ? "" : std::string(path.substr(0, slash));
    entry.name = std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
    return !entry.name.empty() && entry.name.size() <= kMaxPackageNameLength;
}

PackageProblem ReadEntry(std::istream& in, std::uint64_t fileSize, PackageEntry& entry) {
    std::array<char, kEntryHeaderSize> header{};
    if (!ReadExactly(in, header.data(), header.size())) return PackageProblem::truncated;
    entry.size = LittleEndian32(header.data());
    // An empty entry is skipped whole, so its path is never used.
    const std::string_view field(header.data() + 4, kPackagePathField);
    const auto end = field.find('\0');
    if (entry.size > 0) {
        if (end == std::string_view::npos) return PackageProblem::badPath;
        if (!SplitDevicePath(field.substr(0, end), entry)) return PackageProblem::badPath;
    }
    entry.dataOffset = static_cast<std::uint64_t>(in.tellg());
    if (entry.size > fileSize - entry.dataOffset) return PackageProblem::truncated;
    in.seekg(static_cast<std::streamoff>(entry.size), std::ios::cur);
    return in.good() ? PackageProblem::none : PackageProblem::truncated;
}

}  // namespace

PackageIndex CheckPackage(std::istream& in) {
    PackageIndex index;
    in.seekg(0, std::ios::end);
    const std::streamoff end = in.tellg();
    in.seekg(0);
    std::array<char, kHeaderSize> header{};
    if (end < 0 || !ReadExactly(in, header.data(), header.size()) ||
        !std::equal(kMagic.begin(), kMagic.end(), header.begin())) {
        index.problem = PackageProblem::notPackage;
        return index;
    }
    std::array<char, 2> countBytes{};
    if (!ReadExactly(in, countBytes.data(), countBytes.size())) {
        index.problem = PackageProblem::truncated;
        return index;
    }
    const auto count = static_cast<std::int16_t>(static_cast<unsigned char>(countBytes[0]) |
                                                 (static_cast<unsigned char>(countBytes[1]) << 8U));
    const auto fileSize = static_cast<std::uint64_t>(end);
    for (int i = 0; i < count; ++i) {
        PackageEntry entry;
        index.problem = ReadEntry(in, fileSize, entry);
        if (index.problem != PackageProblem::none) {
            index.entries.clear();
            return index;
        }
        index.entries.push_back(std::move(entry));
    }
    return index;
}

std::optional<std::vector<std::uint8_t>> ReadEntryData(std::istream& in,
                                                       const PackageEntry& entry) {
    in.clear();
    in.seekg(static_cast<std::streamoff>(entry.dataOffset));
    std::vector<std::uint8_t> data(entry.size);
    if (!ReadExactly(in, reinterpret_cast<char*>(data.data()), data.size())) return std::nullopt;
    return data;
}

}  // namespace kestrel
