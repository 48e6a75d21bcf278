// The GBK converter against the system's iconv (CP936): every single byte
// and every lead and trail pair one way, every character of the Basic
// Multilingual Plane the other.
#include <gtest/gtest.h>
#include <iconv.h>

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
    Iconv(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
    ~Iconv() { iconv_close(handle_); }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    // The whole text, or nullopt; a character iconv replaced counts as failed.
    std::optional<std::string> operator()(std::string text) {
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        std::string out(text.size() * 4, '\0');
        char* in = text.data();
        char* end = out.data();
        std::size_t inLeft = text.size(), outLeft = out.size();
        if (iconv(handle_, &in, &inLeft, &end, &outLeft) != 0) return std::nullopt;
        out.resize(out.size() - outLeft);
        return out;
    }

  private:
    iconv_t handle_;
};

TEST(Text, ConvertsEveryCodeAsIconv) {
    Iconv iconvToUtf8("UTF-8", "CP936"), iconvToGbk("CP936", "UTF-8");
    std::vector<unsigned> wrong;  // codes, then characters
    for (unsigned lead = 0; lead <= 0xFF; ++lead) {
        for (unsigned trail = 0; trail <= 0xFF; ++trail) {
            std::string code{static_cast<char>(lead), static_cast<char>(trail)};
            if (lead < 0x81) code.resize(1);
            if (gbk::ToUtf8(code) != iconvToUtf8(code)) wrong.push_back(lead << 8U | trail);
            if (lead < 0x81) break;
        }
    }
    for (unsigned code = 0; code <= 0xFFFF; ++code) {
        const auto unit = static_cast<char16_t>(code);
        char buffer[3];
        const std::string utf8(buffer, utf8::Write(buffer, unit));
        const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
        // Only what comes back as it was: a one-way mapping would change the text.
        std::optional<std::string> expected = surrogate ? std::nullopt : iconvToGbk(utf8);
        if (expected && iconvToUtf8(*expected) != utf8) expected.reset();
        if ((!surrogate && gbk::FromUtf8(utf8) != expected) ||
            gbk::FromUtf16(std::u16string(1, unit)) != expected ||
            (expected && gbk::ToUtf16(*expected) != std::u16string(1, unit))) {
            wrong.push_back(code);
        }
    }
    EXPECT_TRUE(wrong.empty()) << wrong.size() << " disagree, the first " << std::hex << wrong[0];
}

}  // namespace
}  // namespace kestrel::test
