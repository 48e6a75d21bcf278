#pragma once
// Texts of the dialog's template, as GBK bytes like every other text of the
// program (the UTF-8 text stands above each); qt_text.h turns them into
// QStrings. The texts both dialogs share are in app/app_texts.h.
// scripts/gbk-literal turns a text into such a literal.

#include <string_view>

namespace kestrel::texts {

// KESTREL
inline constexpr std::string_view kDialogCaption = "KESTREL";
// 电脑文件
inline constexpr std::string_view kLabelPcFile = "\xB5\xE7\xC4\xD4\xCE\xC4\xBC\xFE";
// 文曲星文件
inline constexpr std::string_view kLabelDeviceFile = "\xCE\xC4\xC7\xFA\xD0\xC7\xCE\xC4\xBC\xFE";
// 文曲星目录
inline constexpr std::string_view kLabelDeviceDirectory =
    "\xCE\xC4\xC7\xFA\xD0\xC7\xC4\xBF\xC2\xBC";
// 浏览
inline constexpr std::string_view kBrowse = "\xE4\xAF\xC0\xC0";
// 下载
inline constexpr std::string_view kDownload = "\xCF\xC2\xD4\xD8";
// 上传
inline constexpr std::string_view kUpload = "\xC9\xCF\xB4\xAB";
// 端口: the port list's label
inline constexpr std::string_view kLabelPort = "\xB6\xCB\xBF\xDA";
// 关于(&A): the button that shows what the program is, Alt+A
inline constexpr std::string_view kAbout = "\xB9\xD8\xD3\xDA(&A)";

}  // namespace kestrel::texts
