#include "link/trace_port.h"

#include <cstdio>

#include "link/packet.h"
#include "link/packet_types.h"
#include "text/gbk.h"

namespace kestrel {
namespace {

std::string Hex(std::span<const std::uint8_t> bytes) {
    std::string text;
    for (const std::uint8_t byte : bytes) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02X ", byte);
        text += pair;
    }
    if (!text.empty()) text.pop_back();
    return text;
}

// How a call that did not succeed ended, in the port's own words.
std::string Ending(const Result& result) {
    if (result.IsOk()) return {};
    return "  [" + gbk::ToUtf8(result.Reason()).value_or("?") + "]";
}

// What a single control byte means, by the way it travels.
std::string_view ControlMeaning(std::uint8_t byte, bool fromPc) {
    if (fromPc) {
        switch (byte) {
            case control::kGreetNotYet:
                return "greeting answered, not complete";
            case control::kGreetDone:
                return "'L' greeting complete";
            case control::kAck:
                return "data packet acknowledged";
            case control::kRetryFirst:
            case control::kRetrySecond:
                return "retry after a refused request";
            default:
                return "";
        }
    }
    switch (byte) {
        case control::kEnq:
            return "ready for the next packet";
        case control::kAccepted:
            return "'O' accepted";
        case control::kRefused:
            return "'X' refused (or greeting X)";
        case control::kGreetW:
            return "'W' greeting";
        case control::kGreetQ:
            return "'Q' greeting";
        case control::kDataLead:
            return "a data packet follows";
        case control::kClosing:
            return "session closed";
        default:
            return "";
    }
}

}  // namespace

TracePort::TracePort(Port& inner, LineWriter writeLine)
    : inner_(inner), writeLine_(std::move(writeLine)) {}

Result TracePort::Write(std::span<const std::uint8_t> bytes) {
    Result result = inner_.Write(bytes);
    Line("PC >", bytes, result, DescribeWrite(bytes));
    return result;
}

Result TracePort::Read(std::span<std::uint8_t> bytes, Silence silence) {
    Result result = inner_.Read(bytes, silence);
    const std::span<const std::uint8_t> got =
        result.IsOk() ? std::span<const std::uint8_t>(bytes) : std::span<const std::uint8_t>();
    Line("PC <", got, result, result.IsOk() ? DescribeRead(got) : "");
    return result;
}

// The call's line, then its meaning on a line of its own below the bytes.
void TracePort::Line(const char* direction, std::span<const std::uint8_t> bytes,
                     const Result& result, std::string_view meaning) {
    const auto now = std::chrono::steady_clock::now();
    if (!start_) start_ = now;  // the first line is the trace's time zero
    const double ms = std::chrono::duration<double, std::milli>(now - *start_).count();
    char time[32];
    std::snprintf(time, sizeof time, "%10.3f ms", ms);
    writeLine_(std::string(time) + "  " + direction + ' ' + Hex(bytes) + Ending(result));
    writeLine_(std::string(20, ' ') + std::string(meaning));
}

std::string TracePort::DescribeWrite(std::span<const std::uint8_t> bytes) const {
    if (bytes.size() == 1) return std::string(ControlMeaning(bytes[0], true));
    const PacketTypeInfo* info = bytes.empty() ? nullptr : FindPacketType(bytes[0]);
    if (info == nullptr || bytes.size() < 3) return "not a packet";
    const std::size_t length = bytes[1] | (std::size_t{bytes[2]} << 8U);
    std::string text = std::string(info->name) + ", " + std::to_string(length) + " bytes";
    if (length == 0) return bytes.size() == 3 ? text : text + ", then stray bytes";
    if (bytes.size() != 4 + length) {
        return text + ", but " + std::to_string(bytes.size()) + " on the line";
    }
    const auto payload = bytes.subspan(3, length);
    if (info->textOffset > 0 && info->textOffset < payload.size()) {
        const auto textBytes = payload.subspan(info->textOffset);
        std::string gbk(textBytes.begin(), textBytes.end());
        gbk = gbk.substr(0, gbk.find('\0'));
        if (const std::optional<std::string> shown = gbk::ToUtf8(gbk)) {
            text += ", \"" + *shown + "\"";
        }
    }
    const bool sumOk = Checksum(payload) == bytes.back();
    text += sumOk ? ", checksum ok" : ", checksum WRONG";
    if (!PayloadLengthFits(bytes[0], length)) text += ", a length no such packet has";
    return text;
}

std::string TracePort::DescribeRead(std::span<const std::uint8_t> bytes) {
    if (dataStage_ == 1 && bytes.size() == 2) {
        dataStage_ = 2;
        return "data length " + std::to_string(bytes[0] | (bytes[1] << 8U));
    }
    if (dataStage_ == 2 && bytes.size() > 1) {
        dataStage_ = 0;
        const bool sumOk = Checksum(bytes) == 0;
        return "data, " + std::to_string(bytes.size() - 1) + " bytes, " +
               (sumOk ? "checksum ok" : "checksum WRONG");
    }
    if (bytes.size() != 1) return "";
    dataStage_ = bytes[0] == control::kDataLead ? 1 : 0;
    return std::string(ControlMeaning(bytes[0], false));
}

}  // namespace kestrel
