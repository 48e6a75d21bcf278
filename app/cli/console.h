#pragma once
// The terminal: status texts (GBK) in the terminal's own encoding, and plain
// messages of the command line itself.
//
// ConsoleStatus prints each status text on a line of its own. On a terminal
// the "%5dk" counts give way to one progress line redrawn in place, which a
// following status text leaves standing above itself; when the output is not
// a terminal, every text is a line exactly as shown, for scripts.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "status/status_sink.h"

namespace kestrel::cli {

class ConsoleStatus : public StatusSink {
  public:
    ConsoleStatus();
    ~ConsoleStatus() override;
    ConsoleStatus(const ConsoleStatus&) = delete;
    ConsoleStatus& operator=(const ConsoleStatus&) = delete;

    void ShowStatus(std::string_view gbkText) override;
    void ShowProgress(std::string_view gbkText, Progress progress) override;

  private:
    void EndProgressLine();

    bool terminal_;
    bool progressShown_ = false;
    std::chrono::steady_clock::time_point fileStart_{};
};

// A GBK text in the terminal's encoding, as a line; bytes that cannot be
// shown become "?".
void PrintGbkLine(std::string_view gbkText);
void PrintGbkErrorLine(std::string_view gbkText);  // the same, to stderr
// Text of the command line itself (help, port names), to stdout, as it is.
void PrintText(std::string_view utf8Text);
void PrintError(std::string_view utf8Message);  // "kestrel-cli: " message, to stderr
bool StdoutIsTerminal();

// A closed output (a pipe whose reader has gone, as with `| head -n 3`)
// only stops the printing: the run goes on to its end and puts the port
// back, and the exit status stays the run's. Call before anything prints.
void KeepRunningWhenOutputCloses();

// The user's locale for what the terminal is shown: its encoding, and the
// system's own words for an error in the user's language.
void UseTheUsersLocale();

// The words after the program's name, as UTF-8. On Windows they are read as
// UTF-16 from the system, so that any file name survives whatever the code
// page; nullopt when a word is not valid Unicode there.
std::optional<std::vector<std::string>> CommandLineWords(int argc, char** argv);

}  // namespace kestrel::cli
