#pragma once
// One fuzz target per parser of bytes from outside the program (a PC file,
// the serial line, the PC as the virtual handheld hears it). Each checks what
// its parser promises of any bytes; a broken promise throws BrokenPromise, a
// crash to a fuzzer and a failure to the corpus replay. A target never
// waits, touches no file and keeps nothing between inputs.

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string_view>

namespace kestrel::fuzz {

using Input = std::span<const std::uint8_t>;

struct BrokenPromise : std::logic_error {
    using std::logic_error::logic_error;
};

inline bool SameBytes(Input a, Input b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

inline void Require(bool kept, const char* promise) {
    if (!kept) throw BrokenPromise(promise);
}

void FuzzPackageFile(Input input);       // the package check and reading entry data
void FuzzApplicationImage(Input input);  // decoding, with a fixed substitution table
void FuzzTextFile(Input input);          // wrapping, re-heading and unwrapping
void FuzzLinkReceive(Input input);       // the PC's side of the line, fed the handheld's bytes
void FuzzPcPackets(Input input);         // the handheld's reading of the PC's packets

struct FuzzTarget {
    std::string_view name;  // also its seed corpus folder, fuzz/corpus/<name>
    void (*run)(Input);
};

inline constexpr std::array<FuzzTarget, 5> kFuzzTargets = {
    {{"package_file", FuzzPackageFile},
     {"application_image", FuzzApplicationImage},
     {"text_file", FuzzTextFile},
     {"link_receive", FuzzLinkReceive},
     {"pc_packet", FuzzPcPackets}}};

}  // namespace kestrel::fuzz
