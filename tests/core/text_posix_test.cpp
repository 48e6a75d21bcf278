// The GBK converter against the system's iconv (CP936), over every single
// byte and every lead and trail pair one way, every character of the Basic
// Multilingual Plane the other.
#include <gtest/gtest.h>
#include <iconv.h>

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/gbk.h"
#include "text/utf8.h"

namespace kestrel::test {
namespace {

class Iconv {
  public:
    Iconv(const char* to, const char* from) : handle_(iconv_open(to, from)) {
        EXPECT_NE(handle_, reinterpret_cast<iconv_t>(-1));
    }
    ~Iconv() { iconv_close(handle_); }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    // The whole text, or nullopt; a character iconv replaced counts as failed.
    std::optional<std::string> operator()(std::string_view text) {
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        std::string in(text), out(text.size() * 4 + 4, '\0');
        char* inPtr = in.data();
        char* outPtr = out.data();
        std::size_t inLeft = in.size(), outLeft = out.size();
        if (iconv(handle_, &inPtr, &inLeft, &outPtr, &outLeft) != 0) return std::nullopt;
        out.resize(out.size() - outLeft);
        return out;
    }

  private:
    iconv_t handle_;
};

// Collects the first few disagreements, so a broken table reports briefly.
struct Disagreements {
    void Add(unsigned code) {
        if (count++ < 8) {
            char text[16];
            std::snprintf(text, sizeof text, " %04X", code);
            first += text;
        }
    }
    int count = 0;
    std::string first;
};

TEST(Text, DecodesEveryCodeAsIconv) {
    Iconv iconvToUtf8("UTF-8", "CP936");
    Disagreements wrong;
    for (unsigned lead = 0; lead <= 0xFF; ++lead) {
        const std::string single(1, static_cast<char>(lead));
        if (gbk::ToUtf8(single) != iconvToUtf8(single)) wrong.Add(lead);
        if (lead < 0x81) continue;
        for (unsigned trail = 0; trail <= 0xFF; ++trail) {
            const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
            if (gbk::ToUtf8(pair) != iconvToUtf8(pair)) wrong.Add(lead << 8U | trail);
        }
    }
    EXPECT_EQ(wrong.count, 0) << "first codes:" << wrong.first;
}

TEST(Text, EncodesEveryCharacterAsIconv) {
    Iconv iconvToGbk("CP936", "UTF-8"), iconvToUtf8("UTF-8", "CP936");
    Disagreements wrong;
    for (unsigned code = 0; code <= 0xFFFF; ++code) {
        const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
        std::optional<std::string> expected;
        if (!surrogate) {
            char buffer[3];
            const std::string utf8(buffer, utf8::Write(buffer, static_cast<char16_t>(code)));
            // Only what comes back as it was: a one-way mapping would change the text.
            expected = iconvToGbk(utf8);
            if (expected && iconvToUtf8(*expected) != utf8) expected.reset();
            if (gbk::FromUtf8(utf8) != expected) wrong.Add(code);
        }
        const std::u16string utf16(1, static_cast<char16_t>(code));
        if (gbk::FromUtf16(utf16) != expected) wrong.Add(code);
        if (expected && gbk::ToUtf16(*expected) != utf16) wrong.Add(code);
    }
    EXPECT_EQ(wrong.count, 0) << "first characters:" << wrong.first;
}

}  // namespace
}  // namespace kestrel::test
