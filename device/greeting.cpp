#include "device/greeting.h"

#include <array>
#include <cstddef>
#include <cstdint>

#include "device/line_io.h"
#include "link/packet.h"

namespace kestrel {

IoStatus Greet(Port& port, std::chrono::milliseconds repeat) {
    static constexpr std::array<std::uint8_t, 3> kSequence = {control::kGreetW, control::kGreetQ,
                                                              control::kGreetX};
    std::size_t stage = 0;
    for (;;) {
        if (const IoStatus sent = SendByte(port, kSequence[stage]); sent != IoStatus::ok) {
            return sent;
        }
        std::uint8_t answer = 0;
        const IoStatus got = ReceiveByte(port, answer, repeat);
        if (got == IoStatus::timedOut) continue;  // send the same byte again
        if (got != IoStatus::ok) return got;
        if (answer == control::kGreetDone) return IoStatus::ok;
        const bool onTrack = answer == control::kGreetNotYet && stage + 1 < kSequence.size();
        stage = onTrack ? stage + 1 : 0;
    }
}

}  // namespace kestrel
