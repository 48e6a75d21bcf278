// GBK conversion through iconv; the user's text is UTF-8.

#include <iconv.h>

#include <cerrno>
#include <optional>
#include <string>
#include <string_view>

#include "app/platform/gbk_text.h"

namespace kestrel {
namespace {

class Converter {
  public:
    Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
    ~Converter() {
        if (Valid()) iconv_close(handle_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool Valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t Handle() const { return handle_; }

  private:
    iconv_t handle_;
};

constexpr std::size_t kIconvFailed = static_cast<std::size_t>(-1);

// Runs one conversion step into `out`, growing it while iconv asks for room.
// `in` is null for the final flush of a stateful encoding.
bool Step(iconv_t handle, char** in, std::size_t* inLeft, std::string& out, std::size_t& used) {
    for (;;) {
        char* outPtr = out.data() + used;
        std::size_t outLeft = out.size() - used;
        const std::size_t result = iconv(handle, in, inLeft, &outPtr, &outLeft);
        used = out.size() - outLeft;
        // A positive count means characters were replaced by a lookalike or
        // '?' (some iconv implementations do so silently): refuse those too.
        if (result != kIconvFailed) return result == 0;
        if (errno != E2BIG) return false;
        out.resize(out.size() * 2 + 16);
    }
}

std::optional<std::string> Convert(std::string_view text, const char* to, const char* from) {
    if (text.empty()) return std::string();
    const Converter converter(to, from);
    if (!converter.Valid()) return std::nullopt;

    std::string in(text);  // iconv wants a mutable input pointer
    char* inPtr = in.data();
    std::size_t inLeft = in.size();
    // Enough for either direction: GBK takes at most 2 bytes per character,
    // UTF-8 at most 3 for any character GBK holds.
    std::string out(text.size() * 2, '\0');
    std::size_t used = 0;
    if (!Step(converter.Handle(), &inPtr, &inLeft, out, used)) return std::nullopt;
    if (!Step(converter.Handle(), nullptr, nullptr, out, used)) return std::nullopt;
    out.resize(used);
    return out;
}

}  // namespace

std::optional<std::string> ToGbk(UserTextView text) {
    return Convert(text, "CP936", "UTF-8");
}

std::optional<UserText> FromGbk(std::string_view gbk) {
    return Convert(gbk, "UTF-8", "CP936");
}

std::optional<std::string> Utf8ToGbk(std::string_view utf8) {
    return ToGbk(utf8);
}

std::optional<std::string> GbkToUtf8(std::string_view gbk) {
    return FromGbk(gbk);
}

}  // namespace kestrel
