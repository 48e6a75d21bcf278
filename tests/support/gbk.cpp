#include "tests/support/gbk.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace kestrel::test {

#ifdef _WIN32
std::string Gbk(std::string_view utf8) {
    const int size = static_cast<int>(utf8.size());
    std::wstring wide(utf8.size(), L'\0');
    wide.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, wide.data(), size)));
    std::string out(wide.size() * 2, '\0');
    BOOL lossy = FALSE;
    out.resize(static_cast<std::size_t>(
        WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), out.data(),
                            static_cast<int>(out.size()), nullptr, &lossy)));
    EXPECT_FALSE(lossy) << "not GBK: " << utf8;
    return out;
}
#else
std::string Gbk(std::string_view utf8) {
    iconv_t cd = iconv_open("CP936", "UTF-8");
    std::string in(utf8), out(utf8.size() * 2, '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    std::size_t inLeft = in.size(), outLeft = out.size();
    EXPECT_NE(iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft), static_cast<std::size_t>(-1))
        << "not GBK: " << utf8;
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return out;
}
#endif

}  // namespace kestrel::test
