#pragma once
// The command line of kestrel-cli, parsed into one command. Parsing only
// splits and checks the words; device names are checked against the
// handheld's rules later, where the file is known.

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace kestrel::cli {

struct SendCommand {
    std::vector<std::string> files;        // one or more
    std::optional<std::string> directory;  // user text (UTF-8)
    std::optional<std::string> name;
    std::string port;
    bool keepBytes = false;            // text files byte for byte, never made GBK
    std::optional<std::string> trace;  // --trace FILE
    std::string commandLine;           // as given, for the trace's header (with --trace)
};

struct ReceiveCommand {
    std::string file;
    std::optional<std::string> directory;  // both given, once parsed
    std::optional<std::string> name;
    std::string port;
    bool utf8 = false;                 // a fetched text written as UTF-8
    std::optional<std::string> trace;  // --trace FILE
    std::string commandLine;           // as given, for the trace's header (with --trace)
};

struct PortsCommand {};

struct SimulateCommand {
    std::optional<std::string> root;
};

struct HelpCommand {};

struct VersionCommand {};

struct UsageError {
    std::string message;
};

using Command = std::variant<SendCommand, ReceiveCommand, PortsCommand, SimulateCommand,
                             HelpCommand, VersionCommand, UsageError>;

inline constexpr char kDefaultPort[] = "COM1";

Command ParseCommandLine(const std::vector<std::string>& words);  // without the program name

const char* HelpText();

}  // namespace kestrel::cli
