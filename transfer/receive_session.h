#pragma once
// Fetching one device file into a PC file: ReceiveSession frames it (type
// check, greeting, Start, the file, EndSession, unwrapping), ReceiveFile asks
// for the file in 1024-byte chunks until a shorter chunk ends it.
//
// The chunks land in "<PC file>.part" beside the PC file, which replaces the
// PC file only once the file is complete and the handheld session closed: a
// receive that fails anywhere leaves the user's file as it was and keeps
// what arrived intact in ".part".

#include <filesystem>
#include <string_view>

#include "link/protocol.h"
#include "transfer/transfer_run.h"

namespace kestrel {

// Where the chunks of a receive into pcPath collect until the file is complete.
std::filesystem::path PartialPath(const std::filesystem::path& pcPath);

LinkResult ReceiveSession(TransferRun& run, std::string_view deviceName,
                          std::string_view deviceDirectory, std::filesystem::path& pcPath);

// Leaves the whole file in PartialPath(pcPath); ReceiveSession puts it in place.
LinkResult ReceiveFile(SerialLink& link, const std::filesystem::path& pcPath,
                       std::string_view deviceDirectory, std::string_view deviceName);

}  // namespace kestrel
