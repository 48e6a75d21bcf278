#pragma once
// GBK <-> UTF-8, so expectations can be written as readable UTF-8 and compared
// with the GBK bytes the program produces.

#include <string>
#include <string_view>

namespace kestrel::test {

std::string Gbk(std::string_view utf8);  // fails the test on text GBK cannot hold
std::string Utf8(std::string_view gbk);  // fails the test on bytes that are not GBK

}  // namespace kestrel::test
