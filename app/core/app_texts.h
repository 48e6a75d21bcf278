#pragma once
// The formatted texts of the front-end core, as GBK; the plain ones (the
// boxes' conventions, the dialogs' words, the reasons a request is
// rejected) are the table's (text/texts.h), included here for the core's
// callers.

#include <cstddef>
#include <string>
#include <string_view>

#include "text/texts.h"

namespace kestrel::texts {

// "文曲星文件名不能超过14字节（7个汉字），这样会有16字节"
std::string TooLongToType(std::string_view gbkBox, std::size_t bytes);
// "3个文件，第一个是a.txt": several files dropped at once
std::string SeveralFiles(std::size_t count, std::string_view gbkFirstName);
// "电脑上已有a.txt，要替换它吗？"
std::string ReplacePcFile(std::string_view gbkName);

// "电脑文件a/x.txt和b/x.txt会存为文曲星上的同一个文件：文本文件/x.txt"
std::string SameDevicePath(std::string_view gbkFirstPath, std::string_view gbkSecondPath,
                           std::string_view gbkDevicePath);

}  // namespace kestrel::texts
