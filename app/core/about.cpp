#include "app/core/about.h"

#include "app/core/version.h"

namespace kestrel {

std::string AboutText() {
    // 在电脑和文曲星之间传送文件 / 版本 / MIT许可证
    return std::string("KESTREL " KESTREL_VERSION_TEXT "\n") +
           "\xD4\xDA\xB5\xE7\xC4\xD4\xBA\xCD\xCE\xC4\xC7\xFA\xD0\xC7\xD6\xAE\xBC\xE4\xB4\xAB\xCB"
           "\xCD"
           "\xCE\xC4\xBC\xFE\n" +
           "MIT\xD0\xED\xBF\xC9\xD6\xA4";
}

}  // namespace kestrel
