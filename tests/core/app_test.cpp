// The front-end core: device names, a picked file's proposal, boxes and
// arguments to requests, texts through its converters, and runs on a thread
// through the built-in handheld.
#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <variant>

#include "app/core/device_naming.h"
#include "app/core/picked_file.h"
#include "app/core/program_setup.h"
#include "app/core/refusal.h"
#include "app/core/remembered.h"
#include "app/core/request_form.h"
#include "app/core/transfer_thread.h"
#include "formats/format_texts.h"
#include "formats/text_file.h"
#include "tests/support/gbk.h"
#include "tests/support/handheld_rig.h"
#include "transfer/transfer_texts.h"

namespace kestrel::test {
namespace {

namespace fs = std::filesystem;

UserText U(std::string_view utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end())).native();
}

const PortChoice kPort{PortChoice::Kind::serial, "COM1"};
const char* kNotGbk = "\xF0\x9F\x98\x80";  // an emoji

TEST(App, ShortenDeviceName) {
    const struct {
        const char* name;
        const char* shortened;
    } rows[] = {
        {"abcdefghijklm", "abcdefghijklm"},         {"abcdefghijk.tx", "abcdefghij.tx"},
        {"abcdefghijklmnop.txt", "abcdefghij.txt"}, {"my.long.file.name.txt", "my.txt"},
        {"abcdefghijklmnopq", "abcdefghijklmn"},    {"abcdefghijkl.jpeg2000", "abcdefghij.jpe"},
        {"一二三四五六七八.txt", "一二三四五.txt"}, {"a一二三四五六七八.txt", "a一二三四.txt"},
        {"a亖亖亖亖亖亖亖", "a亖亖亖亖亖亖"},  // 亖 is 81 81: its trail looks like a lead byte
    };
    for (const auto& row : rows) {
        const std::string gbk = Gbk(row.name);
        const std::size_t dot = gbk.rfind('.');
        EXPECT_EQ(ShortenDeviceName(gbk, dot == std::string::npos ? 0 : dot + 1),
                  Gbk(row.shortened))
            << row.name;
    }
}

TEST(App, ProposalForAPickedFile) {
    const struct {
        const char* picked;
        const char* name;  // nullptr: none proposed
        const char* directory;
    } rows[] = {
        {"pics/PHOTO.BMP", "PHOTO.bmp", "我的图片"},
        {"DATA.Dat", "DATA.dat", "LavaData"},
        {"archive.pac", "下载包", "*"},
        {"my file.txt", "my_file.txt", "文本文件"},
        {"my.notes.txt", "my.notes.txt", "文本文件"},
        {"x\xF0\x9F\x98\x80.txt", nullptr, "文本文件"},
        {"abcdefghijklmnopq", "abcdefghijklmn", "移动硬盘"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.picked);
        const std::optional<Proposal> proposal = ProposeForPickedFile(U(row.picked));
        ASSERT_TRUE(proposal);
        EXPECT_EQ(proposal->boxes.pcPath, U(row.picked));
        EXPECT_EQ(proposal->nameProposed, row.name != nullptr);
        EXPECT_EQ(proposal->boxes.deviceName, U(row.name ? row.name : ""));
        EXPECT_EQ(proposal->boxes.deviceDirectory, U(row.directory));
    }
    for (const char* none : {"", "..", "a/."}) EXPECT_FALSE(ProposeForPickedFile(U(none))) << none;
}

TEST(App, RequestFromBoxes) {
    const std::string dirOf15(15, 'd');
    const struct {
        const char* pc;
        std::string name;
        std::string directory;
        std::optional<Refusal> refusal;
    } rows[] = {
        {"", "", "", Refusal::emptyPcPath},
        {"a", "", "", Refusal::emptyDeviceName},
        {"a", "n", "", Refusal::emptyDeviceDirectory},
        {"a", std::string(kNotGbk) + " abcdefghijklmnop", "d d", Refusal::deviceNameNotGbk},
        {"a", "a b c d e f g h i", "d d", Refusal::spaceInDeviceName},
        {"a", "abcdefghijklmno", "d d", Refusal::deviceNameTooLong},
        {"a", "n", std::string(kNotGbk) + " " + dirOf15, Refusal::deviceDirectoryNotGbk},
        {"a", "n", "d " + dirOf15, Refusal::spaceInDeviceDirectory},
        {"a", "n", dirOf15, Refusal::deviceDirectoryTooLong},
        {"a", "abcdefghijklmn", dirOf15.substr(1), std::nullopt},
        {"a", "一二三四五六七", "一二三四五六七", std::nullopt},
        {"a", "一二三四五六七八", "d", Refusal::deviceNameTooLong},
        {"a", "n", "一二三四五六七八", Refusal::deviceDirectoryTooLong},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name + "|" + row.directory);
        const auto result = RequestFromBoxes(Direction::send,
                                             {U(row.pc), U(row.name), U(row.directory)}, kPort, {});
        const Refusal* refusal = std::get_if<Refusal>(&result);
        EXPECT_EQ(refusal ? std::optional(*refusal) : std::nullopt, row.refusal);
        if (const auto* request = std::get_if<TransferRequest>(&result)) {
            EXPECT_EQ(request->files.at(0).deviceName, Gbk(row.name));
            EXPECT_EQ(request->files.at(0).deviceDirectory, Gbk(row.directory));
        }
    }
    std::set<std::string_view> reasons;  // each refusal names its own box and fault
    for (const auto& row : rows) {
        if (row.refusal) reasons.insert(RefusalText(*row.refusal));
    }
    EXPECT_EQ(reasons.size(), 9U);
}

TEST(App, ARememberedPortComesBackAsChosen) {
    using P = PortChoice::Kind;
    for (const PortChoice& port :
         {PortChoice{P::serial, "/dev/ttyUSB0"}, PortChoice{P::builtInHandheld, {}},
          PortChoice{P::automatic, {}}}) {
        const std::optional<PortChoice> back = PortFromSetting(PortSetting(port));
        ASSERT_TRUE(back) << port.name;
        EXPECT_EQ(back->kind, port.kind);
        EXPECT_EQ(back->name, port.name);
    }
}

TEST(App, RequestKindsAndTypes) {
    using K = TransferKind;
    const fs::path note = fs::path(U("dir/NOTE.TXT"));
    // clang-format off
    const struct {
        Direction direction;
        const char* pc;
        const char* name;
        const char* directory;
        std::optional<fs::path> picked;
        K kind;
        FileType type;
    } rows[] = {
        {Direction::send, "a.dat", "a", "root", {}, K::send, FileType::kOther},
        {Direction::send, "p.pac", "下载包", "*", {}, K::sendPackage, FileType::kOther},
        {Direction::send, "p.pac", "p.pac", "*", {}, K::send, FileType::kOther},  // kept whole
        {Direction::receive, "p.pac", "下载包", "d", {}, K::receive, FileType::kOther},
        {Direction::send, "dir/NOTE.TXT", "n", "d", {}, K::send, FileType::kOther},  // typed
        {Direction::send, "dir/NOTE.TXT", "n", "d", note, K::send, FileType::kText},  // picked
        {Direction::send, "dir/OTHER.TXT", "n", "d", note, K::send, FileType::kOther},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.pc);
        const RequestBoxes boxes{U(row.pc), U(row.name), U(row.directory)};
        const auto result = RequestFromBoxes(row.direction, boxes, kPort, row.picked);
        ASSERT_TRUE(std::holds_alternative<TransferRequest>(result));
        const TransferRequest& request = std::get<TransferRequest>(result);
        EXPECT_EQ(request.kind, row.kind);
        EXPECT_EQ(request.files.at(0).type, row.type);
        const bool root = row.directory == std::string_view("root");
        EXPECT_EQ(request.files.at(0).root, root);
        EXPECT_EQ(request.files.at(0).deviceDirectory.empty(), root);
    }
}

TEST(App, RequestFromArguments) {
    const fs::path notGbk = fs::path(U(std::string("x") + kNotGbk + ".dat"));
    const struct {
        Arguments arguments;
        TransferKind kind;
        const char* name;
        std::optional<Refusal> refusal = std::nullopt;
    } rows[] = {
        {{{"x.pac"}, {}, U("n")}, TransferKind::sendPackage, "下载包"},  // a package keeps its name
        {{{notGbk}, U("D"), U("n")}, TransferKind::send, "n"},
        {{{notGbk}, U("D"), {}}, TransferKind::send, "", Refusal::pcFileNameNotGbk},
        {{{""}, U("D"), U("n")}, TransferKind::send, "", Refusal::noPcFile},
        {{{"a.dat", "b.txt"}, U("D"), {}}, TransferKind::send, "a.dat"},
        {{{"a", "b.dat"}, U("D"), U("n")}, TransferKind::send, "", Refusal::nameForSeveralFiles},
        {{{"a.dat", "x.pac"}, U("D"), {}}, TransferKind::send, "", Refusal::packageWithOthers},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(&row - rows);
        const auto result = RequestFromArguments(Direction::send, row.arguments, kPort);
        const Refusal* refusal = std::get_if<Refusal>(&result);
        EXPECT_EQ(refusal ? std::optional(*refusal) : std::nullopt, row.refusal);
        if (const auto* request = std::get_if<TransferRequest>(&result)) {
            EXPECT_EQ(request->kind, row.kind);
            EXPECT_EQ(request->files.size(), row.arguments.files.size());
            EXPECT_EQ(request->files.at(0).deviceName, Gbk(row.name));
        }
    }
}

// Texts through the converters the program sets up: UTF-8, with or without
// its mark, reaches the handheld as GBK, anything else as it is; a fetched
// text becomes UTF-8 only when asked.
TEST(App, TextCharactersOnTheWay) {
    using K = TransferKind;
    const Bytes utf8 = FromText("文曲星\r\n你好"), gbk = FromText(Gbk("文曲星\r\n你好"));
    const std::string notInGbk =
        std::string(texts::kLinePrefix) + "2" + std::string(texts::kNotInGbk) + "U+1F600";
    const struct {
        const char* name;
        K kind;
        Bytes text;  // the PC's file, or the handheld's
        TextHandling handling;
        std::optional<Bytes> expected;  // what the handheld gets, or the PC file; unset: refused
        bool note = false;
    } rows[] = {
        {"UTF-8", K::send, utf8, {}, gbk, true},
        {"UTF-8 with its mark", K::send, Concat({Hex("EF BB BF"), utf8}), {}, gbk, true},
        {"GBK", K::send, gbk, {}, gbk},
        {"ASCII", K::send, FromText("plain\n"), {}, FromText("plain\n")},
        {"kept as bytes", K::send, utf8, {true, false}, utf8},
        {"an emoji on line 2", K::send, FromText("a\n\xF0\x9F\x98\x80"), {}, std::nullopt},
        {"fetched as UTF-8", K::receive, gbk, {false, true}, utf8},
        {"fetched as it is", K::receive, gbk, {}, gbk},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ScriptedLine line;
        line.setup.charsets = LoadSetup({}).charsets;
        const bool send = row.kind == K::send;
        const Bytes wrapped = WrapTextBytes(send ? row.expected.value_or(Bytes{}) : row.text).bytes;
        line.Handheld(Concat({Greeting(), Accept(), Accept(), Accept(), Accept(),
                              send ? Bytes{} : DataPacket(wrapped), Hex("05 05 04")}));
        if (send) WriteFileBytes(line.dir / "a.txt", row.text);
        TransferRequest request = OneFile(row.kind, line.dir / "a.txt", "D", "a", FileType::kText);
        request.files[0].text = row.handling;
        const TransferEnd end = line.Run(request);
        EXPECT_EQ(end.reason, row.expected ? "" : notInGbk);
        EXPECT_EQ(end.note, row.note ? texts::kConvertedFromUtf8 : "");
        EXPECT_EQ(line.status.Saw(texts::kConvertedFromUtf8), row.note);
        const Bytes wrote = line.PcWrote(), frame = Frame(4, wrapped);
        if (!row.expected) {
            EXPECT_TRUE(wrote.empty()) << "refused before the greeting";
        } else if (send) {
            EXPECT_NE(std::search(wrote.begin(), wrote.end(), frame.begin(), frame.end()),
                      wrote.end());
        } else {
            EXPECT_EQ(ReadFileBytes(line.dir / "a.txt"), *row.expected);
        }
    }
}

TransferEnd RunOnThread(const std::variant<TransferRequest, Refusal>& request,
                        const TransferSetup& setup) {
    RecordingStatus status;
    TransferThread thread(std::get<TransferRequest>(request), setup, status);
    return thread.Wait();
}

// A picked NOTE.TXT is text whatever its case: it reaches the handheld with
// the text header, and comes back into BACK.TXT without it.
TEST(App, PickedTextThroughTheBuiltInHandheld) {
    ScratchDir dir;
    const PortChoice builtIn{PortChoice::Kind::builtInHandheld, ""};
    ProgramFiles files;
    files.handheldRoot = dir / "handheld";
    files.tempDirectory = dir.Path();
    const TransferSetup setup = LoadSetup(files);
    WriteFileText(dir / "NOTE.TXT", "hello");
    const TransferEnd sent = RunOnThread(
        RequestFromArguments(Direction::send, {{dir / "NOTE.TXT"}, {}, {}}, builtIn), setup);
    EXPECT_EQ(sent.outcome, TransferOutcome::succeeded) << sent.reason;
    const Bytes onHandheld = ReadFileBytes(dir / "handheld" / U("文本文件") / "NOTE.txt");
    ASSERT_EQ(onHandheld.size(), 29U);
    EXPECT_EQ(ToHex(Bytes(onHandheld.begin(), onHandheld.begin() + 8)), "00 00 00 00 00 01 00 18");

    const TransferEnd back = RunOnThread(
        RequestFromArguments(Direction::receive, {{dir / "BACK.TXT"}, U("文本文件"), U("NOTE.txt")},
                             builtIn),
        setup);
    EXPECT_EQ(back.outcome, TransferOutcome::succeeded) << back.reason;
    EXPECT_EQ(ReadFileBytes(dir / "BACK.TXT"), FromText("hello"));
}

TEST(App, TransferThreadFinishesOnceAndCanBeCancelled) {
    ScriptedLine line;  // a handheld that never says a word
    WriteFileText(line.dir / "a", "abc");
    std::atomic<int> calls{0};
    TransferThread thread(OneFile(TransferKind::send, line.dir / "a", "d", "a"), line.setup,
                          line.status, [&calls](const TransferEnd& end) {
                              ++calls;
                              EXPECT_EQ(end.outcome, TransferOutcome::cancelled);
                              throw std::runtime_error("a front end's mistake");
                          });
    thread.Cancel();
    EXPECT_EQ(thread.Wait().outcome, TransferOutcome::cancelled);
    EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace kestrel::test
