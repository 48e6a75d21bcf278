#include "handheld/device_paths.h"

#include <algorithm>
#include <string>

namespace kestrel {

namespace {

bool SafeDevicePart(std::string_view part) {
    if (part.empty() || part == "." || part == "..") return false;
    return part.find('\0') == std::string_view::npos && part.find('/') == std::string_view::npos;
}

bool SafeDiskPart(const std::filesystem::path& part) {
    const auto& text = part.native();
    if (text.empty() || part.has_root_name() || part.has_root_directory()) return false;
    if (part == "." || part == "..") return false;
    const bool badChar = std::any_of(text.begin(), text.end(), [](auto c) {
        return c == '/' || c == '\\' || c == ':' || c == '\0';
    });
    return !badChar && text.back() != '.' && text.back() != ' ';
}

std::optional<std::filesystem::path> MapPart(std::string_view part, const NameMapper& map) {
    if (!SafeDevicePart(part) || !map) return std::nullopt;
    auto mapped = map(part);
    if (!mapped || !SafeDiskPart(*mapped)) return std::nullopt;
    return mapped;
}

}  // namespace

std::optional<std::filesystem::path> KeepBytes(std::string_view deviceText) {
    return std::filesystem::path(std::string(deviceText));
}

std::optional<std::vector<std::filesystem::path>> MapDirectory(std::string_view directory,
                                                               const NameMapper& map) {
    std::vector<std::filesystem::path> parts;
    if (directory.empty()) return parts;
    for (;;) {
        const std::size_t slash = directory.find('/');
        auto part = MapPart(directory.substr(0, slash), map);
        if (!part) return std::nullopt;
        parts.push_back(std::move(*part));
        if (slash == std::string_view::npos) return parts;
        directory.remove_prefix(slash + 1);
    }
}

std::optional<std::filesystem::path> MapFileName(std::string_view name, const NameMapper& map) {
    return MapPart(name, map);
}

}  // namespace kestrel
