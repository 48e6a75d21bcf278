#include "app/core/app_texts.h"

namespace kestrel::texts {

std::string TooLongToType(std::string_view gbkBox, std::size_t bytes) {
    // 不能超过14字节（7个汉字），这样会有 ... 字节
    return std::string(gbkBox) +
           "\xB2\xBB\xC4\xDC\xB3\xAC\xB9\xFD"
           "14\xD7\xD6\xBD\xDA\xA3\xA8"
           "7\xB8\xF6\xBA\xBA\xD7\xD6\xA3\xA9\xA3\xAC\xD5\xE2\xD1\xF9\xBB\xE1\xD3\xD0" +
           std::to_string(bytes) + "\xD7\xD6\xBD\xDA";
}

std::string SeveralFiles(std::size_t count, std::string_view gbkFirstName) {
    // ...个文件，第一个是...
    return std::to_string(count) +
           "\xB8\xF6\xCE\xC4\xBC\xFE\xA3\xAC\xB5\xDA\xD2\xBB\xB8\xF6\xCA\xC7" +
           std::string(gbkFirstName);
}

std::string ReplacePcFile(std::string_view gbkName) {
    // 电脑上已有...，要替换它吗？
    return "\xB5\xE7\xC4\xD4\xC9\xCF\xD2\xD1\xD3\xD0" + std::string(gbkName) +
           "\xA3\xAC\xD2\xAA\xCC\xE6\xBB\xBB\xCB\xFC\xC2\xF0\xA3\xBF";
}

}  // namespace kestrel::texts
