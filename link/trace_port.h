#pragma once
// A port that writes down every byte each way, with its time from the
// first, decoded into packets, so that what went over the line can be read
// afterwards by a person who knows the protocol (the run's trace):
//
//       0.000 ms  PC < 57                     'W' greeting
//      12.345 ms  PC > 02 0A 00 2F 4C 61 76 61 44 61 74 61 00 25
//                      Directory, 10 bytes, "LavaData", checksum ok
//      12.512 ms  PC < 4F                     'O' accepted
//
// PC packets are recognised by the table of packet types; the handheld's
// data packets (08, length, data, checksum) by their course. Names inside
// payloads are shown as UTF-8 text; bytes that are not GBK stay in hex only.
//
// Promises: everything else about the inner port holds (the trace port
// passes each call on unchanged and reports its result); each line goes to
// `writeLine` (UTF-8, without its line end) as the call ends, so the trace
// survives a run that ends badly. One thread reads and writes, as for any
// port.

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/port.h"

namespace kestrel {

using LineWriter = std::function<void(std::string_view line)>;

class TracePort final : public Port {
  public:
    // `inner` must outlive the trace port.
    TracePort(Port& inner, LineWriter writeLine);

    Result Write(std::span<const std::uint8_t> bytes) override;
    Result Read(std::span<std::uint8_t> bytes, Silence silence) override;
    void Cancel() override { inner_.Cancel(); }

  private:
    void Line(const char* direction, std::span<const std::uint8_t> bytes, const Result& result,
              std::string_view meaning);
    std::string DescribeWrite(std::span<const std::uint8_t> bytes) const;
    std::string DescribeRead(std::span<const std::uint8_t> bytes);

    Port& inner_;
    LineWriter writeLine_;
    std::optional<std::chrono::steady_clock::time_point> start_;  // the first line's
    // Where the handheld's data packet stands: 0 none, 1 lead seen, 2 length seen.
    int dataStage_ = 0;
};

}  // namespace kestrel
