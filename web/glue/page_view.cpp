#include "page_view.h"

#include <emscripten.h>

#include <string>

#include "app/core/app_texts.h"

namespace kestrel::web {
namespace {

// What the view shows as text, in web/view.js's order.
enum Shown { status, title, pcPath, deviceName, deviceDirectory, directoryChoices };

// clang-format off
EM_JS(void, KestrelShow, (int what, const char* text), {
    Module["view"].show(what, UTF8ToString(text));
});
EM_JS(void, KestrelShowPorts, (const char* labels, const char* details, int chosen), {
    Module["view"].showPorts(UTF8ToString(labels).split("\n"), UTF8ToString(details).split("\n"),
                             chosen);
});
EM_JS(void, KestrelCheck, (int checked), { Module["view"].check(checked !== 0); });
EM_JS(void, KestrelEnable, (int control, int enabled), {
    Module["view"].enable(control, enabled !== 0);
});
EM_JS(void, KestrelFocus, (int control), { Module["view"].focus(control); });
EM_JS(int, KestrelAsk, (const char* question), {
    return Module["view"].ask(UTF8ToString(question)) ? 1 : 0;
});
EM_JS(void, KestrelAbout, (const char* title, const char* text), {
    Module["view"].about(UTF8ToString(title), UTF8ToString(text));
});
EM_JS(void, KestrelOffer, (const char* path, const char* name), {
    Module["view"].offerDownload(FS.readFile(UTF8ToString(path)), UTF8ToString(name));
});
// clang-format on

// A text that is not GBK is a fault of the program, but still shown.
std::string Utf8(std::string_view gbk) {
    return GbkToUtf8(gbk).value_or(std::string(gbk));
}

std::string Lines(const std::vector<UserText>& texts) {
    std::string lines;
    for (const UserText& text : texts) lines += (lines.empty() ? "" : "\n") + text;
    return lines;
}

}  // namespace

void PageView::ShowBox(Box box, const UserText& text) {
    KestrelShow(pcPath + static_cast<int>(box), text.c_str());
}

void PageView::ShowDirectoryChoices(const std::vector<UserText>& directories) {
    KestrelShow(directoryChoices, Lines(directories).c_str());
}

void PageView::ShowPorts(const std::vector<PortListEntry>& ports, std::size_t chosen) {
    std::vector<UserText> labels;
    std::vector<UserText> details;
    for (const PortListEntry& port : ports) {
        labels.push_back(port.label);
        details.push_back(port.detail);
    }
    KestrelShowPorts(Lines(labels).c_str(), Lines(details).c_str(), static_cast<int>(chosen));
}

void PageView::ShowFetchAsUtf8(bool checked) {
    KestrelCheck(checked ? 1 : 0);
}

void PageView::ShowStatus(std::string_view gbkText) {
    KestrelShow(status, Utf8(gbkText).c_str());
}

void PageView::ShowTitle(std::string_view gbkText) {
    KestrelShow(title, Utf8(gbkText).c_str());
}

void PageView::ShowExitText(std::string_view gbkText) {
    Enable(Control::exit, gbkText == texts::kCancel);
}

void PageView::Enable(Control control, bool enabled) {
    KestrelEnable(static_cast<int>(control), enabled ? 1 : 0);
}

void PageView::Focus(Control control) {
    KestrelFocus(static_cast<int>(control));
}

void PageView::Ask(std::string_view gbkQuestion, std::function<void(bool yes)> answer) {
    answer(KestrelAsk(Utf8(gbkQuestion).c_str()) != 0);
}

void PageView::PickFile(const UserText& /*initial*/,
                        std::function<void(std::optional<std::filesystem::path>)> picked) {
    picked(std::nullopt);
}

void PageView::ShowAbout(std::string_view gbkTitle, std::string_view gbkText) {
    KestrelAbout(Utf8(gbkTitle).c_str(), Utf8(gbkText).c_str());
}

void PageView::Run(TransferRequest request, std::shared_ptr<CancelSwitch> cancel) {
    waiting_ = WaitingRun{std::move(request), std::move(cancel)};
}

void PageView::OfferDownload(const std::filesystem::path& path) {
    KestrelOffer(path.c_str(), path.filename().c_str());
}

}  // namespace kestrel::web
