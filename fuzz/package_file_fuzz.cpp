// A package file is whatever the user picked: the check must turn away every
// damaged one, and every entry it lets through must lie inside the file.
#include <algorithm>
#include <string>

#include "formats/package_file.h"
#include "fuzz/fuzz_targets.h"

namespace kestrel::fuzz {
namespace {

// The input read as a PC file's ReadAt reads it.
PackageReader ReaderOf(Input input) {
    return [input](std::uint64_t offset, std::span<std::uint8_t> into) -> ResultOf<std::size_t> {
        const std::size_t at = std::min<std::size_t>(offset, input.size());
        const std::size_t size = std::min(into.size(), input.size() - at);
        std::copy_n(input.begin() + static_cast<std::ptrdiff_t>(at), size, into.begin());
        return size;
    };
}

void CheckEntry(Input input, const PackageReader& package, const PackageEntry& entry) {
    Require(entry.dataOffset >= 18 + 4 + kPackagePathField, "data follows the headers");
    Require(entry.dataOffset <= input.size() && entry.size <= input.size() - entry.dataOffset,
            "an entry's data lies inside the file");
    if (entry.size == 0) return;
    Require(!entry.name.empty() && entry.name.size() <= kMaxPackageNameLength,
            "a sent entry has a name of 1 to 23 bytes");
    Require(entry.name.find('/') == std::string::npos, "the name is the part after the last /");
    // The path field sits in the 60 bytes just before the entry's data.
    const std::string_view field(
        reinterpret_cast<const char*>(input.data()) + entry.dataOffset - kPackagePathField,
        kPackagePathField);
    const std::string_view path = field.substr(0, field.find('\0'));
    const std::string joined =
        path.find('/') == std::string_view::npos ? entry.name : entry.directory + "/" + entry.name;
    Require(entry.directory.empty() || path.find('/') != std::string_view::npos,
            "a path without / goes to the root");
    Require(joined == path, "directory and name split the entry's path");

    const ResultOf<Bytes> data = ReadEntryData(package, entry, "p");
    Require(data.IsOk() && SameBytes(data.Value(), input.subspan(entry.dataOffset, entry.size)),
            "an entry's data is read exactly as stored");
}

}  // namespace

void FuzzPackageFile(Input input) {
    const PackageReader package = ReaderOf(input);
    const ResultOf<std::vector<PackageEntry>> index = CheckPackage(input.size(), package, "p");
    if (!index.IsOk()) {
        Require(index.Failure().Subject() == "p", "a damaged package is named");
        return;
    }
    std::uint64_t previousEnd = 0;
    for (const PackageEntry& entry : index.Value()) {
        Require(entry.dataOffset >= previousEnd, "entries follow one another in file order");
        CheckEntry(input, package, entry);
        previousEnd = entry.dataOffset + entry.size;
    }
}

}  // namespace kestrel::fuzz
