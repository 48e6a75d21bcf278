#include "app/core/port_list.h"

#include <algorithm>
#include <map>
#include <system_error>

#include "app/core/app_texts.h"
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

PortListEntry SerialEntry(const std::string& device, const std::map<fs::path, fs::path>& links) {
    const fs::path shortName = fs::path(device).filename();
    // Without stable names nothing is resolved: on Windows that would open "COM1".
    std::error_code error;
    const fs::path real = links.empty() ? fs::path() : fs::canonical(device, error);
    const auto link = error || links.empty() ? links.end() : links.find(real);
    const fs::path named = link == links.end() ? fs::path(device) : link->second;
    return {shortName.native(), named.native(), {PortChoice::Kind::serial, named.string()}, true};
}

PortListEntry FixedEntry(std::string_view gbkLabel, PortChoice::Kind kind) {
    const UserText label = FromGbk(gbkLabel).value_or(UserText());
    return {label, label, {kind, {}}, true};
}

}  // namespace

std::vector<PortListEntry> ListPortChoices(const PortSource& source) {
    const auto links = StableLinks(source.stableNames);
    std::vector<PortListEntry> choices;
    for (const std::string& port : source.defaults) {
        PortListEntry entry = SerialEntry(port, links);
        entry.present = false;
        choices.push_back(std::move(entry));
    }
    for (const std::string& device :
         source.present ? source.present() : std::vector<std::string>()) {
        PortListEntry entry = SerialEntry(device, links);
        const auto listed = std::find_if(choices.begin(), choices.end(), [&](const auto& known) {
            return SamePort(known.port, entry.port);
        });
        if (listed == choices.end()) {
            choices.push_back(std::move(entry));
        } else {
            listed->present = true;
        }
    }
    if (source.searchable) {
        choices.push_back(FixedEntry(texts::kAutomaticPort, PortChoice::Kind::automatic));
    }
    choices.push_back(FixedEntry(texts::kBuiltInHandheld, PortChoice::Kind::builtInHandheld));
    return choices;
}

std::size_t ChoiceFor(const std::vector<PortListEntry>& entries,
                      const std::optional<PortChoice>& wanted) {
    for (std::size_t i = 0; wanted && i < entries.size(); ++i) {
        if (SamePort(entries[i].port, *wanted)) return i;
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].present && entries[i].port.kind == PortChoice::Kind::serial) return i;
    }
    return entries.size() - 1;  // the built-in handheld, always last
}

bool SamePort(const PortChoice& a, const PortChoice& b) {
    return a.kind == b.kind && a.name == b.name;
}

PortChoice PortNamed(std::string_view name) {
    if (name == kAutomaticPortName) return PortChoice{PortChoice::Kind::automatic, {}};
    return PortChoice{PortChoice::Kind::serial, std::string(name)};
}

}  // namespace kestrel
