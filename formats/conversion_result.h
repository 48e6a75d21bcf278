#pragma once
// The outcome of a pure conversion of bytes: the bytes produced, or the status
// text (GBK) that says why there are none.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

struct ConversionResult {
    std::vector<std::uint8_t> bytes;
    std::string failure;  // empty on success

    bool Ok() const { return failure.empty(); }
};

inline ConversionResult ConversionFailure(std::string_view failure) {
    return {{}, std::string(failure)};
}

}  // namespace kestrel
