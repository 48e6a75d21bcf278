#include "formats/substitution_table.h"

#include <string>
#include <utility>

#include "formats/pc_file.h"
#include "status/shown_name.h"
#include "text/texts.h"

namespace kestrel {
namespace {

// Builds the inverse rows; empty when a value appears twice in a row (and so
// another is missing).
std::optional<std::vector<std::uint8_t>> InvertRows(std::span<const std::uint8_t> forward) {
    std::vector<std::uint8_t> inverse(SubstitutionTable::kSize);
    for (std::size_t row = 0; row < SubstitutionTable::kRowLength; ++row) {
        std::vector<bool> seen(SubstitutionTable::kRowLength, false);
        const std::size_t base = row * SubstitutionTable::kRowLength;
        for (std::size_t column = 0; column < SubstitutionTable::kRowLength; ++column) {
            const std::uint8_t value = forward[base + column];
            if (seen[value]) return std::nullopt;
            seen[value] = true;
            inverse[base + value] = static_cast<std::uint8_t>(column);
        }
    }
    return inverse;
}

}  // namespace

SubstitutionTable::SubstitutionTable(std::vector<std::uint8_t> forward,
                                     std::vector<std::uint8_t> inverse)
    : forward_(std::move(forward)), inverse_(std::move(inverse)) {}

std::optional<SubstitutionTable> SubstitutionTable::FromBytes(std::span<const std::uint8_t> bytes) {
    if (bytes.size() != kSize) return std::nullopt;
    std::optional<std::vector<std::uint8_t>> inverse = InvertRows(bytes);
    if (!inverse.has_value()) return std::nullopt;
    return SubstitutionTable({bytes.begin(), bytes.end()}, std::move(*inverse));
}

std::uint8_t SubstitutionTable::Lookup(std::uint8_t row, std::uint8_t plain) const {
    return forward_[std::size_t{row} * kRowLength + plain];
}

std::uint8_t SubstitutionTable::InverseLookup(std::uint8_t row, std::uint8_t value) const {
    return inverse_[std::size_t{row} * kRowLength + value];
}

ResultOf<SubstitutionTable> LoadSubstitutionTable(const std::filesystem::path& file) {
    ResultOf<InputFile> opened = InputFile::Open(file);
    if (!opened.IsOk()) return std::move(opened).Failure();
    // One byte more than a table: enough to tell a longer file without
    // reading it all.
    std::vector<std::uint8_t> bytes(SubstitutionTable::kSize + 1);
    ResultOf<std::size_t> got = opened.Value().Read(bytes);
    if (!got.IsOk()) return std::move(got).Failure();
    bytes.resize(got.Value());
    if (bytes.size() != SubstitutionTable::kSize) {
        return Result::Failed(texts::kTableWrongSize, ShownName(file));
    }
    std::optional<SubstitutionTable> table = SubstitutionTable::FromBytes(bytes);
    if (!table) return Result::Failed(texts::kTableNotPermutation, ShownName(file));
    return *std::move(table);
}

ResultOf<SubstitutionTable> FindSubstitutionTable(std::span<const std::filesystem::path> folders) {
    for (const std::filesystem::path& folder : folders) {
        const std::filesystem::path candidate = folder / kSubstitutionTableFileName;
        std::error_code error;
        if (std::filesystem::exists(candidate, error)) return LoadSubstitutionTable(candidate);
    }
    return MissingTable(folders.empty() ? std::filesystem::path() : folders.back());
}

Result MissingTable(const std::filesystem::path& folder) {
    std::string text = std::string(texts::kNoTablePrefix) + kSubstitutionTableFileName;
    if (!folder.empty()) {
        text.append(texts::kPutTableIn).append(ShownPath(folder)).append(texts::kPutTableInEnd);
    }
    return Result::Failed(text);
}

}  // namespace kestrel
