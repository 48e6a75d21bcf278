#pragma once
// The formatted status texts of the transfers, as GBK; the plain ones are
// the table's (text/texts.h), included here for the transfers' callers.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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
// 正在监听串口%s，请在文曲星上开始传输 (the ports joined by "、")
std::string ListeningOn(const std::vector<std::string>& portNames);
// 共发送了%d个文件
std::string SentFiles(std::size_t count);
// ：文曲星上可能没有这个文件：%s, after why a read was refused
std::string MaybeNotOnHandheld(std::string_view devicePath);

}  // namespace kestrel::texts
