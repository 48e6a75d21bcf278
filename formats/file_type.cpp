#include "formats/file_type.h"

#include <algorithm>
#include <string>

#include "formats/extension_table.h"

namespace kestrel {

NativeStringView ExtensionOf(const std::filesystem::path& pcPath) {
    const NativeStringView whole = pcPath.native();
    const auto dot = whole.rfind(static_cast<std::filesystem::path::value_type>('.'));
    return dot == NativeStringView::npos ? whole : whole.substr(dot + 1);
}

FileType FileTypeOf(const std::filesystem::path& pcPath) {
    // The table's extensions are ASCII: one that is not holds no row.
    const NativeStringView extension = ExtensionOf(pcPath);
    const bool ascii = std::all_of(extension.begin(), extension.end(),
                                   [](auto unit) { return unit > 0 && unit < 0x80; });
    if (!ascii) return FileType::kOther;
    const std::string narrow(extension.begin(), extension.end());
    const ExtensionRow* row = FindExtension(narrow);
    return row != nullptr ? row->type : FileType::kOther;
}

}  // namespace kestrel
