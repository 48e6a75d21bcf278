#pragma once
// What the dialog's port list offers: the serial ports present, by their
// stable names where the system gives them (Linux: /dev/serial/by-id), and
// the virtual handheld built into the program, so that anyone can try every
// command without a handheld.
//
// Promises:
// - ListPortChoices keeps the order of the device paths it is given and puts
//   the virtual handheld last; it reads the stable-name folder, nothing else.
// - A choice's portName is what a request carries and DialogPortOpener
//   opens: a device path (the stable link itself where there is one, so the
//   same adapter is found even when its ttyUSB number changes), or the GBK
//   text "虚拟文曲星".
// - DialogPortOpener opens a fresh virtual handheld for every run; its files
//   stay in handheldRoot between runs.

#include <filesystem>
#include <string>
#include <vector>

#include "app/gbk_text.h"
#include "transfer/transfer_worker.h"

namespace kestrel {

struct PortChoice {
    UserText label;        // the list's text
    std::string portName;  // for the request
};

std::vector<PortChoice> ListPortChoices(const std::vector<std::string>& devicePaths,
                                        const std::filesystem::path& stableNameFolder);

PortOpener DialogPortOpener(std::filesystem::path handheldRoot, PortOpener openSerialPort);

}  // namespace kestrel
