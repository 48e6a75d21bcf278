#pragma once
// The formatted status texts of the transfers, as GBK; the plain ones are
// the table's (text/texts.h), included here for the transfers' callers.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "link/link_texts.h"
#include "text/texts.h"

namespace kestrel::texts {

// "%5dk": whole kilobytes, right-aligned in five places. Built once a chunk,
// so it lives in a buffer of its own: no allocation, no formatting engine.
class Kilobytes {
  public:
    explicit Kilobytes(std::uint64_t bytes);
    std::string_view View() const { return {text_.data() + start_, text_.size() - start_}; }
    operator std::string_view() const { return View(); }  // NOLINT(google-explicit-constructor)

  private:
    std::array<char, 24> text_{};  // right-aligned: the digits and "k" end it
    std::size_t start_ = 0;
};

// 下载%s
std::string Downloading(std::string_view deviceName);
// 在%s上找到了文曲星
std::string FoundOn(std::string_view portName);

}  // namespace kestrel::texts
