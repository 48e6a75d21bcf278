#pragma once
// A scratch folder, a recording status line and a FormatContext whose
// TempFile lives in that folder, for tests that go through real files.

#include <gtest/gtest.h>

#include <filesystem>

#include "formats/routing.h"
#include "tests/support/recording_status.h"
#include "tests/support/scratch_dir.h"

namespace kestrel::test {

class FormatsTest : public ::testing::Test {
  protected:
    FormatsTest() { std::filesystem::create_directory(StagingDir()); }

    std::filesystem::path StagingDir() const { return scratch_ / "staging"; }
    std::filesystem::path TempFilePath() const { return StagingDir() / "tmpfile"; }

    ScratchDir scratch_;
    RecordingStatus status_;
    FormatContext context_{status_, nullptr, {}, StagingDir()};
};

}  // namespace kestrel::test
