#include "app/core/request_form.h"

#include <algorithm>
#include <cstddef>
#include <map>
#include <string>
#include <utility>

#include "app/core/app_texts.h"
#include "app/core/device_naming.h"
#include "formats/package_file.h"
#include "status/shown_name.h"

namespace kestrel {
namespace {

// One device box: its byte limit, whether it is a path (a directory, whose
// parts "/" joins) or a single name, and its rejections, in the order checked.
struct DeviceBox {
    std::size_t maxBytes;
    bool path;
    Rejection notGbk;
    Rejection space;
    Rejection control;
    Rejection badPart;
    Rejection tooLong;
};

constexpr DeviceBox kNameBox{kMaxDeviceNameBytes,
                             false,
                             Rejection::deviceNameNotGbk,
                             Rejection::spaceInDeviceName,
                             Rejection::controlInDeviceName,
                             Rejection::deviceNameNotOnePart,
                             Rejection::deviceNameTooLong};
constexpr DeviceBox kDirectoryBox{kMaxDeviceDirectoryBytes,
                                  true,
                                  Rejection::deviceDirectoryNotGbk,
                                  Rejection::spaceInDeviceDirectory,
                                  Rejection::controlInDeviceDirectory,
                                  Rejection::deviceDirectoryBadPart,
                                  Rejection::deviceDirectoryTooLong};

Result Rejected(Rejection why) {
    return Result::Failed(RejectionText(why));
}

// Whether every part names a file or a folder on the handheld: none empty,
// "." or "..", and a name is one part. "/" is never a GBK trail byte.
bool PartsAreNames(std::string_view gbk, bool path) {
    if (!path && gbk.find('/') != std::string_view::npos) return false;
    for (std::size_t from = 0;;) {
        const std::size_t end = gbk.find('/', from);
        const std::string_view part = gbk.substr(from, end - from);
        if (part.empty() || part == "." || part == "..") return false;
        if (end == std::string_view::npos) return true;
        from = end + 1;
    }
}

// The box's GBK text, or why it cannot be sent. A space is 0x20 in GBK as in
// the user's text, so it is looked for after the conversion.
ResultOf<std::string> DeviceBoxText(const UserText& text, const DeviceBox& box) {
    std::optional<std::string> gbk = ToGbk(text);
    if (!gbk) return Rejected(box.notGbk);
    if (gbk->find(' ') != std::string::npos) return Rejected(box.space);
    if (std::any_of(gbk->begin(), gbk->end(), IsControlByte)) return Rejected(box.control);
    if (!PartsAreNames(*gbk, box.path)) return Rejected(box.badPart);
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
    if (direction == Direction::send && proposal->package) {
        // Its entries name their own; 下载包 only says it is a package.
        const bool named = arguments.deviceName && *arguments.deviceName != boxes.deviceName;
        if (arguments.deviceDirectory || named) return Rejected(Rejection::placeForPackage);
        return RequestFromBoxes(direction, boxes, port, picked, arguments.text);
    }
    if (arguments.deviceName) boxes.deviceName = *arguments.deviceName;
    if (arguments.deviceDirectory) boxes.deviceDirectory = *arguments.deviceDirectory;
    // Without a name to send it under, say why none was proposed.
    if (!proposal->nameProposed && boxes.deviceName.empty()) {
        return Rejected(Rejection::pcFileNameNotGbk);
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
    // The handheld keeps the last of two files sent to one path: refused
    // before anything is sent, naming both as the user gave them.
    std::map<std::string, const TransferFile*> landing;
    for (const TransferFile& file : whole.files) {
        std::string path = file.root ? std::string() : file.deviceDirectory + "/";
        path += file.deviceName;
        const auto [earlier, fresh] = landing.emplace(path, &file);
        if (!fresh) {
            return Result::Failed(texts::SameDevicePath(ShownPath(earlier->second->pcPath),
                                                        ShownPath(file.pcPath), path));
        }
    }
    return whole;
}

}  // namespace kestrel
