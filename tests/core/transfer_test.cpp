// Whole runs against a scripted handheld: every byte the PC writes, what it
// leaves in the PC's files, the texts a run ends with, and its trace.
#include <gtest/gtest.h>

#include <fstream>
#include <new>
#include <stdexcept>

#include "formats/text_file.h"
#include "formats/whole_file.h"
#include "link/memory_port.h"
#include "tests/support/gbk.h"
#include "tests/support/handheld_rig.h"
#include "text/gbk.h"
#include "text/texts.h"
#include "transfer/transfer_texts.h"

namespace kestrel::test {
namespace {

namespace fs = std::filesystem;
using Kind = Result::Kind;

Bytes Repeat(const Bytes& bytes, std::size_t times) {
    Bytes out;
    for (std::size_t i = 0; i < times; ++i) out = Concat({out, bytes});
    return out;
}

// 1024-byte pieces; a receive of a whole number of them ends with an empty one.
std::vector<Bytes> Chunks(const Bytes& data, bool receive) {
    std::vector<Bytes> chunks;
    for (std::size_t at = 0; at < data.size() || (receive && at == data.size()); at += 1024) {
        const auto from = data.begin() + static_cast<std::ptrdiff_t>(at);
        chunks.emplace_back(from, from + static_cast<std::ptrdiff_t>(
                                             std::min<std::size_t>(1024, data.size() - at)));
    }
    return chunks;
}

const Bytes kAnswered = Hex("B3 B3 4C");
const Bytes kEnd = Hex("05 00 00 06 00 00");        // EndOfFile, EndSession
const Bytes kHandheldEnd = Hex("05 05 04");         // ready for both, then the closing byte
const Bytes kReadRequest = Frame(8, Hex("00 04"));  // for 1024 bytes
const Bytes kOpenFile = Frame(7, Concat({FromText("/La.dat"), {0}}));

// The handheld's side of a send of `data` packets, and what the PC writes.
Bytes SendScript(std::size_t dataPackets) {
    return Concat({Greeting(), Repeat(Accept(), 3 + dataPackets), kHandheldEnd});
}
Bytes SendWrote(const Bytes& data, std::string_view directory = "LavaData") {
    Bytes out = Concat({kAnswered, StartFrame(), DirectoryFrame(directory), NewFileFrame("a.dat")});
    for (const Bytes& chunk : Chunks(data, false)) out = Concat({out, Frame(4, chunk)});
    return Concat({out, kEnd});
}

// A receive of LavaData/a.dat answered with these chunks.
Bytes ReceiveScript(const std::vector<Bytes>& chunks) {
    Bytes out = Concat({Greeting(), Repeat(Accept(), 3)});
    for (const Bytes& chunk : chunks) out = Concat({out, Accept(), DataPacket(chunk)});
    return Concat({out, kHandheldEnd});
}
Bytes ReceiveWrote(const std::vector<Bytes>& chunks, bool closes = true) {
    Bytes out = Concat({kAnswered, StartFrame(), DirectoryFrame("LavaData"), kOpenFile});
    for (const Bytes& chunk : chunks) {
        out = Concat({out, kReadRequest, Hex(chunk.empty() ? "06" : "06 06")});
    }
    return closes ? Concat({out, kEnd}) : out;
}

struct Exchange {
    const char* name;
    TransferKind kind;
    FileType type;
    Bytes pcFile;  // what is sent, or what a receive replaces
    Bytes handheld;
    std::optional<Bytes> pcWrote;  // unset: not compared
    std::string reason = {};  // empty: the run succeeds; ending in "：": the OS's words follow
    std::function<void(ScriptedLine&)> check = {};
    std::function<void(ScriptedLine&, TransferRequest&)> before = {};
    const char* directory = "LavaData";
};

void ExpectFile(ScriptedLine& line, const char* name, const Bytes& content) {
    EXPECT_EQ(ToHex(ReadFileBytes(line.dir / name)), ToHex(content)) << name;
}

std::vector<std::string> Lines(const fs::path& file) {
    std::ifstream in(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The trace's account of each write of the PC, in order.
std::vector<std::string> TracedWrites(const fs::path& trace) {
    std::vector<std::string> described;
    const std::vector<std::string> lines = Lines(trace);
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        if (lines[i].find("PC >") == std::string::npos) continue;
        described.push_back(lines[i + 1].substr(lines[i + 1].find_first_not_of(' ')));
    }
    return described;
}

// Whether the reason is `expected`, or begins with it and the OS's words
// follow when `expected` ends in "：".
void ExpectReason(const std::string& reason, const std::string& expected) {
    const std::string_view separator = texts::kNameSeparator;
    if (!expected.ends_with(separator)) {
        EXPECT_EQ(reason, expected);
        return;
    }
    EXPECT_EQ(reason.substr(0, expected.size()), expected);
    EXPECT_GT(reason.size(), expected.size()) << "no words of the OS";
}

std::string Utf8(std::string_view gbk) {
    return gbk::ToUtf8(gbk).value_or("?");
}

// A second file, SECOND (not written when content is unset), sent as LavaData/b.dat.
auto Second(std::optional<Bytes> content, FileType type = FileType::kOther) {
    return [=](ScriptedLine& line, TransferRequest& request) {
        if (content) WriteFileBytes(line.dir / "SECOND", *content);
        request.files.push_back(
            {line.dir / "SECOND", type, "LavaData", false, "b.dat", {}, "SECOND"});
    };
}

TEST(Transfer, GoldenExchanges) {
    using K = TransferKind;
    constexpr FileType kOther = FileType::kOther;
    const Bytes abc = FromText("abc"), former = FromText("former");
    const Bytes k2000 = Pattern(2000, 1), k1500 = Pattern(1500, 2), k2048 = Pattern(2048, 3);
    // Empty entries first, between and last are skipped, the session still opened and closed.
    const std::vector<PackageEntrySpec> entries = {
        {"lead/e.dat", {}},           {"LAVA/one.lav", FromText("one")}, {"skip/e.dat", {}},
        {"two.dat", FromText("two")}, {"d/three", FromText("33")},       {"last/e.dat", {}}};
    const Bytes packageWrote =
        Concat({kAnswered, StartFrame(), DirectoryFrame("LAVA"), NewFileFrame("one.lav"),
                Frame(4, FromText("one")), Hex("05 00 00"), StartFrame(), DirectoryFrame(""),
                NewFileFrame("two.dat"), Frame(4, FromText("two")), Hex("05 00 00"), StartFrame(),
                DirectoryFrame("d"), NewFileFrame("three"), Frame(4, FromText("33")), kEnd});
    const Bytes badThird = Concat(
        {Greeting(), Repeat(Accept(), 3), Accept(), DataPacket(Chunks(k2048, true)[0]), Accept(),
         DataPacket(Chunks(k2048, true)[1]), Accept(), BadDataPacket(abc), kHandheldEnd});
    const Bytes notGbk = Must(WrapTextBytes(FromText("a\x81 ")));
    const Bytes cutText(notGbk.begin(), notGbk.end() - 2);
    const auto about = [](std::string_view action, std::string_view name) {
        return std::string(action) + " " + std::string(name);
    };
    const auto saidFirst = [](std::string text) {
        return [text](ScriptedLine& line) { EXPECT_EQ(line.status.Texts().front(), text); };
    };
    const auto traceAt = [](const char* name) {
        return [name](ScriptedLine& line, TransferRequest&) {
            line.setup.traceFile = line.dir / name;
        };
    };
    const std::string changed = about(texts::kPcFileChanged, "FILE");
    const std::string notFetched = about(texts::kUploadNotSupported, "FILE");
    const std::string notThere =
        std::string(texts::kHandheldRefused) + texts::MaybeNotOnHandheld("LavaData/a.dat");
    // clang-format off
    const Exchange rows[] = {
        {"send abc to LavaData as a.dat", K::send, kOther, abc, SendScript(1),
         Concat({Hex("B3 B3 4C 01 64 00"), Bytes(45, 0x20), Hex("BF AA CA BC CD A8 D1 B6 21"),
                 Bytes(46, 0x20), Hex("60 02 0A 00 2F 4C 61 76 61 44 61 74 61 00 25"),
                 Hex("03 08 00 EF EF 61 2E 64 61 74 00 3E 04 03 00 61 62 63 60 05 00 00 06 00 00")}),
         {}, [](ScriptedLine& line) {
             const std::vector<std::string> lines = Lines(line.dir / "trace");
             ASSERT_GE(lines.size(), 6U);
             EXPECT_EQ(lines[0].substr(0, 8), "KESTREL ");
             EXPECT_EQ(lines[2], "port: COM1");
             EXPECT_TRUE(lines[3].starts_with("date: ") && lines[3].ends_with(" UTC")) << lines[3];
             EXPECT_EQ(lines[4], "status: 等待传输开始...");
             const auto first = std::find_if(lines.begin(), lines.end(), [](const std::string& l) {
                 return l.find(" ms  PC ") != std::string::npos;
             });
             ASSERT_NE(first, lines.end());
             EXPECT_EQ(first->substr(0, 16), "     0.000 ms  P") << "times from the first byte";
             EXPECT_EQ(lines[lines.size() - 2], std::string(20, ' ') + "session closed");
             EXPECT_EQ(lines.back(), "outcome: 传输成功。");
             EXPECT_EQ(TracedWrites(line.dir / "trace"), (std::vector<std::string>{
                 "greeting answered, not complete", "greeting answered, not complete",
                 "'L' greeting complete", "Start, 100 bytes, checksum ok",
                 "Directory, 10 bytes, \"LavaData\", checksum ok",
                 "NewFile, 8 bytes, \"a.dat\", checksum ok", "Data, 3 bytes, checksum ok",
                 "EndOfFile, 0 bytes", "EndSession, 0 bytes"}));
         }},
        {"a text send gains the header", K::send, FileType::kText, FromText("hello"), SendScript(1),
         SendWrote(Hex("00 00 00 00 00 01 00 18 00 00 1D 00 00 00 00 00 18 00 00 1D 00 00 00 00"
                       "68 65 6C 6C 6F"))},
        {"root", K::send, kOther, abc, SendScript(1), SendWrote(abc, ""), {}, {}, {}, ""},
        {"an empty file sends no Data", K::send, kOther, {}, SendScript(0), SendWrote({})},
        {"2000 bytes count down in kilobytes of 1024", K::send, kOther, k2000, SendScript(2),
         SendWrote(k2000), {}, [](ScriptedLine& line) {
             std::vector<std::string> counts;
             for (const std::string& text : line.status.Texts()) {
                 if (text.back() == 'k') counts.push_back(text);
             }
             EXPECT_EQ(counts, (std::vector<std::string>{"    1k", "    0k", "    0k"}));
         }},
        {"a file that shrinks while it is sent", K::send, kOther, Pattern(20000, 4), SendScript(20),
         std::nullopt, changed, {}, [](ScriptedLine& line, TransferRequest&) {
             line.status.OnFirst("   18k", [&line] { fs::resize_file(line.dir / "FILE", 5000); });
         }},
        {"a file that grows while it is sent", K::send, kOther, Pattern(2000, 4), SendScript(2),
         std::nullopt, changed, {}, [](ScriptedLine& line, TransferRequest&) {
             line.status.OnFirst("    0k", [&line] { fs::resize_file(line.dir / "FILE", 2001); });
         }},
        {"a trace that cannot be written is said, and the run goes on", K::send, kOther, abc,
         SendScript(1), SendWrote(abc), {}, [](ScriptedLine& line) {
             EXPECT_EQ(line.status.Texts().front().substr(0, Gbk("无法写入跟踪文件 trace：").size()),
                       Gbk("无法写入跟踪文件 trace："));
         }, [](ScriptedLine& line, TransferRequest&) {
             line.setup.traceFile = line.dir / "no such folder" / "trace";
         }},
        {"a trace that is the file sent is refused: the file goes whole", K::send, kOther, abc,
         SendScript(1), SendWrote(abc), {}, saidFirst(about(texts::kTraceIsRunFile, "FILE")),
         traceAt("FILE")},
        {"a trace that is the receive's FILE.part is refused", K::receive, kOther, former,
         ReceiveScript({abc}), ReceiveWrote({abc}), {}, [&](ScriptedLine& line) {
             saidFirst(about(texts::kTraceIsRunFile, "FILE.part"))(line);
             ExpectFile(line, "FILE", abc);
         }, traceAt("FILE.part")},
        {"a trace that is no regular file (a folder, a FIFO) is refused, never opened", K::send,
         kOther, abc, SendScript(1), SendWrote(abc), {},
         saidFirst(about(texts::kTraceNotRegularFile, "trace")),
         [](ScriptedLine& line, TransferRequest&) { fs::create_directory(line.dir / "trace"); }},
        {"receive 1500 bytes", K::receive, kOther, former, ReceiveScript(Chunks(k1500, true)),
         ReceiveWrote(Chunks(k1500, true)), {}, [&](ScriptedLine& line) { ExpectFile(line, "FILE", k1500); }},
        {"receive 2048 bytes: the last chunk is empty", K::receive, kOther, former,
         ReceiveScript(Chunks(k2048, true)), ReceiveWrote(Chunks(k2048, true)), {},
         [&](ScriptedLine& line) {
             ExpectFile(line, "FILE", k2048);
             EXPECT_TRUE(line.status.Saw("    2k")) << "the kilobytes received count up";
         }},
        {"X to a ReadRequest: CF CB, then the same request", K::receive, kOther, former,
         Concat({Greeting(), Repeat(Accept(), 3), Hex("05 58"), Accept(), DataPacket(abc), kHandheldEnd}),
         Concat({kAnswered, StartFrame(), DirectoryFrame("LavaData"), kOpenFile, kReadRequest,
                 Hex("CF CB"), kReadRequest, Hex("06 06"), kEnd}),
         {}, [&](ScriptedLine& line) { ExpectFile(line, "FILE", abc); }},
        {"a ReadRequest refused past the silence bound ends the run", K::receive, kOther, former,
         Concat({Greeting(), Repeat(Accept(), 3), Repeat(Hex("05 58"), 3)}),
         Concat({kAnswered, StartFrame(), DirectoryFrame("LavaData"), kOpenFile, kReadRequest}),
         std::string(texts::kHandheldRefused), [&](ScriptedLine& line) { ExpectFile(line, "FILE", former); },
         [](ScriptedLine& line, TransferRequest&) { line.setup.silenceBound = {}; }},
        {"a bad checksum in chunk 3", K::receive, kOther, former, badThird,
         ReceiveWrote({abc, abc, abc}, false), std::string(texts::kChecksumError), [&](ScriptedLine& line) {
             ExpectFile(line, "FILE", former);
             ExpectFile(line, "FILE.part", k2048);
             const Bytes trace = ReadFileBytes(line.dir / "trace");
             EXPECT_NE(std::string(trace.begin(), trace.end()).find("data, 3 bytes, checksum WRONG"),
                       std::string::npos);
         }},
        {"a partial file left from before is emptied first", K::receive, kOther, former,
         ReceiveScript({abc}), ReceiveWrote({abc}), {},
         [&](ScriptedLine& line) { ExpectFile(line, "FILE", abc); },
         [](ScriptedLine& line, TransferRequest&) {
             WriteFileBytes(line.dir / "FILE.part", Bytes(5000, 'j'));
         }},
        {"a failed unwrap fails the run", K::receive, FileType::kText, former,
         ReceiveScript({Bytes(23, 'h')}), ReceiveWrote({abc}), about(texts::kReceivedTextTooShort, "FILE"),
         [&](ScriptedLine& line) { ExpectFile(line, "FILE", former); }},
        {"a folder in FILE's place", K::receive, kOther, former, Greeting(), Bytes{},
         about(texts::kCannotWriteFile, "FILE") + std::string(texts::kNameSeparator), {},
         [](ScriptedLine& line, TransferRequest&) {
             fs::remove(line.dir / "FILE");
             fs::create_directory(line.dir / "FILE");
         }},
        {"a folder in FILE.part's place", K::receive, kOther, former, Greeting(), Bytes{},
         about(texts::kCannotCreateFile, "FILE.part") + std::string(texts::kNameSeparator), {},
         [](ScriptedLine& line, TransferRequest&) { fs::create_directory(line.dir / "FILE.part"); }},
        {"FILE in a missing folder", K::receive, kOther, former, Greeting(), Bytes{},
         about(texts::kCannotCreateFile, "FILE") + std::string(texts::kNameSeparator), {},
         [](ScriptedLine& line, TransferRequest& request) {
             request.files[0].pcPath = line.dir / "none" / "FILE";
         }},
        {"a FILE.part that cannot be made after the greeting: the session is closed", K::receive,
         kOther, former, Concat({Greeting(), Repeat(Accept(), 3), kHandheldEnd}),
         Concat({kAnswered, StartFrame(), DirectoryFrame("LavaData"), kOpenFile, kEnd}),
         about(texts::kCannotCreateFile, "FILE.part") + std::string(texts::kNameSeparator),
         [&](ScriptedLine& line) { ExpectFile(line, "FILE", former); },
         [](ScriptedLine& line, TransferRequest&) {
             line.setup.openPort = [&line, open = line.setup.openPort](const PortChoice& port) {
                 fs::create_directory(line.dir / "FILE.part");
                 return open(port);
             };
         }},
        {"a text cut short fails; what came stays in FILE.part", K::receive, FileType::kText, former,
         ReceiveScript({cutText}), std::nullopt, about(texts::kReceivedTextTooShort, "FILE"),
         [&](ScriptedLine& line) { ExpectFile(line, "FILE", former); ExpectFile(line, "FILE.part", cutText); }},
        {"a text that is not GBK fails --utf8; what came stays in FILE.part, no scratch file", K::receive,
         FileType::kText, former, ReceiveScript({notGbk}), std::nullopt, about(texts::kReceivedNotGbk, "FILE"),
         [&](ScriptedLine& line) {
             ExpectFile(line, "FILE", former);
             ExpectFile(line, "FILE.part", notGbk);
             EXPECT_EQ(std::distance(fs::directory_iterator(line.dir.Path()), fs::directory_iterator()), 3);
         }, [](ScriptedLine&, TransferRequest& request) { request.files[0].text.asUtf8 = true; }},
        {"receive refused for gtx", K::receive, FileType::kHeadedText, former, Greeting(), Bytes{},
         notFetched},
        {"receive refused for bin", K::receive, FileType::kApplication, former, Greeting(), Bytes{},
         notFetched},
        {"a device file the handheld does not hold", K::receive, kOther, former,
         Concat({Greeting(), Repeat(Accept(), 2), Hex("05 58")}),
         Concat({kAnswered, StartFrame(), DirectoryFrame("LavaData"), kOpenFile}), notThere,
         [&](ScriptedLine& line) { ExpectFile(line, "FILE", former); }},
        {"a package in one session", K::sendPackage, kOther, PackageFile("06 00", entries),
         Concat({Greeting(), Repeat(Concat({Repeat(Accept(), 4), Hex("05")}), 3), Hex("05 04")}),
         packageWrote, {}, [](ScriptedLine& line) {
             EXPECT_TRUE(line.status.Saw(Gbk("下载two.dat")));
             EXPECT_FALSE(line.status.Saw(Gbk("下载e.dat")));
         }},
        {"not a package", K::sendPackage, kOther, FromText("PAX 0123456789abcdef"), Greeting(),
         Bytes{}, about(texts::kPackageNotPackage, "FILE")},
        {"a package cut short", K::sendPackage, kOther, PackageFile("01 00", {{"a", {1}, 2U}}),
         Greeting(), Bytes{}, about(texts::kPackageTruncated, "FILE")},
        {"a package with a bad path", K::sendPackage, kOther,
         PackageFile("02 00", {{"a", {1}}, {"b/", {1}}}), Greeting(), Bytes{},
         about(texts::kPackageBadPath, "FILE")},
        {"a package with nothing to send", K::sendPackage, kOther,
         PackageFile("02 00", {{"a", {}}, {"b", {}}}), Greeting(), Bytes{},
         about(texts::kPackageEmpty, "FILE")},
        {"two files: Start before each, EndSession after the last", K::send, kOther, abc,
         Concat({Greeting(), Repeat(Accept(), 4), Hex("05"), Repeat(Accept(), 4), kHandheldEnd}),
         Concat({kAnswered, StartFrame(), DirectoryFrame("LavaData"), NewFileFrame("a.dat"),
                 Frame(4, abc), Hex("05 00 00"), StartFrame(), DirectoryFrame("LavaData"),
                 NewFileFrame("b.dat"), Frame(4, FromText("de")), kEnd}),
         {}, [](ScriptedLine& line) {
             EXPECT_TRUE(line.status.Saw(Gbk("下载b.dat")));
             EXPECT_EQ(line.status.Texts().end()[-2], Gbk("共发送了2个文件"));
         }, Second(FromText("de"))},
        {"a missing second file: nothing is sent", K::send, kOther, abc, Greeting(), Bytes{},
         about(texts::kCannotOpenFile, "SECOND") + std::string(texts::kNameSeparator), {},
         Second(std::nullopt)},
        {"an empty second text: nothing is sent", K::send, kOther, abc, Greeting(), Bytes{},
         about(texts::kEmptyText, "SECOND"), {}, Second(Bytes{}, FileType::kText)},
    };
    // clang-format on
    for (const Exchange& row : rows) {
        SCOPED_TRACE(row.name);
        ScriptedLine line;
        line.Handheld(row.handheld);
        WriteFileBytes(line.dir / "FILE", row.pcFile);
        line.setup.traceFile = line.dir / "trace";  // which must leave every byte as it is
        TransferRequest request =
            OneFile(row.kind, line.dir / "FILE", row.directory, "a.dat", row.type);
        if (row.before) row.before(line, request);
        bool opened = false;  // what needs no handheld is found before any port is opened
        line.setup.openPort = [&opened, open = line.setup.openPort](const PortChoice& port) {
            opened = true;
            return open(port);
        };
        const Result end = line.Run(request);
        EXPECT_EQ(opened, !row.pcWrote || !row.pcWrote->empty());
        EXPECT_EQ(end.IsOk(), row.reason.empty());
        ExpectReason(end.Reason(), row.reason);
        const std::vector<std::string> shown = line.status.Texts();
        ASSERT_GE(shown.size(), 2U);
        if (row.reason.empty()) {
            EXPECT_EQ(shown.back(), texts::kSucceeded);
        } else {
            EXPECT_EQ(shown[shown.size() - 2], end.Reason());
            EXPECT_EQ(shown.back(), texts::kAborted);
        }
        if (row.pcWrote) {
            EXPECT_EQ(ToHex(line.PcWrote()), ToHex(*row.pcWrote));
        }
        if (row.check) row.check(line);
    }
}

// Greets for ever and throws on a write, as when memory runs out mid-run.
struct ThrowingPort : Port {
    explicit ThrowingPort(bool& closed) : closed_(closed) {}
    ~ThrowingPort() override { closed_ = true; }
    Result Write(std::span<const std::uint8_t>) override { throw std::bad_alloc(); }
    Result Read(std::span<std::uint8_t> bytes, Silence) override {
        std::fill(bytes.begin(), bytes.end(), std::uint8_t{0x57});
        return Result::Ok();
    }
    void Cancel() override {}
    bool& closed_;
};

TEST(Transfer, PortsThatCannotBeOpenedOrThatThrow) {
    using P = PortChoice::Kind;
    using Opened = ResultOf<std::unique_ptr<Port>>;
    bool closed = false;
    // clang-format off
    const struct {
        P kind;
        PortOpener open;
        bool begun;  // the port opened: "终止传输" follows the reason
        std::string reason;
    } rows[] = {
        {P::serial, [](const PortChoice&) -> Opened { return Result::Failed("busy"); },
         false, "busy"},
        {P::automatic, [](const PortChoice&) -> Opened { return Result::Failed("busy"); },
         false, Gbk("没有找到文曲星：没有可以打开的串口 COM8")},
        {P::serial, [](const PortChoice&) -> Opened { throw std::runtime_error("x"); },
         true, std::string(texts::kUnexpectedError)},
        {P::builtInHandheld, {}, false, Gbk("无法打开串口虚拟文曲星!")},
        {P::serial, [&closed](const PortChoice&) -> Opened {
             return std::unique_ptr<Port>(std::make_unique<ThrowingPort>(closed)); },
         true, std::string(texts::kNoMemory)},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.reason);
        ScriptedLine line;
        WriteFileText(line.dir / "a", "abc");
        line.setup.openPort = row.open;
        line.setup.listSerialPorts = [] { return std::vector<std::string>{"COM9", "COM8"}; };
        line.setup.traceFile = line.dir / "trace";
        TransferRequest request = OneFile(TransferKind::send, line.dir / "a", "D", "a");
        request.port = {row.kind, "COM9"};
        const Result end = line.Run(request);
        EXPECT_EQ(end.GetKind(), Kind::failed);
        EXPECT_EQ(end.Reason(), row.reason);
        EXPECT_EQ(line.status.Texts().back(), row.begun ? texts::kAborted : row.reason);
        EXPECT_EQ(Lines(line.dir / "trace").back(), "outcome: " + Utf8(row.reason));
    }
    EXPECT_TRUE(closed);
}

// While the handheld is awaited: which ports are listened on, what to check
// after a quiet spell, and a cancel before or during the wait.
TEST(Transfer, WaitingForTheHandheld) {
    using P = PortChoice::Kind;
    const std::string quiet(texts::kQuietGreeting);
    const struct {
        const char* name;
        P port;
        bool cancelFirst;
        std::vector<std::string> shown;  // before "已取消" and "终止传输"
    } rows[] = {
        {"cancelled before", P::serial, true, {texts::ListeningOn({"COM1"})}},
        {"on one port", P::serial, false, {texts::ListeningOn({"COM1"}), quiet}},
        {"on every port", P::automatic, false, {texts::ListeningOn({"A", "B"}), quiet}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ScriptedLine line;  // a handheld that never greets
        std::vector<std::unique_ptr<Port>> farEnds;
        if (row.port == P::automatic) {
            line.setup.listSerialPorts = [] { return std::vector<std::string>{"A", "B"}; };
            line.setup.openPort = [&farEnds](const PortChoice&) -> ResultOf<std::unique_ptr<Port>> {
                auto [pc, far] = MakeMemoryPortPair();
                farEnds.push_back(std::move(far));
                return std::unique_ptr<Port>(std::move(pc));
            };
        }
        line.setup.quietGreeting = std::chrono::milliseconds(20);
        line.status.OnFirst(quiet, [&line] { line.cancel.Cancel(); });
        WriteFileText(line.dir / "a", "abc");
        if (row.cancelFirst) line.cancel.Cancel();
        TransferRequest request = OneFile(TransferKind::send, line.dir / "a", "D", "a");
        request.port.kind = row.port;
        EXPECT_EQ(line.Run(request).GetKind(), Kind::cancelled);
        std::vector<std::string> shown = {std::string(texts::kWaiting)};
        shown.insert(shown.end(), row.shown.begin(), row.shown.end());
        shown.insert(shown.end(), {std::string(texts::kCancelled), std::string(texts::kAborted)});
        EXPECT_EQ(line.status.Texts(), shown);
        EXPECT_TRUE(line.PcWrote().empty());
    }
}

}  // namespace
}  // namespace kestrel::test
