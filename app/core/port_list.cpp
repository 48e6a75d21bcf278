#include "app/qt/port_choices.h"

#include <map>
#include <system_error>
#include <utility>

#include "app/core/app_texts.h"
#include "app/platform/gbk_text.h"
#include "transfer/transfer_texts.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;

// Each device behind a stable link, by its real path; the first link by name
// wins when several lead to one device, so the list does not change between
// refreshes.
std::map<fs::path, fs::path> StableLinks(const fs::path& folder) {
    std::map<fs::path, fs::path> links;
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        std::error_code unresolved;
        const fs::path device = fs::canonical(entry->path(), unresolved);
        if (unresolved) continue;
        auto [at, added] = links.emplace(device, entry->path());
        if (!added && entry->path() < at->second) at->second = entry->path();
    }
    return links;
}

UserText BuiltInHandheldLabel() {
    return FromGbk(texts::kBuiltInHandheld).value_or(UserText());
}

}  // namespace

std::vector<PortListEntry> ListPortChoices(const std::vector<std::string>& devicePaths,
                                           const std::filesystem::path& stableNameFolder) {
    const auto links = StableLinks(stableNameFolder);
    std::vector<PortListEntry> choices;
    for (const std::string& device : devicePaths) {
        std::error_code error;
        const fs::path real = fs::canonical(device, error);
        const auto link = error ? links.end() : links.find(real);
        const fs::path shortName = fs::path(device).filename();
        if (link == links.end()) {
            choices.push_back({shortName.native(),
                               fs::path(device).native(),
                               {PortChoice::Kind::serial, device}});
        } else {
            choices.push_back({shortName.native(),
                               link->second.native(),
                               {PortChoice::Kind::serial, link->second.string()}});
        }
    }
    const UserText automatic = FromGbk(texts::kAutomaticPort).value_or(UserText());
    choices.push_back({automatic, automatic, {PortChoice::Kind::automatic, {}}});
    const UserText builtIn = BuiltInHandheldLabel();
    choices.push_back({builtIn, builtIn, {PortChoice::Kind::builtInHandheld, {}}});
    return choices;
}

}  // namespace kestrel
