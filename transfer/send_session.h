#pragma once
// Sending PC files to the handheld: SendSession frames one file (conversion,
// greeting, Start, the file, EndSession), SendFile carries the file itself
// (Directory, NewFile, Data chunks of 1024 bytes, EndOfFile) and counts the
// kilobytes still to send down on the status line.
//
// Each returns ok or why not; the caller ends the run on a failure.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>
#include <vector>

#include "transfer/transfer_request.h"
#include "transfer/transfer_run.h"

namespace kestrel {

inline constexpr std::uint16_t kNewFileValue = 0xEFEF;

// Whether this file opens and closes the handheld session, or shares it with
// the files before or after it.
struct SessionFlags {
    bool needHandshake = true;  // greet the handheld first
    bool lastFile = true;       // close the handheld session afterwards
};

// The file goes as it is (any conversion came before); its type is not looked at.
Result SendSession(TransferRun& run, const TransferFile& file, SessionFlags flags);

// Several files in one handheld session, each as it goes (converted and
// staged before any port was opened, run_preparation.h). "下载" and the
// device name go before each of several files.
Result SendFiles(TransferRun& run, const std::vector<TransferFile>& files);

// Fails, without sending more, when the file no longer has the size it had
// when it was opened ("文件在发送时被改变" and its name).
Result SendFile(TransferRun& run, const std::filesystem::path& pcPath,
                std::string_view deviceDirectory, std::string_view deviceName,
                std::uint16_t newFileValue);

}  // namespace kestrel
