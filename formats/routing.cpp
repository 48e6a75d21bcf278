#include "formats/routing.h"

#include <fstream>
#include <new>
#include <utility>

#include "formats/application_image.h"
#include "formats/temp_file.h"
#include "formats/text_file.h"
#include "formats/whole_file.h"
#include "text/texts.h"

namespace kestrel {
namespace {

ConversionResult Convert(const ConversionResult& input, FileType type, TextHandling text,
                         const FormatContext& context, bool& fromUtf8) {
    switch (type) {
        case FileType::kText: {
            if (text.keepBytes) return WrapTextBytes(input.bytes);
            const ConversionResult gbk = TextForHandheld(input.bytes, context.charsets, fromUtf8);
            return gbk.Ok() ? WrapTextBytes(gbk.bytes) : gbk;
        }
        case FileType::kHeadedText:
            return RewrapTextBytes(input.bytes);
        case FileType::kApplication:
            if (context.table == nullptr) {
                return ConversionFailure(
                    MissingTableText(context.missingTableName, context.charsets.utf8ToGbk));
            }
            return DecodeApplicationImage(input.bytes, *context.table);
        case FileType::kOther:
            break;
    }
    return input;
}

}  // namespace

Result PrepareForSending(const std::filesystem::path& pcPath, FileType type, TextHandling text,
                         const FormatContext& context, Outgoing& outgoing) {
    outgoing = Outgoing{pcPath, std::nullopt, false};
    if (type == FileType::kOther) {
        // A folder or device opens too, but has nothing to send.
        std::error_code error;
        if (!std::filesystem::is_regular_file(pcPath, error)) {
            return Result::Failed(texts::kCannotOpenFile);
        }
        std::ifstream file(pcPath, std::ios::binary);
        return file.is_open() ? Result::Ok() : Result::Failed(texts::kCannotOpenFile);
    }
    try {
        const ConversionResult input = ReadWholeFile(pcPath);
        if (!input.Ok()) return Result::Failed(input.failure);
        ConversionResult output = Convert(input, type, text, context, outgoing.fromUtf8);
        if (!output.Ok()) return Result::Failed(output.failure);
        outgoing.converted = std::move(output.bytes);
    } catch (const std::bad_alloc&) {
        return Result::Failed(texts::kNoMemory);
    }
    return Result::Ok();
}

Result StageForSending(Outgoing& outgoing, FormatContext& context) {
    if (!outgoing.converted) return Result::Ok();
    TempFilePlace place = ClaimTempFile(context.tempFileClaim, context.tempDirectory);
    if (!place.failure.empty()) return Result::Failed(place.failure);
    if (const std::string_view failure = WriteTempFile(place.path, *outgoing.converted);
        !failure.empty()) {
        return Result::Failed(failure);
    }
    outgoing.pcPath = std::move(place.path);
    outgoing.converted.reset();  // the bytes are on disk now; memory goes back
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
                       FileType type, TextHandling text, const FormatContext& context) {
    if (type != FileType::kText) return Result::Ok();
    return UnwrapText(received, target,
                      text.asUtf8 ? &context.charsets : static_cast<const TextCharsets*>(nullptr));
}

}  // namespace kestrel
