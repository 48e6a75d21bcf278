// kestrel-conversion-bench: the conversions on 256 KiB inputs, each beside a
// plain memory copy of the same bytes, in MB/s (10^6 bytes a second). Takes
// Google Benchmark's own flags (--benchmark_filter, --benchmark_min_time ...)
// and prints a short table; the target is a fifth of the copy's speed.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/bench_files.h"
#include "formats/application_image.h"
#include "formats/package_file.h"
#include "formats/substitution_table.h"
#include "formats/text_file.h"
#include "text/gbk.h"
#include "text/texts.h"

namespace kestrel::bench {
namespace {

constexpr double kMinShareOfCopy = 0.2;
constexpr std::size_t kPackageEntries = 64;

std::string_view AsChars(const Bytes& bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// Whole lines of status texts, nearly all of them two-byte characters: the
// converter's slowest case.
Bytes HanziText(std::size_t size) {
    const std::string line = std::string(texts::kPcFileChanged) + std::string(texts::kSucceeded) +
                             std::string(texts::kWaiting) + "\r\n";
    Bytes text;
    while (text.size() + line.size() <= size) text.insert(text.end(), line.begin(), line.end());
    return text;
}

Bytes Utf8Of(const Bytes& gbk) {
    const std::optional<std::string> utf8 = gbk::ToUtf8(AsChars(gbk));
    if (!utf8) throw std::runtime_error("the sample GBK text does not convert");
    return {utf8->begin(), utf8->end()};
}

struct Inputs {
    SampleImage image = MakeApplicationImage(kSampleSize);
    SubstitutionTable table = *SubstitutionTable::FromBytes(image.table);
    Bytes text = SampleText(kSampleSize);
    Bytes handheldText = Need(WrapTextBytes(text));
    Bytes package = MakePackage(kPackageEntries, kSampleSize / kPackageEntries).bytes;
    Bytes gbkText = HanziText(kSampleSize);
    Bytes utf8Text = Utf8Of(gbkText);
};

// Sets the byte count the rate is worked out from.
void CountBytes(benchmark::State& state, std::size_t bytesPerRound) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(bytesPerRound));
}

void Copy(benchmark::State& state, const Bytes& input) {
    Bytes output(input.size());
    for (auto _ : state) {
        std::memcpy(output.data(), input.data(), input.size());
        benchmark::DoNotOptimize(output.data());
        benchmark::ClobberMemory();
    }
    CountBytes(state, input.size());
}

void DecodeImage(benchmark::State& state, const Inputs& in) {
    for (auto _ : state) {
        ResultOf<Bytes> decoded = DecodeApplicationImage(in.image.image, in.table);
        benchmark::DoNotOptimize(decoded.Value().data());
    }
    CountBytes(state, in.image.image.size());
}

void WrapText(benchmark::State& state, const Inputs& in) {
    for (auto _ : state) {
        ResultOf<Bytes> wrapped = WrapTextBytes(in.text);
        benchmark::DoNotOptimize(wrapped.Value().data());
    }
    CountBytes(state, in.text.size());
}

void UnwrapText(benchmark::State& state, const Inputs& in) {
    for (auto _ : state) {
        ResultOf<Bytes> text = UnwrapTextBytes(in.handheldText);
        benchmark::DoNotOptimize(text.Value().data());
    }
    CountBytes(state, in.handheldText.size());
}

void GbkToUtf8(benchmark::State& state, const Inputs& in) {
    for (auto _ : state) {
        std::optional<std::string> utf8 = gbk::ToUtf8(AsChars(in.gbkText));
        benchmark::DoNotOptimize(utf8->data());
    }
    CountBytes(state, in.gbkText.size());
}

void Utf8ToGbk(benchmark::State& state, const Inputs& in) {
    for (auto _ : state) {
        std::optional<std::string> gbk = gbk::FromUtf8(AsChars(in.utf8Text));
        benchmark::DoNotOptimize(gbk->data());
    }
    CountBytes(state, in.utf8Text.size());
}

// Not a conversion: the least any byte-by-byte substitution costs, one
// lookup in one 256-byte table into a buffer made beforehand. Decoding an
// image can come no closer to a memory copy than this.
void LookupPerByte(benchmark::State& state, const Inputs& in) {
    const Bytes& input = in.image.image;
    const std::uint8_t* row = in.image.table.data();
    Bytes output(input.size());
    for (auto _ : state) {
        for (std::size_t i = 0; i < input.size(); ++i) output[i] = row[input[i]];
        benchmark::DoNotOptimize(output.data());
        benchmark::ClobberMemory();
    }
    CountBytes(state, input.size());
}

// The package in memory, read as a PC file's ReadAt reads it.
PackageReader ReaderOf(const Bytes& package) {
    return [&package](std::uint64_t offset, std::span<std::uint8_t> into) -> ResultOf<std::size_t> {
        const std::size_t at = std::min<std::size_t>(offset, package.size());
        const std::size_t size = std::min(into.size(), package.size() - at);
        std::memcpy(into.data(), package.data() + at, size);
        return size;
    };
}

// What sending a package does before the line: check it whole, then read
// each entry's data.
void CheckPackage(benchmark::State& state, const Inputs& in) {
    const PackageReader read = ReaderOf(in.package);
    for (auto _ : state) {
        const ResultOf<std::vector<PackageEntry>> entries =
            kestrel::CheckPackage(in.package.size(), read, "p");
        for (const PackageEntry& entry : entries.Value()) {
            ResultOf<Bytes> data = ReadEntryData(read, entry, "p");
            benchmark::DoNotOptimize(data);
        }
    }
    CountBytes(state, in.package.size());
}

struct Conversion {
    std::string name;
    std::function<void(benchmark::State&, const Inputs&)> run;
    const Bytes& input;
    bool reference = false;  // shown for comparison, held to no target
};

// Collects each benchmark's rate by name, and prints nothing itself.
class RateCollector final : public benchmark::BenchmarkReporter {
  public:
    bool ReportContext(const Context&) override { return true; }
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration) continue;
            const auto rate = run.counters.find("bytes_per_second");
            if (rate != run.counters.end()) rates_[run.benchmark_name()] = rate->second.value;
        }
    }
    // Bytes a second; 0 when the benchmark did not run.
    double Rate(const std::string& name) const {
        const auto found = rates_.find(name);
        return found == rates_.end() ? 0 : found->second;
    }

  private:
    std::map<std::string, double> rates_;
};

void CheckInputs(const Inputs& in) {
    if (gbk::FromUtf8(AsChars(in.utf8Text)) != std::string(AsChars(in.gbkText))) {
        throw std::runtime_error("the sample text does not come back as GBK");
    }
    if (Need(DecodeApplicationImage(in.image.image, in.table)) != in.image.decoded) {
        throw std::runtime_error("the sample image does not decode to its plain bytes");
    }
    if (Need(kestrel::CheckPackage(in.package.size(), ReaderOf(in.package), "p")).size() !=
        kPackageEntries) {
        throw std::runtime_error("the sample package does not check");
    }
}

bool PrintTable(const std::vector<Conversion>& conversions, const RateCollector& rates) {
    bool allMet = true;
    std::printf("%-34s %9s %12s %8s\n", "conversion, 256 KiB", "MB/s", "copy MB/s", "share");
    for (const Conversion& conversion : conversions) {
        const double rate = rates.Rate(conversion.name);
        const double copy = rates.Rate(conversion.name + " (copy)");
        if (rate == 0 || copy == 0) continue;
        const bool met = rate >= kMinShareOfCopy * copy;
        if (!conversion.reference) allMet = allMet && met;
        const char* verdict = conversion.reference ? "" : met ? "met" : "NOT met";
        std::printf("%-34s %9.0f %12.0f %7.1f%%  %s\n", conversion.name.c_str(), rate / 1e6,
                    copy / 1e6, 100 * rate / copy, verdict);
    }
    std::printf(
        "Target: at least a fifth (20 %%) of the speed of a memory copy of the same bytes.\n");
    return allMet;
}

int Run(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
    const Inputs inputs;
    CheckInputs(inputs);
    const std::vector<Conversion> conversions = {
        {"decode application image", DecodeImage, inputs.image.image},
        {"wrap text", WrapText, inputs.text},
        {"unwrap text", UnwrapText, inputs.handheldText},
        {"check and unpack package", CheckPackage, inputs.package},
        // A table lookup a character, held to no share of a copy.
        {"GBK text to UTF-8", GbkToUtf8, inputs.gbkText, true},
        {"UTF-8 text to GBK", Utf8ToGbk, inputs.utf8Text, true},
        {"(a lookup per byte, for reference)", LookupPerByte, inputs.image.image, true},
    };
    for (const Conversion& conversion : conversions) {
        benchmark::RegisterBenchmark(conversion.name.c_str(), conversion.run, std::cref(inputs));
        benchmark::RegisterBenchmark((conversion.name + " (copy)").c_str(), Copy,
                                     std::cref(conversion.input));
    }
    RateCollector rates;
    benchmark::RunSpecifiedBenchmarks(&rates);
    benchmark::Shutdown();
    PrintTable(conversions, rates);
    return 0;
}

}  // namespace
}  // namespace kestrel::bench

int main(int argc, char** argv) {
    try {
        return kestrel::bench::Run(argc, argv);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "kestrel-conversion-bench: %s\n", error.what());
        return 1;
    }
}
