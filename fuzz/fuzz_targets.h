#pragma once
// The fuzz targets: one function per parser of bytes that come from outside
// the program (a PC file, the serial line, or, for the virtual handheld, the
// PC). Each takes any bytes at all and checks what the parser promises about
// them; a broken promise throws BrokenPromise, which a fuzzer turns into a
// crash report and the corpus replay into a test failure. A target never
// waits, touches no file and keeps nothing from one input to the next.

#include <algorithm>
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

// Throws BrokenPromise naming `promise` unless `kept`.
inline void Require(bool kept, const char* promise) {
    if (!kept) throw BrokenPromise(promise);
}

// The package check and the reading of entry data.
void FuzzPackageFile(Input input);
// Application image decoding, with a fixed substitution table.
void FuzzApplicationImage(Input input);
// Text wrapping, re-heading and unwrapping.
void FuzzTextFile(Input input);
// The PC's side of a receive, with the input as everything the handheld sends.
void FuzzLinkReceive(Input input);
// The handheld's reading of PC packets, with the input as everything the PC sends.
void FuzzPcPackets(Input input);

struct FuzzTarget {
    std::string_view name;  // also the name of its seed corpus folder
    void (*run)(Input);
};

// Every target above, by name.
std::span<const FuzzTarget> AllFuzzTargets();

}  // namespace kestrel::fuzz
