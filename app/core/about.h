#pragma once
// What both dialogs say about the program when asked (texts::kAboutTitle,
// "关于 KESTREL"): its name, version and licence, as GBK texts like every
// other.

#include <string>
#include <string_view>

namespace kestrel {

// "KESTREL 0.2.0", what it does, and its licence, one a line ('\n').
std::string AboutText();

}  // namespace kestrel
