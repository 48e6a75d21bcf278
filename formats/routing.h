#pragma once
// What happens to a file on its way to or from the handheld, chosen by the
// text after the last "." of the PC path (the search does not stop at a
// directory separator; exact, case-sensitive):
//   "txt"  sent wrapped in the 24-byte text header; received unwrapped
//   "gtx"  sent re-headed (its own 16-byte header replaced); not receivable
//   "bin"  sent decoded through the substitution table; not receivable
//   other  sent and received unchanged
//
// Each operation reports its own failure on the status line (GBK) and
// returns false; nothing is ever sent or written half-way on a failure.

#include <filesystem>
#include <optional>

#include "formats/temp_file.h"
#include "link/status_sink.h"

namespace kestrel {

class SubstitutionTable;

struct FormatContext {
    StatusSink& status;
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
bool PrepareForSending(std::filesystem::path& pcPath, FormatContext& context);

// Refuses the types that cannot be fetched. Sets receiveTarget to the user's
// path; on success pcPath names where the device file is to be received
// (TempFile for text).
bool PrepareForReceiving(std::filesystem::path& pcPath, std::filesystem::path& receiveTarget,
                         FormatContext& context);

// Turns the received file into the user's file (text: strips the header into
// receiveTarget, leaving it untouched on failure). False, with a status text,
// when the user's file was not written as it should be.
bool FinishReceiving(const std::filesystem::path& pcPath,
                     const std::filesystem::path& receiveTarget, FormatContext& context);

}  // namespace kestrel
