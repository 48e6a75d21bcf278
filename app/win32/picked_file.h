#pragma once
// What Browse and a dropped file put into the three boxes: the PC path with
// its extension lower-cased, and the proposed device name and directory,
// from the naming the command line uses too.
//
// Promises:
// - nullopt when the path names no file: the boxes stay as they are.
// - A file whose name GBK cannot hold can still be sent: its path is taken,
//   the device name is left empty for the user to type (a package still
//   gets its own), and the directory is proposed from the extension alone.
// - Nothing here touches the file system.

#include <filesystem>
#include <optional>

#include "app/gbk_text.h"

namespace kestrel {

struct BoxTexts {
    UserText pcPath;
    UserText deviceName;
    UserText deviceDirectory;
};

std::optional<BoxTexts> BoxesForPickedFile(const std::filesystem::path& picked);

}  // namespace kestrel
