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

#include "link/open_port.h"
#include "text/texts.h"

namespace kestrel {
namespace {

// Codes shared with web/serial_ports.js: IoStatus in its order, then a read
// that the page interrupted; and why an open failed.
constexpr int kInterrupted = 4;
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
    explicit WebSerialPort(int handle) : handle_(handle) {}
    // The reader and writer released and the port closed, on every path.
    ~WebSerialPort() override { KestrelSerialClose(handle_); }

    IoStatus Write(std::span<const std::uint8_t> bytes) override {
        return static_cast<IoStatus>(KestrelSerialWrite(handle_, bytes.data(), bytes.size()));
    }

    IoStatus Read(std::span<std::uint8_t> bytes, Silence silence) override {
        // Most reads of the protocol are a byte or two already read ahead:
        // taken without the cost of suspending the module.
        if (KestrelSerialTake(handle_, bytes.data(), bytes.size()) != 0) return IoStatus::ok;
        const double wait = silence ? static_cast<double>(silence->count()) : -1.0;
        for (;;) {
            const int status = KestrelSerialRead(handle_, bytes.data(), bytes.size(), wait);
            if (status != kInterrupted) return static_cast<IoStatus>(status);
            KestrelSerialLetPageIn();
        }
    }

    void Cancel() override { KestrelSerialCancel(handle_); }

  private:
    int handle_;
};

}  // namespace

OpenedPort OpenSerialPort(std::string_view name) {
    const int handle = KestrelSerialOpen(std::string(name).c_str());
    if (handle > 0) return {std::make_unique<WebSerialPort>(handle), {}};
    switch (handle) {
        case kNoSuchPort:
            return {nullptr, std::string(texts::kPortMissing)};
        case kPortInUse:
            return {nullptr, std::string(texts::kPortBusy)};
        default:
            return {nullptr, std::string(texts::kPortSystemError)};
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
