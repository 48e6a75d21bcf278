#include "app/core/request_form.h"

#include <cstddef>
#include <string>
#include <utility>

#include "app/core/app_texts.h"
#include "app/core/device_naming.h"

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

std::variant<TransferRequest, Refusal> RequestFromBoxes(
    Direction direction, const RequestBoxes& boxes, const PortChoice& port,
    const std::optional<std::filesystem::path>& picked, TextHandling text) {
    if (boxes.pcPath.empty()) return Refusal::emptyPcPath;
    if (boxes.deviceName.empty()) return Refusal::emptyDeviceName;
    if (boxes.deviceDirectory.empty()) return Refusal::emptyDeviceDirectory;

    auto name = DeviceBoxText(boxes.deviceName, kNameBox);
    if (const Refusal* refusal = std::get_if<Refusal>(&name)) return *refusal;
    auto directory = DeviceBoxText(boxes.deviceDirectory, kDirectoryBox);
    if (const Refusal* refusal = std::get_if<Refusal>(&directory)) return *refusal;

    TransferFile file;
    file.pcPath = std::filesystem::path(boxes.pcPath);
    file.type =
        picked && *picked == file.pcPath ? PickedFileType(file.pcPath) : FileTypeOf(file.pcPath);
    file.deviceName = std::get<std::string>(std::move(name));
    file.deviceDirectory = std::get<std::string>(std::move(directory));
    file.text = text;
    file.shownName = ToGbk(file.pcPath.filename().native()).value_or(file.deviceName);
    if (file.deviceDirectory == texts::kRootDirectory) {
        file.root = true;
        file.deviceDirectory.clear();
    }
    TransferRequest request;
    request.port = port;
    if (direction == Direction::receive) {
        request.kind = TransferKind::receive;
    } else if (file.deviceName == texts::kPackageName) {
        request.kind = TransferKind::sendPackage;
    }
    request.files.push_back(std::move(file));
    return request;
}

namespace {

std::variant<TransferRequest, Refusal> RequestForOneFile(Direction direction,
                                                         const std::filesystem::path& picked,
                                                         const Arguments& arguments,
                                                         const PortChoice& port) {
    const std::optional<Proposal> proposal = ProposeForPickedFile(picked);
    if (!proposal) return Refusal::noPcFile;
    RequestBoxes boxes = proposal->boxes;
    const bool package = direction == Direction::send && proposal->package;
    if (!package) {
        if (arguments.deviceName) boxes.deviceName = *arguments.deviceName;
        if (arguments.deviceDirectory) boxes.deviceDirectory = *arguments.deviceDirectory;
        // Without a name to send it under, say why none was proposed.
        if (!proposal->nameProposed && boxes.deviceName.empty()) return Refusal::pcFileNameNotGbk;
    }
    return RequestFromBoxes(direction, boxes, port, picked, arguments.text);
}

}  // namespace

std::variant<TransferRequest, Refusal> RequestFromArguments(Direction direction,
                                                            const Arguments& arguments,
                                                            const PortChoice& port) {
    if (arguments.files.empty()) return Refusal::noPcFile;
    const bool several = arguments.files.size() > 1;
    if (several && arguments.deviceName) return Refusal::nameForSeveralFiles;
    TransferRequest whole;
    for (const std::filesystem::path& file : arguments.files) {
        auto one = RequestForOneFile(direction, file, arguments, port);
        if (const Refusal* refusal = std::get_if<Refusal>(&one)) return *refusal;
        TransferRequest& request = std::get<TransferRequest>(one);
        if (several && request.kind == TransferKind::sendPackage) {
            return Refusal::packageWithOthers;
        }
        whole.kind = request.kind;
        whole.port = request.port;
        whole.files.push_back(std::move(request.files.front()));
    }
    return whole;
}

}  // namespace kestrel
