// The page: the dialog's controller (app/core) with the page as its view and
// the browser's storage as its memory. web/main.js hands each gesture here
// while no run goes, and queues it while one does: a run suspends the
// module at its port's waits, and a suspended module may not be entered, so
// the queue is served from inside the run, when a read lets the page in
// (link/web_serial_port.cpp), and once more before the run's end is shown.
//
// What a 上传 receives is offered as a download, named like the PC file;
// what arrived of one that failed, named so with ".part" added.
#include <emscripten.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/core/dialog_controller.h"
#include "app/core/program_setup.h"
#include "app/core/status_relay.h"
#include "formats/whole_file.h"
#include "page_choice_store.h"
#include "page_view.h"
#include "text/texts.h"

namespace kestrel::web {
namespace {

// Gestures, in web/main.js's order.
enum Gesture {
    edit,  // number: the box
    commitPcPath,
    drop,        // text: the files' names, one a line
    choosePort,  // number: the entry
    refreshPorts,
    fetchAsUtf8,  // number: 1 checked
    download,
    upload,
    exitOrCancel,
    escape,
    about,
};

// clang-format off
EM_JS(char*, KestrelPagePorts, (), {
    const names = Module["portNames"]().join("\n");
    const size = lengthBytesUTF8(names) + 1;
    const text = _malloc(size);
    stringToUTF8(names, text, size);
    return text;
});
EM_JS(void, KestrelServeQueued, (), { Module["serveQueued"](); });
// clang-format on

// Each line of a text that holds one.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

// The serial ports the person has given the page, by the names it gave them.
std::vector<std::string> PagePorts() {
    const std::unique_ptr<char, decltype(&std::free)> names(KestrelPagePorts(), &std::free);
    return Lines(names.get());
}

// The port a run opens: a serial port by the name the page gave it, or the
// in-page virtual handheld, which the page serves on a line of its own.
ResultOf<std::unique_ptr<Port>> OpenPagePort(const PortChoice& port) {
    const bool serial = port.kind == PortChoice::Kind::serial;
    return OpenSerialPort(serial ? port.name : GbkToUtf8(texts::kBuiltInHandheld).value_or(""));
}

TransferSetup PageSetup() {
    ProgramFiles files;
    files.tableFolders = {"/config"};
    files.tempDirectory = "/tmp/kestrel";
    TransferSetup setup = LoadSetup(files);
    setup.openPort = OpenPagePort;
    return setup;
}

class Page {
  public:
    Page()
        : controller_(view_, store_, PortSource{{}, PagePorts, {}, false},
                      Received::offeredAsDownload) {
        controller_.Start();
    }

    // True when the gesture started a run, for Run() to run.
    bool Take(Gesture gesture, int number, const std::string& text);
    void Run();

  private:
    PageView view_;
    PageChoiceStore store_;
    DialogController controller_;
};

bool Page::Take(Gesture gesture, int number, const std::string& text) {
    switch (gesture) {
        case edit: {
            const auto box = static_cast<Box>(number);
            // A refused edit goes back: the box shows what the controller holds.
            if (!controller_.Edit(box, text)) view_.ShowBox(box, controller_.Text(box));
            break;
        }
        case commitPcPath:
            controller_.CommitPcPath();
            break;
        case drop: {
            const std::vector<std::string> names = Lines(text);
            controller_.Drop({names.begin(), names.end()});
            break;
        }
        case choosePort:
            controller_.ChoosePort(static_cast<std::size_t>(number));
            break;
        case refreshPorts:
            controller_.RefreshPorts();
            break;
        case fetchAsUtf8:
            controller_.SetFetchAsUtf8(number != 0);
            break;
        case download:
            controller_.Download();
            break;
        case upload:
            controller_.Upload();
            break;
        case exitOrCancel:
            controller_.ExitOrCancel();
            break;
        case escape:
            controller_.Escape();
            break;
        case about:
            controller_.About();
            break;
    }
    return view_.RunWaiting();
}

void Page::Run() {
    const std::optional<WaitingRun> run = view_.TakeRun();
    if (!run) return;
    const TransferRequest& request = run->request;
    const bool receive = request.kind == TransferKind::receive && !request.files.empty();
    const std::filesystem::path landing = receive ? request.files.front().pcPath : "";
    std::error_code error;
    if (receive) std::filesystem::remove(PartialPath(landing), error);  // not a past run's
    StatusRelay status(controller_, [](const std::function<void()>& show) { show(); });
    const Result end = RunTransfer(request, PageSetup(), status, *run->cancel);
    const std::filesystem::path received = end.IsOk() ? landing : PartialPath(landing);
    if (receive && std::filesystem::is_regular_file(received, error)) {
        PageView::OfferDownload(received);
    }
    KestrelServeQueued();
    controller_.OnRunEnded(end);
}

}  // namespace
}  // namespace kestrel::web

using kestrel::web::Page;

extern "C" {

// The page's controller for the page's lifetime, its remembered choices shown.
EMSCRIPTEN_KEEPALIVE Page* kestrel_page_open() {
    return new Page;
}

// One gesture; 1 when it started a run, which kestrel_page_run then runs.
EMSCRIPTEN_KEEPALIVE int kestrel_page_gesture(Page* page, int gesture, int number,
                                              const char* text) {
    return page->Take(static_cast<kestrel::web::Gesture>(gesture), number, text) ? 1 : 0;
}

// The run the last gesture started, to its end; the module suspends at
// every wait on the port.
EMSCRIPTEN_KEEPALIVE void kestrel_page_run(Page* page) {
    page->Run();
}

}  // extern "C"
