#pragma once
// The line kestrel-cli draws on a terminal while a file moves, in place of
// the "%5dk" counts: a bar, the KiB done of the total, the rate and the time
// left. Plain ASCII of a fixed width, so that redrawing it over itself with
// a carriage return leaves nothing of the line before.

#include <chrono>
#include <string>

#include "status/status_sink.h"

namespace kestrel::cli {

inline constexpr std::size_t kProgressLineWidth = 72;

// `elapsed` is the time since the file's first progress; the rate is shown
// once it means something. A size of 0 (a receive) shows no bar and no time
// left, only what has arrived and how fast.
std::string ProgressLine(Progress progress, std::chrono::steady_clock::duration elapsed);

}  // namespace kestrel::cli
