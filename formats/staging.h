#pragma once
// Staging files: converted bytes wait in a scratch file (scratch_file.h)
// until their turn to be sent. The scratch files belong to the run's
// Staging and are removed when it goes, so a run leaves none behind.

#include <filesystem>
#include <optional>
#include <vector>

#include "formats/conversion.h"
#include "formats/scratch_file.h"
#include "status/result.h"

namespace kestrel {

struct Staging {
    // Where scratch files go; unset: the user's private folder.
    std::optional<std::filesystem::path> folder{};
    std::vector<ScratchFile> files{};  // made for this run, removed with it
};

// Puts converted bytes in a scratch file of their own and points
// outgoing.pcPath at it; a file that goes as it is stays where it is.
Result StageForSending(Outgoing& outgoing, Staging& staging);

}  // namespace kestrel
