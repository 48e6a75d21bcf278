#include "handheld/greeting.h"

#include <array>
#include <cstddef>
#include <cstdint>

#include "handheld/line_io.h"
#include "link/packet.h"

namespace kestrel {

Result Greet(Port& port, std::chrono::milliseconds repeat) {
    static constexpr std::array<std::uint8_t, 3> kSequence = {control::kGreetW, control::kGreetQ,
                                                              control::kGreetX};
    std::size_t stage = 0;
    for (;;) {
        if (Result sent = SendByte(port, kSequence[stage]); !sent.IsOk()) return sent;
        std::uint8_t answer = 0;
        Result got = ReceiveByte(port, answer, repeat);
        if (got.GetKind() == Result::Kind::timedOut) continue;  // send the same byte again
        if (!got.IsOk()) return got;
        if (answer == control::kGreetDone) return Result::Ok();
        const bool onTrack = answer == control::kGreetNotYet && stage + 1 < kSequence.size();
        stage = onTrack ? stage + 1 : 0;
    }
}

}  // namespace kestrel
