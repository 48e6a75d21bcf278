#pragma once
// Where a PC file goes on the handheld: a device file name that fits the
// handheld's 14-byte limit and a device directory chosen by extension.
//
// All names here are GBK bytes. A file name's extension is the text after its
// LAST "."; an extension offset is the index of that text within the file
// name, 0 when the name has no "." at all. An offset equal to the name's
// length is an empty extension ("name."), which still counts as one.
//
// Promises:
// - No result ever splits a two-byte GBK character (lead byte 0x81-0xFE
//   followed by its trail byte), wherever a name is cut.
// - Nothing here touches the file system.

#include <cstddef>
#include <string>
#include <string_view>

#include "formats/extension_table.h"  // DirectoryByExtension

namespace kestrel {

// What the handheld takes from the boxes, in bytes of GBK.
inline constexpr std::size_t kMaxDeviceNameBytes = 14;
inline constexpr std::size_t kMaxDeviceDirectoryBytes = 14;

// The device file name (at most 14 bytes) for a file name without folders:
// - shorter than 14 bytes: unchanged;
// - no extension: the longest run of whole characters within 14 bytes;
// - otherwise: the stem up to the FIRST "." (at most 10 bytes, whole
//   characters), a ".", then as much of the extension as fits in 14 bytes.
// An offset past the end counts as an empty extension.
std::string ShortenDeviceName(std::string_view gbkFileName, std::size_t extensionOffset);

}  // namespace kestrel
