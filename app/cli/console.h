#pragma once
// The terminal: status texts (GBK) printed one a line in the terminal's own
// encoding, and plain messages of the command line itself.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "status/status_sink.h"

namespace kestrel::cli {

class ConsoleStatus : public StatusSink {
  public:
    ConsoleStatus();
    void ShowStatus(std::string_view gbkText) override;
};

// A GBK text in the terminal's encoding; bytes that cannot be shown become "?".
void PrintGbkLine(std::string_view gbkText);
// Text of the command line itself (help, port names), to stdout.
void PrintText(std::string_view utf8Text);
void PrintError(std::string_view utf8Message);

// The words after the program's name, as UTF-8. On Windows they are read as
// UTF-16 from the system, so that any file name survives whatever the code
// page; nullopt when a word is not valid Unicode there.
std::optional<std::vector<std::string>> CommandLineWords(int argc, char** argv);

}  // namespace kestrel::cli
