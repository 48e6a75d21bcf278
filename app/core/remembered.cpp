#include "app/core/remembered.h"

namespace kestrel {
namespace {

constexpr std::string_view kSerial = "serial:";
constexpr std::string_view kBuiltIn = "builtin";
constexpr std::string_view kAutomatic = "auto";

}  // namespace

std::string PortSetting(const PortChoice& port) {
    switch (port.kind) {
        case PortChoice::Kind::builtInHandheld:
            return std::string(kBuiltIn);
        case PortChoice::Kind::automatic:
            return std::string(kAutomatic);
        case PortChoice::Kind::serial:
            break;
    }
    return std::string(kSerial) + port.name;
}

std::optional<PortChoice> PortFromSetting(std::string_view setting) {
    if (setting == kBuiltIn) return PortChoice{PortChoice::Kind::builtInHandheld, {}};
    if (setting == kAutomatic) return PortChoice{PortChoice::Kind::automatic, {}};
    if (setting.substr(0, kSerial.size()) != kSerial || setting.size() == kSerial.size()) {
        return std::nullopt;
    }
    return PortChoice{PortChoice::Kind::serial, std::string(setting.substr(kSerial.size()))};
}

}  // namespace kestrel
