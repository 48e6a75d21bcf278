#include "app/app_texts.h"

#include <gtest/gtest.h>

#include <set>
#include <string_view>

#include "app/refusal.h"
#include "tests/support/gbk.h"

namespace kestrel {
namespace {

// The directory names are checked row by row in directory_by_extension_test.
TEST(AppTexts, RefusalsAreTheGbkBytesOfTheirTexts) {
    EXPECT_EQ(texts::kNoPcFile, test::Gbk("没有选择电脑文件"));
    EXPECT_EQ(texts::kPcFileNameNotGbk, test::Gbk("电脑文件名含有无法转换的字符"));
    EXPECT_EQ(texts::kEmptyPcPath, test::Gbk("电脑文件不能为空"));
    EXPECT_EQ(texts::kEmptyDeviceName, test::Gbk("文曲星文件名不能为空"));
    EXPECT_EQ(texts::kEmptyDeviceDirectory, test::Gbk("文曲星目录不能为空"));
    EXPECT_EQ(texts::kSpaceInDeviceName, test::Gbk("文曲星文件名不能有空格"));
    EXPECT_EQ(texts::kSpaceInDeviceDirectory, test::Gbk("文曲星目录不能有空格"));
    EXPECT_EQ(texts::kDeviceNameTooLong, test::Gbk("文曲星文件名超过14字节"));
    EXPECT_EQ(texts::kDeviceDirectoryTooLong, test::Gbk("文曲星目录超过14字节"));
    EXPECT_EQ(texts::kDeviceNameNotGbk, test::Gbk("文曲星文件名含有无法转换的字符"));
    EXPECT_EQ(texts::kDeviceDirectoryNotGbk, test::Gbk("文曲星目录含有无法转换的字符"));
}

TEST(AppTexts, EveryRefusalHasATextOfItsOwn) {
    constexpr Refusal kAll[] = {
        Refusal::noPcFile,
        Refusal::pcFileNameNotGbk,
        Refusal::emptyPcPath,
        Refusal::emptyDeviceName,
        Refusal::emptyDeviceDirectory,
        Refusal::spaceInDeviceName,
        Refusal::spaceInDeviceDirectory,
        Refusal::deviceNameTooLong,
        Refusal::deviceDirectoryTooLong,
        Refusal::deviceNameNotGbk,
        Refusal::deviceDirectoryNotGbk,
    };
    std::set<std::string_view> seen;
    for (const Refusal refusal : kAll) {
        const std::string_view text = RefusalText(refusal);
        EXPECT_FALSE(text.empty());
        EXPECT_TRUE(seen.insert(text).second) << test::Utf8(text) << " is shared";
    }
    EXPECT_EQ(RefusalText(Refusal::spaceInDeviceName), texts::kSpaceInDeviceName);
}

}  // namespace
}  // namespace kestrel
