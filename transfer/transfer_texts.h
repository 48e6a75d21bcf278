#pragma once
// Status texts of the transfers, as GBK bytes (the UTF-8 text stands beside
// each), and the formatted ones.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::texts {

// 等待传输开始...
inline constexpr std::string_view kWaiting = "\xB5\xC8\xB4\xFD\xB4\xAB\xCA\xE4\xBF\xAA\xCA\xBC...";
// 传输成功。
inline constexpr std::string_view kSucceeded = "\xB4\xAB\xCA\xE4\xB3\xC9\xB9\xA6\xA1\xA3";
// 终止传输
inline constexpr std::string_view kAborted = "\xD6\xD5\xD6\xB9\xB4\xAB\xCA\xE4";
// 终止传输： (followed by the reason)
inline constexpr std::string_view kAbortedBecause = "\xD6\xD5\xD6\xB9\xB4\xAB\xCA\xE4\xA3\xBA";
// 虚拟文曲星: the handheld built into the program, as a port
inline constexpr std::string_view kBuiltInHandheld = "\xD0\xE9\xC4\xE2\xCE\xC4\xC7\xFA\xD0\xC7";
// 开始通讯! (inside the Start packet)
inline constexpr std::string_view kStartBanner = "\xBF\xAA\xCA\xBC\xCD\xA8\xD1\xB6!";

// 下载包格式错误
inline constexpr std::string_view kPackageNotPackage =
    "\xCF\xC2\xD4\xD8\xB0\xFC\xB8\xF1\xCA\xBD\xB4\xED\xCE\xF3";
// 下载包不完整
inline constexpr std::string_view kPackageTruncated =
    "\xCF\xC2\xD4\xD8\xB0\xFC\xB2\xBB\xCD\xEA\xD5\xFB";
// 下载包中的文件路径无效
inline constexpr std::string_view kPackageBadPath =
    "\xCF\xC2\xD4\xD8\xB0\xFC\xD6\xD0\xB5\xC4\xCE\xC4\xBC\xFE\xC2\xB7\xBE\xB6\xCE\xDE\xD0\xA7";
// 下载包中没有要下载的文件
inline constexpr std::string_view kPackageEmpty =
    "\xCF\xC2\xD4\xD8\xB0\xFC\xD6\xD0\xC3\xBB\xD3\xD0\xD2\xAA\xCF\xC2\xD4\xD8\xB5\xC4\xCE\xC4\xBC"
    "\xFE";
// 无法打开电脑文件
inline constexpr std::string_view kCannotOpenPcFile =
    "\xCE\xDE\xB7\xA8\xB4\xF2\xBF\xAA\xB5\xE7\xC4\xD4\xCE\xC4\xBC\xFE";
// 读取电脑文件时出错
inline constexpr std::string_view kPcFileReadError =
    "\xB6\xC1\xC8\xA1\xB5\xE7\xC4\xD4\xCE\xC4\xBC\xFE\xCA\xB1\xB3\xF6\xB4\xED";
// 无法创建电脑文件
inline constexpr std::string_view kCannotCreatePcFile =
    "\xCE\xDE\xB7\xA8\xB4\xB4\xBD\xA8\xB5\xE7\xC4\xD4\xCE\xC4\xBC\xFE";
// 已将UTF-8文本转换为GBK
inline constexpr std::string_view kConvertedFromUtf8 =
    "\xD2\xD1\xBD\xABUTF-8\xCE\xC4\xB1\xBE\xD7\xAA\xBB\xBB\xCE\xAAGBK";
// ：between a file's name and what befell it
inline constexpr std::string_view kNameSeparator = "\xA3\xBA";
// 文件在发送时被改变
inline constexpr std::string_view kPcFileChanged =
    "\xCE\xC4\xBC\xFE\xD4\xDA\xB7\xA2\xCB\xCD\xCA\xB1\xB1\xBB\xB8\xC4\xB1\xE4";
// 没有要发送的文件
inline constexpr std::string_view kNothingToSend =
    "\xC3\xBB\xD3\xD0\xD2\xAA\xB7\xA2\xCB\xCD\xB5\xC4\xCE\xC4\xBC\xFE";
// 程序内部出错
inline constexpr std::string_view kUnexpectedError =
    "\xB3\xCC\xD0\xF2\xC4\xDA\xB2\xBF\xB3\xF6\xB4\xED";
// 写入电脑文件时出错
inline constexpr std::string_view kPcFileWriteError =
    "\xD0\xB4\xC8\xEB\xB5\xE7\xC4\xD4\xCE\xC4\xBC\xFE\xCA\xB1\xB3\xF6\xB4\xED";

// 没有找到文曲星 (followed by why, when known)
inline constexpr std::string_view kHandheldNotFound =
    "\xC3\xBB\xD3\xD0\xD5\xD2\xB5\xBD\xCE\xC4\xC7\xFA\xD0\xC7";
// ：没有可以打开的串口
inline constexpr std::string_view kNoPortToSearch =
    "\xA3\xBA\xC3\xBB\xD3\xD0\xBF\xC9\xD2\xD4\xB4\xF2\xBF\xAA\xB5\xC4\xB4\xAE\xBF\xDA";

// 无法写入跟踪文件
inline constexpr std::string_view kCannotWriteTrace =
    "\xCE\xDE\xB7\xA8\xD0\xB4\xC8\xEB\xB8\xFA\xD7\xD9\xCE\xC4\xBC\xFE";

// 10秒内没有收到文曲星的信号：请检查串口线是否连好，端口是否选对
inline constexpr std::string_view kQuietGreeting =
    "10\xC3\xEB\xC4\xDA\xC3\xBB\xD3\xD0\xCA\xD5\xB5\xBD\xCE\xC4\xC7\xFA\xD0\xC7\xB5\xC4\xD0\xC5\xBA"
    "\xC5\xA3\xBA\xC7\xEB\xBC\xEC\xB2\xE9\xB4\xAE\xBF\xDA\xCF\xDF\xCA\xC7\xB7\xF1\xC1\xAC\xBA\xC3"
    "\xA3"
    "\xAC\xB6\xCB\xBF\xDA\xCA\xC7\xB7\xF1\xD1\xA1\xB6\xD4";

// "%5dk": whole kilobytes, right-aligned in five places.
std::string Kilobytes(std::uint64_t bytes);
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
// 无法打开串口%s! followed by why, when known.
std::string CannotOpenPort(std::string_view portName, std::string_view reason);

}  // namespace kestrel::texts
