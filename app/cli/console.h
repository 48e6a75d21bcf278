#pragma once
// The terminal: status texts (GBK) printed one a line in the terminal's own
// encoding, and plain messages of the command line itself.

#include <string_view>

#include "link/status_sink.h"

namespace kestrel::cli {

class ConsoleStatus : public StatusSink {
  public:
    ConsoleStatus();
    void ShowStatus(std::string_view gbkText) override;
};

// A GBK text in the terminal's encoding; bytes that cannot be shown become "?".
void PrintGbkLine(std::string_view gbkText);
void PrintError(std::string_view utf8Message);

}  // namespace kestrel::cli
