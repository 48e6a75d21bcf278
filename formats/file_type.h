#pragma once
// How a PC file is treated on its way to or from the handheld, decided by its
// extension: the text after the last "." anywhere in the path (the search does
// not stop at a directory separator), or the whole path when it holds no ".".
// Comparison is exact and case-sensitive; the extension table
// (extension_table.h) says which extensions are converted: "txt", "gtx" and
// "bin". Pure functions of the path's native string; the file is never opened.

#include <filesystem>
#include <string_view>

namespace kestrel {

enum class FileType {
    kText,         // "txt": plain text, wrapped in the 24-byte text header
    kHeadedText,   // "gtx": text behind its own 16-byte header, re-headed
    kApplication,  // "bin": application image, decoded before sending
    kOther,        // sent and received unchanged
};

using NativeStringView = std::basic_string_view<std::filesystem::path::value_type>;

NativeStringView ExtensionOf(const std::filesystem::path& pcPath);
FileType FileTypeOf(const std::filesystem::path& pcPath);

}  // namespace kestrel
