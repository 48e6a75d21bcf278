// COM port names on Windows: which device each name opens, why an open is
// refused, and the list of ports present.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "link/link_texts.h"
#include "link/open_port.h"
#include "tests/support/scratch_dir.h"

namespace kestrel {
namespace {

TEST(SerialDevicePathTest, EveryComNameGoesThroughTheDeviceNamespace) {
    // Only the device namespace reaches COM10 and above.
    EXPECT_EQ(SerialDevicePath("COM1"), "\\\\.\\COM1");
    EXPECT_EQ(SerialDevicePath("COM10"), "\\\\.\\COM10");
    EXPECT_EQ(SerialDevicePath("COM256"), "\\\\.\\COM256");
    EXPECT_EQ(SerialDevicePath("com7"), "\\\\.\\com7");
}

TEST(SerialDevicePathTest, OtherNamesAreTakenAsTheyAre) {
    for (const char* name : {"\\\\.\\COM3", "COM", "COM0", "COMX", "COM1:", "LPT1", "COM 1"}) {
        EXPECT_EQ(SerialDevicePath(name), name);
    }
}

TEST(OpenSerialPortTest, APortThatIsNotThereSaysSo) {
    const OpenedPort opened = OpenSerialPort("COM199");
    EXPECT_EQ(opened.port, nullptr);
    EXPECT_EQ(opened.reason, texts::kPortMissing);
}

TEST(OpenSerialPortTest, AFileIsNoSerialPort) {
    test::ScratchDir scratch;
    const auto file = scratch / "not-a-port";
    test::WriteFileText(file, "x");
    const OpenedPort opened = OpenSerialPort(file.string());
    EXPECT_EQ(opened.port, nullptr);
    EXPECT_EQ(opened.reason, texts::kPortNotSerial);
}

// Entries of the system's serial-port map for one test, taken out again.
// Writing there needs an administrator (which a Wine prefix's user is).
class DeviceMapEntries {
  public:
    DeviceMapEntries() {
        ok_ = ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, nullptr,
                                REG_OPTION_VOLATILE, KEY_SET_VALUE | KEY_QUERY_VALUE, nullptr,
                                &key_, nullptr) == ERROR_SUCCESS;
    }
    ~DeviceMapEntries() {
        for (const auto& name : added_) ::RegDeleteValueW(key_, name.c_str());
        if (ok_) ::RegCloseKey(key_);
    }
    DeviceMapEntries(const DeviceMapEntries&) = delete;
    DeviceMapEntries& operator=(const DeviceMapEntries&) = delete;

    bool Ok() const { return ok_; }
    void Add(const std::wstring& device, const std::wstring& port, DWORD type = REG_SZ) {
        const auto bytes = static_cast<DWORD>((port.size() + 1) * sizeof(wchar_t));
        ASSERT_EQ(::RegSetValueExW(key_, device.c_str(), 0, type,
                                   reinterpret_cast<const BYTE*>(port.c_str()), bytes),
                  ERROR_SUCCESS);
        added_.push_back(device);
    }

  private:
    HKEY key_ = nullptr;
    bool ok_ = false;
    std::vector<std::wstring> added_;
};

TEST(ListSerialPortsTest, ListsTheMappedComPortsInNumberOrder) {
    DeviceMapEntries map;
    if (!map.Ok()) GTEST_SKIP() << "the serial-port map cannot be written here";
    map.Add(L"\\Device\\KestrelTest12", L"COM12");
    map.Add(L"\\Device\\KestrelTest2", L"COM2");
    map.Add(L"\\Device\\KestrelTest2b", L"COM2");  // two drivers, one name
    map.Add(L"\\Device\\KestrelTestLpt", L"LPT3");
    map.Add(L"\\Device\\KestrelTestBin", L"COM77", REG_BINARY);

    const std::vector<std::string> ports = ListSerialPorts();
    const auto at = [&ports](const char* name) {
        return std::find(ports.begin(), ports.end(), name) - ports.begin();
    };
    ASSERT_LT(at("COM2"), static_cast<std::ptrdiff_t>(ports.size()));
    ASSERT_LT(at("COM12"), static_cast<std::ptrdiff_t>(ports.size()));
    EXPECT_LT(at("COM2"), at("COM12")) << "by number, not by text";
    EXPECT_EQ(std::count(ports.begin(), ports.end(), "COM2"), 1);
    EXPECT_EQ(std::count(ports.begin(), ports.end(), "LPT3"), 0);
    EXPECT_EQ(std::count(ports.begin(), ports.end(), "COM77"), 0) << "not a text value";
    EXPECT_TRUE(std::is_sorted(ports.begin(), ports.end(), [](const auto& a, const auto& b) {
        return std::stoi(a.substr(3)) < std::stoi(b.substr(3));
    }));
}

}  // namespace
}  // namespace kestrel
