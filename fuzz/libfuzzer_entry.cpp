// The entry libFuzzer calls, one executable per target; the build names the
// target's function in KESTREL_FUZZ_FUNCTION.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kestrel::fuzz::KESTREL_FUZZ_FUNCTION(kestrel::fuzz::Input(data, size));
    return 0;
}
