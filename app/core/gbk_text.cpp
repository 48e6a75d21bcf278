#include "app/core/gbk_text.h"

#include "text/gbk.h"

namespace kestrel {

std::optional<std::string> ToGbk(UserTextView text) {
    return gbk::FromUserText(text);
}

std::optional<UserText> FromGbk(std::string_view gbk) {
    return gbk::ToUserText(gbk);
}

std::optional<std::string> Utf8ToGbk(std::string_view utf8) {
    return gbk::FromUtf8(utf8);
}

std::optional<std::string> GbkToUtf8(std::string_view gbk) {
    return gbk::ToUtf8(gbk);
}

}  // namespace kestrel
