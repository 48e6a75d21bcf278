#pragma once
// A port that writes down every byte each way, with its time, decoded into
// packets, so that what went over the line can be read afterwards by a
// person who knows the protocol:
//
//      12.345 ms  PC > 02 0A 00 2F 4C 61 76 61 44 61 74 61 00 25
//                      Directory, 10 bytes, "LavaData", checksum ok
//      12.512 ms  PC < 4F                     'O' accepted
//
// PC packets are recognised by the table of packet types; the handheld's
// data packets (08, length, data, checksum) by their course. Names inside
// payloads are shown as text through `showText` (GBK in, the trace's text
// out); bytes it cannot show stay in hex only.
//
// Promises: everything else about the inner port holds (the trace port
// passes each call on unchanged and reports its status); the trace is
// flushed line by line, so it survives a run that ends badly. One thread
// reads and writes, as for any port.

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "link/port.h"

namespace kestrel {

using TextShower = std::function<std::optional<std::string>(std::string_view gbk)>;

class TracePort final : public Port {
  public:
    // `inner` and `out` must outlive the trace port.
    TracePort(Port& inner, std::ostream& out, TextShower showText);

    IoStatus Write(std::span<const std::uint8_t> bytes) override;
    IoStatus Read(std::span<std::uint8_t> bytes, Silence silence) override;
    void Cancel() override { inner_.Cancel(); }

  private:
    void Line(const char* direction, std::span<const std::uint8_t> bytes, IoStatus status);
    std::string DescribeWrite(std::span<const std::uint8_t> bytes) const;
    std::string DescribeRead(std::span<const std::uint8_t> bytes);

    Port& inner_;
    std::ostream& out_;
    TextShower showText_;
    std::chrono::steady_clock::time_point start_;
    // Where the handheld's data packet stands: 0 none, 1 lead seen, 2 length seen.
    int dataStage_ = 0;
};

}  // namespace kestrel
