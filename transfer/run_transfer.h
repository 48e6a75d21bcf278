#pragma once
// The one place where a request becomes a transfer and where a transfer
// ends. RunTransfer opens the port, runs the send, receive or package
// operation, and always puts the port back as it found it.
//
// Promises:
// - It returns on every path: a failure, a cancel, or anything unexpected
//   (an exception, memory running out: this is the one place that catches
//   them) ends the run with its reason shown, then "终止传输", the port
//   restored and closed. A PC file to send that is missing or cannot be read
//   ends it at once, before "等待传输开始...". A port that cannot be opened
//   ends it with "无法打开串口..." and why, alone: nothing was begun. It
//   never throws.
// - Success shows "传输成功。" as the last text.
// - It returns how the run ended: Result::Ok() for success, else the failure
//   whose reason was shown (of Kind::cancelled when the switch stopped it).
// - An automatic port is looked for among the serial ports present (never
//   the built-in handheld); the port found is named on the status line.
// - While the greeting is awaited on serial ports, a hint after
//   "等待传输开始..." names the ports listened on and asks for the transfer
//   to be started on the handheld; after quietGreeting without a word from
//   it, another says how to check the cable and the port.
// - Cancel() on the switch may come from any thread: the run stops at its
//   next port operation, or at once if it is waiting on the port.
// - It blocks the calling thread for the whole run.

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "formats/substitution_table.h"
#include "link/open_port.h"
#include "link/port.h"
#include "link/serial_link.h"
#include "status/status_sink.h"
#include "transfer/cancel_switch.h"
#include "transfer/transfer_request.h"

namespace kestrel {

using PortOpener = std::function<ResultOf<std::unique_ptr<Port>>(const PortChoice& port)>;

// What a front end provides for every run.
struct TransferSetup {
    PortOpener openPort;  // empty: serial ports only
    // The serial ports present, among which an automatic port is looked for.
    std::function<std::vector<std::string>()> listSerialPorts = ListSerialPorts;
    // The table, or why there is none: "bin" files cannot be sent then.
    ResultOf<SubstitutionTable> table = MissingTable();
    TextCharsets charsets;  // none: texts go byte for byte
    std::optional<std::filesystem::path>
        tempDirectory;  // scratch files; unset: the user's private one
    std::chrono::milliseconds silenceBound = kDefaultSilenceBound;
    std::chrono::milliseconds quietGreeting = kDefaultQuietGreeting;
    // The run's trace (trace_file.h), replaced by each run. A trace that
    // cannot be written is said on the status line; the run goes on without it.
    std::optional<std::filesystem::path> traceFile;
    std::string traceCommand;  // UTF-8: the command line, for the trace's header
};

Result RunTransfer(const TransferRequest& request, const TransferSetup& setup, StatusSink& status,
                   CancelSwitch& cancel) noexcept;

}  // namespace kestrel
