#pragma once
// What both dialogs say about the program when asked ("关于 KESTREL"): its
// name, version and licence, as GBK texts like every other.

#include <string>
#include <string_view>

namespace kestrel {

// 关于 KESTREL: the menu entry and the title of what it shows.
inline constexpr std::string_view kAboutTitle = "\xB9\xD8\xD3\xDA KESTREL";

// "KESTREL 0.2.0", what it does, and its licence, one a line ('\n').
std::string AboutText();

}  // namespace kestrel
