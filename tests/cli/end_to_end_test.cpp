// kestrel-cli against kestrel-cli simulate, through a real pseudo-terminal:
// files sent and fetched back as a user would, and the port's settings put
// back after a success, a failure and a cancel.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <memory>

#include "link/pseudo_terminal.h"
#include "tests/cli/child_process.h"
#include "tests/support/bytes.h"
#include "tests/support/image_codec.h"
#include "tests/support/scratch_dir.h"

namespace kestrel::test {
namespace {

const std::string kCli = KESTREL_CLI_PATH;

// Programs started by a test stage through a TempFile of that test's own, so
// tests running side by side do not refuse each other.
void PrivateRuntimeFolder(const ScratchDir& dir) {
    const auto runtime = dir / "runtime";
    std::filesystem::create_directory(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class EndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        PrivateRuntimeFolder(dir);
        handheld_ = std::make_unique<ChildProcess>(
            std::vector<std::string>{kCli, "simulate", "--root", (dir / "handheld").string()});
        const auto line = handheld_->ReadLine(std::chrono::seconds(10));
        ASSERT_TRUE(line) << "the simulator printed no port";
        port = *line;
    }
    void TearDown() override {
        handheld_->Signal(SIGINT);
        EXPECT_EQ(handheld_->Wait(), 0) << "the simulator ends cleanly on Ctrl-C";
    }

    Finished Cli(std::vector<std::string> args, const std::string& program = kCli) {
        args.insert(args.begin(), program);
        args.insert(args.end(), {"--port", port});
        return RunToEnd(args);
    }
    std::filesystem::path OnHandheld(const std::string& relative) {
        return dir / "handheld" / relative;
    }

    ScratchDir dir;
    std::string port;

  private:
    std::unique_ptr<ChildProcess> handheld_;
};

TEST_F(EndToEnd, TextGoesWithItsHeaderAndComesBackWithout) {
    const std::string text = "文曲星你好!\r\nline two\n";
    WriteFileText(dir / "note.txt", text);
    const Finished sent = Cli({"send", (dir / "note.txt").string()});
    EXPECT_EQ(sent.status, 0) << sent.output;
    EXPECT_EQ(sent.output, "等待传输开始...\n    0k\n    0k\n传输成功。\n");

    const auto stored = ReadFileBytes(OnHandheld("文本文件/note.txt"));
    ASSERT_EQ(stored.size(), 24 + text.size());
    EXPECT_EQ(stored[10], 24 + text.size());

    const Finished fetched =
        Cli({"receive", (dir / "back.txt").string(), "--dir", "文本文件", "--name", "note.txt"});
    EXPECT_EQ(fetched.status, 0) << fetched.output;
    EXPECT_EQ(ReadFileBytes(dir / "back.txt"), ReadFileBytes(dir / "note.txt"));
}

TEST_F(EndToEnd, GtxIsReheadedAndPlainFilesGoAsTheyAre) {
    std::string gtx(16, '\x7F');
    gtx += "body of the text";
    WriteFileText(dir / "story.gtx", gtx);
    Bytes plain(5000);
    for (std::size_t i = 0; i < plain.size(); ++i) plain[i] = static_cast<std::uint8_t>(i * 31);
    WriteFileBytes(dir / "save.dat", plain);

    EXPECT_EQ(Cli({"send", (dir / "story.gtx").string()}).status, 0);
    EXPECT_EQ(Cli({"send", (dir / "save.dat").string(), "--name", "game.dat"}).status, 0);

    const Finished refused =
        Cli({"receive", (dir / "x.gtx").string(), "--dir", "文本文件", "--name", "story.gtx"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(Contains(refused.output, "该文件类型不支持上传!\n终止传输\n")) << refused.output;

    EXPECT_EQ(
        Cli({"receive", (dir / "story.txt").string(), "--dir", "文本文件", "--name", "story.gtx"})
            .status,
        0);
    EXPECT_EQ(ReadFileBytes(dir / "story.txt"), FromText("body of the text"));
    EXPECT_EQ(
        Cli({"receive", (dir / "back.dat").string(), "--dir", "LavaData", "--name", "game.dat"})
            .status,
        0);
    EXPECT_EQ(ReadFileBytes(dir / "back.dat"), plain);
}

TEST_F(EndToEnd, ApplicationImageIsDecodedWithTheTableBesideTheProgram) {
    // A copy of the program with a table of our own beside it.
    const auto program = dir / "kestrel-cli";
    std::filesystem::copy_file(kCli, program);
    const Bytes table = RandomPermutationTable(7);
    WriteFileBytes(dir / "substitution.table", table);
    PlainApplication app;
    app.keyHead = {1, 2, 3, 4, 5};
    app.keyTail = {9, 8, 7, 6, 5};
    app.kept = Bytes(3000, 0x42);
    app.tail = FromText("tail bytes");
    WriteFileBytes(dir / "game.bin", EncodeApplicationImage(table, app));

    const Finished without = Cli({"send", (dir / "game.bin").string()});
    EXPECT_EQ(without.status, 1) << "the built program has no table beside it";
    EXPECT_TRUE(Contains(without.output, "substitution.table")) << without.output;

    const Finished sent = Cli({"send", (dir / "game.bin").string()}, program.string());
    EXPECT_EQ(sent.status, 0) << sent.output;
    EXPECT_EQ(ReadFileBytes(OnHandheld("应用程序/game.bin")), DecodedApplication(app));
}

TEST_F(EndToEnd, PackageEntriesLandInTheirOwnDirectories) {
    Bytes package = FromText("PAC ");
    package.resize(16, 0);
    package.insert(package.end(), {2, 0});
    for (const auto& [path, data] : {std::pair<std::string, std::string>{"LAVA/a.lav", "first"},
                                     {"LavaData/b.dat", "second entry"}}) {
        const auto size = static_cast<std::uint8_t>(data.size());
        package.insert(package.end(), {size, 0, 0, 0});
        Bytes field(60, 0);
        std::copy(path.begin(), path.end(), field.begin());
        package.insert(package.end(), field.begin(), field.end());
        package.insert(package.end(), data.begin(), data.end());
    }
    WriteFileBytes(dir / "bundle.pac", package);
    const Finished sent = Cli({"send", (dir / "bundle.pac").string()});
    EXPECT_EQ(sent.status, 0) << sent.output;
    EXPECT_TRUE(Contains(sent.output, "下载a.lav\n")) << sent.output;
    EXPECT_EQ(ReadFileBytes(OnHandheld("LAVA/a.lav")), FromText("first"));
    EXPECT_EQ(ReadFileBytes(OnHandheld("LavaData/b.dat")), FromText("second entry"));
}

TEST_F(EndToEnd, UsageErrorsExitWithTwo) {
    WriteFileText(dir / "a.dat", "x");
    const std::string file = (dir / "a.dat").string();
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"send", file, "--name", "has space"},
             {"send", file, "--dir", "一二三四五六七八"},  // 16 bytes of GBK
             {"send", file, "--name", "😀"},
             {"send", file, "--dir", ""},
             {"receive", file, "--dir", "LAVA"},
             {"frobnicate"}}) {
        EXPECT_EQ(Cli(args).status, 2) << args[0] << " " << args.back();
    }
    EXPECT_EQ(Cli({"send", file, "--dir", "一二三四五六七"}).status, 0) << "14 bytes fit";
}

// The pseudo-terminal's settings as a test leaves them before a run.
termios Distinctive(int fd) {
    termios settings{};
    tcgetattr(fd, &settings);
    cfmakeraw(&settings);
    cfsetspeed(&settings, B9600);
    settings.c_cflag |= CSTOPB;
    return settings;
}

void ExpectRestored(int fd) {
    termios now{};
    ASSERT_EQ(tcgetattr(fd, &now), 0);
    EXPECT_EQ(cfgetospeed(&now), B9600);
    EXPECT_TRUE(now.c_cflag & CSTOPB);
}

TEST_F(EndToEnd, PortSettingsComeBackAfterSuccessAndFailure) {
    const int fd = open(port.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    const termios settings = Distinctive(fd);
    ASSERT_EQ(tcsetattr(fd, TCSANOW, &settings), 0);
    WriteFileText(dir / "a.dat", "abc");

    EXPECT_EQ(Cli({"send", (dir / "a.dat").string()}).status, 0);
    ExpectRestored(fd);
    const Finished missing =
        Cli({"receive", (dir / "b.dat").string(), "--dir", "LAVA", "--name", "none.dat"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(Contains(missing.output, "终止传输")) << missing.output;
    EXPECT_FALSE(std::filesystem::exists(dir / "b.dat"));
    ExpectRestored(fd);
    close(fd);
}

TEST(EndToEndCancel, CtrlCWhileWaitingRestoresThePortAndFails) {
    ScratchDir dir;
    PrivateRuntimeFolder(dir);
    PseudoTerminal silent;  // a handheld that never greets
    const int fd = open(silent.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    const termios settings = Distinctive(fd);
    ASSERT_EQ(tcsetattr(fd, TCSANOW, &settings), 0);
    WriteFileText(dir / "a.dat", "abc");

    ChildProcess cli({kCli, "send", (dir / "a.dat").string(), "--port", silent.SlavePath()});
    EXPECT_EQ(cli.ReadLine(std::chrono::seconds(10)), "等待传输开始...");
    cli.Signal(SIGINT);
    EXPECT_EQ(cli.Wait(), 1);
    EXPECT_EQ(cli.RestOfOutput(), "终止传输\n");
    ExpectRestored(fd);
    close(fd);
}

}  // namespace
}  // namespace kestrel::test
