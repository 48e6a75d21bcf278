#pragma once
// Why a link step failed, as GBK bytes (the UTF-8 text stands beside each).
// scripts/gbk-literal turns a text into such a literal.

#include <string_view>

namespace kestrel::texts {

// 发送数据时出错
inline constexpr std::string_view kSendError =
    "\xB7\xA2\xCB\xCD\xCA\xFD\xBE\xDD\xCA\xB1\xB3\xF6\xB4\xED";
// 接收数据时出错
inline constexpr std::string_view kReceiveError =
    "\xBD\xD3\xCA\xD5\xCA\xFD\xBE\xDD\xCA\xB1\xB3\xF6\xB4\xED";
// 接收到错误的响应信号
inline constexpr std::string_view kBadResponse =
    "\xBD\xD3\xCA\xD5\xB5\xBD\xB4\xED\xCE\xF3\xB5\xC4\xCF\xEC\xD3\xA6\xD0\xC5\xBA\xC5";
// 数据校验出错
inline constexpr std::string_view kChecksumError =
    "\xCA\xFD\xBE\xDD\xD0\xA3\xD1\xE9\xB3\xF6\xB4\xED";
// 文曲星拒绝了请求
inline constexpr std::string_view kHandheldRefused =
    "\xCE\xC4\xC7\xFA\xD0\xC7\xBE\xDC\xBE\xF8\xC1\xCB\xC7\xEB\xC7\xF3";
// 已取消
inline constexpr std::string_view kCancelled = "\xD2\xD1\xC8\xA1\xCF\xFB";

// Why a port could not be opened; shown after the open-failure text.
// 没有访问权限
inline constexpr std::string_view kPortNoPermission =
    "\xC3\xBB\xD3\xD0\xB7\xC3\xCE\xCA\xC8\xA8\xCF\xDE";
// Around the group that owns a device the user's groups do not reach, after
// kPortNoPermission: 没有访问权限(请把用户加入dialout组后重新登录)
// (请把用户加入
inline constexpr std::string_view kJoinGroupBefore =
    "(\xC7\xEB\xB0\xD1\xD3\xC3\xBB\xA7\xBC\xD3\xC8\xEB";
// 组后重新登录)
inline constexpr std::string_view kJoinGroupAfter =
    "\xD7\xE9\xBA\xF3\xD6\xD8\xD0\xC2\xB5\xC7\xC2\xBC)";
// 串口正被其他程序使用
inline constexpr std::string_view kPortBusy =
    "\xB4\xAE\xBF\xDA\xD5\xFD\xB1\xBB\xC6\xE4\xCB\xFB\xB3\xCC\xD0\xF2\xCA\xB9\xD3\xC3";
// 没有这个串口
inline constexpr std::string_view kPortMissing = "\xC3\xBB\xD3\xD0\xD5\xE2\xB8\xF6\xB4\xAE\xBF\xDA";
// 串口不支持所需的设置
inline constexpr std::string_view kPortUnsupported =
    "\xB4\xAE\xBF\xDA\xB2\xBB\xD6\xA7\xB3\xD6\xCB\xF9\xD0\xE8\xB5\xC4\xC9\xE8\xD6\xC3";
// 这不是串口设备
inline constexpr std::string_view kPortNotSerial =
    "\xD5\xE2\xB2\xBB\xCA\xC7\xB4\xAE\xBF\xDA\xC9\xE8\xB1\xB8";
// 系统出错
inline constexpr std::string_view kPortSystemError = "\xCF\xB5\xCD\xB3\xB3\xF6\xB4\xED";

}  // namespace kestrel::texts
