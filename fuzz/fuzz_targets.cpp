#include "fuzz/fuzz_targets.h"

#include <array>

namespace kestrel::fuzz {

std::span<const FuzzTarget> AllFuzzTargets() {
    static constexpr std::array<FuzzTarget, 5> kTargets = {{
        {"package_file", FuzzPackageFile},
        {"application_image", FuzzApplicationImage},
        {"text_file", FuzzTextFile},
        {"link_receive", FuzzLinkReceive},
        {"pc_packet", FuzzPcPackets},
    }};
    return kTargets;
}

}  // namespace kestrel::fuzz
