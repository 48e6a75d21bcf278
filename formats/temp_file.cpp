#include "formats/temp_file.h"

#include "formats/format_texts.h"

namespace kestrel {

TempFilePlace LocateTempFile(const std::optional<std::filesystem::path>& folder) {
    if (folder.has_value()) return {*folder / "tmpfile", {}};
    return LocateDefaultTempFile();
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
