#pragma once
// The common course of a conversion before sending: read the PC file whole,
// convert it in memory, write the result whole into TempFile, and only then
// point pcPath at TempFile. The first failure ends the course with its
// reason, pcPath unchanged.

#include <filesystem>
#include <functional>
#include <span>

#include "formats/conversion_result.h"
#include "formats/routing.h"

namespace kestrel {

using Conversion = std::function<ConversionResult(std::span<const std::uint8_t>)>;

Result StageConversion(std::filesystem::path& pcPath, FormatContext& context,
                       const Conversion& convert);

}  // namespace kestrel
