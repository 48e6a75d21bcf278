#pragma once
// Sending one PC file to the handheld: SendSession frames it (conversion,
// greeting, Start, the file, EndSession), SendFile carries the file itself
// (Directory, NewFile, Data chunks of 1024 bytes, EndOfFile) and counts the
// kilobytes still to send down on the status line.
//
// Both report each failure on the status line once and return it; the
// caller aborts the run. The session flags in run.link decide whether the
// greeting comes first and whether the handheld session is closed.

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "link/protocol.h"
#include "transfer/transfer_run.h"

namespace kestrel {

inline constexpr std::uint16_t kNewFileValue = 0xEFEF;
inline constexpr std::size_t kChunkSize = 1024;

LinkResult SendSession(TransferRun& run, std::string_view deviceName,
                       std::string_view deviceDirectory, std::filesystem::path& pcPath);

LinkResult SendFile(SerialLink& link, const std::filesystem::path& pcPath,
                    std::string_view deviceDirectory, std::string_view deviceName,
                    std::uint16_t newFileValue);

}  // namespace kestrel
