#include "formats/writable_target.h"

#include "formats/pc_file.h"
#include "formats/whole_file.h"
#include "status/shown_name.h"
#include "text/texts.h"

namespace kestrel {

Result CheckWritableTarget(const std::filesystem::path& target) {
    const std::string name = ShownName(target);
    std::error_code error;
    const std::filesystem::file_status found = std::filesystem::status(target, error);
    if (std::filesystem::is_directory(found)) {
        return Result::Failed(texts::kCannotWriteFile, name,
                              std::make_error_code(std::errc::is_a_directory));
    }
    if (std::filesystem::exists(found) && !std::filesystem::is_regular_file(found)) {
        return Result::Failed(texts::kPcFileNotRegular, name);  // never opened: it may block
    }
    if (Result writable = CheckWritable(target); !writable.IsOk()) return writable;
    // A folder of the .part's name is the user's: the receive would stop
    // at it, after the handheld had begun.
    const std::filesystem::path partial = PartialPath(target);
    if (std::filesystem::is_directory(std::filesystem::symlink_status(partial, error))) {
        return Result::Failed(texts::kCannotCreateFile, ShownName(partial),
                              std::make_error_code(std::errc::is_a_directory));
    }
    std::filesystem::path folder = partial.parent_path();
    if (folder.empty()) folder = ".";
    std::filesystem::path probe;
    ResultOf<OutputFile> made =
        OutputFile::OpenUnique(folder, ".kestrel-", OutputFile::Creation::kPrivate, probe);
    if (!made.IsOk()) {
        return Result::Failed(texts::kCannotCreateFile, name, made.Failure().Error());
    }
    (void)made.Value().Close();
    std::filesystem::remove(probe, error);
    return Result::Ok();
}

}  // namespace kestrel
