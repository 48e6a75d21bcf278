#pragma once
// What the dialog's port list offers: the serial ports present, by their
// stable names where the system gives them (Linux: /dev/serial/by-id), and
// the virtual handheld built into the program, so that anyone can try every
// command without a handheld.
//
// Promises:
// - ListPortChoices keeps the order of the device paths it is given and puts
//   "自动查找" (the port the handheld greets on) and the virtual handheld
//   last; it reads the stable-name folder, nothing else.
// - A serial choice names the stable link itself where there is one, so the
//   same adapter is found even when its ttyUSB number changes; its label is
//   the device's own short name.

#include <filesystem>
#include <string>
#include <vector>

#include "app/platform/gbk_text.h"
#include "transfer/transfer_request.h"

namespace kestrel {

struct PortListEntry {
    UserText label;   // short enough for the closed box: "ttyUSB0", "虚拟文曲星"
    UserText detail;  // what the open list and the tooltip show: the whole path
    PortChoice port;  // for the request
};

std::vector<PortListEntry> ListPortChoices(const std::vector<std::string>& devicePaths,
                                           const std::filesystem::path& stableNameFolder);

}  // namespace kestrel
