// Serial ports in the browser, through Web Serial, on the page's own thread:
// a blocking read or write is an await through Asyncify. The ports
// themselves, their one reader and one writer, the bytes read ahead and the
// cancel flags live on the JavaScript side (web/serial_ports.js, reached as
// Module.serialPorts), because a cancel comes from a page event while this
// module is suspended and may not be re-entered. Here a port is a number.
// A read that waits also lets the page in: when the page has queued work for
// this module, the read returns to take it (onInterrupt) and waits on.
#include <emscripten.h>

#include <string>

#include "link/link_texts.h"
#include "link/open_port.h"
#include "text/texts.h"

namespace kestrel {
namespace {

// Codes shared with web/serial_ports.js: how a read or write ended, and why
// an open failed.
constexpr int kDone = 0;
constexpr int kTimedOut = 2;
constexpr int kCancelled = 3;
constexpr int kInterrupted = 4;  // a read the page interrupted, to let itself in
constexpr int kNoSuchPort = -1;
constexpr int kPortInUse = -2;

// clang-format off
EM_ASYNC_JS(int, KestrelSerialOpen, (const char* name), {
    return await Module["serialPorts"].openPort(UTF8ToString(name));
});
// Takes `size` bytes already read ahead, without suspending; 0 when fewer wait.
EM_JS(int, KestrelSerialTake, (int handle, std::uint8_t* bytes, std::size_t size), {
    const got = Module["serialPorts"].take(handle, size);
    if (got) HEAPU8.set(got, bytes);
    return got ? 1 : 0;
});
EM_ASYNC_JS(int, KestrelSerialRead, (int handle, std::uint8_t* bytes, std::size_t size,
                                     double silence), {
    const got = await Module["serialPorts"].read(handle, size, silence);
    if (got.bytes) HEAPU8.set(got.bytes, bytes);
    return got.status;
});
EM_JS(void, KestrelSerialLetPageIn, (), {
    Module["serialPorts"].onInterrupt();
});
EM_JS(int, KestrelSerialWrite, (int handle, const std::uint8_t* bytes, std::size_t size), {
    return Module["serialPorts"].write(handle, HEAPU8.slice(bytes, bytes + size));
});
EM_JS(void, KestrelSerialCancel, (int handle), {
    Module["serialPorts"].cancel(handle);
});
EM_ASYNC_JS(void, KestrelSerialClose, (int handle), {
    await Module["serialPorts"].close(handle);
});
// clang-format on

class WebSerialPort final : public Port {
  public:
    WebSerialPort(int handle, std::string name) : handle_(handle), name_(std::move(name)) {}
    // The reader and writer released and the port closed, on every path.
    ~WebSerialPort() override { KestrelSerialClose(handle_); }

    Result Write(std::span<const std::uint8_t> bytes) override {
        return Ended(KestrelSerialWrite(handle_, bytes.data(), bytes.size()), false);
    }

    Result Read(std::span<std::uint8_t> bytes, Silence silence) override {
        // Most reads of the protocol are a byte or two already read ahead:
        // taken without the cost of suspending the module.
        if (KestrelSerialTake(handle_, bytes.data(), bytes.size()) != 0) return Result::Ok();
        const double wait = silence ? static_cast<double>(silence->count()) : -1.0;
        for (;;) {
            const int status = KestrelSerialRead(handle_, bytes.data(), bytes.size(), wait);
            if (status != kInterrupted) return Ended(status, true);
            KestrelSerialLetPageIn();
        }
    }

    void Cancel() override { KestrelSerialCancel(handle_); }

  private:
    // The page's code for how a call ended, as every port says it.
    Result Ended(int code, bool reading) const {
        switch (code) {
            case kDone:
                return Result::Ok();
            case kTimedOut:
                return PortSilent(name_);
            case kCancelled:
                return PortCancelled();
            default:
                return reading ? ReadFailed(name_) : WriteFailed(name_);
        }
    }

    int handle_;
    std::string name_;  // GBK, for failures
};

}  // namespace

ResultOf<std::unique_ptr<Port>> OpenSerialPort(std::string_view name) {
    const int handle = KestrelSerialOpen(std::string(name).c_str());
    if (handle > 0) {
        return std::unique_ptr<Port>(
            std::make_unique<WebSerialPort>(handle, texts::PortName(name)));
    }
    const std::string cannot = texts::CannotOpenPort(texts::PortName(name));
    switch (handle) {
        case kNoSuchPort:
            return Result::Failed(cannot + std::string(texts::kPortMissing));
        case kPortInUse:
            return Result::Failed(cannot + std::string(texts::kPortBusy));
        default:
            return Result::Failed(cannot);
    }
}

// A page names its ports itself: the name is the key the page gave the port.
std::string SerialDevicePath(std::string_view name) {
    return std::string(name);
}

// The browser lists no ports without asking the person; the page asks, on a
// gesture, and names the port it was given.
std::vector<std::string> ListSerialPorts() {
    return {};
}

}  // namespace kestrel
