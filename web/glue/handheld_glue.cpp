// The in-page virtual handheld: the same VirtualHandheld as `kestrel-cli
// simulate`, in a module instance of its own, serving the far end of the
// page's in-memory line until the page hangs it up.
#include <emscripten.h>

#include <filesystem>

#include "app/core/device_disk_names.h"
#include "handheld/handheld.h"
#include "link/open_port.h"

extern "C" {

// Serves sessions on the port the page named until the line ends; the files
// live under root. -1 when the port cannot be opened or root cannot be used.
EMSCRIPTEN_KEEPALIVE int kestrel_handheld_serve(const char* root, const char* portName) {
    using namespace kestrel;
    std::error_code error;
    if (!std::filesystem::is_directory(root, error)) return -1;
    ResultOf<DeviceFiles> files = DeviceFiles::Open(root, DiskNameForDeviceText);
    const ResultOf<std::unique_ptr<Port>> opened = OpenSerialPort(portName);
    if (!files.IsOk() || !opened.IsOk()) return -1;
    VirtualHandheld handheld(std::move(files).Value());
    return static_cast<int>(handheld.Serve(*opened.Value()));
}

}  // extern "C"
