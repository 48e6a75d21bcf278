// The entry libFuzzer calls; each build names its target in KESTREL_FUZZ_TARGET.
#include "fuzz/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using kestrel::fuzz::kFuzzTargets;
    static const auto run =
        std::find_if(kFuzzTargets.begin(), kFuzzTargets.end(), [](auto& target) {
            return target.name == KESTREL_FUZZ_TARGET;
        })->run;
    run(kestrel::fuzz::Input(data, size));
    return 0;
}
