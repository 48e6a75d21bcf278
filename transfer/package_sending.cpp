#include "transfer/package_sending.h"

#include <algorithm>

#include "formats/package_file.h"
#include "formats/pc_file.h"
#include "formats/scratch_file.h"
#include "formats/staging.h"
#include "status/shown_name.h"
#include "transfer/send_session.h"
#include "transfer/transfer_texts.h"

namespace kestrel {

Result SendPackage(TransferRun& run, const std::filesystem::path& packagePath) {
    ResultOf<InputFile> opened = InputFile::Open(packagePath);
    if (!opened.IsOk()) return std::move(opened).Failure();
    InputFile& package = opened.Value();
    const std::string name = ShownName(packagePath);
    const PackageReader read = [&package](std::uint64_t offset, std::span<std::uint8_t> into) {
        return package.ReadAt(offset, into);
    };
    ResultOf<std::vector<PackageEntry>> checked = CheckPackage(package.Size(), read, name);
    if (!checked.IsOk()) return std::move(checked).Failure();

    const std::vector<PackageEntry>& entries = checked.Value();
    auto isSent = [](const PackageEntry& entry) { return entry.size > 0; };
    const auto first = std::find_if(entries.begin(), entries.end(), isSent);
    if (first == entries.end()) return Result::Failed(texts::kPackageEmpty, name);
    const auto last = std::find_if(entries.rbegin(), entries.rend(), isSent).base() - 1;

    for (auto entry = first; entry <= last; ++entry) {
        if (!isSent(*entry)) continue;
        // The entry's data, alone in a scratch file, is sent from there as
        // stored; the file goes once the entry has.
        ResultOf<Bytes> data = ReadEntryData(read, *entry, name);
        if (!data.IsOk()) return std::move(data).Failure();
        ResultOf<ScratchFile> staged = ScratchFile::Holding(run.staging.folder, data.Value());
        if (!staged.IsOk()) return std::move(staged).Failure();
        run.status.ShowStatus(texts::Downloading(entry->name));
        const TransferFile file{staged.Value().Path(), FileType::kOther, entry->directory, false,
                                entry->name};
        const SessionFlags flags{entry == first, entry == last};
        if (Result sent = SendSession(run, file, flags); !sent.IsOk()) return sent;
    }
    return Result::Ok();
}

}  // namespace kestrel
