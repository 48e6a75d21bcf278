#include "transfer/package_sending.h"

#include <algorithm>
#include <fstream>

#include "formats/package_file.h"
#include "formats/temp_file.h"
#include "transfer/send_session.h"
#include "transfer/transfer_texts.h"

namespace kestrel {
namespace {

std::string_view ProblemText(PackageProblem problem) {
    switch (problem) {
        case PackageProblem::notPackage:
            return texts::kPackageNotPackage;
        case PackageProblem::truncated:
            return texts::kPackageTruncated;
        case PackageProblem::badPath:
            return texts::kPackageBadPath;
        case PackageProblem::none:
            break;
    }
    return {};
}

// The entry's data, alone in TempFile; the entry is sent from there as stored.
Result StageEntry(TransferRun& run, std::istream& package, const PackageEntry& entry,
                  TransferFile& staged) {
    const std::optional<std::vector<std::uint8_t>> data = ReadEntryData(package, entry);
    if (!data) return Result::Failed(texts::kPcFileReadError);
    TempFilePlace place = ClaimTempFile(run.formats.tempFileClaim, run.formats.tempDirectory);
    if (place.path.empty()) return Result::Failed(place.failure);
    if (const std::string_view failure = WriteTempFile(place.path, *data); !failure.empty()) {
        return Result::Failed(failure);
    }
    staged =
        TransferFile{std::move(place.path), FileType::kOther, entry.directory, false, entry.name};
    return Result::Ok();
}

}  // namespace

Result SendPackage(TransferRun& run, const std::filesystem::path& packagePath) {
    std::ifstream package(packagePath, std::ios::binary);
    if (!package.is_open()) return Result::Failed(texts::kCannotOpenPcFile);
    const PackageIndex index = CheckPackage(package);
    if (index.problem != PackageProblem::none) return Result::Failed(ProblemText(index.problem));

    const auto& entries = index.entries;
    auto isSent = [](const PackageEntry& entry) { return entry.size > 0; };
    const auto first = std::find_if(entries.begin(), entries.end(), isSent);
    if (first == entries.end()) return Result::Failed(texts::kPackageEmpty);
    const auto last = std::find_if(entries.rbegin(), entries.rend(), isSent).base() - 1;

    for (auto entry = first; entry <= last; ++entry) {
        if (!isSent(*entry)) continue;
        TransferFile staged;
        if (Result result = StageEntry(run, package, *entry, staged); !result.IsOk()) return result;
        run.status.ShowStatus(texts::Downloading(entry->name));
        const SessionFlags flags{entry == first, entry == last};
        if (Result sent = SendSession(run, staged, flags); !sent.IsOk()) return sent;
    }
    return Result::Ok();
}

}  // namespace kestrel
