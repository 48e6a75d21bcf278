#include "formats/file_type.h"

#include <algorithm>

namespace kestrel {
namespace {

bool EqualsAscii(NativeStringView text, std::string_view ascii) {
    return std::equal(text.begin(), text.end(), ascii.begin(), ascii.end(),
                      [](std::filesystem::path::value_type unit, char letter) {
                          return unit == static_cast<std::filesystem::path::value_type>(letter);
                      });
}

}  // namespace

NativeStringView ExtensionOf(const std::filesystem::path& pcPath) {
    const NativeStringView whole = pcPath.native();
    const auto dot = whole.rfind(static_cast<std::filesystem::path::value_type>('.'));
    return dot == NativeStringView::npos ? whole : whole.substr(dot + 1);
}

FileType FileTypeOf(const std::filesystem::path& pcPath) {
    const NativeStringView extension = ExtensionOf(pcPath);
    if (EqualsAscii(extension, "txt")) return FileType::kText;
    if (EqualsAscii(extension, "gtx")) return FileType::kHeadedText;
    if (EqualsAscii(extension, "bin")) return FileType::kApplication;
    return FileType::kOther;
}

}  // namespace kestrel
