#include "app/core/request_form.h"

#include <cstddef>
#include <string>
#include <utility>

#include "app/core/app_texts.h"
#include "app/core/device_naming.h"

namespace kestrel {
namespace {

// One device box: its byte limit and its rejections, in the order checked.
struct DeviceBox {
    std::size_t maxBytes;
    Rejection notGbk;
    Rejection space;
    Rejection tooLong;
};

constexpr DeviceBox kNameBox{kMaxDeviceNameBytes, Rejection::deviceNameNotGbk,
                             Rejection::spaceInDeviceName, Rejection::deviceNameTooLong};
constexpr DeviceBox kDirectoryBox{kMaxDeviceDirectoryBytes, Rejection::deviceDirectoryNotGbk,
                                  Rejection::spaceInDeviceDirectory,
                                  Rejection::deviceDirectoryTooLong};

Result Rejected(Rejection why) {
    return Result::Failed(RejectionText(why));
}

// The box's GBK text, or why it cannot be sent. A space is 0x20 in GBK as in
// the user's text, so it is looked for after the conversion.
ResultOf<std::string> DeviceBoxText(const UserText& text, const DeviceBox& box) {
    std::optional<std::string> gbk = ToGbk(text);
    if (!gbk) return Rejected(box.notGbk);
    if (gbk->find(' ') != std::string::npos) return Rejected(box.space);
    if (gbk->size() > box.maxBytes) return Rejected(box.tooLong);
    return std::move(*gbk);
}

}  // namespace

ResultOf<TransferRequest> RequestFromBoxes(Direction direction, const RequestBoxes& boxes,
                                           const PortChoice& port,
                                           const std::optional<std::filesystem::path>& picked,
                                           TextHandling text) {
    if (boxes.pcPath.empty()) return Rejected(Rejection::emptyPcPath);
    if (boxes.deviceName.empty()) return Rejected(Rejection::emptyDeviceName);
    if (boxes.deviceDirectory.empty()) return Rejected(Rejection::emptyDeviceDirectory);

    ResultOf<std::string> name = DeviceBoxText(boxes.deviceName, kNameBox);
    if (!name.IsOk()) return std::move(name).Failure();
    ResultOf<std::string> directory = DeviceBoxText(boxes.deviceDirectory, kDirectoryBox);
    if (!directory.IsOk()) return std::move(directory).Failure();

    TransferFile file;
    file.pcPath = std::filesystem::path(boxes.pcPath);
    file.type =
        picked && *picked == file.pcPath ? PickedFileType(file.pcPath) : FileTypeOf(file.pcPath);
    file.deviceName = std::move(name).Value();
    file.deviceDirectory = std::move(directory).Value();
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

ResultOf<TransferRequest> RequestForOneFile(Direction direction,
                                            const std::filesystem::path& picked,
                                            const Arguments& arguments, const PortChoice& port) {
    const std::optional<Proposal> proposal = ProposeForPickedFile(picked);
    if (!proposal) return Rejected(Rejection::noPcFile);
    RequestBoxes boxes = proposal->boxes;
    const bool package = direction == Direction::send && proposal->package;
    if (!package) {
        if (arguments.deviceName) boxes.deviceName = *arguments.deviceName;
        if (arguments.deviceDirectory) boxes.deviceDirectory = *arguments.deviceDirectory;
        // Without a name to send it under, say why none was proposed.
        if (!proposal->nameProposed && boxes.deviceName.empty()) {
            return Rejected(Rejection::pcFileNameNotGbk);
        }
    }
    return RequestFromBoxes(direction, boxes, port, picked, arguments.text);
}

}  // namespace

ResultOf<TransferRequest> RequestFromArguments(Direction direction, const Arguments& arguments,
                                               const PortChoice& port) {
    if (arguments.files.empty()) return Rejected(Rejection::noPcFile);
    const bool several = arguments.files.size() > 1;
    if (several && arguments.deviceName) return Rejected(Rejection::nameForSeveralFiles);
    TransferRequest whole;
    for (const std::filesystem::path& file : arguments.files) {
        ResultOf<TransferRequest> one = RequestForOneFile(direction, file, arguments, port);
        if (!one.IsOk()) return std::move(one).Failure();
        TransferRequest& request = one.Value();
        if (several && request.kind == TransferKind::sendPackage) {
            return Rejected(Rejection::packageWithOthers);
        }
        whole.kind = request.kind;
        whole.port = request.port;
        whole.files.push_back(std::move(request.files.front()));
    }
    return whole;
}

}  // namespace kestrel
