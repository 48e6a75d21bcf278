#pragma once
// Status texts of the file formats layer, as GBK bytes (the UTF-8 text stands
// above each). scripts/gbk-literal turns a text into such a literal. Each
// names why a preparation stopped, so that the final "终止传输" is not the only
// thing a user sees.

#include <string_view>

namespace kestrel::texts {

// 该文件类型不支持上传!
inline constexpr std::string_view kUploadNotSupported =
    "\xB8\xC3\xCE\xC4\xBC\xFE\xC0\xE0\xD0\xCD\xB2\xBB\xD6\xA7\xB3\xD6\xC9\xCF\xB4\xAB!";

// The PC file to be sent.
// 无法打开文件
inline constexpr std::string_view kCannotOpenFile =
    "\xCE\xDE\xB7\xA8\xB4\xF2\xBF\xAA\xCE\xC4\xBC\xFE";
// 读取文件时出错
inline constexpr std::string_view kCannotReadFile =
    "\xB6\xC1\xC8\xA1\xCE\xC4\xBC\xFE\xCA\xB1\xB3\xF6\xB4\xED";
// 文件太大
inline constexpr std::string_view kFileTooLarge = "\xCE\xC4\xBC\xFE\xCC\xAB\xB4\xF3";
// 内存不足
inline constexpr std::string_view kNoMemory = "\xC4\xDA\xB4\xE6\xB2\xBB\xD7\xE3";

// Text files.
// 文本文件为空
inline constexpr std::string_view kEmptyText = "\xCE\xC4\xB1\xBE\xCE\xC4\xBC\xFE\xCE\xAA\xBF\xD5";
// 文件中没有文本内容
inline constexpr std::string_view kNoTextBody =
    "\xCE\xC4\xBC\xFE\xD6\xD0\xC3\xBB\xD3\xD0\xCE\xC4\xB1\xBE\xC4\xDA\xC8\xDD";

// TempFile and its folder.
// 无法使用临时目录
inline constexpr std::string_view kNoTempDirectory =
    "\xCE\xDE\xB7\xA8\xCA\xB9\xD3\xC3\xC1\xD9\xCA\xB1\xC4\xBF\xC2\xBC";
// 临时目录不安全
inline constexpr std::string_view kTempDirectoryUnsafe =
    "\xC1\xD9\xCA\xB1\xC4\xBF\xC2\xBC\xB2\xBB\xB0\xB2\xC8\xAB";
// 临时文件正被另一个传输使用
inline constexpr std::string_view kTempFileInUse =
    "\xC1\xD9\xCA\xB1\xCE\xC4\xBC\xFE\xD5\xFD\xB1\xBB\xC1\xED\xD2\xBB\xB8\xF6\xB4\xAB\xCA\xE4\xCA"
    "\xB9\xD3\xC3";
// 写入临时文件时出错
inline constexpr std::string_view kCannotWriteTempFile =
    "\xD0\xB4\xC8\xEB\xC1\xD9\xCA\xB1\xCE\xC4\xBC\xFE\xCA\xB1\xB3\xF6\xB4\xED";

// Text and its characters.
// 第 (before the line number)
inline constexpr std::string_view kLinePrefix = "\xB5\xDA";
// 行有GBK不能表示的字符 (after the line number, before the character)
inline constexpr std::string_view kNotInGbk =
    "\xD0\xD0\xD3\xD0GBK\xB2\xBB\xC4\xDC\xB1\xED\xCA\xBE\xB5\xC4\xD7\xD6\xB7\xFB";
// 行不是有效的UTF-8文本 (after the line number)
inline constexpr std::string_view kNotUtf8 =
    "\xD0\xD0\xB2\xBB\xCA\xC7\xD3\xD0\xD0\xA7\xB5\xC4UTF-8\xCE\xC4\xB1\xBE";
// 收到的文本无法转换为UTF-8
inline constexpr std::string_view kReceivedNotGbk =
    "\xCA\xD5\xB5\xBD\xB5\xC4\xCE\xC4\xB1\xBE\xCE\xDE\xB7\xA8\xD7\xAA\xBB\xBB\xCE\xAAUTF-8";

// Application images.
// 应用程序文件的密钥长度错误
inline constexpr std::string_view kBadKeyLength =
    "\xD3\xA6\xD3\xC3\xB3\xCC\xD0\xF2\xCE\xC4\xBC\xFE\xB5\xC4\xC3\xDC\xD4\xBF\xB3\xA4\xB6\xC8\xB4"
    "\xED"
    "\xCE\xF3";
// 应用程序文件不完整
inline constexpr std::string_view kTruncatedImage =
    "\xD3\xA6\xD3\xC3\xB3\xCC\xD0\xF2\xCE\xC4\xBC\xFE\xB2\xBB\xCD\xEA\xD5\xFB";
// Followed by the name of the table file that was looked for.
// 没有可用的解码表文件
inline constexpr std::string_view kNoTablePrefix =
    "\xC3\xBB\xD3\xD0\xBF\xC9\xD3\xC3\xB5\xC4\xBD\xE2\xC2\xEB\xB1\xED\xCE\xC4\xBC\xFE";
// （请放在 ... ）: the folder where the table belongs
inline constexpr std::string_view kPutTableIn = "\xA3\xA8\xC7\xEB\xB7\xC5\xD4\xDA";
inline constexpr std::string_view kPutTableInEnd = "\xA3\xA9";

// Finishing a text receive.
// 收到的文本文件不完整
inline constexpr std::string_view kReceivedTextTooShort =
    "\xCA\xD5\xB5\xBD\xB5\xC4\xCE\xC4\xB1\xBE\xCE\xC4\xBC\xFE\xB2\xBB\xCD\xEA\xD5\xFB";
// 无法读取收到的文件
inline constexpr std::string_view kCannotReadReceived =
    "\xCE\xDE\xB7\xA8\xB6\xC1\xC8\xA1\xCA\xD5\xB5\xBD\xB5\xC4\xCE\xC4\xBC\xFE";
// 无法写入文件
inline constexpr std::string_view kCannotWriteFile =
    "\xCE\xDE\xB7\xA8\xD0\xB4\xC8\xEB\xCE\xC4\xBC\xFE";

}  // namespace kestrel::texts
