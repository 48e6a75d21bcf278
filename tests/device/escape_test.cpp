// Whatever the PC names, the handheld reads and writes inside its own folder.
#include <gtest/gtest.h>

#include <set>

#include "tests/device/handheld_rig.h"

namespace kestrel::test {
namespace {

namespace fs = std::filesystem;

std::set<fs::path> Everything(const fs::path& folder) {
    std::set<fs::path> found;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) found.insert(entry.path());
    return found;
}

TEST(HandheldEscapes, RefusesEveryPathThatCouldLeaveItsFolder) {
    HandheldRig rig;
    WriteFileText(rig.Scratch() / "secret", "s");
    rig.ServeOneSession();
    auto& pc = rig.Pc();
    ASSERT_TRUE(pc.Open());
    const std::vector<std::string> directories = {"..",           ".",
                                                  "a/..",         "../x",
                                                  "a/../../x",    "/etc",
                                                  "a//b",         "a/",
                                                  "a\\..\\..\\x", "..\\x",
                                                  "C:",           "C:/x",
                                                  "C:\\x",        std::string("a\0b", 3),
                                                  "x/.. ",        "x/."};
    for (const auto& directory : directories) {
        EXPECT_EQ(pc.Packet(0x02, DirectoryPayload(directory)), 0x58) << directory;
    }
    ASSERT_EQ(pc.Packet(0x02, DirectoryPayload("")), 0x4F);
    const std::vector<std::string> names = {"",          ".",  "..",  "a/b",
                                            "../secret", "/x", "\\x", "..\\secret",
                                            "C:x",       "x.", ".. ", std::string("a\0b", 3)};
    for (const auto& name : names) {
        EXPECT_EQ(pc.Packet(0x03, NewFilePayload(name)), 0x58) << name;
        EXPECT_EQ(pc.Packet(0x07, OpenFilePayload("", name)), 0x58) << name;
    }
    ASSERT_TRUE(pc.Close());
    EXPECT_EQ(Everything(rig.Scratch()),
              (std::set<fs::path>{rig.Root(), rig.Scratch() / "secret"}));
}

TEST(HandheldEscapes, NeverFollowsALinkOutOfItsFolder) {
    HandheldRig rig;
    const fs::path outside = rig.Scratch() / "outside";
    fs::create_directory(outside);
    WriteFileText(outside / "secret", "s");
    std::error_code error;
    fs::create_directory_symlink(outside, rig.Root() / "link", error);
    if (error) GTEST_SKIP() << "cannot make links here: " << error.message();
    fs::create_symlink(outside / "secret", rig.Root() / "secret.lnk");
    fs::create_symlink(outside / "new", rig.Root() / "dangling");
    fs::create_directory(rig.Root() / "real");
    fs::create_directory_symlink(outside, rig.Root() / "real" / "deeper");

    rig.ServeOneSession();
    auto& pc = rig.Pc();
    ASSERT_TRUE(pc.Open());
    for (const char* directory : {"link", "link/sub", "real/deeper", "real/deeper/x"}) {
        EXPECT_EQ(pc.Packet(0x02, DirectoryPayload(directory)), 0x58) << directory;
    }
    ASSERT_EQ(pc.Packet(0x02, DirectoryPayload("")), 0x4F);
    for (const char* name : {"secret.lnk", "dangling", "link"}) {
        EXPECT_EQ(pc.Packet(0x03, NewFilePayload(name)), 0x58) << name;
        EXPECT_EQ(pc.Packet(0x07, OpenFilePayload("", name)), 0x58) << name;
    }
    ASSERT_EQ(pc.Packet(0x02, DirectoryPayload("real")), 0x4F);
    EXPECT_EQ(pc.Packet(0x03, NewFilePayload("deeper")), 0x58);
    ASSERT_TRUE(pc.Close());

    EXPECT_EQ(Everything(outside), std::set<fs::path>{outside / "secret"});
    EXPECT_EQ(ReadFileBytes(outside / "secret"), Bytes{'s'});
}

TEST(HandheldEscapes, RewritingAHardLinkedFileLeavesTheOtherNameAlone) {
    HandheldRig rig;
    WriteFileText(rig.Scratch() / "secret", "s");
    std::error_code error;
    fs::create_hard_link(rig.Scratch() / "secret", rig.Root() / "hard", error);
    if (error) GTEST_SKIP() << "cannot make hard links here: " << error.message();
    rig.ServeOneSession();
    ASSERT_TRUE(rig.Pc().Open() && rig.Pc().SendFile("", "hard", {'n'}) && rig.Pc().Close());
    EXPECT_EQ(ReadFileBytes(rig.Root() / "hard"), Bytes{'n'});
    EXPECT_EQ(ReadFileBytes(rig.Scratch() / "secret"), Bytes{'s'});
}

}  // namespace
}  // namespace kestrel::test
