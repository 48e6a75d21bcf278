#pragma once
// The ports a user may choose, the same in every face: the platform's
// default ports, the serial ports present (by their stable names where the
// system gives them: Linux's /dev/serial/by-id), "自动查找" (the port the
// handheld greets on) and "虚拟文曲星", the handheld built into the program.
//
// Promises:
// - ListPortChoices keeps the order it is given, defaults first, a present
//   port that is also a default listed once, and puts "自动查找" (where the
//   face can search) and "虚拟文曲星" last; it reads the stable-name folder and nothing else.
// - A serial choice names the stable link itself where there is one, so the
//   same adapter is found, and remembered, even when its ttyUSB number
//   changes; its label is the device's own short name.
// - ChoiceFor is the entry of the port wanted when the list holds it, else
//   the first port present, or "虚拟文曲星" when none is: what a user without
//   a remembered port starts with.

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/core/gbk_text.h"
#include "link/open_port.h"
#include "transfer/transfer_request.h"

namespace kestrel {

struct PortSource {
    std::vector<std::string> defaults;  // listed whether present or not: COM1 to COM4 on Windows
    std::function<std::vector<std::string>()> present = ListSerialPorts;
    std::filesystem::path stableNames = "/dev/serial/by-id";
    bool searchable = true;  // false where no port can be listened to unasked (the browser)
};

struct PortListEntry {
    UserText label;   // short enough for the closed box: "ttyUSB0", "虚拟文曲星"
    UserText detail;  // what the open list and the tooltip show: the whole path
    PortChoice port;  // for the request
    bool present = false;
};

std::vector<PortListEntry> ListPortChoices(const PortSource& source);
std::size_t ChoiceFor(const std::vector<PortListEntry>& entries,
                      const std::optional<PortChoice>& wanted);

bool SamePort(const PortChoice& a, const PortChoice& b);

inline constexpr std::string_view kAutomaticPortName = "auto";

// A port as the command line names it: "auto" for the automatic search,
// anything else a serial port.
PortChoice PortNamed(std::string_view name);

}  // namespace kestrel
