#pragma once
// A file as the status line names it: its name alone, without its folders
// (the user knows where the file is; a whole path would crowd out the
// reason), in GBK; or a whole path, where the user has to find the folder.
// A character GBK cannot hold shows as "?", one for each character. Pure;
// neither fails.

#include <filesystem>
#include <string>

namespace kestrel {

std::string ShownName(const std::filesystem::path& file);

// A folder where the user must put something, whole, the same way.
std::string ShownPath(const std::filesystem::path& folder);

}  // namespace kestrel
