#include "app/core/device_disk_names.h"

#include "app/core/gbk_text.h"

namespace kestrel {

std::optional<std::filesystem::path> DiskNameForDeviceText(std::string_view gbk) {
    std::optional<UserText> text = FromGbk(gbk);
    if (!text) return std::nullopt;
    return std::filesystem::path(*text);
}

}  // namespace kestrel
