// Every seed the fuzzers start from, run through its target as a plain test,
// so every build (the Windows one too) replays them.
#include <gtest/gtest.h>

#include <filesystem>

#include "fuzz/fuzz_targets.h"
#include "tests/support/scratch_dir.h"

namespace kestrel::test {
namespace {

TEST(FuzzReplay, EverySeedKeepsItsTargetsPromises) {
    for (const fuzz::FuzzTarget& target : fuzz::kFuzzTargets) {
        const std::filesystem::path folder =
            std::filesystem::path(KESTREL_FUZZ_CORPUS) / target.name;
        std::size_t seeds = 0;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            SCOPED_TRACE(entry.path().string());
            const Bytes input = ReadFileBytes(entry.path());
            EXPECT_NO_THROW(target.run(input));
            ++seeds;
        }
        EXPECT_GT(seeds, 0U) << target.name;
    }
}

}  // namespace
}  // namespace kestrel::test
