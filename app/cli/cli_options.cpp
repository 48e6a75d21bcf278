#include "app/cli/cli_options.h"

#include <map>

namespace kestrel::cli {
namespace {

struct Words {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options;
    std::vector<std::string> flags;
    std::string error;
};

bool Among(const std::vector<std::string>& list, const std::string& word) {
    for (const auto& item : list) {
        if (item == word) return true;
    }
    return false;
}

// Splits "--opt VALUE" pairs and "--flag" words from positional words.
Words Split(const std::vector<std::string>& words, const std::vector<std::string>& allowed,
            const std::vector<std::string>& allowedFlags = {}) {
    Words out;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word.rfind("--", 0) != 0 || word == "--") {
            out.positional.push_back(word);
            continue;
        }
        if (Among(allowedFlags, word)) {
            if (!Among(out.flags, word)) out.flags.push_back(word);
            continue;
        }
        if (!Among(allowed, word)) {
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
    const bool send = verb == "send";
    const Words words =
        Split(rest, {"--dir", "--name", "--port"}, {send ? "--keep-bytes" : "--utf8"});
    if (!words.error.empty()) return UsageError{words.error};
    const std::string port = Option(words, "--port").value_or(kDefaultPort);
    if (port.empty()) return UsageError{"--port needs a port name"};
    if (send) {
        if (words.positional.empty()) return UsageError{"send takes one FILE or more"};
        return SendCommand{words.positional,
                           Option(words, "--dir"),
                           Option(words, "--name"),
                           port,
                           Among(words.flags, "--keep-bytes"),
                           {},
                           {}};
    }
    if (words.positional.size() != 1) return UsageError{"receive takes exactly one FILE"};
    const auto directory = Option(words, "--dir");
    const auto name = Option(words, "--name");
    if (!directory || !name) return UsageError{"receive needs --dir DIR and --name NAME"};
    return ReceiveCommand{words.positional[0],          *directory, *name, port,
                          Among(words.flags, "--utf8"), {},         {}};
}

// The command line as a shell would take it back: a word with a blank or a
// quote in it is quoted.
std::string Joined(const std::vector<std::string>& given) {
    std::string line = "kestrel-cli";
    for (const std::string& word : given) {
        const bool plain = !word.empty() && word.find_first_of(" \t'\"\\$") == std::string::npos;
        if (plain) {
            line += " " + word;
            continue;
        }
        line += " '";
        for (const char c : word) line += c == '\'' ? std::string("'\\''") : std::string(1, c);
        line += "'";
    }
    return line;
}

// "--trace FILE" may stand anywhere, also before the command.
Command WithTrace(Command command, const std::optional<std::string>& trace,
                  const std::vector<std::string>& given) {
    if (!trace) return command;
    if (auto* send = std::get_if<SendCommand>(&command)) {
        send->trace = trace;
        send->commandLine = Joined(given);
    }
    if (auto* receive = std::get_if<ReceiveCommand>(&command)) {
        receive->trace = trace;
        receive->commandLine = Joined(given);
    }
    return command;
}

}  // namespace

Command ParseCommandLine(const std::vector<std::string>& given) {
    std::vector<std::string> words;
    std::optional<std::string> trace;
    for (std::size_t i = 0; i < given.size(); ++i) {
        if (given[i] == "--help" || given[i] == "-h") return HelpCommand{};
        if (given[i] == "--version") return VersionCommand{};
        if (given[i] != "--trace") {
            words.push_back(given[i]);
            continue;
        }
        if (i + 1 >= given.size() || given[i + 1].empty()) {
            return UsageError{"--trace needs a FILE"};
        }
        trace = given[++i];
    }
    if (words.empty()) return UsageError{"no command given"};
    const std::string& verb = words[0];
    const std::vector<std::string> rest(words.begin() + 1, words.end());
    if (verb == "help") return HelpCommand{};
    if (verb == "send" || verb == "receive") {
        return WithTrace(ParseTransfer(verb, rest), trace, given);
    }
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
  kestrel-cli send FILE... [--dir DIR] [--name NAME] [--port PORT] [--keep-bytes]
      Send FILE to the handheld (the dialog's "下载"). Without DIR or NAME,
      the ones proposed for FILE: the directory by extension (txt → 文本文件,
      bmp → 我的图片, lav → LAVA, ...), the name shortened to 14 bytes.
      Conversions on the way, by FILE's extension (any case): "txt" gains the
      handheld's text header, and UTF-8 text becomes GBK first (not with
      --keep-bytes); "gtx" is re-headed; "bin" is decoded with the table file
      substitution.table (beside the program or in <prefix>/share/kestrel).
      Several FILEs go in one session, each checked before anything is sent;
      DIR applies to all of them, NAME to none; two that would land on one
      device path are refused, naming both.
      A FILE ending in .pac is a package: its entries are sent one by one,
      each to its own directory; it goes alone, and a DIR, or a NAME other
      than 下载包, with it is a usage error.
      A package with an entry path holding a ".." part or a control
      character sends nothing.
  kestrel-cli receive FILE --dir DIR --name NAME [--port PORT] [--utf8]
      Fetch the device file DIR/NAME into FILE (the dialog's "上传"). A "txt"
      FILE loses the text header (and is written as UTF-8 with --utf8);
      "gtx" and "bin" cannot be fetched. FILE is replaced, without asking, only
      once the whole file has arrived, as a write to it would: through a
      symbolic link (one to nothing has its target made), keeping its
      permissions and, where allowed, its owner and group; a FILE that cannot
      be written (read-only) is refused first, with the system's reason. What
      arrived of a failed receive is kept in FILE.part, made new (a link or
      another file's name there is removed, never written through); so is a
      text that --utf8 cannot convert or whose header gives another length.
      Refusals of the next piece are borne for 15 s at most.
  kestrel-cli ports
      List the serial ports present.
  kestrel-cli --version
      Print the program's version.
  kestrel-cli simulate [--root DIR]
      Run a virtual handheld on a new pseudo-terminal: prints the port's path
      as its first line, then serves sessions until interrupted. Its files are
      kept in DIR (default: a folder in the user's data directory); an
      arriving file replaces the old one only once it has come whole.

DIR and NAME: at most 14 bytes of GBK (7 Chinese characters), no spaces,
tabs or other control characters; NAME holds no "/", and no part of DIR
between "/" is empty, "." or "..". DIR "root" is the handheld's root directory.
PORT: "auto" listens on every serial port present and takes the one the
handheld greets on; on Windows a COM port (COM1, COM7, COM12, ...; "ports" lists them);
elsewhere a device path such as /dev/ttyUSB0, or COM1 to COM4 for /dev/ttyS0
to /dev/ttyS3. Default: COM1. simulate runs on Linux and macOS only.

--trace FILE (with send or receive, anywhere on the line; or the environment
variable KESTREL_TRACE=FILE, which the dialogs read too) writes the run down
in FILE, in UTF-8: the command line, the port and the time, every status
text, every byte each way with its time, decoded into packets, and how the
run ended: what to send us when a handheld does something unexpected.
Only a new file or a regular file that is none of the run's PC files nor
their .parts: anything else (a FIFO, a device, a folder, the file sent or
received) is refused at once, unopened, and the run goes on without a trace.

Every status text is printed as it happens, one a line. After "等待传输开始..."
a line names the ports listened on; after 10 s without a word from the
handheld, another says how to check the cable and the port. A failure's
reason, naming its file or port and giving the system's own words for why,
stands on a line before "终止传输". Every check that needs no handheld comes
before any port is opened or listened on, with --port auto too: a file to
send missing, unreadable or unconvertible, a damaged package, a receive's
FILE that is a folder, a device or a FIFO or cannot be written, a folder
FILE.part cannot be made in: such a run ends at once. A PC file failing once the handheld's
session has begun ends that session too. Several files sent end with how
many went. On a terminal the kilobyte count is a progress bar (sizes under
1 KiB in bytes).

Exit status: 0 when the transfer ends in "传输成功。", 1 when it fails, 2 for
a usage error, 130 when interrupted (Ctrl-C), 143 when asked to terminate
(SIGTERM); never 141: a closed output (| head -n 3) only stops the printing,
the transfer goes on to its end. simulate ends with 0 on Ctrl-C, which is
how it is meant to end, 143 on SIGTERM, 1 when its line fails.

Example, without a handheld:
  kestrel-cli simulate --root /tmp/handheld &      # prints e.g. /dev/pts/5
  kestrel-cli send notes.txt --port /dev/pts/5
  kestrel-cli receive back.txt --dir 文本文件 --name notes.txt --port /dev/pts/5
)";
}

}  // namespace kestrel::cli
