#include "tests/dialog_cases/dialog_cases.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <sstream>
#include <stdexcept>

#include "app/platform/gbk_text.h"
#include "app/core/refusal.h"
#include "tests/support/scratch_dir.h"

namespace kestrel::test {
namespace {

namespace fs = std::filesystem;

const std::string kNote = "first line\r\nsecond line\r\n";  // every PC file's bytes

fs::path FromUtf8(const std::string& text) {
    return fs::path(std::u8string(text.begin(), text.end()));
}

struct CaseRun {
    CaseRun() {
        rig.folder = scratch.Path();
        rig.files.handheldRoot = scratch / "handheld";
        rig.files.tempDirectory = scratch.Path();
        rig.files.openSerialPort = [this](std::string_view) {
            auto [pcEnd, farEnd] = MakeMemoryPortPair();
            rig.silentFarEnd = std::move(farEnd);  // kept, so that reads wait until cancelled
            rig.silentOpened = true;
            return OpenedPort{std::move(pcEnd), {}};
        };
        fs::create_directories(scratch / "pc");
        for (const char* name : {"NOTE.TXT", "MEMO.TXT", "GAME.BIN", "读书笔记.TXT"}) {
            WriteFileText(Pc(name), kNote);
        }
        driver = MakeDialogDriver(rig);
    }
    fs::path Pc(const std::string& name) const { return scratch / "pc" / FromUtf8(name); }

    ScratchDir scratch;
    Rig rig;
    std::unique_ptr<DialogDriver> driver;
};

struct DialogCase {
    std::string name;
    std::string steps;  // separated by ";"
    Refusal refusal{};  // what "refused" looks for
};

// The words steps name fields and buttons by, in the order of their enums.
const std::vector<std::string> kFields = {"pc", "name", "dir", "status", "title", "exit", "port"};
const std::vector<std::string> kButtons = {"download", "upload", "exit",
                                           "browse",   "escape", "close"};

template <typename Enum>
Enum Named(const std::vector<std::string>& words, const std::string& word) {
    const auto at = std::find(words.begin(), words.end(), word);
    if (at == words.end()) throw std::invalid_argument("no field or button " + word);
    return static_cast<Enum>(at - words.begin());
}

// Does one step, "VERB WHAT TEXT", where TEXT (the rest) may hold spaces and
// "{pc}NAME" stands for a PC file's path. False when the case cannot go on.
bool Do(CaseRun& run, const DialogCase& row, const std::string& step) {
    std::istringstream words(step);
    std::string verb, what, text;
    words >> verb >> what;
    std::getline(words >> std::ws, text);
    if (text.starts_with("{pc}")) {
        const std::u8string path = run.Pc(text.substr(4)).u8string();
        text.assign(path.begin(), path.end());
    }
    DialogDriver& dialog = *run.driver;
    if (verb == "set") {
        dialog.SetText(Named<Field>(kFields, what), text);
    } else if (verb == "type") {
        dialog.Type(Named<Field>(kFields, what), text);
    } else if (verb == "press") {
        dialog.Press(Named<Button>(kButtons, what));
    } else if (verb == "pick") {  // Browse; "pick -" cancels the pick
        run.rig.pick = what == "-" ? std::nullopt : std::optional(run.Pc(what));
        dialog.Press(Button::browse);
    } else if (verb == "drop") {
        std::vector<fs::path> files{run.Pc(what)};
        if (!text.empty()) files.push_back(run.Pc(text));  // a second file
        dialog.Drop(files);
    } else if (verb == "port") {
        dialog.ChoosePort(what == "silent");
    } else if (verb == "reopen") {
        dialog.Open();
    } else if (verb == "wait") {  // for the silent port to open, or the run to end
        return dialog.RunUntil(
            [&] { return what == "silent" ? run.rig.silentOpened.load() : !dialog.Running(); });
    } else if (verb == "gone") {  // the dialog ends, its port closed by then
        if (!dialog.RunUntil([&] { return dialog.Ended(); })) return false;
        EXPECT_EQ(run.rig.silentFarEnd->Write(FromText("?")), IoStatus::failed)
            << "the dialog ended with its port open";
    } else if (verb == "expect") {  // TEXT starting "..." is the shown text's end
        const std::string shown = dialog.Text(Named<Field>(kFields, what));
        const bool held = text.starts_with("...") ? shown.ends_with(text.substr(3)) : shown == text;
        EXPECT_TRUE(held) << step << ", not " << shown;
        return held;
    } else if (verb == "refused") {  // says why on the status line, and starts nothing
        EXPECT_EQ(dialog.Text(Field::status), GbkToUtf8(RefusalText(row.refusal)).value_or("?"));
        EXPECT_FALSE(dialog.Running());
    } else if (verb == "file") {  // holds the PC file's bytes after a header of WHAT bytes
        const Bytes bytes = ReadFileBytes(run.scratch / FromUtf8(text));
        const std::string held(bytes.begin(), bytes.end());
        EXPECT_TRUE(held.size() == std::stoul(what) + kNote.size() && held.ends_with(kNote))
            << step;
    } else {
        ADD_FAILURE() << "no such step: " << step;
        return false;
    }
    return true;
}

// clang-format off
const std::string kRefusedOnSilentPort = "; port silent; press download; refused";
// A download that waits for a handheld that never answers.
const std::string kSilentRun = "set pc {pc}NOTE.TXT; set name NOTE.txt; set dir 文本文件; "
    "port silent; press download; wait silent; expect exit 取消; ";
const std::string kCancelledAndStaying = "; wait end; expect status 终止传输：已取消; expect exit 退出";

const std::vector<DialogCase> kCases = {
    {"PickedTextThereAndBack", "pick NOTE.TXT; expect pc {pc}NOTE.TXT; expect name NOTE.txt; "
        "expect dir 文本文件; port handheld; press download; wait end; expect status ...传输成功。; "
        "expect title KESTREL; expect exit 退出; file 24 handheld/文本文件/NOTE.txt; "
        "pick BACK.TXT; set name NOTE.txt; press upload; wait end; expect status ...传输成功。; "
        "file 0 pc/BACK.TXT"},
    {"RefusesAnEmptyBox", "set pc; set name NOTE.txt; set dir 文本文件" + kRefusedOnSilentPort,
        Refusal::emptyPcPath},
    {"RefusesASpaceInTheName", "set pc {pc}NOTE.TXT; set name NO TE.txt; set dir 文本文件" +
        kRefusedOnSilentPort, Refusal::spaceInDeviceName},
    {"RefusesASpaceInTheDirectory", "set pc {pc}NOTE.TXT; set name NOTE.txt; set dir 文本 文件" +
        kRefusedOnSilentPort, Refusal::spaceInDeviceDirectory},
    {"BoxesHoldFourteenBytesOfGbk", "type name 文曲星文曲星文星; expect name 文曲星文曲星文; "
        "set name; type name abcdefghijklm文; expect name abcdefghijklm; "
        "set dir; type dir abcdefghijklm文; expect dir abcdefghijklm"},
    {"CancelledPickKeepsTheBoxesADroppedFileFillsThem", "set pc a; set name b; set dir c; pick -; "
        "expect pc a; expect name b; expect dir c; drop MEMO.TXT; expect pc {pc}MEMO.TXT; "
        "expect name MEMO.txt; expect dir 文本文件"},
    {"TwoDroppedFilesGoInOneSession", "port handheld; drop NOTE.TXT MEMO.TXT; wait end; "
        "expect status ...传输成功。; file 24 handheld/文本文件/NOTE.txt; "
        "file 24 handheld/文本文件/MEMO.txt"},
    {"FailureKeepsItsReason", "pick GAME.BIN; port handheld; press download; wait end; "
        "expect status 终止传输：没有可用的解码表文件substitution.table"},
    {"ExitCancelsAndStays", kSilentRun + "press exit" + kCancelledAndStaying},
    {"EscapeCancelsAndStays", kSilentRun + "press escape" + kCancelledAndStaying},
    {"ClosingMidRunEndsOnceTheRunHas", kSilentRun + "press close; gone"},
    {"RemembersPortAndDirectory", "set pc {pc}NOTE.TXT; set name NOTE.txt; set dir 备忘; "
        "port handheld; press download; wait end; reopen; expect port 虚拟文曲星; expect dir 备忘"},
};
// clang-format on

bool RunSteps(CaseRun& run, const DialogCase& row) {
    std::istringstream steps(row.steps);
    for (std::string step; std::getline(steps >> std::ws, step, ';');) {
        if (!Do(run, row, step)) return false;
    }
    return true;
}

TEST(DialogCases, EveryCase) {
    for (const DialogCase& row : kCases) {
        SCOPED_TRACE(row.name);
        CaseRun run;
        RunSteps(run, row);
    }
}

}  // namespace

int RunCasesOrPhotograph() {
    const char* file = std::getenv("KESTREL_SCREENSHOT");
    if (file == nullptr) return RUN_ALL_TESTS();
    CaseRun run;  // Chinese in the boxes, and the status line after a download
    const DialogCase download{"",
                              "pick 读书笔记.TXT; port handheld; press download; wait end; "
                              "expect status ...传输成功。"};
    if (!RunSteps(run, download)) return 1;
    const auto drawn = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
    run.driver->RunUntil([&] { return std::chrono::steady_clock::now() > drawn; });
    return run.driver->Photograph(file) ? 0 : 1;
}

}  // namespace kestrel::test
