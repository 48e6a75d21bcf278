#include "formats/staging.h"

#include <new>

#include "formats/format_texts.h"
#include "formats/temp_file.h"
#include "formats/whole_file.h"

namespace kestrel {
namespace {

// Empty on success; then staged names the written TempFile.
std::string Stage(const std::filesystem::path& source, FormatContext& context,
                       const Conversion& convert, std::filesystem::path& staged) {
    const ConversionResult input = ReadWholeFile(source);
    if (!input.Ok()) return input.failure;
    const ConversionResult output = convert(input.bytes);
    if (!output.Ok()) return output.failure;
    TempFilePlace place = ClaimTempFile(context.tempFileClaim, context.tempDirectory);
    if (!place.failure.empty()) return std::string(place.failure);
    const std::string_view failure = WriteTempFile(place.path, output.bytes);
    if (failure.empty()) staged = std::move(place.path);
    return std::string(failure);
}

}  // namespace

Result StageConversion(std::filesystem::path& pcPath, FormatContext& context,
                       const Conversion& convert) {
    std::string failure;
    std::filesystem::path staged;
    try {
        failure = Stage(pcPath, context, convert, staged);
    } catch (const std::bad_alloc&) {
        failure = texts::kNoMemory;
    }
    if (!failure.empty()) return Result::Failed(failure);
    pcPath = std::move(staged);
    return Result::Ok();
}

}  // namespace kestrel
