// The seed corpora replayed through the fuzz targets: every seed must keep
// every promise its target checks. KESTREL_FUZZ_CORPUS in the environment
// overrides the corpus folder compiled in (for a build run elsewhere, such
// as under Wine, where the source tree may sit on a drive letter).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "fuzz/fuzz_targets.h"
#include "tests/support/scratch_dir.h"

namespace kestrel::fuzz {

// Names a target in test output, rather than its bytes.
void PrintTo(const FuzzTarget& target, std::ostream* out) { *out << target.name; }

}  // namespace kestrel::fuzz

namespace kestrel::test {
namespace {

namespace fs = std::filesystem;
using fuzz::FuzzTarget;

fs::path CorpusFolder() {
    if (const char* folder = std::getenv("KESTREL_FUZZ_CORPUS"); folder != nullptr && *folder) {
        return folder;
    }
    const fs::path built = KESTREL_FUZZ_CORPUS;
    // Wine maps the Unix root to drive Z:.
    std::error_code error;
    if (!fs::is_directory(built, error) && fs::is_directory("Z:" + built.string(), error)) {
        return "Z:" + built.string();
    }
    return built;
}

std::vector<fs::path> SeedsOf(const FuzzTarget& target) {
    std::vector<fs::path> seeds;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(CorpusFolder() / target.name, error)) {
        if (entry.is_regular_file()) seeds.push_back(entry.path());
    }
    std::sort(seeds.begin(), seeds.end());
    return seeds;
}

class CorpusReplay : public ::testing::TestWithParam<FuzzTarget> {};

TEST_P(CorpusReplay, EverySeedKeepsTheTargetsPromises) {
    const FuzzTarget& target = GetParam();
    const std::vector<fs::path> seeds = SeedsOf(target);
    ASSERT_GE(seeds.size(), 5U) << "too few seeds in " << (CorpusFolder() / target.name);
    for (const fs::path& seed : seeds) {
        const std::vector<std::uint8_t> bytes = ReadFileBytes(seed);
        try {
            target.run(bytes);
        } catch (const fuzz::BrokenPromise& broken) {
            ADD_FAILURE() << seed.filename() << ": " << broken.what();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, CorpusReplay,
                         ::testing::ValuesIn(fuzz::AllFuzzTargets().begin(),
                                             fuzz::AllFuzzTargets().end()),
                         [](const auto& param) { return std::string(param.param.name); });

// A corpus folder without a target (say, after a rename) would silently stop
// being replayed and fuzzed.
TEST(CorpusFolders, EachBelongsToATarget) {
    std::set<std::string> names;
    for (const FuzzTarget& target : fuzz::AllFuzzTargets()) names.emplace(target.name);
    std::error_code error;
    std::size_t folders = 0;
    for (const auto& entry : fs::directory_iterator(CorpusFolder(), error)) {
        if (!entry.is_directory()) continue;
        ++folders;
        EXPECT_TRUE(names.count(entry.path().filename().string()))
            << entry.path().filename() << " has no fuzz target";
    }
    EXPECT_FALSE(error) << error.message();
    EXPECT_EQ(folders, names.size());
}

}  // namespace
}  // namespace kestrel::test
