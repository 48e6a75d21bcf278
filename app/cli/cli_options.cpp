#include "app/cli/cli_options.h"

#include <map>

namespace kestrel::cli {
namespace {

struct Words {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options;
    std::string error;
};

// Splits "--opt VALUE" pairs from positional words; every option takes a value.
Words Split(const std::vector<std::string>& words, const std::vector<std::string>& allowed) {
    Words out;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word.rfind("--", 0) != 0 || word == "--") {
            out.positional.push_back(word);
            continue;
        }
        bool known = false;
        for (const auto& option : allowed) known = known || option == word;
        if (!known) {
            out.error = "unknown option " + word;
            return out;
        }
        if (i + 1 >= words.size()) {
            out.error = word + " needs a value";
            return out;
        }
        if (out.options.count(word) != 0) {
            out.error = word + " given twice";
            return out;
        }
        out.options[word] = words[++i];
    }
    return out;
}

std::optional<std::string> Option(const Words& words, const std::string& name) {
    auto found = words.options.find(name);
    if (found == words.options.end()) return std::nullopt;
    return found->second;
}

Command ParseTransfer(const std::string& verb, const std::vector<std::string>& rest) {
    const Words words = Split(rest, {"--dir", "--name", "--port"});
    if (!words.error.empty()) return UsageError{words.error};
    if (words.positional.size() != 1) return UsageError{verb + " takes exactly one FILE"};
    const std::string port = Option(words, "--port").value_or(kDefaultPort);
    if (port.empty()) return UsageError{"--port needs a port name"};
    if (verb == "send") {
        return SendCommand{words.positional[0], Option(words, "--dir"), Option(words, "--name"),
                           port};
    }
    const auto directory = Option(words, "--dir");
    const auto name = Option(words, "--name");
    if (!directory || !name) return UsageError{"receive needs --dir DIR and --name NAME"};
    return ReceiveCommand{words.positional[0], *directory, *name, port};
}

}  // namespace

Command ParseCommandLine(const std::vector<std::string>& words) {
    if (words.empty()) return UsageError{"no command given"};
    const std::string& verb = words[0];
    const std::vector<std::string> rest(words.begin() + 1, words.end());
    for (const auto& word : words) {
        if (word == "--help" || word == "-h") return HelpCommand{};
    }
    if (verb == "help") return HelpCommand{};
    if (verb == "send" || verb == "receive") return ParseTransfer(verb, rest);
    if (verb == "ports") {
        if (!rest.empty()) return UsageError{"ports takes no arguments"};
        return PortsCommand{};
    }
    if (verb == "simulate") {
        const Words parsed = Split(rest, {"--root"});
        if (!parsed.error.empty()) return UsageError{parsed.error};
        if (!parsed.positional.empty()) return UsageError{"simulate takes no FILE"};
        return SimulateCommand{Option(parsed, "--root")};
    }
    return UsageError{"unknown command " + verb};
}

const char* HelpText() {
    return R"(kestrel-cli: move files between this computer and the handheld over a serial cable.

Usage:
  kestrel-cli send FILE [--dir DIR] [--name NAME] [--port PORT]
      Send FILE to the handheld (the dialog's "下载"). Without DIR or NAME,
      the ones proposed for FILE: the directory by extension (txt → 文本文件,
      bmp → 我的图片, lav → LAVA, ...), the name shortened to 14 bytes.
      Conversions on the way, by FILE's extension: "txt" gains the handheld's
      text header, "gtx" is re-headed, "bin" is decoded with the table file
      substitution.table (beside the program or in <prefix>/share/kestrel).
      A FILE ending in .pac (or NAME 下载包) is a package: its entries are
      sent one by one, each to its own directory.
  kestrel-cli receive FILE --dir DIR --name NAME [--port PORT]
      Fetch the device file DIR/NAME into FILE (the dialog's "上传"). A "txt"
      FILE loses the text header; "gtx" and "bin" cannot be fetched. FILE is
      replaced only once the whole file has arrived; what arrived of a failed
      receive is kept in FILE.part.
  kestrel-cli ports
      List the serial ports present.
  kestrel-cli simulate [--root DIR]
      Run a virtual handheld on a new pseudo-terminal: prints the port's path
      as its first line, then serves sessions until interrupted. Its files are
      kept in DIR (default: a folder in the user's data directory).

DIR and NAME: at most 14 bytes of GBK (7 Chinese characters), no spaces;
DIR "root" is the handheld's root directory.
PORT: on Windows a COM port (COM1, COM7, COM12, ...; "ports" lists them);
elsewhere a device path such as /dev/ttyUSB0, or COM1 to COM4 for /dev/ttyS0
to /dev/ttyS3. Default: COM1. simulate runs on Linux and macOS only.

Every status text is printed as it happens, one a line. Exit status: 0 when
the transfer ends in "传输成功。", 1 when it fails, 2 for a usage error.

Example, without a handheld:
  kestrel-cli simulate --root /tmp/handheld &      # prints e.g. /dev/pts/5
  kestrel-cli send notes.txt --port /dev/pts/5
  kestrel-cli receive back.txt --dir 文本文件 --name notes.txt --port /dev/pts/5
)";
}

}  // namespace kestrel::cli
