// Serial ports by name on POSIX: the device a name stands for, and the
// ports present.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "link/open_port.h"

namespace kestrel {

namespace {

constexpr const char* kComDevices[] = {"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS3"};

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// /dev/ttyS* exist for every port the kernel reserved; only those with a
// UART behind them have a known type (0 means none).
bool HasUart(const std::string& name) {
    std::ifstream type("/sys/class/tty/" + name + "/type");
    int value = 0;
    return static_cast<bool>(type >> value) && value != 0;
}

bool LooksLikeSerialPort(const std::string& name) {
    return StartsWith(name, "ttyUSB") || StartsWith(name, "ttyACM") || StartsWith(name, "cu.") ||
           (StartsWith(name, "ttyS") && HasUart(name));
}

// ttyS2 before ttyS10: the same stem, then fewer digits, then the text.
bool NaturalLess(const std::string& a, const std::string& b) {
    auto key = [](const std::string& s) {
        const auto stem = s.find_last_not_of("0123456789") + 1;
        return std::tuple(std::string_view(s).substr(0, stem), s.size() - stem,
                          std::string_view(s));
    };
    return key(a) < key(b);
}

}  // namespace

std::string SerialDevicePath(std::string_view name) {
    // "com1" as well as "COM1", as Windows takes it.
    std::string upper(name);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    for (std::size_t i = 0; i < std::size(kComDevices); ++i) {
        if (upper == "COM" + std::to_string(i + 1)) return kComDevices[i];
    }
    return std::string(name);
}

std::vector<std::string> ListSerialPorts() {
    std::vector<std::string> ports;
    std::error_code error;
    for (std::filesystem::directory_iterator entry("/dev", error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (LooksLikeSerialPort(name)) ports.push_back(entry->path().string());
    }
    std::sort(ports.begin(), ports.end(), NaturalLess);
    return ports;
}

}  // namespace kestrel
