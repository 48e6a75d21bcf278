#include "app/remembered.h"

namespace kestrel {
namespace {

constexpr std::string_view kSerial = "serial:";
constexpr std::string_view kBuiltIn = "builtin";

}  // namespace

std::string PortSetting(const PortChoice& port) {
    if (port.kind == PortChoice::Kind::builtInHandheld) return std::string(kBuiltIn);
    return std::string(kSerial) + port.name;
}

std::optional<PortChoice> PortFromSetting(std::string_view setting) {
    if (setting == kBuiltIn) return PortChoice{PortChoice::Kind::builtInHandheld, {}};
    if (setting.substr(0, kSerial.size()) != kSerial || setting.size() == kSerial.size()) {
        return std::nullopt;
    }
    return PortChoice{PortChoice::Kind::serial, std::string(setting.substr(kSerial.size()))};
}

}  // namespace kestrel
