// What Browse and a dropped file put in the three boxes, including files
// whose names GBK cannot hold, which must still be sendable.

#include "app/win32/picked_file.h"

#include <gtest/gtest.h>

#include "tests/app/user_text.h"

namespace kestrel {
namespace {

using test::User;

BoxTexts Picked(const std::wstring& path) {
    const std::optional<BoxTexts> boxes = BoxesForPickedFile(path);
    EXPECT_TRUE(boxes.has_value()) << "nothing proposed";
    return boxes.value_or(BoxTexts{});
}

TEST(BoxesForPickedFile, LowerCasesTheExtensionAndProposesByIt) {
    const BoxTexts boxes = Picked(L"C:\\pictures\\PHOTO.BMP");
    EXPECT_EQ(boxes.pcPath, L"C:\\pictures\\PHOTO.bmp");
    EXPECT_EQ(boxes.deviceName, L"PHOTO.bmp");
    EXPECT_EQ(boxes.deviceDirectory, User("我的图片"));
}

TEST(BoxesForPickedFile, MarksAPackage) {
    const BoxTexts boxes = Picked(L"C:\\games\\archive.PAC");
    EXPECT_EQ(boxes.deviceName, User("下载包"));
    EXPECT_EQ(boxes.deviceDirectory, L"*");
}

TEST(BoxesForPickedFile, TakesAPathGbkCannotHoldAndLeavesTheNameToTheUser) {
    // A folder in Hangul and a name with a smiling face: neither is GBK, and
    // neither is in the system's code page on most machines.
    const std::wstring folder = L"C:\\\xD55C\xAE00\\";
    const BoxTexts boxes = Picked(folder + L"note\xD83D\xDE00.TXT");
    EXPECT_EQ(boxes.pcPath, folder + L"note\xD83D\xDE00.txt");
    EXPECT_EQ(boxes.deviceName, L"");
    EXPECT_EQ(boxes.deviceDirectory, User("文本文件"));
}

TEST(BoxesForPickedFile, StillProposesAPackageWhoseNameGbkCannotHold) {
    const BoxTexts boxes = Picked(L"C:\\\xD83D\xDE00.pac");
    EXPECT_EQ(boxes.deviceName, User("下载包"));
    EXPECT_EQ(boxes.deviceDirectory, L"*");
}

TEST(BoxesForPickedFile, GivesTheCatchAllDirectoryWhenTheExtensionIsNotGbk) {
    EXPECT_EQ(Picked(L"C:\\x.\xD83D\xDE00").deviceDirectory, User("移动硬盘"));
    EXPECT_EQ(Picked(L"C:\\\x0E01\x0E02").deviceDirectory, User("移动硬盘"));
}

TEST(BoxesForPickedFile, ProposesNothingForAPathWithoutAFile) {
    EXPECT_FALSE(BoxesForPickedFile(L"C:\\folder\\").has_value());
    EXPECT_FALSE(BoxesForPickedFile(L"").has_value());
}

}  // namespace
}  // namespace kestrel
