#pragma once
// Single-byte helpers over a Port for the handheld's side of the line. Every
// byte the handheld exchanges goes through a Port, so a slower, paced line can
// be had by wrapping the port without touching the session logic.

#include <cstdint>
#include <span>

#include "link/port.h"

namespace kestrel {

inline Result SendByte(Port& port, std::uint8_t byte) {
    return port.Write(std::span<const std::uint8_t>(&byte, 1));
}

inline Result ReceiveByte(Port& port, std::uint8_t& byte, Silence silence) {
    return port.Read(std::span<std::uint8_t>(&byte, 1), silence);
}

}  // namespace kestrel
