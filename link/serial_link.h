#pragma once
// One transfer run's link: the open port and the single packet buffer. Owned
// by the run and passed by reference to every protocol step; nothing here is
// shared between runs.

#include <chrono>
#include <functional>

#include "link/packet.h"
#include "link/port.h"

namespace kestrel {

// How long a handheld may stay silent once its greeting has been answered.
// The greeting itself waits as long as the user needs to start the handheld.
inline constexpr std::chrono::milliseconds kDefaultSilenceBound{15000};
// How long the greeting may be awaited in silence before the user is told
// how to check the cable and the port.
inline constexpr std::chrono::milliseconds kDefaultQuietGreeting{10000};

struct SerialLink {
    explicit SerialLink(Port& openPort) : port(openPort) {}

    Port& port;
    Packet packet;
    std::chrono::milliseconds silenceBound = kDefaultSilenceBound;
    bool greeted = false;  // set once the greeting is answered; reads are bounded from then on
    // Called once when no byte of the greeting has come for quietGreeting;
    // the greeting is still awaited after it.
    std::function<void()> onQuietGreeting;
    std::chrono::milliseconds quietGreeting = kDefaultQuietGreeting;
};

}  // namespace kestrel
