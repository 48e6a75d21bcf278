#pragma once
// Reading a transfer request from the three boxes every front end offers
// (PC file, device file name, device directory) and naming the serial port
// from the port list's selection.
//
// Promises:
// - ReadRequestForm either accepts all three boxes or names the first reason
//   to refuse them, checked in this order: an empty box (PC file, name,
//   directory), then the name, then the directory, each for characters GBK
//   cannot hold, a space, more than 14 bytes of GBK.
// - The boxes are taken as they are: nothing is trimmed or cut.
// - The dialog refuses silently and the command line shows RefusalText; the
//   choice is the front end's.

#include <filesystem>
#include <optional>
#include <string>
#include <variant>

#include "app/gbk_text.h"
#include "app/refusal.h"

namespace kestrel {

struct RequestBoxes {
    UserText pcPath;
    UserText deviceName;
    UserText deviceDirectory;
};

struct AcceptedRequest {
    std::filesystem::path pcPath;
    std::string deviceName;       // GBK, 1 to 14 bytes, no space
    std::string deviceDirectory;  // GBK, 1 to 14 bytes, no space
};

std::variant<AcceptedRequest, Refusal> ReadRequestForm(const RequestBoxes& boxes);

// "COM1" for the first entry of the port list, "COM2" for the second, ...;
// nullopt when nothing is selected (a negative index).
std::optional<std::string> PortNameForSelection(int selectedIndex);

}  // namespace kestrel
