#include "app/cli/console.h"
#include "app/cli/progress_line.h"

namespace kestrel::cli {

ConsoleStatus::ConsoleStatus() : terminal_(StdoutIsTerminal()) {}

ConsoleStatus::~ConsoleStatus() {
    EndProgressLine();
}

void ConsoleStatus::EndProgressLine() {
    if (progressShown_) PrintText("\n");
    progressShown_ = false;
}

void ConsoleStatus::ShowStatus(std::string_view gbkText) {
    EndProgressLine();
    PrintGbkLine(gbkText);
}

void ConsoleStatus::ShowProgress(std::string_view gbkText, Progress progress) {
    if (!terminal_) {
        PrintGbkLine(gbkText);
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    // A file's first count starts its clock; the rate is measured from there.
    if (!progressShown_) fileStart_ = now;
    progressShown_ = true;
    PrintText(std::string("\r").append(ProgressLine(progress, now - fileStart_)));
}

}  // namespace kestrel::cli
