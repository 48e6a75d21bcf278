#pragma once
// The state of one transfer run, owned by the worker for that run and passed
// by reference to each session step, and AbortTransfer, which unwinds a
// failed run to the worker.

#include <filesystem>
#include <stdexcept>

#include "formats/routing.h"
#include "link/serial_link.h"
#include "transfer/transfer_request.h"
#include "transfer/transfer_texts.h"

namespace kestrel {

struct TransferRun {
    TransferRun(TransferRequest req, Port& port, StatusSink& status, FormatContext formatContext)
        : request(std::move(req)), link(port, status), formats(std::move(formatContext)) {}

    TransferRequest request;
    SerialLink link;
    FormatContext formats;
    std::filesystem::path receiveTarget;  // the user's file while a text is received via TempFile
    bool succeeded = false;               // set where "传输成功。" is shown
};

// Shows "传输成功。" and marks the run as done.
inline void ReportSuccess(TransferRun& run) {
    run.link.status.ShowStatus(texts::kSucceeded);
    run.succeeded = true;
}

struct TransferAborted : std::runtime_error {
    TransferAborted() : std::runtime_error("transfer aborted") {}
};

// Ends the run: the worker shows "终止传输", restores the port and closes it.
[[noreturn]] inline void AbortTransfer() {
    throw TransferAborted();
}

}  // namespace kestrel
