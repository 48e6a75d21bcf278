#include "page_view.h"

#include <emscripten.h>

#include <cstdlib>
#include <memory>

namespace kestrel::web {
namespace {

// clang-format off
EM_JS(void, KestrelViewText, (int what, const char* text, std::size_t size), {
    const shown = UTF8ToString(text, size);
    const view = Module["view"];
    [view.showStatus, view.showTitle, view.showPcFile, view.showDeviceName,
     view.showDeviceDirectory, view.showPort, view.showPresets].at(what).call(view, shown);
});
EM_JS(void, KestrelViewFlag, (int what, int on), {
    const view = Module["view"];
    [view.showUtf8, view.showRunning].at(what).call(view, on !== 0);
});
EM_JS(void, KestrelViewOffer, (const char* path, const char* name), {
    Module["view"].offerDownload(FS.readFile(UTF8ToString(path)), UTF8ToString(name));
});
EM_JS(char*, KestrelViewSetting, (const char* key), {
    const kept = Module["view"].setting(UTF8ToString(key)) || "";
    const size = lengthBytesUTF8(kept) + 1;
    const text = _malloc(size);
    stringToUTF8(kept, text, size);
    return text;
});
EM_JS(void, KestrelViewRemember, (const char* key, const char* value), {
    Module["view"].remember(UTF8ToString(key), UTF8ToString(value));
});
// clang-format on

enum Text { status, title, pcFile, deviceName, deviceDirectory, port, presets };

void Show(Text what, std::string_view text) {
    KestrelViewText(what, text.data(), text.size());
}

}  // namespace

void PageView::ShowStatus(std::string_view text) {
    Show(status, text);
}
void PageView::ShowTitle(std::string_view text) {
    Show(title, text);
}
void PageView::ShowBox(Box box, std::string_view text) {
    Show(static_cast<Text>(pcFile + static_cast<int>(box)), text);
}
void PageView::ShowPort(std::string_view setting) {
    Show(port, setting);
}
void PageView::ShowPresets(std::string_view directories) {
    Show(presets, directories);
}
void PageView::ShowUtf8(bool checked) {
    KestrelViewFlag(0, checked ? 1 : 0);
}
void PageView::ShowRunning(bool running) {
    KestrelViewFlag(1, running ? 1 : 0);
}
void PageView::OfferDownload(std::string_view path, std::string_view name) {
    KestrelViewOffer(std::string(path).c_str(), std::string(name).c_str());
}
std::string PageView::Setting(std::string_view key) {
    const std::unique_ptr<char, decltype(&std::free)> kept(
        KestrelViewSetting(std::string(key).c_str()), &std::free);
    return kept.get();
}
void PageView::Remember(std::string_view key, std::string_view value) {
    KestrelViewRemember(std::string(key).c_str(), std::string(value).c_str());
}

}  // namespace kestrel::web
