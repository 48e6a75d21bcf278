#include "app/request_form.h"

#include <cstddef>
#include <utility>

#include "app/device_naming.h"

namespace kestrel {
namespace {

// One device box: its byte limit and its refusals, in the order checked.
struct DeviceBox {
    std::size_t maxBytes;
    Refusal notGbk;
    Refusal space;
    Refusal tooLong;
};

constexpr DeviceBox kNameBox{kMaxDeviceNameBytes, Refusal::deviceNameNotGbk,
                             Refusal::spaceInDeviceName, Refusal::deviceNameTooLong};
constexpr DeviceBox kDirectoryBox{kMaxDeviceDirectoryBytes, Refusal::deviceDirectoryNotGbk,
                                  Refusal::spaceInDeviceDirectory, Refusal::deviceDirectoryTooLong};

// The box's GBK text, or why it cannot be sent. A space is 0x20 in GBK as in
// the user's text, so it is looked for after the conversion.
std::variant<std::string, Refusal> DeviceBoxText(const UserText& text, const DeviceBox& box) {
    std::optional<std::string> gbk = ToGbk(text);
    if (!gbk) return box.notGbk;
    if (gbk->find(' ') != std::string::npos) return box.space;
    if (gbk->size() > box.maxBytes) return box.tooLong;
    return std::move(*gbk);
}

}  // namespace

std::variant<AcceptedRequest, Refusal> ReadRequestForm(const RequestBoxes& boxes) {
    if (boxes.pcPath.empty()) return Refusal::emptyPcPath;
    if (boxes.deviceName.empty()) return Refusal::emptyDeviceName;
    if (boxes.deviceDirectory.empty()) return Refusal::emptyDeviceDirectory;

    auto name = DeviceBoxText(boxes.deviceName, kNameBox);
    if (const Refusal* refusal = std::get_if<Refusal>(&name)) return *refusal;
    auto directory = DeviceBoxText(boxes.deviceDirectory, kDirectoryBox);
    if (const Refusal* refusal = std::get_if<Refusal>(&directory)) return *refusal;

    return AcceptedRequest{std::filesystem::path(boxes.pcPath),
                           std::get<std::string>(std::move(name)),
                           std::get<std::string>(std::move(directory))};
}

std::optional<std::string> PortNameForSelection(int selectedIndex) {
    if (selectedIndex < 0) return std::nullopt;
    return "COM" + std::to_string(static_cast<long long>(selectedIndex) + 1);
}

}  // namespace kestrel
