#pragma once
// The OS's own error: the last one a call left behind, and its words as the
// user reads them, in GBK for the status line.
//
// Promises: LastSystemError() is errno on POSIX and GetLastError() on
// Windows, both in std::system_category(), and changes neither. SystemWords
// always gives a text: the OS's message in the user's language (the
// locale's on POSIX, the system's on Windows), or, when it has none GBK can
// hold, "系统错误代码" and the number.

#include <optional>
#include <string>
#include <system_error>

namespace kestrel {

std::error_code LastSystemError();

std::string SystemWords(const std::error_code& error);

// One file per platform: the words of an error of std::system_category(),
// as GBK; nullopt when there are none GBK can hold.
std::optional<std::string> SystemCategoryWords(int code);

}  // namespace kestrel
