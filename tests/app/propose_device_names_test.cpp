#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <variant>

#include "app/device_naming.h"
#include "tests/app/user_text.h"
#include "tests/support/gbk.h"

namespace kestrel {
namespace {

using test::Gbk;
using test::User;

std::filesystem::path Path(std::string_view utf8) {
    return std::filesystem::path(User(utf8));
}

ProposedNames Propose(std::string_view utf8Path) {
    auto result = ProposeDeviceNames(Path(utf8Path));
    if (const Refusal* refusal = std::get_if<Refusal>(&result)) {
        ADD_FAILURE() << utf8Path << " refused: " << test::Utf8(RefusalText(*refusal));
        return {};
    }
    return std::get<ProposedNames>(std::move(result));
}

TEST(ProposeDeviceNames, LowerCasesTheExtensionInPathAndName) {
    const ProposedNames photo = Propose("/home/user/pics/PHOTO.BMP");
    EXPECT_EQ(photo.pcPath, Path("/home/user/pics/PHOTO.bmp"));
    EXPECT_EQ(photo.deviceName, "PHOTO.bmp");
    EXPECT_EQ(photo.deviceDirectory, Gbk("我的图片"));

    const ProposedNames data = Propose("DATA.Dat");
    EXPECT_EQ(data.pcPath, Path("DATA.dat"));
    EXPECT_EQ(data.deviceName, "DATA.dat");
    EXPECT_EQ(data.deviceDirectory, "LavaData");
}

TEST(ProposeDeviceNames, LeavesTheFoldersAlone) {
    const ProposedNames plain = Propose("/data/My.DIR/README");
    EXPECT_EQ(plain.pcPath, Path("/data/My.DIR/README"));
    EXPECT_EQ(plain.deviceName, "README");
    EXPECT_EQ(plain.deviceDirectory, Gbk("移动硬盘"));
}

TEST(ProposeDeviceNames, APackageGoesToItsOwnEntriesUnderItsFixedName) {
    for (const char* picked : {"/tmp/archive.pac", "/tmp/a-rather-long-archive-name.PAC"}) {
        const ProposedNames package = Propose(picked);
        EXPECT_EQ(package.deviceName, Gbk("下载包")) << picked;
        EXPECT_EQ(package.deviceDirectory, "*") << picked;
    }
}

TEST(ProposeDeviceNames, ShortensTheNameAfterLowerCasing) {
    const ProposedNames chinese = Propose("/tmp/一二三四五六七八.TXT");
    EXPECT_EQ(chinese.pcPath, Path("/tmp/一二三四五六七八.txt"));
    EXPECT_EQ(chinese.deviceName, Gbk("一二三四五.txt"));
    EXPECT_EQ(chinese.deviceDirectory, Gbk("文本文件"));

    const ProposedNames dotted = Propose("/tmp/abcdefghijklmn.");
    EXPECT_EQ(dotted.deviceName, "abcdefghij.");
    EXPECT_EQ(dotted.deviceDirectory, Gbk("移动硬盘"));
}

TEST(ProposeDeviceNames, RefusesANameGbkCannotHoldButNotSuchAFolder) {
    EXPECT_EQ(std::get<Refusal>(ProposeDeviceNames(Path("/tmp/😀.txt"))), Refusal::pcFileNameNotGbk);
    const ProposedNames inFolder = Propose("/tmp/😀/note.txt");
    EXPECT_EQ(inFolder.deviceName, "note.txt");
}

TEST(ProposeDeviceNames, RefusesAPathThatNamesNoFile) {
    EXPECT_EQ(std::get<Refusal>(ProposeDeviceNames(Path(""))), Refusal::noPcFile);
    EXPECT_EQ(std::get<Refusal>(ProposeDeviceNames(Path("/tmp/"))), Refusal::noPcFile);
    EXPECT_EQ(std::get<Refusal>(ProposeDeviceNames(Path("/tmp/.."))), Refusal::noPcFile);
}

}  // namespace
}  // namespace kestrel
