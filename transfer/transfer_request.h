#pragma once
// One user command: what to move, which way, and where on the handheld.
// Device texts are GBK bytes; the PC path is a native path.

#include <filesystem>
#include <string>

namespace kestrel {

enum class TransferMode { down, up };  // down: PC to handheld; up: handheld to PC

struct TransferRequest {
    std::string portName;
    TransferMode mode = TransferMode::down;
    std::filesystem::path pcPath;
    std::string deviceName;       // at most 14 bytes from a front end, 23 from a package entry
    std::string deviceDirectory;  // "root" stands for the handheld's root folder
};

}  // namespace kestrel
