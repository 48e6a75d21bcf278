// POSIX only: names near the length limit, symbolic and hard links, file
// rights and the private folder of the scratch files.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <csignal>
#include <functional>

#include "formats/scratch_folder_posix.h"
#include "formats/whole_file.h"
#include "handheld/device_session.h"
#include "tests/support/handheld_rig.h"
#include "text/texts.h"

namespace kestrel::test {
namespace {

namespace fs = std::filesystem;
using fs::perms;

perms Rights(const fs::path& path) {
    return fs::status(path).permissions() & perms::mask;
}

TEST(FilesPosix, PartialPathWithinTheNameLimitAndThroughALink) {
    ScratchDir dir;
    const std::string e = "\xC3\xA9";  // é, two bytes
    const std::string name253 = std::string(249, 'a') + e + e;
    fs::create_directories(dir / "real");
    WriteFileText(dir / "real" / "t.dat", "t");
    fs::create_symlink(dir / "real" / "t.dat", dir / "link");
    EXPECT_EQ(PartialPath(dir / name253), dir / (std::string(249, 'a') + ".part"));
    EXPECT_EQ(PartialPath(dir / (std::string(248, 'a') + e)),
              dir / (std::string(248, 'a') + e + ".part"));
    EXPECT_EQ(PartialPath(dir / "link"), dir / "real" / "t.dat.part");
    EXPECT_EQ(PartialPath(dir / "a.dat"), dir / "a.dat.part");
}

TEST(FilesPosix, WholeFilesKeepRightsAndWriteThroughLinks) {
    ScratchDir dir;
    WriteFileText(dir / "plain", "old");
    fs::permissions(dir / "plain", perms::owner_read | perms::owner_write | perms::group_read);
    WriteFileText(dir / "target", "old");
    fs::permissions(dir / "target", perms::owner_read | perms::owner_write);
    fs::create_symlink(dir / "target", dir / "link");
    for (const char* name : {"plain", "link", "new"}) {
        EXPECT_TRUE(ReplaceFileWhole(dir / name, FromText(name)).IsOk()) << name;
    }
    // A failed replace (a folder cannot be replaced by a file) leaves no sibling behind.
    fs::create_directory(dir / "folder");
    EXPECT_EQ(ReplaceFileWhole(dir / "folder", FromText("x")).Subject(), "folder");
    // A device stays one (where this user may make one): renamed over, it would be gone.
    if (::mknod((dir / "device").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
        EXPECT_FALSE(ReplaceFileWhole(dir / "device", FromText("x")).IsOk());
        EXPECT_TRUE(fs::is_character_file(dir / "device"));
        fs::remove(dir / "device");
    }
    WriteFileText(dir / "made", "");  // as any program makes a file
    EXPECT_EQ(Rights(dir / "new"), Rights(dir / "made"));
    EXPECT_EQ(ReadFileBytes(dir / "plain"), FromText("plain"));
    EXPECT_EQ(Rights(dir / "plain"), perms::owner_read | perms::owner_write | perms::group_read);
    EXPECT_TRUE(fs::is_symlink(dir / "link"));
    EXPECT_EQ(ReadFileBytes(dir / "target"), FromText("link"));
    EXPECT_EQ(Rights(dir / "target"), perms::owner_read | perms::owner_write);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 6)
        << "a sibling was left";
}

uid_t OwnerOf(const fs::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_uid : ~uid_t{0};
}

// A receive writes FILE as a write to it would, and FILE.part is made new:
// "kept" is never touched.
TEST(FilesPosix, AReceiveIsAWriteToItsFile) {
    const perms readable = perms::owner_read | perms::owner_write | perms::others_read;
    const bool root = ::geteuid() == 0;  // who may give a file to another owner
    constexpr uid_t kNobody = 65534;     // whom, unlike root, a file's rights stop
    using Dir = const fs::path&;
    const struct {
        const char* name;
        std::function<void(Dir)> before;
        const char* written = "FILE";  // where "new" lands; null: the run fails, FILE as it was
        std::function<void(Dir)> check = {};
        std::string_view said = texts::kCannotWriteFile;  // when it fails
    } rows[] = {
        {"through a link, keeping the target's rights and owner",
         [&](Dir dir) {
             WriteFileText(dir / "target", "old");
             fs::permissions(dir / "target", readable);
             EXPECT_TRUE(!root || ::chown((dir / "target").c_str(), 1, 1) == 0);
             fs::create_symlink(dir / "target", dir / "FILE");
         },
         "target",
         [&](Dir dir) {
             EXPECT_EQ(Rights(dir / "target"), readable);
             EXPECT_EQ(OwnerOf(dir / "target"), root ? 1U : ::geteuid());
         }},
        {"a link to a link to nothing, both relative: the target is made",
         [](Dir dir) {
             fs::create_symlink("target", dir / "hop");
             fs::create_symlink("hop", dir / "FILE");
         },
         "target", [](Dir dir) { EXPECT_TRUE(fs::is_symlink(dir / "FILE")); }},
        {"a FILE.part that links elsewhere",
         [](Dir dir) { fs::create_symlink(dir / "kept", dir / "FILE.part"); }},
        {"a FILE.part that is another name of a file",
         [](Dir dir) { fs::create_hard_link(dir / "kept", dir / "FILE.part"); }},
        {"a read-only FILE is refused with the OS's reason",
         [&](Dir dir) {
             WriteFileText(dir / "FILE", "old");
             fs::permissions(dir / "FILE", perms::owner_read);
             for (const fs::path& made : {dir, dir / "FILE"}) {
                 EXPECT_TRUE(!root || ::chown(made.c_str(), kNobody, 0) == 0);
             }
         },
         nullptr},
        {"a FIFO in FILE's place is refused unopened, and stays",
         [](Dir dir) { ASSERT_EQ(::mkfifo((dir / "FILE").c_str(), 0600), 0); }, nullptr,
         [](Dir dir) { EXPECT_TRUE(fs::is_fifo(dir / "FILE")); }, texts::kPcFileNotRegular},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ScriptedLine line;
        WriteFileText(line.dir / "kept", "kept");
        row.before(line.dir.Path());
        line.Handheld(Concat({Greeting(), Accept(), Accept(), Accept(), Accept(),
                              DataPacket(FromText("new")), Hex("05 05 04")}));
        const TransferRequest request = OneFile(TransferKind::receive, line.dir / "FILE", "D", "a");
        const bool asNobody = root && row.written == nullptr;
        ASSERT_TRUE(!asNobody || ::seteuid(kNobody) == 0);
        const Result end = line.Run(request);
        ASSERT_TRUE(!asNobody || ::seteuid(0) == 0);
        EXPECT_EQ(ReadFileBytes(line.dir / "kept"), FromText("kept"));
        if (row.written == nullptr) {
            // The OS's reason follows the name, where the OS gave one.
            const std::string said =
                std::string(row.said) + " FILE" +
                std::string(row.said == texts::kCannotWriteFile ? texts::kNameSeparator : "");
            EXPECT_TRUE(end.Reason().starts_with(said) &&
                        (end.Reason().size() > said.size() || row.said != texts::kCannotWriteFile))
                << end.Reason();
            if (fs::is_regular_file(line.dir / "FILE")) {
                EXPECT_EQ(ReadFileBytes(line.dir / "FILE"), FromText("old"));
            }
            EXPECT_FALSE(fs::exists(line.dir / "FILE.part")) << "refused before the handheld";
        } else {
            EXPECT_TRUE(end.IsOk()) << end.Reason();
            EXPECT_EQ(ReadFileBytes(line.dir / row.written), FromText("new"));
        }
        if (row.check) row.check(line.dir.Path());
    }
}

TEST(FilesPosix, PrivateScratchFolder) {
    ScratchDir dir;
    fs::create_directories(dir / "open");
    fs::permissions(dir / "open",
                    perms::owner_all | perms::group_write | perms::group_read | perms::group_exec);
    fs::create_directories(dir / "private");
    fs::permissions(dir / "private", perms::owner_all);
    fs::create_directory_symlink(dir / "private", dir / "link");
    const struct {
        const char* folder;
        std::string_view failure;
    } rows[] = {{"new", ""},
                {"private", ""},
                {"open", texts::kTempDirectoryUnsafe},
                {"link", texts::kTempDirectoryUnsafe}};
    for (const auto& row : rows) {
        EXPECT_EQ(EnsurePrivateFolder(dir / row.folder).Action(), row.failure) << row.folder;
    }
    EXPECT_EQ(Rights(dir / "new"), perms::owner_all);
    // Without a private runtime folder, one per user under TMPDIR (if absolute) or /tmp.
    const std::string perUser = "kestrel-" + std::to_string(::geteuid());
    EXPECT_EQ(ChoosePrivateFolder((dir / "private").c_str(), "/t"), dir / "private" / "kestrel");
    EXPECT_EQ(ChoosePrivateFolder((dir / "open").c_str(), "/t"), fs::path("/t") / perUser);
    EXPECT_EQ(ChoosePrivateFolder(nullptr, "t"), fs::path("/tmp") / perUser);
}

TEST(FilesPosix, TheHandheldNeverFollowsLinksOutOfItsFolder) {
    ScratchDir dir;
    fs::create_directories(dir / "outside");
    WriteFileText(dir / "outside" / "secret", "secret");
    fs::create_directories(dir / "root");
    fs::create_directory_symlink(dir / "outside", dir / "root" / "out");
    fs::create_symlink(dir / "outside" / "secret", dir / "root" / "soft");
    fs::create_hard_link(dir / "outside" / "secret", dir / "root" / "hard");
    DeviceFiles files = Must(DeviceFiles::Open(dir / "root", KeepBytes));
    DeviceSession session(files);
    const Bytes start(100, 0x20);
    auto handle = [&session](std::uint8_t type, const Bytes& payload) {
        return session.Handle({type, payload}).accepted;
    };
    auto text = [](std::string_view lead, std::string_view name) {
        return Concat({FromText(lead), FromText(name), {0}});
    };
    EXPECT_TRUE(handle(1, start));
    EXPECT_FALSE(handle(2, text("/", "out")));
    EXPECT_FALSE(handle(2, text("/", "out/x")));
    EXPECT_TRUE(handle(2, text("/", "")));
    EXPECT_FALSE(handle(7, Concat({Hex("2F 00"), text("", "soft")})));
    EXPECT_FALSE(handle(3, text("\xEF\xEF", "soft")));
    EXPECT_TRUE(handle(3, text("\xEF\xEF", "hard")));  // a new file, no longer the outside one
    EXPECT_TRUE(handle(4, FromText("overwritten")));
    EXPECT_TRUE(handle(5, {}));
    EXPECT_EQ(ReadFileBytes(dir / "outside" / "secret"), FromText("secret"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "outside"), fs::directory_iterator()), 1);
    // A disk that takes no more: the bytes and the end of the file are refused, the old file kept.
    rlimit was{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &was), 0);
    const rlimit full{4, was.rlim_max};
    ::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &full), 0);
    const bool newFile = handle(3, text("\xEF\xEF", "hard"));
    const bool data = handle(4, FromText("too long"));
    const bool endOfFile = handle(5, {});
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &was), 0);
    EXPECT_TRUE(newFile && !data && !endOfFile);
    EXPECT_FALSE(handle(1, start));  // the lost file is said again to a PC that skipped it
    EXPECT_TRUE(handle(1, start));
    EXPECT_EQ(ReadFileBytes(dir / "root" / "hard"), FromText("overwritten"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "root"), fs::directory_iterator()), 3);
}

}  // namespace
}  // namespace kestrel::test
