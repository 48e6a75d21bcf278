#pragma once
// The state of one transfer run, owned by RunTransfer for that run and passed
// by reference to each session step: the link, the status line, what the
// conversions need and the run's scratch files (removed when the run ends).

#include "formats/conversion.h"
#include "formats/staging.h"
#include "link/serial_link.h"
#include "status/status_sink.h"

namespace kestrel {

struct TransferRun {
    TransferRun(Port& port, StatusSink& sink, Conversions runConversions, Staging runStaging)
        : link(port),
          status(sink),
          conversions(std::move(runConversions)),
          staging(std::move(runStaging)) {}

    SerialLink link;
    StatusSink& status;
    Conversions conversions;
    Staging staging;
    bool convertedFromUtf8 = false;  // a text was made GBK on its way
};

}  // namespace kestrel
