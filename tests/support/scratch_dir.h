#pragma once
// A fresh folder for one test, removed with its contents when the test ends,
// and whole-file read/write helpers.

#include <filesystem>
#include <string_view>

#include "tests/support/bytes.h"

namespace kestrel::test {

class ScratchDir {
  public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::filesystem::path& name) const {
        return path_ / name;
    }

  private:
    std::filesystem::path path_;
};

Bytes ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const Bytes& bytes);
void WriteFileText(const std::filesystem::path& path, std::string_view bytes);

}  // namespace kestrel::test
