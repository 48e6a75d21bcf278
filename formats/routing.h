#pragma once
// What happens to a file on its way to or from the handheld, by its type
// (file_type.h):
//   text         sent wrapped in the 24-byte text header (UTF-8 made GBK
//                first, unless kept as bytes); received unwrapped (and made
//                UTF-8 when asked)
//   headed text  sent re-headed (its own 16-byte header replaced); not receivable
//   application  sent decoded through the substitution table; not receivable
//   other        sent and received unchanged
//
// Each operation returns ok or the reason it stopped; nothing is ever sent or
// written half-way on a failure. Conversions before a send happen whole, in
// memory, so that a file that cannot be sent is known before anything is
// exchanged; the result goes to TempFile only when its turn comes.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "formats/file_type.h"
#include "formats/temp_file.h"
#include "formats/text_charset.h"
#include "status/result.h"

namespace kestrel {

class SubstitutionTable;

struct FormatContext {
    // The table for decoding application images; null when none was found,
    // and then missingTableName names the file that was looked for (in the
    // folder where it belongs, when that is known).
    const SubstitutionTable* table = nullptr;
    std::filesystem::path missingTableName{};
    TextCharsets charsets{};
    // Where TempFile lives; unset means the user's private temporary folder.
    std::optional<std::filesystem::path> tempDirectory{};
    // Taken when the run first uses TempFile, held until the run ends.
    std::optional<TempFileClaim> tempFileClaim{};
};

// How a text file's characters are handled.
struct TextHandling {
    bool keepBytes = false;  // send: byte for byte, never converted
    bool asUtf8 = false;     // receive: the fetched text written as UTF-8
};

// A file ready to send: its own path, or the converted bytes that
// StageForSending puts in TempFile.
struct Outgoing {
    std::filesystem::path pcPath;
    std::optional<std::vector<std::uint8_t>> converted;
    bool fromUtf8 = false;  // a text that was UTF-8 and is now GBK
};

// Reads and converts the file, or checks that it can be read.
Result PrepareForSending(const std::filesystem::path& pcPath, FileType type, TextHandling text,
                         const FormatContext& context, Outgoing& outgoing);

// Puts converted bytes in TempFile and points outgoing.pcPath at it; a file
// that goes as it is stays where it is.
Result StageForSending(Outgoing& outgoing, FormatContext& context);

// Refuses the types that cannot be fetched. On success pcPath names where the
// device file is to be received: the user's path, or TempFile for text.
Result PrepareForReceiving(std::filesystem::path& pcPath, FileType type, FormatContext& context);

// Turns the received file into the user's file (text: strips the header,
// and converts it when asked, into target, which keeps its former content
// on failure).
Result FinishReceiving(const std::filesystem::path& received, const std::filesystem::path& target,
                       FileType type, TextHandling text, const FormatContext& context);

}  // namespace kestrel
