#pragma once
// One user command, as the front-end core makes it from the boxes or the
// command line: which way, through which port, and which files. Device texts
// are GBK bytes; PC paths are native paths.

#include <filesystem>
#include <string>
#include <vector>

#include "formats/file_type.h"
#include "formats/routing.h"
#include "status/result.h"
#include "transfer/transfer_texts.h"

namespace kestrel {

enum class TransferKind {
    send,         // PC files to the handheld, all in one handheld session
    receive,      // one device file into one PC file
    sendPackage,  // a package's entries, each to the path it names
};

struct PortChoice {
    enum class Kind {
        serial,           // a serial device, by name
        builtInHandheld,  // the virtual handheld inside the program
        automatic,        // whichever serial port present the handheld greets on
    };
    Kind kind = Kind::serial;
    std::string name;  // the serial port's name; unused for the built-in handheld
};

// One file of a command. For a package only pcPath counts: its entries name
// their own directories and files.
struct TransferFile {
    std::filesystem::path pcPath;      // read or written under this very name
    FileType type = FileType::kOther;  // how it is converted on the way
    std::string deviceDirectory;       // ignored when root is set
    bool root = false;                 // the handheld's root directory
    std::string deviceName;
    TextHandling text{};      // for a text file: its characters
    std::string shownName{};  // GBK: the PC file's name in texts
};

// The failure, of the kind it was, with the file it concerns named first:
// "a.txt：无法打开文件".
inline Result NamedFailure(const TransferFile& file, const Result& failure) {
    if (failure.GetKind() == Result::Kind::cancelled) return failure;
    const std::string& name = file.shownName.empty() ? file.deviceName : file.shownName;
    std::string reason = name + std::string(texts::kNameSeparator) + failure.Reason();
    return failure.GetKind() == Result::Kind::refused ? Result::Refused(reason)
                                                      : Result::Failed(reason);
}

struct TransferRequest {
    TransferKind kind = TransferKind::send;
    PortChoice port;
    std::vector<TransferFile> files;  // one for a receive or a package; one or more for a send
};

}  // namespace kestrel
