#include "formats/staging.h"

#include <utility>

namespace kestrel {
namespace {

ResultOf<std::filesystem::path> Kept(ResultOf<ScratchFile> made, Staging& staging) {
    if (!made.IsOk()) return std::move(made).Failure();
    staging.files.push_back(std::move(made).Value());
    return staging.files.back().Path();
}

}  // namespace

Result StageForSending(Outgoing& outgoing, Staging& staging) {
    if (!outgoing.converted) return Result::Ok();
    ResultOf<std::filesystem::path> staged =
        Kept(ScratchFile::Holding(staging.folder, *outgoing.converted), staging);
    if (!staged.IsOk()) return std::move(staged).Failure();
    outgoing.pcPath = std::move(staged).Value();
    outgoing.converted.reset();  // the bytes are on disk now; memory goes back
    return Result::Ok();
}

}  // namespace kestrel
