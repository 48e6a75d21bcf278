#pragma once
// A file as the status line names it: its name alone, without its folders
// (the user knows where the file is; a whole path would crowd out the
// reason), in GBK. A character GBK cannot hold shows as "?", one for each
// character. Pure; never fails.

#include <filesystem>
#include <string>

namespace kestrel {

std::string ShownName(const std::filesystem::path& file);

}  // namespace kestrel
