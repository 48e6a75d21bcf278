#pragma once
// Where the program finds what it does not carry inside: the substitution
// table (beside the executable, then the installed data folder) and the
// virtual handheld's files (the user's data folder).

#include <filesystem>
#include <optional>
#include <vector>

namespace kestrel {

// The folders searched for the substitution table, in order.
std::vector<std::filesystem::path> TableFolders();

// The user's data folder for this program ($XDG_DATA_HOME/kestrel, or
// ~/.local/share/kestrel; on Windows %LOCALAPPDATA%\KESTREL, which is also
// where the table is looked for after the executable's folder).
std::filesystem::path UserDataFolder();

// The file KESTREL_TRACE names, when it names one.
std::optional<std::filesystem::path> TraceFileFromEnvironment();

}  // namespace kestrel
