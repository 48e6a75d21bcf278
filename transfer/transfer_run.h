#pragma once
// The state of one transfer run, owned by RunTransfer for that run and passed
// by reference to each session step: the link, the status line and the
// conversions' context.

#include "formats/routing.h"
#include "link/serial_link.h"
#include "status/status_sink.h"

namespace kestrel {

struct TransferRun {
    TransferRun(Port& port, StatusSink& sink, FormatContext formatContext)
        : link(port), status(sink), formats(std::move(formatContext)) {}

    SerialLink link;
    StatusSink& status;
    FormatContext formats;
    bool convertedFromUtf8 = false;  // a text was made GBK on its way
};

}  // namespace kestrel
