#pragma once
// One transfer over a paced line, measured: RunTransfer runs on the calling
// thread as the PC, the virtual handheld serves one session behind a
// PacedPort on a thread of its own, over an in-memory line or over a
// pseudo-terminal (which adds the termios path). The handheld starts its
// greeting once the PC has opened its port, so no greeting is lost to the
// opening. The PC's CPU time is the calling thread's.
//
// Each case moves 256 KiB of the user's bytes and checks afterwards that they
// arrived as they should (converted where the type asks for it).

#include <chrono>
#include <string>

#include "bench/line_figures.h"
#include "bench/paced_line.h"
#include "bench/paced_port.h"
#include "transfer/transfer_request.h"

namespace kestrel::bench {

enum class Payload { plain, text, package };

struct TransferCase {
    TransferKind mode = TransferKind::send;
    Payload payload = Payload::plain;
    LinePace pace;
    Carrier carrier = Carrier::memory;
    std::chrono::microseconds packetWork{0};
};

// "send plain", "receive text over pty"
std::string CaseName(const TransferCase& run);

// Throws std::exception when the case cannot be set up (no pseudo-terminal,
// no scratch folder); a transfer that fails comes back with ok false.
TransferFigures RunPacedTransfer(const TransferCase& run);

// The same exchange of bytes, chunk by chunk, as a plain transfer of the same
// size, with bare loops in place of KESTREL and of the virtual handheld: what
// any program pays on that carrier. Uses mode, pace and carrier.
TransferFigures RunBareExchange(const TransferCase& run);

}  // namespace kestrel::bench
