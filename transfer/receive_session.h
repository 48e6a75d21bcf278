#pragma once
// Fetching one device file into a PC file: ReceiveSession frames it
// (greeting, Start, the file, EndSession, unwrapping), ReceiveFile asks for
// the file in 1024-byte chunks until a shorter chunk ends it. Whether the
// type can be fetched and the PC file replaced was settled before any port
// was opened (run_preparation.h). A PC file that fails once the session has
// begun ends the handheld's file and session too: none is left open.
//
// The chunks land in PartialPath(PC file), made new (what had the name is
// removed first, never written through), which replaces the PC file (a text
// unwrapped) only once the file is complete and the handheld session closed:
// a receive that fails anywhere leaves the user's file as it was and keeps
// what arrived intact there. A PC file a write could not change (read-only)
// is refused before the handheld is greeted. The chunks come from the link's packet buffer,
// as ReceiveDataPacket hands them over.

#include <filesystem>
#include <string_view>

#include "transfer/transfer_request.h"
#include "transfer/transfer_run.h"

namespace kestrel {

Result ReceiveSession(TransferRun& run, const TransferFile& file);

// Leaves the whole file in `partial`; ReceiveSession puts it in place.
Result ReceiveFile(TransferRun& run, const std::filesystem::path& partial,
                   const TransferFile& file);

}  // namespace kestrel
