#pragma once
// Texts of the front-end core, as GBK bytes (the UTF-8 text stands above
// each): the device directories proposed for a picked file, the conventions
// of the boxes, the reasons a request is rejected, and what
// the dialog says of typing, drops and replacing a file.
// scripts/gbk-literal turns a text into such a literal.

#include <cstddef>
#include <string>
#include <string_view>

#include "text/texts.h"

namespace kestrel::texts {

// The device directories are the extension table's (formats/extension_table.h).

// What the boxes say by convention, read once where they become a request.
// 下载包: the device file name that marks a package download
inline constexpr std::string_view kPackageName = "\xCF\xC2\xD4\xD8\xB0\xFC";
// The device directory that stands for the handheld's root.
inline constexpr std::string_view kRootDirectory = "root";

// Texts both dialogs show.
// 退出
inline constexpr std::string_view kExit = "\xCD\xCB\xB3\xF6";
// 取消: the Exit button while a run goes
inline constexpr std::string_view kCancel = "\xC8\xA1\xCF\xFB";
// 打开电脑文件: the file picker's title
inline constexpr std::string_view kPickerTitle = "\xB4\xF2\xBF\xAA\xB5\xE7\xC4\xD4\xCE\xC4\xBC\xFE";
// 所有文件 (*.*): the file picker's one filter
inline constexpr std::string_view kAllFiles = "\xCB\xF9\xD3\xD0\xCE\xC4\xBC\xFE (*.*)";

// Why a picked file or a request is rejected.
// 没有选择电脑文件
inline constexpr std::string_view kNoPcFile =
    "\xC3\xBB\xD3\xD0\xD1\xA1\xD4\xF1\xB5\xE7\xC4\xD4\xCE\xC4\xBC\xFE";
// 电脑文件名含有无法转换的字符
inline constexpr std::string_view kPcFileNameNotGbk =
    "\xB5\xE7\xC4\xD4\xCE\xC4\xBC\xFE\xC3\xFB\xBA\xAC\xD3\xD0\xCE\xDE\xB7\xA8\xD7\xAA\xBB\xBB\xB5"
    "\xC4"
    "\xD7\xD6\xB7\xFB";
// 电脑文件不能为空
inline constexpr std::string_view kEmptyPcPath =
    "\xB5\xE7\xC4\xD4\xCE\xC4\xBC\xFE\xB2\xBB\xC4\xDC\xCE\xAA\xBF\xD5";
// 文曲星文件名不能为空
inline constexpr std::string_view kEmptyDeviceName =
    "\xCE\xC4\xC7\xFA\xD0\xC7\xCE\xC4\xBC\xFE\xC3\xFB\xB2\xBB\xC4\xDC\xCE\xAA\xBF\xD5";
// 文曲星目录不能为空
inline constexpr std::string_view kEmptyDeviceDirectory =
    "\xCE\xC4\xC7\xFA\xD0\xC7\xC4\xBF\xC2\xBC\xB2\xBB\xC4\xDC\xCE\xAA\xBF\xD5";
// 文曲星文件名不能有空格
inline constexpr std::string_view kSpaceInDeviceName =
    "\xCE\xC4\xC7\xFA\xD0\xC7\xCE\xC4\xBC\xFE\xC3\xFB\xB2\xBB\xC4\xDC\xD3\xD0\xBF\xD5\xB8\xF1";
// 文曲星目录不能有空格
inline constexpr std::string_view kSpaceInDeviceDirectory =
    "\xCE\xC4\xC7\xFA\xD0\xC7\xC4\xBF\xC2\xBC\xB2\xBB\xC4\xDC\xD3\xD0\xBF\xD5\xB8\xF1";
// 文曲星文件名超过14字节
inline constexpr std::string_view kDeviceNameTooLong =
    "\xCE\xC4\xC7\xFA\xD0\xC7\xCE\xC4\xBC\xFE\xC3\xFB\xB3\xAC\xB9\xFD"
    "14\xD7\xD6\xBD\xDA";
// 文曲星目录超过14字节
inline constexpr std::string_view kDeviceDirectoryTooLong =
    "\xCE\xC4\xC7\xFA\xD0\xC7\xC4\xBF\xC2\xBC\xB3\xAC\xB9\xFD"
    "14\xD7\xD6\xBD\xDA";
// 文曲星文件名含有无法转换的字符
inline constexpr std::string_view kDeviceNameNotGbk =
    "\xCE\xC4\xC7\xFA\xD0\xC7\xCE\xC4\xBC\xFE\xC3\xFB\xBA\xAC\xD3\xD0\xCE\xDE\xB7\xA8\xD7\xAA\xBB"
    "\xBB"
    "\xB5\xC4\xD7\xD6\xB7\xFB";
// 文曲星目录含有无法转换的字符
inline constexpr std::string_view kDeviceDirectoryNotGbk =
    "\xCE\xC4\xC7\xFA\xD0\xC7\xC4\xBF\xC2\xBC\xBA\xAC\xD3\xD0\xCE\xDE\xB7\xA8\xD7\xAA\xBB\xBB\xB5"
    "\xC4"
    "\xD7\xD6\xB7\xFB";

// 文曲星文件名只能给一个文件
inline constexpr std::string_view kNameForSeveralFiles =
    "\xCE\xC4\xC7\xFA\xD0\xC7\xCE\xC4\xBC\xFE\xC3\xFB\xD6\xBB\xC4\xDC\xB8\xF8\xD2\xBB\xB8"
    "\xF6\xCE\xC4\xBC\xFE";
// 下载包只能单独发送
inline constexpr std::string_view kPackageWithOthers =
    "\xCF\xC2\xD4\xD8\xB0\xFC\xD6\xBB\xC4\xDC\xB5\xA5\xB6\xC0\xB7\xA2\xCB\xCD";

// What the dialog says while the user types, drops or fetches.
// 文曲星文件名 / 文曲星目录: the box a typing rejection names
inline constexpr std::string_view kNameBox = "\xCE\xC4\xC7\xFA\xD0\xC7\xCE\xC4\xBC\xFE\xC3\xFB";
inline constexpr std::string_view kDirectoryBox = "\xCE\xC4\xC7\xFA\xD0\xC7\xC4\xBF\xC2\xBC";

// "文曲星文件名不能超过14字节（7个汉字），这样会有16字节"
std::string TooLongToType(std::string_view gbkBox, std::size_t bytes);
// "3个文件，第一个是a.txt": several files dropped at once
std::string SeveralFiles(std::size_t count, std::string_view gbkFirstName);
// "电脑上已有a.txt，要替换它吗？"
std::string ReplacePcFile(std::string_view gbkName);

}  // namespace kestrel::texts
