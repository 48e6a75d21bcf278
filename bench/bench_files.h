#pragma once
// Inputs for the benchmarks, made from fixed seeds so that every run measures
// the same bytes: plain data, text, a package, an application image with its
// substitution table; a scratch folder that removes itself; and Need(), the
// value of a step the benchmark cannot do without.
//
// The image is coded here with the table's rows as they stand, the way a
// coded application is laid out (see formats/application_image.h); decoding
// it gives the plain bytes back, which the benchmark checks once.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "status/result.h"

namespace kestrel::bench {

using Bytes = std::vector<std::uint8_t>;

// The value, or std::runtime_error with the failure's reason (GBK).
template <typename T>
T Need(ResultOf<T> result) {
    if (!result.IsOk()) throw std::runtime_error(result.Reason());
    return std::move(result).Value();
}

// The size of every sample: what one benchmark transfer moves.
inline constexpr std::size_t kSampleSize = 256 * 1024;

Bytes RandomBytes(std::size_t size, std::uint32_t seed);

// Lines of ASCII and GBK text, `size` bytes in all.
Bytes SampleText(std::size_t size);

struct PackedFile {
    std::string directory;
    std::string name;
    Bytes content;
};

struct SamplePackage {
    Bytes bytes;                    // the package file
    std::vector<PackedFile> files;  // what it holds
};

// `count` entries of `entrySize` bytes each, in directories DIR0, DIR1, ...
SamplePackage MakePackage(std::size_t count, std::size_t entrySize);

struct SampleImage {
    Bytes table;    // 65,536 bytes, every row a permutation
    Bytes image;    // the coded application, `size` bytes
    Bytes decoded;  // what decoding must give
};

SampleImage MakeApplicationImage(std::size_t size);

// A fresh folder under the system's temporary directory, removed with all it
// holds when destroyed.
class BenchFolder {
  public:
    BenchFolder();
    ~BenchFolder();
    BenchFolder(const BenchFolder&) = delete;
    BenchFolder& operator=(const BenchFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::filesystem::path& name) const {
        return path_ / name;
    }

  private:
    std::filesystem::path path_;
};

// Writes a whole file, making its folder; throws std::runtime_error on failure.
void WriteFile(const std::filesystem::path& path, const Bytes& bytes);
// The whole file; empty when it cannot be read.
Bytes ReadFile(const std::filesystem::path& path);

}  // namespace kestrel::bench
