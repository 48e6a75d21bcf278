#include <gtest/gtest.h>

#include <string>

#include "app/device_naming.h"
#include "tests/support/gbk.h"

namespace kestrel {
namespace {

using test::Gbk;

TEST(DirectoryByExtension, EveryRowOfTheTable) {
    const struct {
        const char* extension;
        const char* directory;
    } rows[] = {
        {"ski", "开机画面"}, {"flm", "开机画面"},  {"b16", "开机画面"}, {"gbk", "开机画面"},
        {"bmp", "我的图片"}, {"bas", "BASIC文件"}, {"dat", "LavaData"}, {"sav", "LavaData"},
        {"txt", "文本文件"}, {"gtx", "文本文件"},  {"bin", "应用程序"}, {"lav", "LAVA"},
        {"wav", "音乐之声"}, {"pac", "*"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(DirectoryByExtension(row.extension), Gbk(row.directory)) << row.extension;
    }
}

TEST(DirectoryByExtension, AnythingElseGoesToTheRemovableDisk) {
    const std::string removable = Gbk("移动硬盘");
    EXPECT_EQ(DirectoryByExtension(""), removable);
    EXPECT_EQ(DirectoryByExtension("zip"), removable);
    EXPECT_EQ(DirectoryByExtension("TXT"), removable);  // callers lower-case first
    EXPECT_EQ(DirectoryByExtension("tx"), removable);
    EXPECT_EQ(DirectoryByExtension("txtx"), removable);
    EXPECT_EQ(DirectoryByExtension(std::string("txt\0", 4)), removable);
}

TEST(LowerCaseExtension, LeavesTwoByteCharactersWholeEvenWithALetterTrail) {
    // 丟 is 0x81 'G': lowering its trail would turn it into another character.
    std::string name = Gbk("X.丟DAT文");
    LowerCaseExtension(name, 2);
    EXPECT_EQ(name, Gbk("X.丟dat文"));
}

}  // namespace
}  // namespace kestrel
