#include "app/cli/progress_line.h"

#include <algorithm>
#include <cmath>
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
    const auto done = static_cast<double>(progress.done);
    const auto total = static_cast<double>(progress.total);
    // Under 1 KiB in bytes, so that a tiny file does not read "0/0 KiB".
    const bool bytes = progress.total > 0 ? progress.total < 1024 : progress.done < 1024;
    const double unit = bytes ? 1 : 1024;
    const char* unitName = bytes ? "B" : "KiB";
    std::string line;
    if (progress.total > 0) {
        const double share = std::min(1.0, done / total);
        const auto filled = static_cast<int>(std::lround(share * kBarWidth));
        // Appended piece by piece: "[" + a temporary string is what GCC 12 at
        // -O3 takes for an overlapping copy (-Wrestrict), though it is not one.
        line.append("[")
            .append(static_cast<std::size_t>(filled), '#')
            .append(static_cast<std::size_t>(kBarWidth - filled), '-')
            .append("] ");
        line += Formatted("%.0f/%.0f ", done / unit, total / unit) + unitName;
    } else {
        line = Formatted("%.0f ", done / unit) + unitName;
    }
    // Under half a second the rate is mostly the handheld's start-up.
    if (seconds >= 0.5 && progress.done > 0) {
        const double rate = static_cast<double>(progress.done) / seconds;
        line += Formatted("  %.1f KiB/s", rate / 1024);
        if (progress.total > progress.done) {
            const double left = static_cast<double>(progress.total - progress.done) / rate;
            const double minutes = std::floor(left / 60);
            line += Formatted("  %.0f:%02.0f left", minutes, std::floor(left - minutes * 60));
        }
    }
    if (line.size() < kProgressLineWidth) line.resize(kProgressLineWidth, ' ');
    return line;
}

}  // namespace kestrel::cli
