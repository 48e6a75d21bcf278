#pragma once
// One transfer run's link: the open port and the single packet buffer. Owned
// by the run and passed by reference to every protocol step; nothing here is
// shared between runs.

#include <chrono>

#include "link/packet.h"
#include "link/port.h"

namespace kestrel {

// How long a handheld may stay silent once its greeting has been answered.
// The greeting itself waits as long as the user needs to start the handheld.
inline constexpr std::chrono::milliseconds kDefaultSilenceBound{15000};

struct SerialLink {
    explicit SerialLink(Port& openPort) : port(openPort) {}

    Port& port;
    Packet packet;
    std::chrono::milliseconds silenceBound = kDefaultSilenceBound;
    bool greeted = false;  // set once the greeting is answered; reads are bounded from then on
};

}  // namespace kestrel
