#pragma once
// UTF-8 to GBK, so that expectations can be written as readable UTF-8 and
// compared with the GBK bytes the program produces.

#include <string>
#include <string_view>

namespace kestrel::test {

std::string Gbk(std::string_view utf8);  // fails the test on text GBK cannot hold

}  // namespace kestrel::test
