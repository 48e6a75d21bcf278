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

[[noreturn]] void Fail(TransferRun& run, std::string_view text) {
    if (!text.empty()) run.link.status.ShowStatus(text);
    AbortTransfer();
}

std::filesystem::path StageEntry(TransferRun& run, std::istream& package,
                                 const PackageEntry& entry) {
    const std::optional<std::vector<std::uint8_t>> data = ReadEntryData(package, entry);
    if (!data) Fail(run, texts::kPcFileReadError);
    const TempFilePlace place = ClaimTempFile(run.formats.tempFileClaim, run.formats.tempDirectory);
    if (place.path.empty()) Fail(run, place.failure);
    const std::string_view failure = WriteTempFile(place.path, *data);
    if (!failure.empty()) Fail(run, failure);
    return place.path;
}

}  // namespace

void SendPackage(TransferRun& run) {
    std::ifstream package(run.request.pcPath, std::ios::binary);
    if (!package.is_open()) Fail(run, texts::kCannotOpenPcFile);
    const PackageIndex index = CheckPackage(package);
    if (index.problem != PackageProblem::none) Fail(run, ProblemText(index.problem));

    const auto& entries = index.entries;
    auto isSent = [](const PackageEntry& entry) { return entry.size > 0; };
    const auto first = std::find_if(entries.begin(), entries.end(), isSent);
    if (first == entries.end()) {
        run.link.status.ShowStatus(texts::kPackageEmpty);
        return;
    }
    const auto last = std::find_if(entries.rbegin(), entries.rend(), isSent).base() - 1;

    for (auto entry = first; entry <= last; ++entry) {
        if (!isSent(*entry)) continue;
        std::filesystem::path staged = StageEntry(run, package, *entry);
        run.request.deviceDirectory = entry->directory;
        run.request.deviceName = entry->name;
        run.link.status.ShowStatus(texts::Downloading(entry->name));
        SessionFlags& flags = run.link.flags;
        flags.waitForEnq = true;
        flags.needHandshake = entry == first;
        flags.lastFile = entry == last;
        if (SendSession(run, entry->name, entry->directory, staged) != LinkResult::ok) {
            AbortTransfer();
        }
    }
}

}  // namespace kestrel
