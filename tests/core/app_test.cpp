// The front-end core: device names, a picked file's proposal, boxes and
// arguments to requests, texts through its converters, and runs on a thread
// through the built-in handheld.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <set>
#include <thread>
#include <variant>

#include "app/cli/cli_options.h"
#include "app/cli/progress_line.h"
#include "app/core/app_texts.h"
#include "app/core/device_naming.h"
#include "app/core/dialog_controller.h"
#include "app/core/picked_file.h"
#include "app/core/program_setup.h"
#include "app/core/rejection.h"
#include "app/core/remembered.h"
#include "app/core/request_form.h"
#include "app/core/transfer_thread.h"
#include "formats/text_file.h"
#include "tests/support/gbk.h"
#include "tests/support/handheld_rig.h"
#include "text/texts.h"
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
        {"tab\tand\x7F.txt", "tab_and_.txt", "文本文件"},
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
        std::optional<Rejection> rejection;
    } rows[] = {
        {"", "", "", Rejection::emptyPcPath},
        {"a", "", "", Rejection::emptyDeviceName},
        {"a", "n", "", Rejection::emptyDeviceDirectory},
        {"a", std::string(kNotGbk) + " abcdefghijklmnop", "d d", Rejection::deviceNameNotGbk},
        {"a", "a b c d e f g h i", "d d", Rejection::spaceInDeviceName},
        {"a", "abcdefghijklmno", "d d", Rejection::deviceNameTooLong},
        {"a", "n", std::string(kNotGbk) + " " + dirOf15, Rejection::deviceDirectoryNotGbk},
        {"a", "n", "d " + dirOf15, Rejection::spaceInDeviceDirectory},
        {"a", "n", dirOf15, Rejection::deviceDirectoryTooLong},
        {"a", "abcdefghijklmn", dirOf15.substr(1), std::nullopt},
        {"a", "一二三四五六七", "一二三四五六七", std::nullopt},
        {"a", "一二三四五六七八", "d", Rejection::deviceNameTooLong},
        {"a", "n", "一二三四五六七八", Rejection::deviceDirectoryTooLong},
        {"a", "a/b", "d", Rejection::deviceNameNotOnePart},
        {"a", "..", "d", Rejection::deviceNameNotOnePart},
        {"a", "a\tb", "d", Rejection::controlInDeviceName},
        {"a", "n", "a/../b", Rejection::deviceDirectoryBadPart},
        {"a", "n", "a/", Rejection::deviceDirectoryBadPart},
        {"a", "n", "a\nb", Rejection::controlInDeviceDirectory},
        {"a", "n\x7F", "d", Rejection::controlInDeviceName},
        {"a", "..a", "LAVA/a.b/c", std::nullopt},  // directories hold "/", as package paths do
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name + "|" + row.directory);
        const auto result = RequestFromBoxes(Direction::send,
                                             {U(row.pc), U(row.name), U(row.directory)}, kPort, {});
        EXPECT_EQ(result.Reason(), row.rejection ? RejectionText(*row.rejection) : "");
        if (result.IsOk()) {
            EXPECT_EQ(result.Value().files.at(0).deviceName, Gbk(row.name));
            EXPECT_EQ(result.Value().files.at(0).deviceDirectory, Gbk(row.directory));
        }
    }
    std::set<std::string_view> reasons;  // each rejection names its own box and fault
    for (const auto& row : rows) {
        if (row.rejection) reasons.insert(RejectionText(*row.rejection));
    }
    EXPECT_EQ(reasons.size(), 13U);
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
        ASSERT_TRUE(result.IsOk());
        const TransferRequest& request = result.Value();
        EXPECT_EQ(request.kind, row.kind);
        EXPECT_EQ(request.files.at(0).type, row.type);
        const bool root = row.directory == std::string_view("root");
        EXPECT_EQ(request.files.at(0).root, root);
        EXPECT_EQ(request.files.at(0).deviceDirectory.empty(), root);
    }
}

TEST(App, RequestFromArguments) {
    const auto R = [](Rejection why) { return std::string(RejectionText(why)); };
    const fs::path notGbk = fs::path(U(std::string("x") + kNotGbk + ".dat"));
    const struct {
        Arguments arguments;
        TransferKind kind;
        const char* name;
        std::string reason = {};  // empty: accepted
        Direction direction = Direction::send;
        // clang-format off
    } rows[] = {
        {{{"x.pac"}, U("D"), U("n")}, TransferKind::receive, "n", {}, Direction::receive},
        {{{"x.pac"}, {}, U("下载包")}, TransferKind::sendPackage, "下载包"},
        {{{"x.pac"}, {}, U("n")}, TransferKind::send, "", R(Rejection::placeForPackage)},
        {{{"x.pac"}, U("D"), {}}, TransferKind::send, "", R(Rejection::placeForPackage)},
        {{{notGbk}, U("D"), U("n")}, TransferKind::send, "n"},
        {{{notGbk}, U("D"), {}}, TransferKind::send, "", R(Rejection::pcFileNameNotGbk)},
        {{{""}, U("D"), U("n")}, TransferKind::send, "", R(Rejection::noPcFile)},
        {{{"a.dat", "b.txt"}, U("D"), {}}, TransferKind::send, "a.dat"},
        {{{"a", "b.dat"}, U("D"), U("n")}, TransferKind::send, "", R(Rejection::nameForSeveralFiles)},
        {{{"a.dat", "x.pac"}, {}, {}}, TransferKind::send, "", R(Rejection::packageWithOthers)},
        {{{"a/x.txt", "b/x.txt"}, {}, {}}, TransferKind::send, "",
         texts::SameDevicePath("a/x.txt", "b/x.txt", Gbk("文本文件/x.txt"))},
        {{{"r.2023.final.txt", "o.dat", "r.2024.final.txt"}, U("root"), {}}, TransferKind::send, "",
         texts::SameDevicePath("r.2023.final.txt", "r.2024.final.txt", "r.txt")},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(&row - rows);
        const auto result = RequestFromArguments(row.direction, row.arguments, kPort);
        EXPECT_EQ(result.Reason(), row.reason);
        if (result.IsOk()) {
            const TransferRequest& request = result.Value();
            EXPECT_EQ(request.kind, row.kind);
            EXPECT_EQ(request.files.size(), row.arguments.files.size());
            EXPECT_EQ(request.files.at(0).deviceName, Gbk(row.name));
            const bool package = row.kind == TransferKind::sendPackage;
            EXPECT_EQ(request.files.at(0).deviceDirectory, package ? "*" : "D");
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
        std::string(texts::kLinePrefix) + "2" + std::string(texts::kNotInGbk) + "U+1F600 a.txt";
    const struct {
        const char* name;
        K kind;
        Bytes text;  // the PC's file, or the handheld's
        TextHandling handling;
        std::optional<Bytes> expected;  // what the handheld gets, or the PC file; unset: rejected
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
        const ResultOf<Bytes> wrapping =
            WrapTextBytes(send ? row.expected.value_or(Bytes{}) : row.text);
        const Bytes wrapped = wrapping.IsOk() ? wrapping.Value() : Bytes{};
        line.Handheld(Concat({Greeting(), Accept(), Accept(), Accept(), Accept(),
                              send ? Bytes{} : DataPacket(wrapped), Hex("05 05 04")}));
        if (send) WriteFileBytes(line.dir / "a.txt", row.text);
        TransferRequest request = OneFile(row.kind, line.dir / "a.txt", "D", "a", FileType::kText);
        request.files[0].text = row.handling;
        const Result end = line.Run(request);
        EXPECT_EQ(end.Reason(), row.expected ? "" : notInGbk);
        EXPECT_EQ(line.status.Saw(texts::kConvertedFromUtf8), row.note);
        const Bytes wrote = line.PcWrote(), frame = Frame(4, wrapped);
        if (!row.expected) {
            EXPECT_TRUE(wrote.empty()) << "rejected before the greeting";
        } else if (send) {
            EXPECT_NE(std::search(wrote.begin(), wrote.end(), frame.begin(), frame.end()),
                      wrote.end());
        } else {
            EXPECT_EQ(ReadFileBytes(line.dir / "a.txt"), *row.expected);
        }
    }
}

Result RunOnThread(ResultOf<TransferRequest> request, const TransferSetup& setup) {
    RecordingStatus status;
    TransferThread thread(Must(std::move(request)), setup, status);
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
    const Result sent = RunOnThread(
        RequestFromArguments(Direction::send, {{dir / "NOTE.TXT"}, {}, {}}, builtIn), setup);
    EXPECT_TRUE(sent.IsOk()) << sent.Reason();
    const Bytes onHandheld = ReadFileBytes(dir / "handheld" / U("文本文件") / "NOTE.txt");
    ASSERT_EQ(onHandheld.size(), 29U);
    EXPECT_EQ(ToHex(Bytes(onHandheld.begin(), onHandheld.begin() + 8)), "00 00 00 00 00 01 00 18");

    const Result back = RunOnThread(
        RequestFromArguments(Direction::receive, {{dir / "BACK.TXT"}, U("文本文件"), U("NOTE.txt")},
                             builtIn),
        setup);
    EXPECT_TRUE(back.IsOk()) << back.Reason();
    EXPECT_EQ(ReadFileBytes(dir / "BACK.TXT"), FromText("hello"));
}

// Cancelled, or destroyed while it waits: either way the run ends cancelled,
// and says so once.
TEST(App, TransferThreadEndsOnceWhenCancelledOrDestroyed) {
    for (const bool destroyed : {false, true}) {
        SCOPED_TRACE(destroyed);
        ScriptedLine line;  // a handheld that never says a word
        WriteFileText(line.dir / "a", "abc");
        std::atomic<int> calls{0};
        std::atomic<Result::Kind> kind{Result::Kind::ok};
        {
            TransferThread thread(OneFile(TransferKind::send, line.dir / "a", "d", "a"), line.setup,
                                  line.status, [&](const Result& end) {
                                      ++calls;
                                      kind = end.GetKind();
                                      throw std::runtime_error("a front end's mistake");
                                  });
            while (!line.status.Saw(texts::kWaiting)) std::this_thread::yield();
            if (!destroyed) {
                thread.Cancel();
                EXPECT_EQ(thread.Wait().GetKind(), Result::Kind::cancelled);
            }
        }
        EXPECT_EQ(calls, 1);
        EXPECT_EQ(kind, Result::Kind::cancelled);
    }
}

// kestrel-cli's words, and its progress line on a terminal.
TEST(App, CommandLine) {
    const struct {
        std::vector<std::string> words;
        PortChoice::Kind port;
        std::optional<std::string> trace;
    } rows[] = {
        {{"send", "a", "--port", "auto"}, PortChoice::Kind::automatic, {}},
        {{"--trace", "t.txt", "receive", "f", "--dir", "D", "--name", "N"},
         PortChoice::Kind::serial,
         "t.txt"},
        {{"receive", "f", "--dir", "D", "--name", "N", "--trace", "u.txt"},
         PortChoice::Kind::serial,
         "u.txt"},
    };
    for (const auto& row : rows) {
        const cli::Command command = cli::ParseCommandLine(row.words);
        const auto* send = std::get_if<cli::SendCommand>(&command);
        const auto* receive = std::get_if<cli::ReceiveCommand>(&command);
        ASSERT_TRUE(send != nullptr || receive != nullptr) << row.words[0];
        EXPECT_EQ(PortNamed(send ? send->port : receive->port).kind, row.port);
        EXPECT_EQ(send ? send->trace : receive->trace, row.trace);
    }
}

TEST(App, ProgressLine) {
    using namespace std::chrono_literals;
    const struct {
        Progress progress;
        std::chrono::milliseconds elapsed;
        const char* line;
    } rows[] = {
        {{2048, 8192}, 2s, "[######------------------] 2/8 KiB  1.0 KiB/s  0:06 left"},
        {{100 * 1024, 1000 * 1024},
         10s,
         "[##----------------------] 100/1000 KiB  10.0 KiB/s  1:30 left"},
        {{1024, 4096}, 200ms, "[######------------------] 1/4 KiB"},
        {{4096, 4096}, 2s, "[########################] 4/4 KiB  2.0 KiB/s"},
        {{5120, 0}, 1s, "5 KiB  5.0 KiB/s"},
        {{0, 29}, 0ms, "[------------------------] 0/29 B"},  // a tiny file in bytes
        {{1000, 0}, 0ms, "1000 B"},
    };
    for (const auto& row : rows) {
        const std::string line = cli::ProgressLine(row.progress, row.elapsed);
        EXPECT_EQ(line.size(), cli::kProgressLineWidth) << "drawn over itself, it leaves nothing";
        EXPECT_EQ(line.substr(0, line.find_last_not_of(' ') + 1), row.line);
    }
}

// The dialog's controller against a view that only records what it is asked.
struct FakeView final : DialogView {
    void ShowBox(Box box, const UserText& text) override {
        boxes[static_cast<std::size_t>(box)] = text;
    }
    void ShowDirectoryChoices(const std::vector<UserText>&) override {}
    void ShowPorts(const std::vector<PortListEntry>& shown, std::size_t at) override {
        ports = shown;
        chosen = at;
    }
    void ShowFetchAsUtf8(bool checked) override { fetchAsUtf8 = checked; }
    void ShowStatus(std::string_view text) override { status = text; }
    void ShowTitle(std::string_view text) override { title = text; }
    void ShowExitText(std::string_view text) override { exitText = text; }
    void Enable(Control control, bool on) override {
        enabled[static_cast<std::size_t>(control)] = on;
    }
    void Focus(Control control) override { focused = control; }
    void Ask(std::string_view question, std::function<void(bool)> then) override {
        questions.emplace_back(question);
        answer = std::move(then);
    }
    void PickFile(const UserText&, std::function<void(std::optional<fs::path>)> then) override {
        then(pick);
    }
    void ShowAbout(std::string_view, std::string_view) override {}
    void Run(TransferRequest request, std::shared_ptr<CancelSwitch> switched) override {
        runs.push_back(std::move(request));
        cancel = std::move(switched);
    }
    void Close() override { ++closed; }

    std::array<UserText, 3> boxes;
    std::vector<PortListEntry> ports;
    std::size_t chosen = 0;
    bool fetchAsUtf8 = false;
    std::string status, title, exitText;
    std::array<bool, 4> enabled{true, true, true, true};
    std::optional<Control> focused;
    std::vector<std::string> questions;
    std::function<void(bool)> answer;
    std::optional<fs::path> pick;  // the picker's answer
    std::vector<TransferRequest> runs;
    std::shared_ptr<CancelSwitch> cancel;
    int closed = 0;
};

struct FakeStore final : ChoiceStore {
    RememberedChoices Read() override { return kept; }
    void Write(const RememberedChoices& changed) override {
        if (changed.port) kept.port = changed.port;
        if (changed.directory) kept.directory = changed.directory;
        if (changed.fetchAsUtf8) kept.fetchAsUtf8 = changed.fetchAsUtf8;
    }
    RememberedChoices kept;
};

struct DialogRig {
    explicit DialogRig(std::vector<std::string> present = {}, RememberedChoices remembered = {},
                       std::vector<std::string> defaults = {}, bool searchable = true)
        : ports(std::move(present)),
          source{std::move(defaults), [this] { return ports; }, dir / "by-id", searchable} {
        store.kept = std::move(remembered);
        controller.Start();
    }
    const PortListEntry& Chosen() const { return view.ports.at(view.chosen); }
    // As a face relays them: the view shows what the user did.
    bool Type(Box box, std::string_view utf8) {
        const bool taken = controller.Edit(box, U(utf8));
        if (taken) view.boxes[static_cast<std::size_t>(box)] = U(utf8);
        return taken;
    }
    void Choose(std::size_t port) {
        view.chosen = port;
        controller.ChoosePort(port);
    }
    void Pick(const fs::path& file) {
        view.pick = file;
        controller.Browse();
    }
    // A run's end as a run shows it: its reason and "终止传输", or success.
    void End(const Result& end) {
        if (!end.IsOk()) controller.OnRunStatus(end.Reason());
        controller.OnRunStatus(end.IsOk() ? texts::kSucceeded : texts::kAborted);
        controller.OnRunEnded(end);
    }

    ScratchDir dir;
    std::vector<std::string> ports;
    PortSource source;
    FakeView view;
    FakeStore store;
    DialogController controller{view, store, source};
};

TEST(Dialog, TypingIntoTheBoxes) {
    const struct {
        Box box;
        std::string text;
        std::string status;  // empty: taken
    } rows[] = {
        {Box::deviceName, "abcdefghijklmn", ""},
        {Box::deviceName, "abcdefghijklmno",
         "文曲星文件名不能超过14字节（7个汉字），这样会有15字节"},
        {Box::deviceName, "一二三四五六七", ""},
        {Box::deviceDirectory, "一二三四五六七八",
         "文曲星目录不能超过14字节（7个汉字），这样会有16字节"},
        {Box::deviceName, std::string("a") + kNotGbk, "文曲星文件名含有无法转换的字符"},
        {Box::deviceDirectory, kNotGbk, "文曲星目录含有无法转换的字符"},
        {Box::pcPath, std::string(300, 'p') + kNotGbk, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        DialogRig rig;
        const bool taken = row.status.empty();
        EXPECT_EQ(rig.Type(row.box, row.text), taken);
        EXPECT_EQ(rig.controller.Text(row.box), taken ? U(row.text) : UserText());
        EXPECT_EQ(rig.view.status, Gbk(row.status));
    }
}

// A pick, a typed name, a typed path, in that order, then 下载.
TEST(Dialog, PickedDroppedAndTypedFiles) {
    const struct {
        const char* picked;  // nullptr: none; "-": the pick is cancelled
        bool dropped;        // the file comes as one dropped file instead
        const char* typedName;
        const char* typedPath;
        const char *pc, *name, *directory;  // what goes
        FileType type = FileType::kOther;
        TransferKind kind = TransferKind::send;
        bool enter = true;  // pressed in the PC box before 下载
    } rows[] = {
        {"pics/big.bmp", false, nullptr, "/home/u/notes.txt", "/home/u/notes.txt", "notes.txt",
         "文本文件", FileType::kText, TransferKind::send, false},
        {"pics/big.bmp", false, "mine.bmp", "/home/u/notes.txt", "/home/u/notes.txt", "mine.bmp",
         "文本文件", FileType::kText},
        {nullptr, false, nullptr, "dir/README.TXT", "dir/README.TXT", "README.txt", "文本文件"},
        {"dir/NOTE.TXT", false, nullptr, nullptr, "dir/NOTE.TXT", "NOTE.txt", "文本文件",
         FileType::kText},
        {"NOTE.TXT", true, nullptr, nullptr, "NOTE.TXT", "NOTE.txt", "文本文件", FileType::kText},
        {"x.pac", false, nullptr, nullptr, "x.pac", "下载包", "*", FileType::kOther,
         TransferKind::sendPackage},
        {"-", false, "n", "a.dat", "a.dat", "n", "LavaData"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.pc);
        DialogRig rig;
        if (row.picked != nullptr) {
            const bool cancelled = row.picked == std::string_view("-");
            rig.view.pick = cancelled ? std::nullopt : std::optional(rig.dir / U(row.picked));
            if (row.dropped) WriteFileText(*rig.view.pick, "");
            if (row.dropped) rig.controller.Drop({*rig.view.pick});
            if (!row.dropped) rig.controller.Browse();
        }
        if (row.typedName != nullptr) rig.Type(Box::deviceName, row.typedName);
        if (row.typedPath != nullptr) rig.Type(Box::pcPath, row.typedPath);
        if (row.typedPath != nullptr && row.enter) {
            rig.controller.CommitPcPath();  // Enter: proposes, starts nothing
            EXPECT_TRUE(rig.view.runs.empty());
        }
        rig.controller.Download();
        EXPECT_EQ(rig.view.boxes[1], U(row.name));
        EXPECT_EQ(rig.view.boxes[2], U(row.directory));
        ASSERT_EQ(rig.view.runs.size(), 1U);
        const TransferRequest& sent = rig.view.runs.front();
        EXPECT_EQ(sent.kind, row.kind);
        const bool typed = row.typedPath != nullptr;  // as typed; a pick is in the scratch folder
        EXPECT_EQ(sent.files.at(0).pcPath, typed ? fs::path(U(row.pc)) : rig.dir / U(row.pc));
        EXPECT_EQ(sent.files.at(0).type, row.type);
        EXPECT_EQ(sent.files.at(0).deviceName, Gbk(row.name));
    }
}

TEST(Dialog, SeveralDroppedFiles) {
    const struct {
        std::vector<const char*> files;
        std::string status;  // after the drop
        bool runs;
    } rows[] = {
        {{"a.dat", "b.txt"}, "2个文件，第一个是a.dat", true},
        {{"a.dat", "x.pac"}, "下载包只能单独发送", false},
        {{"a.dat", "folder"}, "", false},
        {{}, "", false},
    };
    for (const auto& row : rows) {
        DialogRig rig;
        std::vector<fs::path> files;
        for (const char* name : row.files) files.push_back(rig.dir / name);
        for (const fs::path& file : files) {
            if (file.has_extension()) WriteFileText(file, "");
            if (!file.has_extension()) fs::create_directory(file);  // a folder drops nothing
        }
        rig.controller.Drop(files);
        EXPECT_EQ(rig.view.status, Gbk(row.status));
        ASSERT_EQ(rig.view.runs.size(), row.runs ? 1U : 0U);
        if (!row.runs) continue;
        EXPECT_EQ(rig.view.runs[0].files.size(), 2U);
        rig.controller.OnRunStatus(texts::kWaiting);
        EXPECT_EQ(rig.view.status, Gbk("2个文件，第一个是a.dat 等待传输开始..."));
        rig.controller.Drop(files);  // ignored while the run goes
        rig.controller.OnRunStatus(Gbk("下载b.txt"));
        EXPECT_EQ(rig.view.boxes[0], (rig.dir / "b.txt").native()) << "the file being sent";
        EXPECT_EQ(rig.view.boxes[2], U("文本文件"));
        rig.End(Result::Ok());
        EXPECT_EQ(rig.view.status, Gbk("共发送了2个文件 传输成功。"));
        EXPECT_EQ(rig.view.runs.size(), 1U);
    }
}

TEST(Dialog, RejectedRequestsSayWhy) {
    const struct {
        const char *pc, *name, *directory;
        Rejection rejection;
    } rows[] = {
        {"", "n", "d", Rejection::emptyPcPath},
        {"a.dat", "n m", "d", Rejection::spaceInDeviceName},
        {"a.dat", "n", "", Rejection::emptyDeviceDirectory},
    };
    for (const auto& row : rows) {
        DialogRig rig;
        rig.Type(Box::pcPath, row.pc);
        rig.controller.CommitPcPath();
        rig.Type(Box::deviceName, row.name);
        rig.Type(Box::deviceDirectory, row.directory);
        rig.controller.Download();
        EXPECT_TRUE(rig.view.runs.empty());
        EXPECT_EQ(rig.view.status, RejectionText(row.rejection));
        rig.Type(Box::deviceName, "m");
        EXPECT_EQ(rig.view.status, "") << "a box that changes clears what was said";
    }
}

// 取消, Escape and the close box, while a request runs and while none does.
TEST(Dialog, CancelledAndClosed) {
    enum Gesture { exitButton, escape, closeBox };
    const struct {
        Gesture gesture;
        bool running;
        int closedAtOnce;
        int closedAtEnd;
    } rows[] = {
        {exitButton, false, 1, 1}, {exitButton, true, 0, 0}, {escape, false, 0, 0},
        {escape, true, 0, 0},      {closeBox, false, 1, 1},  {closeBox, true, 0, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.gesture << row.running);
        DialogRig rig;
        rig.Pick(rig.dir / "a.dat");
        if (row.running) {
            rig.controller.Upload();
            EXPECT_EQ(rig.view.enabled, (std::array{false, false, false, true}));
            EXPECT_EQ(rig.view.exitText, texts::kCancel);
            EXPECT_EQ(rig.view.focused, Control::exit);
        }
        const std::array<std::function<void()>, 3> gestures{[&] { rig.controller.ExitOrCancel(); },
                                                            [&] { rig.controller.Escape(); },
                                                            [&] { rig.controller.RequestClose(); }};
        gestures[row.gesture]();
        EXPECT_EQ(rig.view.closed, row.closedAtOnce);
        if (!row.running) continue;
        EXPECT_TRUE(rig.view.cancel->Cancelled());
        rig.End(Result::Cancelled(texts::kCancelled));
        EXPECT_EQ(rig.view.closed, row.closedAtEnd);
        if (row.closedAtEnd) continue;
        EXPECT_EQ(rig.view.status, Gbk("终止传输：已取消"));
        EXPECT_EQ(rig.view.enabled, (std::array{true, true, true, true}));
        EXPECT_EQ(rig.view.exitText, texts::kExit);
        EXPECT_EQ(rig.view.focused, Control::upload) << "back on the button that started it";
    }
}

// What the line and the title show as the run reports, and when it ends.
TEST(Dialog, WaitingProgressAndEndTexts) {
    const std::string waiting(texts::kWaiting), listening = Gbk("正在监听串口COM1");
    const struct {
        const char* name;
        std::function<void(DialogController&)> run;
        std::string status;
        const char* title = "KESTREL";
    } rows[] = {
        {"waiting, and what the run adds",
         [&](DialogController& c) {
             c.OnRunStatus(waiting);
             c.OnRunHint(listening);
             c.OnRunHint(texts::kQuietGreeting);
         },
         waiting + " " + listening + " " + std::string(texts::kQuietGreeting)},
        {"a step after the wait stands alone",
         [&](DialogController& c) {
             c.OnRunStatus(waiting);
             c.OnRunHint(listening);
             c.OnRunStatus("b");
             c.OnRunHint("c");
         },
         "c"},
        {"a quarter sent",
         [](DialogController& c) {
             c.OnRunProgress("    3k", {1024, 4096});
         },
         "    3k", "KESTREL 25%"},
        {"a receive of unknown size",
         [](DialogController& c) {
             c.OnRunProgress("    5k", {5000, 0});
         },
         "    5k"},
        {"success, and its note",
         [](DialogController& c) {
             c.OnRunProgress("    0k", {4096, 4096});
             c.OnRunStatus(texts::kConvertedFromUtf8);
             c.OnRunStatus(texts::kSucceeded);
             c.OnRunEnded(Result::Ok());
         },
         Gbk("传输成功。已将UTF-8文本转换为GBK")},
        {"a failure keeps its reason",
         [](DialogController& c) {
             c.OnRunStatus("R");
             c.OnRunStatus(texts::kAborted);
             c.OnRunEnded(Result::Failed("R"));
         },
         Gbk("终止传输：R")},
        {"a failure without one",
         [](DialogController& c) {
             c.OnRunStatus(texts::kAborted);
             c.OnRunEnded(Result::Failed({}));
         },
         Gbk("终止传输")},
        {"a port that did not open",
         [](DialogController& c) {
             c.OnRunStatus(Gbk("无法打开串口COM2!"));  // nothing begun, nothing aborted
             c.OnRunEnded(Result::Failed(Gbk("无法打开串口COM2!")));
         },
         Gbk("无法打开串口COM2!")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        DialogRig rig;
        rig.Pick(rig.dir / "a.dat");
        rig.controller.Download();
        row.run(rig.controller);
        EXPECT_EQ(rig.view.status, row.status);
        EXPECT_EQ(rig.view.title, row.title);
    }
}

TEST(Dialog, UploadAsksBeforeReplacingAPcFile) {
    const struct {
        bool exists;
        std::optional<bool> answer;  // unset: not asked
        bool runs;
        Received received = Received::overPcFile;
    } rows[] = {{false, {}, true},
                {true, false, false},
                {true, true, true},
                {true, {}, true, Received::offeredAsDownload}};
    for (const auto& row : rows) {
        DialogRig rig;
        DialogController controller(rig.view, rig.store, rig.source, row.received);
        controller.Start();
        if (row.exists) WriteFileText(rig.dir / "BACK.TXT", "x");
        rig.view.pick = rig.dir / "BACK.TXT";
        controller.Browse();
        controller.Upload();
        EXPECT_EQ(rig.view.questions.size(), row.answer ? 1U : 0U);
        if (row.answer) {
            EXPECT_TRUE(rig.view.runs.empty()) << "nothing goes before the answer";
            EXPECT_EQ(rig.view.questions[0], Gbk("电脑上已有BACK.TXT，要替换它吗？"));
            rig.view.answer(*row.answer);
        }
        EXPECT_EQ(rig.view.runs.size(), row.runs ? 1U : 0U);
    }
}

// The port list, and what is remembered of a run: the directory and the
// UTF-8 choice as it starts, the port once it has succeeded.
TEST(Dialog, RememberedChoicesAndPorts) {
    using P = PortChoice::Kind;
    const std::string usb0 = "/dev/ttyUSB0", usb1 = "/dev/ttyUSB1";
    const struct {
        const char* name;
        std::vector<std::string> present;
        RememberedChoices remembered;
        std::vector<std::string> defaults;
        std::vector<std::string> labels;  // the list, 自动查找 and 虚拟文曲星 left out
        PortChoice chosen;
        bool succeeds = true;
        bool searchable = true;
    } rows[] = {
        {"a first run without ports", {}, {}, {}, {}, {P::builtInHandheld, {}}},
        {"a first run takes the first port present",
         {usb0, usb1},
         {},
         {},
         {"ttyUSB0", "ttyUSB1"},
         {P::serial, usb0}},
        {"the remembered port",
         {usb0, usb1},
         {"serial:" + usb1, U("备忘"), true},
         {},
         {"ttyUSB0", "ttyUSB1"},
         {P::serial, usb1}},
        {"a remembered port gone",
         {usb0},
         {"serial:" + usb1, {}, {}},
         {},
         {"ttyUSB0"},
         {P::serial, usb0}},
        {"the automatic search", {}, {"auto", {}, {}}, {}, {}, {P::automatic, {}}},
        {"a failed run leaves the port unremembered",
         {usb0},
         {},
         {},
         {"ttyUSB0"},
         {P::serial, usb0},
         false},
        {"Windows: COM1 to COM4 and the ports present",
         {"COM3", "COM7"},
         {},
         {"COM1", "COM2", "COM3", "COM4"},
         {"COM1", "COM2", "COM3", "COM4", "COM7"},
         {P::serial, "COM3"}},
        {"a face that cannot search offers no 自动查找",
         {usb0},
         {"auto", {}, {}},
         {},
         {"ttyUSB0"},
         {P::serial, usb0},
         true,
         false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        DialogRig rig(row.present, row.remembered, row.defaults, row.searchable);
        std::vector<std::string> labels;
        for (const PortListEntry& entry : rig.view.ports) {
            if (entry.port.kind == P::serial) labels.push_back(fs::path(entry.label).string());
        }
        EXPECT_EQ(rig.view.ports.size(), labels.size() + (row.searchable ? 2U : 1U));
        EXPECT_EQ(labels, row.labels);
        EXPECT_EQ(PortSetting(rig.Chosen().port), PortSetting(row.chosen));
        EXPECT_EQ(rig.view.boxes[2], row.remembered.directory.value_or(UserText()));
        EXPECT_EQ(rig.view.fetchAsUtf8, row.remembered.fetchAsUtf8.value_or(false));
        const bool wasRemembered = row.remembered.port.has_value();
        rig.controller.SetFetchAsUtf8(true);
        rig.Pick(rig.dir / "a.txt");
        rig.controller.Download();
        rig.controller.Upload();  // ignored: one run at a time
        ASSERT_EQ(rig.view.runs.size(), 1U);
        EXPECT_FALSE(rig.view.runs[0].files[0].text.keepBytes) << "UTF-8 text still goes as GBK";
        EXPECT_EQ(rig.store.kept.fetchAsUtf8, true);
        EXPECT_EQ(rig.store.kept.directory, U("文本文件"));
        rig.End(row.succeeds ? Result::Ok() : Result::Failed("R"));
        const bool succeeded = row.succeeds;
        EXPECT_EQ(rig.store.kept.port.has_value(), succeeded || wasRemembered);
        if (succeeded) {
            EXPECT_EQ(rig.store.kept.port, PortSetting(row.chosen));
        }
        rig.controller.Upload();
        ASSERT_EQ(rig.view.runs.size(), 2U);
        EXPECT_TRUE(rig.view.runs[1].files[0].text.asUtf8) << "a fetched text as UTF-8";
    }
}

// A port known by its stable name is listed, opened and remembered by it,
// and the list opened anew keeps the choice.
TEST(Dialog, StablePortNamesAndRefreshing) {
    DialogRig rig;
    WriteFileText(rig.dir / "ttyUSB3", "");
    fs::create_directory(rig.dir / "by-id");
    std::error_code unlinkable;  // Windows has no such names, and may refuse the link
    fs::create_symlink(rig.dir / "ttyUSB3", rig.dir / "by-id" / "usb-FTDI-if00", unlinkable);
    rig.ports = {(rig.dir / "ttyUSB3").string()};
    rig.controller.RefreshPorts();
    rig.Choose(0);
    EXPECT_EQ(rig.Chosen().label, U("ttyUSB3"));
    const std::string stable =
        (rig.dir / (unlinkable ? "ttyUSB3" : "by-id/usb-FTDI-if00")).string();
    EXPECT_EQ(rig.Chosen().port.name, stable);
    rig.ports.insert(rig.ports.begin(), "/dev/ttyACM0");
    rig.controller.RefreshPorts();
    EXPECT_EQ(rig.view.chosen, 1U) << "still the chosen port, further down";
    rig.Choose(2);  // 自动查找
    rig.controller.RefreshPorts();
    EXPECT_EQ(rig.Chosen().port.kind, PortChoice::Kind::automatic);
    rig.Choose(1);
    rig.Pick(rig.dir / "a.dat");
    rig.controller.Download();
    EXPECT_EQ(rig.view.runs.at(0).port.name, stable);
    rig.End(Result::Ok());
    EXPECT_EQ(rig.store.kept.port, "serial:" + stable);
}

}  // namespace
}  // namespace kestrel::test
