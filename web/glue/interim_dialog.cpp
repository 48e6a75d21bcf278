// INTERIM: the dialog's rules for the page, taken from the same app
// functions the Qt dialog calls (proposals, rejections, remembered choices,
// end texts), until the dialog controller of app/core takes their place.
// The page forwards each gesture here; everything shown goes out through
// PageView. One transfer at a time: the page queues gestures while one runs.
#include <emscripten.h>

#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/core/app_texts.h"
#include "app/core/gbk_text.h"
#include "app/core/picked_file.h"
#include "app/core/program_setup.h"
#include "app/core/remembered.h"
#include "app/core/request_form.h"
#include "app/core/run_texts.h"
#include "formats/whole_file.h"
#include "page_status.h"
#include "page_view.h"
#include "transfer/run_transfer.h"
#include "transfer/transfer_texts.h"

namespace kestrel::web {
namespace {

// Where the page puts the files a person chose, and where received ones land.
const std::filesystem::path kPcFolder = "/pc";
constexpr const char* kPortKey = "port";
constexpr const char* kDirectoryKey = "directory";
constexpr const char* kUtf8Key = "fetchAsUtf8";

std::string Utf8(std::string_view gbk) {
    return GbkToUtf8(gbk).value_or(std::string(gbk));
}

std::vector<std::filesystem::path> PcFiles(const char* names) {
    std::vector<std::filesystem::path> files;
    std::istringstream lines(names);
    for (std::string name; std::getline(lines, name);) {
        if (!name.empty()) files.push_back(kPcFolder / name);
    }
    return files;
}

// The port a run opens: the page's serial port by the name the page gave it,
// or the in-page virtual handheld, which the page serves on a line of its own.
ResultOf<std::unique_ptr<Port>> OpenPagePort(const PortChoice& port) {
    return OpenSerialPort(port.kind == PortChoice::Kind::serial ? port.name
                                                                : Utf8(texts::kBuiltInHandheld));
}

TransferSetup PageSetup() {
    ProgramFiles files;
    files.tableFolders = {"/config"};
    files.tempDirectory = "/tmp/kestrel";
    TransferSetup setup = LoadSetup(files);
    setup.openPort = OpenPagePort;
    return setup;
}

// What a 上传 brought: the file, or what arrived of it before the run failed.
void OfferReceived(const TransferRequest& request, const Result& end) {
    if (request.kind != TransferKind::receive) return;
    const std::filesystem::path& landing = request.files.front().pcPath;
    const std::filesystem::path offered = end.IsOk() ? landing : PartialPath(landing);
    std::error_code error;
    if (!std::filesystem::is_regular_file(offered, error)) return;
    PageView::OfferDownload(offered.string(), offered.filename().string());
}

void Run(ResultOf<TransferRequest> formed, std::string_view directory, bool fetchAsUtf8) {
    if (!formed.IsOk()) {
        PageView::ShowStatus(Utf8(formed.Reason()));
        return;
    }
    TransferRequest& request = formed.Value();
    PageView::Remember(kPortKey, PortSetting(request.port));
    PageView::Remember(kDirectoryKey, directory);
    PageView::Remember(kUtf8Key, fetchAsUtf8 ? "1" : "");
    if (request.kind == TransferKind::receive) {
        std::error_code error;
        std::filesystem::remove(PartialPath(request.files.front().pcPath), error);
    }
    PageView::ShowRunning(true);
    PageStatus status;
    CancelSwitch cancel;  // the page cancels through its ports, see serial_ports.js
    const Result end = RunTransfer(request, PageSetup(), status, cancel);
    OfferReceived(request, end);
    PageView::ShowStatus(Utf8(status.EndText(end)));
    PageView::ShowTitle(WindowTitle(std::nullopt));
    PageView::ShowRunning(false);
}

struct Page {
    std::vector<std::filesystem::path> picked;  // the files last chosen, in kPcFolder
    std::string severalShown;                   // the PC box naming several of them
};

}  // namespace
}  // namespace kestrel::web

using namespace kestrel;
using namespace kestrel::web;

extern "C" {

// The page's state for its lifetime, with the remembered choices shown.
EMSCRIPTEN_KEEPALIVE Page* kestrel_page_open() {
    PageView::ShowPresets(
        Utf8(std::string(texts::kDirLava) + "\n" + std::string(texts::kDirLavaData)));
    PageView::ShowPort(PageView::Setting(kPortKey));
    if (const std::string directory = PageView::Setting(kDirectoryKey); !directory.empty()) {
        PageView::ShowBox(Box::deviceDirectory, directory);
    }
    PageView::ShowUtf8(!PageView::Setting(kUtf8Key).empty());
    return new Page;
}

// Files chosen or dropped: names in kPcFolder, one a line. One file fills
// the boxes as proposed; several are named in the PC box and go together,
// each as proposed, while the box still names them.
EMSCRIPTEN_KEEPALIVE void kestrel_page_pick(Page* page, const char* names) {
    page->picked = PcFiles(names);
    if (page->picked.size() > 1) {
        page->severalShown.clear();
        for (const auto& file : page->picked) {
            page->severalShown +=
                (page->severalShown.empty() ? "" : "; ") + file.filename().string();
        }
        PageView::ShowBox(Box::pcFile, page->severalShown);
        PageView::ShowBox(Box::deviceName, "");
        return;
    }
    if (page->picked.empty()) return;
    const std::optional<Proposal> proposal = ProposeForPickedFile(page->picked.front());
    if (!proposal) return;
    PageView::ShowBox(Box::pcFile, page->picked.front().filename().string());
    PageView::ShowBox(Box::deviceName, proposal->boxes.deviceName);
    PageView::ShowBox(Box::deviceDirectory, proposal->boxes.deviceDirectory);
}

// 下载 (send 1) or 上传 (send 0) with the boxes as they are.
EMSCRIPTEN_KEEPALIVE void kestrel_page_transfer(Page* page, int send, const char* pcFile,
                                                const char* deviceName, const char* deviceDirectory,
                                                const char* port, int fetchAsUtf8) {
    const std::optional<PortChoice> chosen = PortFromSetting(port);
    if (!chosen) return;
    const Direction direction = send != 0 ? Direction::send : Direction::receive;
    if (direction == Direction::send && page->picked.size() > 1 && pcFile == page->severalShown) {
        Run(RequestFromArguments(direction, Arguments{page->picked, {}, {}, {}}, *chosen),
            deviceDirectory, false);
        return;
    }
    const RequestBoxes boxes{std::string(pcFile).empty() ? "" : (kPcFolder / pcFile).string(),
                             deviceName, deviceDirectory};
    const std::optional<std::filesystem::path> picked =
        page->picked.size() == 1 ? std::optional(page->picked.front()) : std::nullopt;
    const TextHandling text{false, fetchAsUtf8 != 0};
    Run(RequestFromBoxes(direction, boxes, *chosen, picked, text), deviceDirectory,
        fetchAsUtf8 != 0);
}

}  // extern "C"
