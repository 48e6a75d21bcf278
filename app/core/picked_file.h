#pragma once
// The one rule for a picked PC file: chosen in a file picker, dropped on a
// dialog, or named as FILE on the command line. It is routed and proposed
// by its extension with A-Z lower-cased (as the Windows picker does), while
// the file itself keeps its own name: it is read or written as picked.
//
// Promises:
// - ProposeForPickedFile fills the three boxes: the path as picked, the
//   device name shortened to 14 bytes of GBK with spaces and control
//   characters made "_" (the boxes reject them), the directory by extension; a package gets "下载包" and
//   "*". A name GBK cannot hold leaves the name box empty (nameProposed is
//   false) but still proposes the directory. nullopt when the path names no
//   file ("", ".", "..").
// - Nothing here touches the file system.

#include <filesystem>
#include <optional>

#include "app/core/gbk_text.h"
#include "formats/file_type.h"

namespace kestrel {

struct RequestBoxes {
    UserText pcPath;
    UserText deviceName;
    UserText deviceDirectory;
};

struct Proposal {
    RequestBoxes boxes;
    bool nameProposed = true;
    bool package = false;  // the boxes hold "下载包" and "*": its entries name themselves
};

std::optional<Proposal> ProposeForPickedFile(const std::filesystem::path& picked);

// How a picked file is converted: by its extension, A-Z lower-cased.
FileType PickedFileType(const std::filesystem::path& picked);

}  // namespace kestrel
