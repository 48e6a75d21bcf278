#pragma once
// Why a picked file or a request from the three boxes (or the command line's
// words) is rejected before any port is touched: the failure of
// RequestFromBoxes and RequestFromArguments carries RejectionText, which
// the dialogs show on the status line and kestrel-cli prints (exit 2).

#include <string_view>

namespace kestrel {

enum class Rejection {
    noPcFile,          // the picked path names no file
    pcFileNameNotGbk,  // the picked file's name has characters GBK cannot hold
    emptyPcPath,
    emptyDeviceName,
    emptyDeviceDirectory,
    spaceInDeviceName,
    spaceInDeviceDirectory,
    deviceNameTooLong,       // over 14 bytes of GBK
    deviceDirectoryTooLong,  // over 14 bytes of GBK
    deviceNameNotGbk,
    deviceDirectoryNotGbk,
    controlInDeviceName,       // a tab, a newline, ...
    controlInDeviceDirectory,  // the same
    deviceNameNotOnePart,      // a "/" inside, or "." or ".."
    deviceDirectoryBadPart,    // a part between "/" empty, "." or ".."
    nameForSeveralFiles,       // one device name given for several files
    packageWithOthers,         // a package among several files: it goes alone
    placeForPackage,  // a directory or name given for a package, whose entries carry their own
};

// The status text (GBK) that says why; never empty.
std::string_view RejectionText(Rejection rejection);

}  // namespace kestrel
