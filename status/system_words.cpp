#include "status/system_words.h"

#include "text/gbk.h"
#include "text/texts.h"

namespace kestrel {

std::string SystemWords(const std::error_code& error) {
    // Every other category (std::errc, a library's own) speaks UTF-8 or ASCII.
    std::optional<std::string> words = error.category() == std::system_category()
                                           ? SystemCategoryWords(error.value())
                                           : gbk::FromUtf8(error.message());
    if (words && !words->empty()) return *std::move(words);
    return std::string(texts::kSystemErrorNumber) + ' ' + std::to_string(error.value());
}

}  // namespace kestrel
