#include "handheld/faults.h"

#include <algorithm>
#include <array>

namespace kestrel {

std::string_view FaultKindName(FaultKind kind) {
    static constexpr std::array<std::string_view, 6> kNames = {
        "refuse", "wrongReply", "corruptChecksum", "noiseBeforeEnq", "goSilent", "hangUp"};
    return kNames.at(static_cast<std::size_t>(kind));
}

bool FaultPlan::Has(FaultKind kind, std::size_t index) const {
    return std::any_of(faults_.begin(), faults_.end(), [&](const Fault& fault) {
        return fault.kind == kind && index >= fault.atPacket &&
               index - fault.atPacket < fault.times;
    });
}

}  // namespace kestrel
