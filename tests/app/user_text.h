#pragma once
// The user's native text (what a box or a path holds) from readable UTF-8,
// so that the same test reads the same on every platform.

#include <string>
#include <string_view>

#include "app/gbk_text.h"

namespace kestrel::test {

inline UserText User(std::string_view utf8) {
    const std::u8string units(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size());
    return std::filesystem::path(units).native();
}

}  // namespace kestrel::test
