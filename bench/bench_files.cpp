#include "bench/bench_files.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <fstream>
#include <iterator>
#include <numeric>
#include <random>
#include <stdexcept>
#include <string_view>
#include <system_error>

namespace kestrel::bench {
namespace {

constexpr std::size_t kKeyLength = 16;
constexpr std::size_t kDiscarded = 78;
constexpr std::size_t kMaxKept = 0xFFFF;
constexpr std::size_t kPathField = 60;

void PutLittleEndian(Bytes& out, std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

Bytes PermutationTable(std::uint32_t seed) {
    std::mt19937 random(seed);
    Bytes table(256 * 256);
    for (std::size_t row = 0; row < 256; ++row) {
        const auto begin = table.begin() + static_cast<std::ptrdiff_t>(row * 256);
        std::iota(begin, begin + 256, std::uint8_t{0});
        std::shuffle(begin, begin + 256, random);
    }
    return table;
}

}  // namespace

Bytes RandomBytes(std::size_t size, std::uint32_t seed) {
    std::mt19937 random(seed);
    Bytes bytes(size);
    for (auto& byte : bytes) byte = static_cast<std::uint8_t>(random());
    return bytes;
}

Bytes SampleText(std::size_t size) {
    // 文曲星 (GBK) between ASCII words, CR LF line ends as the handheld keeps them.
    static constexpr std::string_view kLine =
        "KESTREL \xCE\xC4\xC7\xFA\xD0\xC7 line of sample text, 0123456789.\r\n";
    Bytes text;
    text.reserve(size);
    while (text.size() < size) {
        const std::size_t take = std::min(kLine.size(), size - text.size());
        text.insert(text.end(), kLine.begin(), kLine.begin() + static_cast<std::ptrdiff_t>(take));
    }
    return text;
}

SamplePackage MakePackage(std::size_t count, std::size_t entrySize) {
    SamplePackage package;
    const std::string_view magic = "PAC ";
    package.bytes.assign(magic.begin(), magic.end());
    package.bytes.resize(16, 0);
    PutLittleEndian(package.bytes, count, 2);
    for (std::size_t i = 0; i < count; ++i) {
        PackedFile file{"DIR" + std::to_string(i), "file" + std::to_string(i) + ".dat",
                        RandomBytes(entrySize, static_cast<std::uint32_t>(100 + i))};
        PutLittleEndian(package.bytes, file.content.size(), 4);
        std::string path = file.directory + "/" + file.name;
        path.resize(kPathField, '\0');
        package.bytes.insert(package.bytes.end(), path.begin(), path.end());
        package.bytes.insert(package.bytes.end(), file.content.begin(), file.content.end());
        package.files.push_back(std::move(file));
    }
    return package;
}

SampleImage MakeApplicationImage(std::size_t size) {
    SampleImage sample{PermutationTable(7), {}, {}};
    const Bytes keyHead = RandomBytes(kKeyLength, 11);
    const Bytes keyTail = RandomBytes(kKeyLength, 13);
    const std::size_t fixed = 1 + 2 * kKeyLength + 2 + kDiscarded;
    const std::size_t kept = std::min(kMaxKept, size - fixed);
    const Bytes plain = RandomBytes(size - fixed, 17);  // body's kept part, then the tail

    std::size_t j = 0;  // runs through body and tail, not through keyTail
    auto code = [&](std::uint8_t byte) {
        const auto row =
            static_cast<std::size_t>(keyHead[j % kKeyLength] ^ keyTail[j % kKeyLength]);
        ++j;
        return sample.table[row * 256 + byte];
    };
    Bytes& image = sample.image;
    image.push_back(static_cast<std::uint8_t>(kKeyLength));
    image.insert(image.end(), keyHead.begin(), keyHead.end());
    PutLittleEndian(image, kept, 2);
    for (std::size_t i = 0; i < kDiscarded; ++i) image.push_back(code(0));
    const auto tailStart = plain.begin() + static_cast<std::ptrdiff_t>(kept);
    std::transform(plain.begin(), tailStart, std::back_inserter(image), code);
    image.insert(image.end(), keyTail.begin(), keyTail.end());
    std::transform(tailStart, plain.end(), std::back_inserter(image), code);

    sample.decoded.assign(plain.begin(), tailStart);
    sample.decoded.insert(sample.decoded.end(), keyTail.begin(), keyTail.end());
    sample.decoded.insert(sample.decoded.end(), tailStart, plain.end());
    return sample;
}

BenchFolder::BenchFolder() {
    static std::atomic<int> counter{0};
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    std::random_device entropy;
    for (;;) {
        path_ = base / ("kestrel-bench-" + std::to_string(entropy()) + "-" +
                        std::to_string(counter.fetch_add(1)));
        if (std::filesystem::create_directory(path_)) return;
    }
}

BenchFolder::~BenchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void WriteFile(const std::filesystem::path& path, const Bytes& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

Bytes ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace kestrel::bench
