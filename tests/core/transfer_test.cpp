// Whole runs against a scripted handheld: every byte the PC writes, what it
// leaves in the PC's files, the texts a run ends with, and its trace.
#include <gtest/gtest.h>

#include <fstream>
#include <new>
#include <stdexcept>

#include "formats/whole_file.h"
#include "link/memory_port.h"
#include "tests/support/gbk.h"
#include "tests/support/handheld_rig.h"
#include "text/texts.h"
#include "transfer/transfer_texts.h"

namespace kestrel::test {
namespace {

namespace fs = std::filesystem;
using Outcome = TransferOutcome;

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
    std::string_view reason = {};  // empty: the run succeeds
    std::function<void(ScriptedLine&)> check = {};
    std::function<void(ScriptedLine&, TransferRequest&)> before = {};
    const char* directory = "LavaData";
};

void ExpectFile(ScriptedLine& line, const char* name, const Bytes& content) {
    EXPECT_EQ(ToHex(ReadFileBytes(line.dir / name)), ToHex(content)) << name;
}

// The trace's account of each write of the PC, in order.
std::vector<std::string> TracedWrites(const fs::path& trace) {
    std::ifstream in(trace);
    std::vector<std::string> described;
    for (std::string line; std::getline(in, line);) {
        if (line.find("PC >") == std::string::npos || !std::getline(in, line)) continue;
        described.push_back(line.erase(0, line.find_first_not_of(' ')));
    }
    return described;
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
    const std::string secondMissing =
        "SECOND" + std::string(texts::kNameSeparator) + std::string(texts::kCannotOpenFile);
    const std::string secondEmpty =
        "SECOND" + std::string(texts::kNameSeparator) + std::string(texts::kEmptyText);
    const auto named = [](std::string_view reason) {
        return "a.dat" + std::string(texts::kNameSeparator) + std::string(reason);
    };
    const std::string cutShort = named(texts::kReceivedTextTooShort);
    const std::string notFetched = named(texts::kUploadNotSupported);
    const std::string notThere =
        std::string(texts::kHandheldRefused) + texts::MaybeNotOnHandheld("LavaData/a.dat");
    // clang-format off
    const Exchange rows[] = {
        {"send abc to LavaData as a.dat", K::send, kOther, abc, SendScript(1),
         Concat({Hex("B3 B3 4C 01 64 00"), Bytes(45, 0x20), Hex("BF AA CA BC CD A8 D1 B6 21"),
                 Bytes(46, 0x20), Hex("60 02 0A 00 2F 4C 61 76 61 44 61 74 61 00 25"),
                 Hex("03 08 00 EF EF 61 2E 64 61 74 00 3E 04 03 00 61 62 63 60 05 00 00 06 00 00")}),
         {}, [](ScriptedLine& line) {
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
         std::nullopt, texts::kPcFileChanged, {}, [](ScriptedLine& line, TransferRequest&) {
             line.status.OnFirst("   18k", [&line] { fs::resize_file(line.dir / "FILE", 5000); });
         }},
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
        {"a bad checksum in chunk 3", K::receive, kOther, former, badThird,
         ReceiveWrote({abc, abc, abc}, false), texts::kChecksumError, [&](ScriptedLine& line) {
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
         ReceiveScript({Bytes(23, 'h')}), ReceiveWrote({abc}), cutShort,
         [&](ScriptedLine& line) { ExpectFile(line, "FILE", former); }},
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
         Bytes{}, texts::kPackageNotPackage},
        {"a package cut short", K::sendPackage, kOther, PackageFile("01 00", {{"a", {1}, 2U}}),
         Greeting(), Bytes{}, texts::kPackageTruncated},
        {"a package with a bad path", K::sendPackage, kOther,
         PackageFile("02 00", {{"a", {1}}, {"b/", {1}}}), Greeting(), Bytes{}, texts::kPackageBadPath},
        {"a package with nothing to send", K::sendPackage, kOther,
         PackageFile("02 00", {{"a", {}}, {"b", {}}}), Greeting(), Bytes{}, texts::kPackageEmpty},
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
         secondMissing, {}, Second(std::nullopt)},
        {"an empty second text: nothing is sent", K::send, kOther, abc, Greeting(), Bytes{},
         secondEmpty, {}, Second(Bytes{}, FileType::kText)},
    };
    // clang-format on
    for (const Exchange& row : rows) {
        SCOPED_TRACE(row.name);
        ScriptedLine line;
        line.Handheld(row.handheld);
        WriteFileBytes(line.dir / "FILE", row.pcFile);
        line.setup.traceFile = line.dir / "trace";  // which must leave every byte as it is
        line.setup.charsets.gbkToUtf8 = [](std::string_view text) { return std::string(text); };
        TransferRequest request =
            OneFile(row.kind, line.dir / "FILE", row.directory, "a.dat", row.type);
        if (row.before) row.before(line, request);
        const TransferEnd end = line.Run(request);
        EXPECT_EQ(end.outcome, row.reason.empty() ? Outcome::succeeded : Outcome::failed);
        EXPECT_EQ(end.reason, row.reason);
        const std::vector<std::string> shown = line.status.Texts();
        ASSERT_GE(shown.size(), 2U);
        if (row.reason.empty()) {
            EXPECT_EQ(shown.back(), texts::kSucceeded);
        } else {
            EXPECT_EQ(shown[shown.size() - 2], row.reason);
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
    IoStatus Write(std::span<const std::uint8_t>) override { throw std::bad_alloc(); }
    IoStatus Read(std::span<std::uint8_t> bytes, Silence) override {
        std::fill(bytes.begin(), bytes.end(), std::uint8_t{0x57});
        return IoStatus::ok;
    }
    void Cancel() override {}
    bool& closed_;
};

TEST(Transfer, PortsThatCannotBeOpenedOrThatThrow) {
    using P = PortChoice::Kind;
    bool closed = false;
    const std::string cannotOpen = Gbk("无法打开串口COM9!");
    // clang-format off
    const struct {
        P kind;
        PortOpener open;
        Outcome outcome;
        std::string reason;
    } rows[] = {
        {P::serial, [](const PortChoice&) { return OpenedPort{nullptr, "busy"}; },
         Outcome::portUnavailable, cannotOpen + "busy"},
        {P::serial, [](const PortChoice&) -> OpenedPort { throw std::runtime_error("x"); },
         Outcome::portUnavailable, cannotOpen + std::string(texts::kUnexpectedError)},
        {P::builtInHandheld, {}, Outcome::portUnavailable, Gbk("无法打开串口虚拟文曲星!")},
        {P::serial, [&closed](const PortChoice&) {
             return OpenedPort{std::make_unique<ThrowingPort>(closed), {}}; },
         Outcome::failed, std::string(texts::kNoMemory)},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.reason);
        ScriptedLine line;
        WriteFileText(line.dir / "a", "abc");
        line.setup.openPort = row.open;
        TransferRequest request = OneFile(TransferKind::send, line.dir / "a", "D", "a");
        request.port = {row.kind, "COM9"};
        const TransferEnd end = line.Run(request);
        EXPECT_EQ(end.outcome, row.outcome);
        EXPECT_EQ(end.reason, row.reason);
        const bool failed = row.outcome == Outcome::failed;
        EXPECT_EQ(line.status.Texts().back(), failed ? texts::kAborted : row.reason);
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
            line.setup.openPort = [&farEnds](const PortChoice&) {
                auto [pc, far] = MakeMemoryPortPair();
                farEnds.push_back(std::move(far));
                return OpenedPort{std::move(pc), {}};
            };
        }
        line.setup.quietGreeting = std::chrono::milliseconds(20);
        line.status.OnFirst(quiet, [&line] { line.cancel.Cancel(); });
        WriteFileText(line.dir / "a", "abc");
        if (row.cancelFirst) line.cancel.Cancel();
        TransferRequest request = OneFile(TransferKind::send, line.dir / "a", "D", "a");
        request.port.kind = row.port;
        const TransferEnd end = line.Run(request);
        EXPECT_EQ(end.outcome, Outcome::cancelled);
        std::vector<std::string> shown = {std::string(texts::kWaiting)};
        shown.insert(shown.end(), row.shown.begin(), row.shown.end());
        shown.insert(shown.end(), {std::string(texts::kCancelled), std::string(texts::kAborted)});
        EXPECT_EQ(line.status.Texts(), shown);
        EXPECT_TRUE(line.PcWrote().empty());
    }
}

}  // namespace
}  // namespace kestrel::test
