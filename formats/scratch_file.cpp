#include "formats/scratch_file.h"

#include "formats/pc_file.h"

namespace kestrel {

ResultOf<ScratchFile> ScratchFile::Holding(const std::optional<std::filesystem::path>& folder,
                                           std::span<const std::uint8_t> bytes) {
    ResultOf<std::filesystem::path> place =
        folder ? ResultOf<std::filesystem::path>(*folder) : DefaultScratchFolder();
    if (!place.IsOk()) return std::move(place).Failure();
    std::filesystem::path made;
    ResultOf<OutputFile> opened =
        OutputFile::OpenUnique(place.Value(), "kestrel-", OutputFile::Creation::kPrivate, made);
    if (!opened.IsOk()) return std::move(opened).Failure();
    ScratchFile scratch(std::move(made));         // removed again on any failure below,
    OutputFile file = std::move(opened).Value();  // once this has closed it
    if (Result written = file.Write(bytes); !written.IsOk()) return written;
    if (Result closed = file.Close(); !closed.IsOk()) return closed;
    return scratch;
}

ScratchFile::~ScratchFile() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove(path_, ignored);
}

}  // namespace kestrel
