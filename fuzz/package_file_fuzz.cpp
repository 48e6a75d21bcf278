// A package file is whatever the user picked: the check must turn away every
// damaged one, and every entry it lets through must lie inside the file.
#include <sstream>
#include <string>

#include "formats/package_file.h"
#include "fuzz/fuzz_targets.h"

namespace kestrel::fuzz {
namespace {

void CheckEntry(Input input, std::istream& package, const PackageEntry& entry) {
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

    const auto data = ReadEntryData(package, entry);
    Require(data && SameBytes(*data, input.subspan(entry.dataOffset, entry.size)),
            "an entry's data is read exactly as stored");
}

}  // namespace

void FuzzPackageFile(Input input) {
    std::istringstream package(std::string(input.begin(), input.end()));
    const PackageIndex index = CheckPackage(package);
    if (index.problem != PackageProblem::none) {
        Require(index.entries.empty(), "a damaged package yields no entries");
        return;
    }
    std::uint64_t previousEnd = 0;
    for (const PackageEntry& entry : index.entries) {
        Require(entry.dataOffset >= previousEnd, "entries follow one another in file order");
        CheckEntry(input, package, entry);
        previousEnd = entry.dataOffset + entry.size;
    }
}

}  // namespace kestrel::fuzz
