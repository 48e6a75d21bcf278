// POSIX: the error is errno, its words strerror's in the locale's language,
// UTF-8 under the usual locales.

#include <cerrno>

#include "status/system_words.h"
#include "text/gbk.h"

namespace kestrel {

std::error_code LastSystemError() {
    return {errno, std::system_category()};
}

std::optional<std::string> SystemCategoryWords(int code) {
    return gbk::FromUtf8(std::system_category().message(code));
}

}  // namespace kestrel
