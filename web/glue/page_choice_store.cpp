#include "page_choice_store.h"

#include <emscripten.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace kestrel::web {
namespace {

// clang-format off
// The kept text, in memory the caller frees; null when nothing is kept.
EM_JS(char*, KestrelKept, (const char* key), {
    let kept = null;
    try { kept = localStorage.getItem("kestrel." + UTF8ToString(key)); } catch { /* none */ }
    if (kept === null) return 0;
    const size = lengthBytesUTF8(kept) + 1;
    const text = _malloc(size);
    stringToUTF8(kept, text, size);
    return text;
});
EM_JS(void, KestrelKeep, (const char* key, const char* value), {
    try { localStorage.setItem("kestrel." + UTF8ToString(key), UTF8ToString(value)); } catch { /* unkept */ }
});
// clang-format on

constexpr const char* kPort = "port";
constexpr const char* kDirectory = "directory";
constexpr const char* kFetchAsUtf8 = "fetchAsUtf8";
constexpr const char* kYes = "1";

std::optional<std::string> Kept(const char* key) {
    const std::unique_ptr<char, decltype(&std::free)> kept(KestrelKept(key), &std::free);
    if (!kept) return std::nullopt;
    return std::string(kept.get());
}

}  // namespace

RememberedChoices PageChoiceStore::Read() {
    const std::optional<std::string> fetchAsUtf8 = Kept(kFetchAsUtf8);
    return {Kept(kPort), Kept(kDirectory),
            fetchAsUtf8 ? std::optional(*fetchAsUtf8 == kYes) : std::nullopt};
}

void PageChoiceStore::Write(const RememberedChoices& changed) {
    if (changed.port) KestrelKeep(kPort, changed.port->c_str());
    if (changed.directory) KestrelKeep(kDirectory, changed.directory->c_str());
    if (changed.fetchAsUtf8) KestrelKeep(kFetchAsUtf8, *changed.fetchAsUtf8 ? kYes : "");
}

}  // namespace kestrel::web
