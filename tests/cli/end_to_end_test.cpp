// kestrel-cli against kestrel-cli simulate through a real pseudo-terminal, as
// a user runs them: files sent and fetched back, usage errors, interrupts.
// Output goes to pipes, so the program prints one status text a line.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <tuple>
#include <utility>

#include "link/pseudo_terminal.h"
#include "tests/support/gbk.h"
#include "tests/support/image_codec.h"
#include "tests/support/scratch_dir.h"

extern char** environ;

namespace kestrel::test {
namespace {

const std::string kCli = KESTREL_CLI_PATH;

// A program run with its standard output on a pipe, closed at once when
// `closed` (as `| head -n 0` would); killed if the test ends first.
class Child {
  public:
    explicit Child(std::vector<std::string> argv, bool closed = false) {
        int ends[2];
        EXPECT_EQ(::pipe2(ends, O_CLOEXEC), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
        std::vector<char*> args;
        for (std::string& word : argv) args.push_back(word.data());
        args.push_back(nullptr);
        EXPECT_EQ(::posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        ::close(ends[1]);
        output_ = ends[0];
        if (closed) ::close(std::exchange(output_, -1));
    }
    ~Child() {
        if (pid_ > 0) {
            Signal(SIGKILL);
            Wait();
        }
        ::close(output_);
    }

    // The output up to `stop` (not included) or to its end.
    std::string Read(char stop) {
        std::string text;
        for (char c = 0; ::read(output_, &c, 1) == 1 && c != stop;) text += c;
        return text;
    }
    void Signal(int signal) { ::kill(pid_, signal); }
    int Wait() {  // the exit status; -1 when a signal ended the program
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

  private:
    pid_t pid_ = -1;
    int output_ = -1;
    std::string pending_;
};

struct Finished {
    int status;
    std::string output;
};

class EndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        // Each test stages its files in a private folder of its own, so tests
        // running side by side do not refuse each other's.
        std::filesystem::create_directory(dir / "runtime");
        std::filesystem::permissions(dir / "runtime", std::filesystem::perms::owner_all);
        ::setenv("XDG_RUNTIME_DIR", (dir / "runtime").c_str(), 1);
        port_ = handheld_.Read('\n');
        ASSERT_FALSE(port_.empty()) << "the virtual handheld printed no port";
    }
    void TearDown() override {
        handheld_.Signal(SIGINT);
        EXPECT_EQ(handheld_.Wait(), 0) << "the virtual handheld ends cleanly on Ctrl-C";
    }

    Finished Cli(std::vector<std::string> args, const std::string& program = kCli,
                 bool outputClosed = false) {
        args.insert(args.begin(), program);
        if (std::find(args.begin(), args.end(), "--port") == args.end()) {
            args.insert(args.end(), {"--port", port_});
        }
        Child child(args, outputClosed);
        std::string output = child.Read('\0');
        return {child.Wait(), output};
    }
    std::string At(const char* name) { return (dir / name).string(); }
    Bytes OnHandheld(const char* path) { return ReadFileBytes(dir / "handheld" / path); }

    ScratchDir dir;
    Child handheld_{{kCli, "simulate", "--root", At("handheld")}};
    std::string port_;
};

TEST_F(EndToEnd, FilesGoToTheHandheldAndComeBack) {
    Bytes everyValue;
    for (int i = 0; i < 3 * 256; ++i) everyValue.push_back(static_cast<std::uint8_t>(i));
    const Bytes text = FromText(Gbk("文曲星你好!\r\nline two\n"));
    struct Row {
        const char* pcName;
        bool named;  // sent with --dir and --name
        const char *directory, *name, *back;
        const Bytes& content;
        std::size_t header;
        bool outputClosed = false;  // the run goes on to its end all the same
    };
    // The extension routes lower-cased, the name keeps its case.
    for (const Row& row : std::vector<Row>{
             {"NOTE.TXT", false, "文本文件", "NOTE.txt", "BACK.TXT", text, 24},
             {"save.dat", false, "LavaData", "save.dat", "back.dat", everyValue, 0, true},
             {"文件 ก😀.dat", true, "移动硬盘", "odd.dat", "回来 ก😀.dat", everyValue, 0}}) {
        SCOPED_TRACE(row.pcName);
        WriteFileBytes(dir / row.pcName, row.content);
        std::vector<std::string> send{"send", At(row.pcName)};
        if (row.named) send.insert(send.end(), {"--dir", row.directory, "--name", row.name});
        const Finished sent = Cli(send, kCli, row.outputClosed);
        ASSERT_EQ(sent.status, 0) << sent.output;
        const Bytes stored = OnHandheld((std::string(row.directory) + "/" + row.name).c_str());
        ASSERT_EQ(stored.size(), row.header + row.content.size());
        EXPECT_EQ(Bytes(stored.begin() + static_cast<std::ptrdiff_t>(row.header), stored.end()),
                  row.content);
        EXPECT_TRUE(row.header == 0 || stored[10] == stored.size()) << "the length in the header";

        const Finished back =
            Cli({"receive", At(row.back), "--dir", row.directory, "--name", row.name}, kCli,
                row.outputClosed);
        ASSERT_EQ(back.status, 0) << back.output;
        EXPECT_EQ(ReadFileBytes(dir / row.back), row.content);
    }
    // Two at once, in one session, each to its own directory.
    WriteFileText(dir / "one.dat", "first");
    WriteFileText(dir / "two.txt", "second");
    const Finished both = Cli({"send", At("one.dat"), At("two.txt")});
    ASSERT_EQ(both.status, 0) << both.output;
    EXPECT_EQ(OnHandheld("LavaData/one.dat"), FromText("first"));
    EXPECT_EQ(OnHandheld("文本文件/two.txt").size(), 24U + 6U) << "with its text header";
    // UTF-8 kept as it is with --keep-bytes; the GBK note fetched as UTF-8 with --utf8.
    WriteFileText(dir / "u.txt", "文曲星");
    ASSERT_EQ(Cli({"send", At("u.txt"), "--keep-bytes"}).status, 0);
    EXPECT_EQ(OnHandheld("文本文件/u.txt").size(), 24U + 9U);
    ASSERT_EQ(
        Cli({"receive", At("u8.txt"), "--dir", "文本文件", "--name", "NOTE.txt", "--utf8"}).status,
        0);
    EXPECT_EQ(ReadFileBytes(dir / "u8.txt"), FromText("文曲星你好!\r\nline two\n"));
}

// A PC file that cannot be written is named, with the OS's reason, on a line
// of its own before "终止传输". A read-only folder and a full disk are small
// file systems of their own where the test may make them (as root, whom a
// folder's rights do not stop), a folder's rights otherwise.
TEST_F(EndToEnd, APcFileThatCannotBeWrittenIsNamedWithTheReason) {
    // One that cannot be read fails so at once, before any waiting.
    const Finished missing = Cli({"send", At("none.txt")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.output.starts_with("无法打开文件 none.txt：")) << missing.output;
    EXPECT_TRUE(missing.output.ends_with("\n终止传输\n")) << missing.output;
    std::filesystem::create_directories(dir / "handheld" / "LavaData");
    WriteFileBytes(dir / "handheld" / "LavaData" / "big.dat", Bytes(100000, 0x42));
    const bool root = ::geteuid() == 0;
    const struct {
        const char* folder;
        const char* mount;  // tmpfs options, where the folder is one
        const char* said;   // the reason's start; the OS's words follow
    } rows[] = {
        {"missing/folder", nullptr, "无法创建文件 out.dat："},
        {"read-only", "ro,size=64k", "无法创建文件 out.dat："},
        {"full", "size=64k", "无法写入文件 out.dat.part："},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.folder);
        const std::filesystem::path folder = dir / row.folder;
        if (row.mount != nullptr) {
            std::filesystem::create_directories(folder);
            const std::string mount =
                "mount -t tmpfs -o " + std::string(row.mount) + " tmpfs '" + folder.string() + "'";
            if (root && std::system((mount + " 2>/dev/null").c_str()) != 0) continue;
            if (!root && std::string_view(row.mount).starts_with("ro")) {
                std::filesystem::permissions(folder, std::filesystem::perms::owner_read |
                                                         std::filesystem::perms::owner_exec);
            } else if (!root) {
                continue;  // no disk to fill
            }
        }
        const Finished got = Cli(
            {"receive", (folder / "out.dat").string(), "--dir", "LavaData", "--name", "big.dat"});
        if (root && row.mount != nullptr) {
            EXPECT_EQ(std::system(("umount '" + folder.string() + "'").c_str()), 0);
        }
        EXPECT_EQ(got.status, 1);
        const std::string ending = "\n终止传输\n";
        ASSERT_TRUE(got.output.ends_with(ending)) << got.output;
        const std::string reason = got.output.substr(0, got.output.size() - ending.size());
        const std::string said = reason.substr(reason.rfind('\n') + 1);
        EXPECT_EQ(said.substr(0, std::strlen(row.said)), row.said);
        EXPECT_GT(said.size(), std::strlen(row.said)) << "no words of the OS";
    }
}

TEST_F(EndToEnd, AnApplicationIsDecodedWithTheTableBesideTheProgram) {
    std::filesystem::copy_file(kCli, dir / "kestrel-cli");
    const Bytes table = RandomPermutationTable(7);
    WriteFileBytes(dir / "substitution.table", table);
    PlainApplication app{
        {1, 2, 3, 4, 5}, {9, 8, 7, 6, 5}, Bytes(78, 0), Bytes(3000, 0x42), FromText("tail")};
    WriteFileBytes(dir / "game.bin", EncodeApplicationImage(table, app));
    const Finished sent = Cli({"send", At("game.bin")}, At("kestrel-cli"));
    EXPECT_EQ(sent.status, 0) << sent.output;
    EXPECT_EQ(OnHandheld("应用程序/game.bin"), DecodedApplication(app));
}

Bytes PackageEntry(const std::string& path, const Bytes& data) {
    Bytes entry{static_cast<std::uint8_t>(data.size()), static_cast<std::uint8_t>(data.size() >> 8),
                0, 0};
    entry.insert(entry.end(), path.begin(), path.end());
    entry.resize(4 + 60);
    entry.insert(entry.end(), data.begin(), data.end());
    return entry;
}

TEST_F(EndToEnd, APackageSendsItsEntriesUnderTheirOwnNames) {
    const Bytes data(700, 0xA5);
    WriteFileBytes(dir / "x.pac",
                   Concat({FromText("PAC "), Bytes(12, 0), Hex("03 00"),
                           PackageEntry("LavaData/pk.dat", data), PackageEntry("empty/none", {}),
                           PackageEntry(Gbk("文本文件/pk.txt"), FromText("abc"))}));
    const Finished sent = Cli({"send", At("x.pac"), "--name", "下载包"});
    EXPECT_EQ(sent.status, 0) << sent.output;
    EXPECT_EQ(OnHandheld("LavaData/pk.dat"), data);
    EXPECT_EQ(OnHandheld("文本文件/pk.txt"), FromText("abc"));
    EXPECT_FALSE(std::filesystem::exists(dir / "handheld/empty/none"))
        << "an empty entry is not sent";
}

TEST_F(EndToEnd, UsageErrorsExitWithTwo) {
    WriteFileText(dir / "a.dat", "x");
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"send"},
             {"send", At("a.dat"), "--frobnicate"},
             {"receive", At("a.dat"), "--dir", "LavaData"},
             {"send", At("a.dat"), "--name", "has space"},
             {"send", At("a.dat"), "--name", "tab\there"},
             {"send", At("a.pac"), "--dir", "LavaData"},
             {"send", At("a.dat"), At("a.dat"), "--name", "n"},
             {"send", At("a.dat"), "--port", ""},
             {"send", At("a.dat"), "--dir", "D", "--dir", "E"},
             {"receive", At("a.dat"), "--name", "a.dat"},
             {"receive", "a", "b", "--dir", "D", "--name", "n"}}) {
        EXPECT_EQ(Cli(args).status, 2) << args.back();
    }
    EXPECT_EQ(Cli({"-h"}).status, 0) << "-h is --help";
}

TEST_F(EndToEnd, AnInterruptEndsASendWaitingForASilentHandheld) {
    const PseudoTerminal silent = Must(PseudoTerminal::Open());
    const int fd = ::open(silent.SlavePath().c_str(), O_RDWR | O_NOCTTY);
    termios found{}, now{};
    ASSERT_EQ(::tcgetattr(fd, &found), 0);
    ASSERT_NE(found.c_lflag & ICANON, 0u) << "a new terminal's settings, unlike the working ones";
    WriteFileText(dir / "a.dat", "x");
    for (const auto& [signal, status] : {std::pair{SIGINT, 130}, std::pair{SIGTERM, 143}}) {
        SCOPED_TRACE(signal);
        Child send({kCli, "send", At("a.dat"), "--port", silent.SlavePath()});
        // Interrupted once the port is open and set for work.
        for (int i = 0; i < 500 && ::tcgetattr(fd, &now) == 0 && (now.c_lflag & ICANON) != 0; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ASSERT_EQ(now.c_lflag & ICANON, 0u) << "the port was never set raw";
        send.Signal(signal);
        EXPECT_EQ(send.Wait(), status);
        ASSERT_EQ(::tcgetattr(fd, &now), 0);
        EXPECT_EQ(std::tie(now.c_cflag, now.c_iflag, now.c_oflag, now.c_lflag),
                  std::tie(found.c_cflag, found.c_iflag, found.c_oflag, found.c_lflag));
    }
    ::close(fd);
    Child other({kCli, "simulate", "--root", At("other")});  // Ctrl-C ends one cleanly: TearDown
    ASSERT_FALSE(other.Read('\n').empty());
    other.Signal(SIGTERM);
    EXPECT_EQ(other.Wait(), 143) << "a termination request, as shells expect";
}

}  // namespace
}  // namespace kestrel::test
