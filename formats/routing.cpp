#include "formats/routing.h"

#include <utility>

#include "formats/application_image.h"
#include "formats/file_type.h"
#include "formats/format_texts.h"
#include "formats/temp_file.h"
#include "formats/text_file.h"

namespace kestrel {

bool PrepareForSending(std::filesystem::path& pcPath, FormatContext& context) {
    switch (FileTypeOf(pcPath)) {
        case FileType::kText:
            return WrapText(pcPath, context);
        case FileType::kHeadedText:
            return RewrapText(pcPath, context);
        case FileType::kApplication:
            return DecodeApplication(pcPath, context);
        case FileType::kOther:
            break;
    }
    return true;
}

bool PrepareForReceiving(std::filesystem::path& pcPath, std::filesystem::path& receiveTarget,
                         FormatContext& context) {
    receiveTarget = pcPath;
    switch (FileTypeOf(pcPath)) {
        case FileType::kHeadedText:
        case FileType::kApplication:
            context.status.ShowStatus(texts::kUploadNotSupported);
            return false;
        case FileType::kOther:
            return true;
        case FileType::kText:
            break;
    }
    TempFilePlace place = ClaimTempFile(context.tempFileClaim, context.tempDirectory);
    if (!place.failure.empty()) {
        context.status.ShowStatus(place.failure);
        return false;
    }
    pcPath = std::move(place.path);
    return true;
}

bool FinishReceiving(const std::filesystem::path& pcPath,
                     const std::filesystem::path& receiveTarget, FormatContext& context) {
    if (FileTypeOf(receiveTarget) != FileType::kText) return true;
    return UnwrapText(pcPath, receiveTarget, context);
}

}  // namespace kestrel
