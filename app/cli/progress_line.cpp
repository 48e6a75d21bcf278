#include "app/cli/progress_line.h"

#include <cstdio>

namespace kestrel::cli {
namespace {

constexpr int kBarWidth = 24;

std::string Formatted(const char* format, double a, double b = 0) {
    char text[64];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

}  // namespace

std::string ProgressLine(Progress progress, std::chrono::steady_clock::duration elapsed) {
    const double seconds = std::chrono::duration<double>(elapsed).count();
    const double doneKib = static_cast<double>(progress.done) / 1024;
    std::string line;
    if (progress.total > 0) {
        const double share =
            static_cast<double>(progress.done) / static_cast<double>(progress.total);
        const int filled = static_cast<int>(share * kBarWidth + 0.5);
        line = "[" + std::string(static_cast<std::size_t>(filled), '#') +
               std::string(static_cast<std::size_t>(kBarWidth - filled), '-') + "] ";
        line += Formatted("%.0f/%.0f KiB", doneKib, static_cast<double>(progress.total) / 1024);
    } else {
        line = Formatted("%.0f KiB", doneKib);
    }
    // Under half a second the rate is mostly the handheld's start-up.
    if (seconds >= 0.5 && progress.done > 0) {
        const double rate = static_cast<double>(progress.done) / seconds;
        line += Formatted("  %.1f KiB/s", rate / 1024);
        if (progress.total > progress.done) {
            const auto left =
                static_cast<long>(static_cast<double>(progress.total - progress.done) / rate);
            line += Formatted("  %.0f:%02.0f left", static_cast<double>(left / 60),
                              static_cast<double>(left % 60));
        }
    }
    if (line.size() < kProgressLineWidth) line.resize(kProgressLineWidth, ' ');
    return line;
}

}  // namespace kestrel::cli
