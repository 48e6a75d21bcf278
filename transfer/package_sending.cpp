#include "transfer/package_sending.h"

#include <algorithm>

#include "formats/scratch_file.h"
#include "status/shown_name.h"
#include "transfer/send_session.h"
#include "transfer/transfer_texts.h"

namespace kestrel {
namespace {

PackageReader ReaderOf(InputFile& package) {
    return [&package](std::uint64_t offset, std::span<std::uint8_t> into) {
        return package.ReadAt(offset, into);
    };
}

}  // namespace

ResultOf<CheckedPackage> OpenPackage(const std::filesystem::path& packagePath) {
    ResultOf<InputFile> opened = InputFile::Open(packagePath);
    if (!opened.IsOk()) return std::move(opened).Failure();
    CheckedPackage package{std::move(opened).Value(), ShownName(packagePath), {}};
    ResultOf<std::vector<PackageEntry>> checked =
        CheckPackage(package.file.Size(), ReaderOf(package.file), package.name);
    if (!checked.IsOk()) return std::move(checked).Failure();
    std::vector<PackageEntry>& entries = checked.Value();
    // An empty entry is skipped: it neither opens nor closes the session.
    std::erase_if(entries, [](const PackageEntry& entry) { return entry.size == 0; });
    if (entries.empty()) return Result::Failed(texts::kPackageEmpty, package.name);
    package.entries = std::move(entries);
    return package;
}

Result SendPackage(TransferRun& run, CheckedPackage& package) {
    const PackageReader read = ReaderOf(package.file);
    const std::vector<PackageEntry>& entries = package.entries;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        // The entry's data, alone in a scratch file, is sent from there as
        // stored; the file goes once the entry has.
        ResultOf<Bytes> data = ReadEntryData(read, entries[i], package.name);
        if (!data.IsOk()) return std::move(data).Failure();
        ResultOf<ScratchFile> staged = ScratchFile::Holding(run.staging.folder, data.Value());
        if (!staged.IsOk()) return std::move(staged).Failure();
        run.status.ShowStatus(texts::Downloading(entries[i].name));
        const TransferFile file{staged.Value().Path(), FileType::kOther, entries[i].directory,
                                false, entries[i].name};
        const SessionFlags flags{i == 0, i + 1 == entries.size()};
        if (Result sent = SendSession(run, file, flags); !sent.IsOk()) return sent;
    }
    return Result::Ok();
}

}  // namespace kestrel
