#pragma once
// How the virtual handheld names its folders and files on the PC's disk:
// device texts are GBK, the disk takes the user's own text, so the handheld's
// files can be browsed like any others. A text GBK cannot decode has no name.

#include <filesystem>
#include <optional>
#include <string_view>

namespace kestrel {

std::optional<std::filesystem::path> DiskNameForDeviceText(std::string_view gbk);

}  // namespace kestrel
