#pragma once
// Choosing a conversion: what happens to a file on its way to or from the
// handheld, by its type (file_type.h):
//   text         sent wrapped in the 24-byte text header (UTF-8 made GBK
//                first, unless kept as bytes); received unwrapped (and made
//                UTF-8 when asked)
//   headed text  sent re-headed (its own 16-byte header replaced); not receivable
//   application  sent decoded through the substitution table; not receivable
//   other        sent and received unchanged
//
// Conversions before a send happen whole, in memory, so that a file that
// cannot be sent is known before anything is exchanged. Each returns ok or
// the reason it stopped, naming the file; nothing is written half-way.

#include <filesystem>
#include <optional>

#include "formats/file_type.h"
#include "formats/pc_file.h"
#include "formats/substitution_table.h"
#include "formats/text_charset.h"
#include "status/result.h"

namespace kestrel {

struct Conversions {
    // The table for decoding application images, or why there is none;
    // null: MissingTable().
    const ResultOf<SubstitutionTable>* table = nullptr;
    TextCharsets charsets{};
};

// How a text file's characters are handled.
struct TextHandling {
    bool keepBytes = false;  // send: byte for byte, never converted
    bool asUtf8 = false;     // receive: the fetched text written as UTF-8
};

// A file ready to send: its own path, or the converted bytes that staging
// (staging.h) puts in a scratch file.
struct Outgoing {
    std::filesystem::path pcPath;
    std::optional<Bytes> converted;
    bool fromUtf8 = false;  // a text that was UTF-8 and is now GBK
};

// Reads and converts the file, or checks that it can be read.
ResultOf<Outgoing> PrepareForSending(const std::filesystem::path& pcPath, FileType type,
                                     TextHandling text, const Conversions& conversions);

// "该文件类型不支持上传!" for the types that cannot be fetched.
Result CheckReceivable(FileType type);

// Turns the received file into the user's file: renamed over target
// (CommitWholeFile), or for text stripped of its header and converted when
// asked into target, and then removed. On failure target keeps its former
// content and received every byte it holds.
Result FinishReceiving(const std::filesystem::path& received, const std::filesystem::path& target,
                       FileType type, TextHandling text, const Conversions& conversions);

}  // namespace kestrel
