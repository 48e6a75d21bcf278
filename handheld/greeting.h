#pragma once
// The handheld's greeting: it sends W, Q, X and expects 0xB3, 0xB3 and 'L' in
// answer. An unexpected answer starts the sequence again from W, and a byte
// that gets no answer within `repeat` is sent again, so a PC that opens the
// line late, or flushed what came before, is still greeted.
//
// Stray answers are tolerated: a PC answers every byte it reads, so an extra
// or repeated greeting byte earns an extra 0xB3, which may arrive where
// another answer was expected. The PC only ever sends 'L' once it has seen a
// whole W, Q, X, so an 'L' ends the greeting whenever it comes; resending
// after it would greet a PC that has stopped listening.
//
// Greet() blocks until the PC answers 'L' (ok) or the port fails or is
// cancelled (the port's result). It never gives up on its own.

#include <chrono>

#include "link/port.h"

namespace kestrel {

Result Greet(Port& port, std::chrono::milliseconds repeat);

}  // namespace kestrel
