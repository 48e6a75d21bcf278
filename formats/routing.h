#pragma once
// What happens to a file on its way to or from the handheld, by its type
// (file_type.h):
//   text         sent wrapped in the 24-byte text header; received unwrapped
//   headed text  sent re-headed (its own 16-byte header replaced); not receivable
//   application  sent decoded through the substitution table; not receivable
//   other        sent and received unchanged
//
// Each operation returns ok or the reason it stopped; nothing is ever sent or
// written half-way on a failure.

#include <filesystem>
#include <optional>

#include "formats/file_type.h"
#include "formats/temp_file.h"
#include "status/result.h"

namespace kestrel {

class SubstitutionTable;

struct FormatContext {
    // The table for decoding application images; null when none was found,
    // and then missingTableName names the file that was looked for.
    const SubstitutionTable* table = nullptr;
    std::filesystem::path missingTableName{};
    // Where TempFile lives; unset means the user's private temporary folder.
    std::optional<std::filesystem::path> tempDirectory{};
    // Taken when the run first uses TempFile, held until the run ends.
    std::optional<TempFileClaim> tempFileClaim{};
};

// On success pcPath names the file to send: the user's own, or TempFile
// holding the converted file.
Result PrepareForSending(std::filesystem::path& pcPath, FileType type, FormatContext& context);

// Refuses the types that cannot be fetched. On success pcPath names where the
// device file is to be received: the user's path, or TempFile for text.
Result PrepareForReceiving(std::filesystem::path& pcPath, FileType type, FormatContext& context);

// Turns the received file into the user's file (text: strips the header into
// target, which keeps its former content on failure).
Result FinishReceiving(const std::filesystem::path& received, const std::filesystem::path& target,
                       FileType type);

}  // namespace kestrel
