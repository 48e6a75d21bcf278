#include "formats/temp_file.h"

#include "text/texts.h"

namespace kestrel {

TempFilePlace LocateTempFile(const std::optional<std::filesystem::path>& folder) {
    if (folder.has_value()) return {*folder / "tmpfile", {}};
    return LocateDefaultTempFile();
}

TempFilePlace ClaimTempFile(std::optional<TempFileClaim>& claim,
                            const std::optional<std::filesystem::path>& folder) {
    TempFilePlace place = LocateTempFile(folder);
    if (place.path.empty() || claim.has_value()) return place;
    bool busy = false;
    std::optional<TempFileClaim> acquired = TempFileClaim::Acquire(place.path, busy);
    if (!acquired.has_value()) {
        return {{}, busy ? texts::kTempFileInUse : texts::kCannotWriteTempFile};
    }
    claim.emplace(std::move(*acquired));
    return place;
}

std::string_view WriteTempFile(const std::filesystem::path& tempFile,
                               std::span<const std::uint8_t> bytes) {
    std::optional<OutputFile> file = OutputFile::Open(tempFile, OutputFile::Creation::kScratch);
    if (!file.has_value() || !file->WriteAll(bytes) || !file->Close()) {
        return texts::kCannotWriteTempFile;
    }
    return {};
}

}  // namespace kestrel
