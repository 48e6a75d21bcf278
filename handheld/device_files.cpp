#include "handheld/device_files.h"

#include <system_error>
#include <utility>

#include "status/shown_name.h"
#include "text/texts.h"

namespace kestrel {

namespace fs = std::filesystem;

namespace {

// The type of what is at `path`, without following a link.
fs::file_type TypeAt(const fs::path& path) {
    std::error_code ignored;
    return fs::symlink_status(path, ignored).type();
}

}  // namespace

ResultOf<DeviceFiles> DeviceFiles::Open(const fs::path& root, NameMapper mapName) {
    std::error_code error;
    fs::create_directories(root, error);
    fs::path canonical = error ? fs::path() : fs::canonical(root, error);
    if (error) return Result::Failed(texts::kBuiltInHandheldNoFolder, ShownName(root), error);
    return DeviceFiles(std::move(canonical), std::move(mapName));
}

std::optional<fs::path> DeviceFiles::Folder(std::string_view directory, bool create) const {
    const auto parts = MapDirectory(directory, mapName_);
    if (!parts) return std::nullopt;
    fs::path folder = root_;
    for (const auto& part : *parts) {
        folder /= part;
        const fs::file_type type = TypeAt(folder);
        if (type == fs::file_type::directory) continue;
        if (type != fs::file_type::not_found) return std::nullopt;  // a file, a link, ...
        if (!create) continue;  // the rest is missing too; nothing more to check
        std::error_code error;
        // false means something appeared meanwhile: it was not checked, so refuse.
        if (!fs::create_directory(folder, error) || error) return std::nullopt;
    }
    return folder;
}

std::optional<fs::path> DeviceFiles::FilePath(std::string_view directory, std::string_view name,
                                              bool create) const {
    auto folder = Folder(directory, create);
    auto fileName = MapFileName(name, mapName_);
    if (!folder || !fileName) return std::nullopt;
    return *folder / *fileName;
}

bool DeviceFiles::IsUsableDirectory(std::string_view directory) const {
    return Folder(directory, false).has_value();
}

bool DeviceFiles::Arriving::Begin(const fs::path& target) {
    Drop();
    // A name no device file maps to in practice: hidden, and marked.
    fs::path path = target.parent_path() / (".~" + target.filename().string() + ".arriving");
    std::error_code error;
    // Left by a handheld that was stopped mid-file, or a link put there.
    if (TypeAt(path) != fs::file_type::not_found && !fs::remove(path, error)) return false;
    path_ = std::move(path);
    target_ = target;
    return true;
}

bool DeviceFiles::Arriving::Replace() {
    std::error_code error;
    fs::rename(path_, target_, error);
    if (error) {
        Drop();
        return false;
    }
    path_.clear();
    return true;
}

void DeviceFiles::Arriving::Drop() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove(path_, ignored);
    path_.clear();
}

bool DeviceFiles::CreateFile(std::string_view directory, std::string_view name) {
    CloseWriting();
    const auto path = FilePath(directory, name, true);
    if (!path) return false;
    const fs::file_type type = TypeAt(*path);
    if (type != fs::file_type::not_found && type != fs::file_type::regular) return false;
    if (!arriving_.Begin(*path)) return false;
    writer_.open(arriving_.Path(), std::ios::binary | std::ios::trunc);
    return writer_.is_open();
}

bool DeviceFiles::Append(std::span<const std::uint8_t> bytes) {
    if (!writer_.is_open()) return false;
    writer_.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    // On disk now, so that a full disk refuses this packet, whose refusal
    // the PC reads, rather than only EndOfFile, which it may not.
    writer_.flush();
    return writer_.good();
}

bool DeviceFiles::FinishWriting() {
    if (!writer_.is_open()) return true;
    writer_.close();  // hands the rest to the system: a full disk shows here
    const bool written = !writer_.fail();
    writer_.clear();
    if (!written) {
        arriving_.Drop();
        return false;
    }
    return arriving_.Replace();
}

void DeviceFiles::CloseWriting() {
    if (writer_.is_open()) writer_.close();
    writer_.clear();
    arriving_.Drop();
}

bool DeviceFiles::OpenForReading(std::string_view directory, std::string_view name) {
    CloseReading();
    const auto path = FilePath(directory, name, false);
    if (!path || TypeAt(*path) != fs::file_type::regular) return false;
    reader_.open(*path, std::ios::binary);
    return reader_.is_open();
}

std::optional<std::vector<std::uint8_t>> DeviceFiles::ReadChunk(std::size_t size) {
    if (!reader_.is_open() || reader_.bad()) return std::nullopt;
    std::vector<std::uint8_t> chunk(size);
    reader_.read(reinterpret_cast<char*>(chunk.data()), static_cast<std::streamsize>(size));
    if (reader_.bad()) return std::nullopt;
    chunk.resize(static_cast<std::size_t>(reader_.gcount()));
    return chunk;
}

void DeviceFiles::CloseReading() {
    if (reader_.is_open()) reader_.close();
    reader_.clear();
}

}  // namespace kestrel
