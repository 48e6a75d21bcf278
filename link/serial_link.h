#pragma once
// One transfer run's link: the open port, the status line, the single packet
// buffer and the session flags. Owned by the run and passed by reference to
// every protocol step; nothing here is shared between runs.

#include <chrono>

#include "link/packet.h"
#include "link/port.h"
#include "link/status_sink.h"

namespace kestrel {

// How long a handheld may stay silent once its greeting has been answered.
// The greeting itself waits as long as the user needs to start the handheld.
inline constexpr std::chrono::milliseconds kDefaultSilenceBound{15000};

struct SessionFlags {
    bool waitForEnq = true;     // next SendPacket discards bytes until 0x05
    bool needHandshake = true;  // SendSession greets the handheld first
    bool lastFile = true;       // SendSession closes the handheld session
};

struct SerialLink {
    SerialLink(Port& openPort, StatusSink& sink) : port(openPort), status(sink) {}

    Port& port;
    StatusSink& status;
    Packet packet;
    SessionFlags flags;
    std::chrono::milliseconds silenceBound = kDefaultSilenceBound;
    bool greeted = false;  // set once the greeting is answered; reads are bounded from then on
};

}  // namespace kestrel
