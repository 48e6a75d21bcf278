#include "tests/support/gbk.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace kestrel::test {
namespace {

#ifdef _WIN32
std::string Convert(std::string_view text, unsigned from, unsigned to) {
    if (text.empty()) return {};
    const int wideLength = MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, text.data(),
                                               static_cast<int>(text.size()), nullptr, 0);
    EXPECT_GT(wideLength, 0) << "not convertible: " << text;
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        wideLength);
    BOOL lossy = FALSE;
    const int length = WideCharToMultiByte(to, 0, wide.data(), wideLength, nullptr, 0, nullptr,
                                           to == CP_UTF8 ? nullptr : &lossy);
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(to, 0, wide.data(), wideLength, out.data(), length, nullptr, nullptr);
    EXPECT_FALSE(lossy) << "not convertible: " << text;
    return out;
}
std::string ToGbk(std::string_view utf8) {
    return Convert(utf8, CP_UTF8, 936);
}
std::string FromGbk(std::string_view gbk) {
    return Convert(gbk, 936, CP_UTF8);
}
#else
std::string Convert(std::string_view text, const char* from, const char* to) {
    iconv_t cd = iconv_open(to, from);
    EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1)) << "iconv cannot convert " << from << " to " << to;
    std::string in(text);
    std::string out(text.size() * 4 + 4, '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    std::size_t inLeft = in.size();
    std::size_t outLeft = out.size();
    const std::size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    EXPECT_NE(result, static_cast<std::size_t>(-1)) << "not convertible: " << text;
    out.resize(out.size() - outLeft);
    return out;
}
std::string ToGbk(std::string_view utf8) {
    return Convert(utf8, "UTF-8", "CP936");
}
std::string FromGbk(std::string_view gbk) {
    return Convert(gbk, "CP936", "UTF-8");
}
#endif

}  // namespace

std::string Gbk(std::string_view utf8) {
    return ToGbk(utf8);
}
std::string Utf8(std::string_view gbk) {
    return FromGbk(gbk);
}

}  // namespace kestrel::test
