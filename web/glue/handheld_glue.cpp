// The in-page virtual handheld: the same VirtualHandheld as `kestrel-cli
// simulate`, in a module instance of its own, serving the far end of the
// page's in-memory line until the page hangs it up.
#include <emscripten.h>

#include <filesystem>

#include "app/core/device_disk_names.h"
#include "device/handheld.h"
#include "link/open_port.h"

extern "C" {

// Serves sessions on the port the page named until the line ends; the files
// live under root. -1 when the port cannot be opened or root cannot be used.
EMSCRIPTEN_KEEPALIVE int kestrel_handheld_serve(const char* root, const char* portName) {
    using namespace kestrel;
    std::error_code error;
    if (!std::filesystem::is_directory(root, error)) return -1;
    const OpenedPort opened = OpenSerialPort(portName);
    if (!opened.port) return -1;
    HandheldOptions options;
    options.mapName = DiskNameForDeviceText;
    VirtualHandheld handheld(root, options);
    return static_cast<int>(handheld.Serve(*opened.port));
}

}  // extern "C"
