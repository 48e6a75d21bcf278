// Every status text of the layer is the GBK form of the Chinese text it is
// meant to show.
#include "formats/format_texts.h"

#include <gtest/gtest.h>

#include "tests/support/gbk.h"

namespace kestrel::test {
namespace {

TEST(FormatTextsTest, LiteralsAreTheGbkOfTheirTexts) {
    const std::pair<std::string_view, const char*> cases[] = {
        {texts::kUploadNotSupported, "该文件类型不支持上传!"},
        {texts::kCannotOpenFile, "无法打开文件"},
        {texts::kCannotReadFile, "读取文件时出错"},
        {texts::kFileTooLarge, "文件太大"},
        {texts::kNoMemory, "内存不足"},
        {texts::kEmptyText, "文本文件为空"},
        {texts::kNoTextBody, "文件中没有文本内容"},
        {texts::kNoTempDirectory, "无法使用临时目录"},
        {texts::kTempDirectoryUnsafe, "临时目录不安全"},
        {texts::kCannotWriteTempFile, "写入临时文件时出错"},
        {texts::kTempFileInUse, "临时文件正被另一个传输使用"},
        {texts::kBadKeyLength, "应用程序文件的密钥长度错误"},
        {texts::kTruncatedImage, "应用程序文件不完整"},
        {texts::kNoTablePrefix, "没有可用的解码表文件 "},
        {texts::kReceivedTextTooShort, "收到的文本文件不完整"},
        {texts::kCannotReadReceived, "无法读取收到的文件"},
        {texts::kCannotWriteFile, "无法写入文件"},
    };
    for (const auto& [gbk, utf8] : cases) {
        EXPECT_EQ(gbk, Gbk(utf8)) << utf8;
    }
}

}  // namespace
}  // namespace kestrel::test
