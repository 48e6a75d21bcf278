#pragma once
// The page as C++ sees it: setters on the JavaScript view (web/view.js,
// reached as Module.view). The view shows what it is told and never
// decides; every call returns at once. Texts are UTF-8.

#include <string>
#include <string_view>

namespace kestrel::web {

enum class Box { pcFile, deviceName, deviceDirectory };

struct PageView {
    static void ShowStatus(std::string_view text);
    static void ShowTitle(std::string_view text);
    static void ShowBox(Box box, std::string_view text);
    static void ShowPort(std::string_view setting);
    // The directories the directory box offers, one a line.
    static void ShowPresets(std::string_view directories);
    static void ShowUtf8(bool checked);
    static void ShowRunning(bool running);
    // Offers the file at `path` in this module's file system as a download
    // named `name`.
    static void OfferDownload(std::string_view path, std::string_view name);
    // The browser's storage, per page: empty when nothing is kept.
    static std::string Setting(std::string_view key);
    static void Remember(std::string_view key, std::string_view value);
};

}  // namespace kestrel::web
