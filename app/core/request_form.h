#pragma once
// Where the boxes of a dialog, or the words of the command line, become a
// transfer request: the one place that reads the boxes' conventions ("root"
// for the handheld's root, "下载包" for a package) and rejects what the
// handheld would not take.
//
// Promises:
// - RequestFromBoxes either accepts all three boxes or fails with the first
//   reason to reject them (RejectionText), checked in this order: an empty box (PC file, name,
//   directory), then the name, then the directory, each for characters GBK
//   cannot hold, a space, a control character, a part that names nothing
//   ("", "." or ".."; a name is one part, a directory may join parts with
//   "/"), more than 14 bytes of GBK. Boxes are taken as they are: nothing is
//   trimmed or cut.
// - The PC box is routed as a picked file (picked_file.h) while it still
//   holds the file last picked, and by its extension exactly as typed
//   otherwise.
// - RequestFromArguments treats each FILE as a picked file: its proposal
//   fills the boxes, --dir and --name replace theirs. A package's entries
//   name themselves: a directory, or a name other than 下载包, given for one
//   is rejected. Several files go in one send; a name for all of them, a
//   package among them, or two that would land on one device path (named
//   both, as given) is rejected.

#include <filesystem>
#include <optional>
#include <vector>

#include "app/core/gbk_text.h"
#include "app/core/picked_file.h"
#include "app/core/rejection.h"
#include "status/result.h"
#include "transfer/transfer_request.h"

namespace kestrel {

enum class Direction { send, receive };

ResultOf<TransferRequest> RequestFromBoxes(Direction direction, const RequestBoxes& boxes,
                                           const PortChoice& port,
                                           const std::optional<std::filesystem::path>& picked,
                                           TextHandling text = {});

struct Arguments {
    std::vector<std::filesystem::path> files;  // one for a receive
    std::optional<UserText> deviceDirectory;
    std::optional<UserText> deviceName;
    TextHandling text{};
};

ResultOf<TransferRequest> RequestFromArguments(Direction direction, const Arguments& arguments,
                                               const PortChoice& port);

}  // namespace kestrel
