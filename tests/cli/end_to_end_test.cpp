// kestrel-cli against kestrel-cli simulate, through a real pseudo-terminal:
// files sent and fetched back as a user would.

#include <gtest/gtest.h>
#include <signal.h>

#include <memory>

#include "tests/cli/child_process.h"
#include "tests/support/bytes.h"
#include "tests/support/image_codec.h"
#include "tests/support/scratch_dir.h"

namespace kestrel::test {
namespace {

const std::string kCli = KESTREL_CLI_PATH;

class EndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        // Programs started by a test stage through a TempFile of that test's
        // own, so tests running side by side do not refuse each other.
        const auto runtime = dir / "runtime";
        std::filesystem::create_directory(runtime);
        std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
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
    Finished Receive(const std::string& pcName, const std::string& directory,
                     const std::string& name) {
        return Cli({"receive", (dir / pcName).string(), "--dir", directory, "--name", name});
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

    const Finished fetched = Receive("back.txt", "文本文件", "note.txt");
    EXPECT_EQ(fetched.status, 0) << fetched.output;
    EXPECT_EQ(ReadFileBytes(dir / "back.txt"), ReadFileBytes(dir / "note.txt"));
}

TEST_F(EndToEnd, PlainFilesGoUnderTheGivenNameAndComeBackAsTheyAre) {
    Bytes plain(5000);
    for (std::size_t i = 0; i < plain.size(); ++i) plain[i] = static_cast<std::uint8_t>(i * 31);
    WriteFileBytes(dir / "save.dat", plain);
    EXPECT_EQ(Cli({"send", (dir / "save.dat").string(), "--name", "game.dat"}).status, 0);
    EXPECT_EQ(Receive("back.dat", "LavaData", "game.dat").status, 0);
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
    EXPECT_NE(without.output.find("substitution.table"), std::string::npos) << without.output;

    const Finished sent = Cli({"send", (dir / "game.bin").string()}, program.string());
    EXPECT_EQ(sent.status, 0) << sent.output;
    EXPECT_EQ(ReadFileBytes(OnHandheld("应用程序/game.bin")), DecodedApplication(app));
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

}  // namespace
}  // namespace kestrel::test
