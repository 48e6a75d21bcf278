#include "formats/routing.h"

#include <utility>

#include "formats/application_image.h"
#include "formats/format_texts.h"
#include "formats/temp_file.h"
#include "formats/text_file.h"

namespace kestrel {

Result PrepareForSending(std::filesystem::path& pcPath, FileType type, FormatContext& context) {
    switch (type) {
        case FileType::kText:
            return WrapText(pcPath, context);
        case FileType::kHeadedText:
            return RewrapText(pcPath, context);
        case FileType::kApplication:
            return DecodeApplication(pcPath, context);
        case FileType::kOther:
            break;
    }
    return Result::Ok();
}

Result PrepareForReceiving(std::filesystem::path& pcPath, FileType type, FormatContext& context) {
    switch (type) {
        case FileType::kHeadedText:
        case FileType::kApplication:
            return Result::Failed(texts::kUploadNotSupported);
        case FileType::kOther:
            return Result::Ok();
        case FileType::kText:
            break;
    }
    TempFilePlace place = ClaimTempFile(context.tempFileClaim, context.tempDirectory);
    if (!place.failure.empty()) return Result::Failed(place.failure);
    pcPath = std::move(place.path);
    return Result::Ok();
}

Result FinishReceiving(const std::filesystem::path& received, const std::filesystem::path& target,
                       FileType type) {
    if (type != FileType::kText) return Result::Ok();
    return UnwrapText(received, target);
}

}  // namespace kestrel
