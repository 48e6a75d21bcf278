#include "transfer/run_preparation.h"

#include <utility>

#include "formats/writable_target.h"
#include "status/shown_name.h"
#include "text/texts.h"

namespace kestrel {
namespace {

// Each file read and converted whole, then staged: the converted bytes wait
// on disk, not in memory, for their turn.
Result PrepareToSend(const std::vector<TransferFile>& files, const Conversions& conversions,
                     PreparedRun& prepared) {
    prepared.files.reserve(files.size());
    for (const TransferFile& file : files) {
        ResultOf<Outgoing> converted =
            PrepareForSending(file.pcPath, file.type, file.text, conversions);
        if (!converted.IsOk()) return std::move(converted).Failure();
        Outgoing& outgoing = converted.Value();
        if (outgoing.fromUtf8) prepared.convertedFromUtf8 = true;
        if (Result staged = StageForSending(outgoing, prepared.staging); !staged.IsOk()) {
            return staged;
        }
        prepared.files.push_back(file);
        prepared.files.back().pcPath = std::move(outgoing.pcPath);
    }
    return Result::Ok();
}

Result PrepareToReceive(const TransferFile& file) {
    if (Result receivable = CheckReceivable(file.type); !receivable.IsOk()) {
        return std::move(receivable).About(ShownName(file.pcPath));
    }
    return CheckWritableTarget(file.pcPath);
}

}  // namespace

ResultOf<PreparedRun> PrepareRun(const TransferRequest& request, const Conversions& conversions,
                                 Staging staging) {
    PreparedRun prepared{std::move(staging), {}, false, std::nullopt};
    if (request.files.empty()) return Result::Failed(texts::kNothingToSend);
    Result ready = Result::Ok();
    switch (request.kind) {
        case TransferKind::receive:
            ready = PrepareToReceive(request.files.front());
            break;
        case TransferKind::sendPackage: {
            ResultOf<CheckedPackage> package = OpenPackage(request.files.front().pcPath);
            if (!package.IsOk()) return std::move(package).Failure();
            prepared.package.emplace(std::move(package).Value());
            break;
        }
        case TransferKind::send:
            ready = PrepareToSend(request.files, conversions, prepared);
            break;
    }
    if (!ready.IsOk()) return ready;
    return prepared;
}

}  // namespace kestrel
