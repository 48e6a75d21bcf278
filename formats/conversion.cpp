#include "formats/conversion.h"

#include <utility>

#include "formats/application_image.h"
#include "formats/text_file.h"
#include "formats/whole_file.h"
#include "status/shown_name.h"
#include "text/texts.h"

namespace kestrel {
namespace {

ResultOf<Bytes> Convert(const Bytes& input, FileType type, TextHandling text,
                        const Conversions& conversions, bool& fromUtf8) {
    switch (type) {
        case FileType::kText: {
            if (text.keepBytes) return WrapTextBytes(input);
            const ResultOf<Bytes> gbk = TextForHandheld(input, conversions.charsets, fromUtf8);
            return gbk.IsOk() ? WrapTextBytes(gbk.Value()) : gbk;
        }
        case FileType::kHeadedText:
            return RewrapTextBytes(input);
        case FileType::kApplication:
            return DecodeApplicationImage(input, conversions.table->Value());
        case FileType::kOther:
            break;
    }
    return input;
}

}  // namespace

ResultOf<Outgoing> PrepareForSending(const std::filesystem::path& pcPath, FileType type,
                                     TextHandling text, const Conversions& conversions) {
    Outgoing outgoing{pcPath, std::nullopt, false};
    if (type == FileType::kOther) {
        // Sent from the file itself: it is only opened, to know it can be.
        ResultOf<InputFile> opened = InputFile::Open(pcPath);
        if (!opened.IsOk()) return std::move(opened).Failure();
        return outgoing;
    }
    // A table of no use is the table's failure, not the file's.
    if (type == FileType::kApplication) {
        if (conversions.table == nullptr) return MissingTable();
        if (!conversions.table->IsOk()) return conversions.table->Failure();
    }
    ResultOf<Bytes> input = ReadWholeFile(pcPath);
    if (!input.IsOk()) return std::move(input).Failure();
    ResultOf<Bytes> output = Convert(input.Value(), type, text, conversions, outgoing.fromUtf8);
    if (!output.IsOk()) return std::move(output).Failure().About(ShownName(pcPath));
    outgoing.converted = std::move(output).Value();
    return outgoing;
}

Result CheckReceivable(FileType type) {
    if (type == FileType::kHeadedText || type == FileType::kApplication) {
        return Result::Failed(texts::kUploadNotSupported);
    }
    return Result::Ok();
}

Result FinishReceiving(const std::filesystem::path& received, const std::filesystem::path& target,
                       FileType type, TextHandling text, const Conversions& conversions) {
    if (type != FileType::kText) return CommitWholeFile(received, target);
    Result unwrapped = UnwrapText(received, target, text.asUtf8 ? &conversions.charsets : nullptr);
    std::error_code ignored;
    if (unwrapped.IsOk()) std::filesystem::remove(received, ignored);
    return unwrapped;
}

}  // namespace kestrel
