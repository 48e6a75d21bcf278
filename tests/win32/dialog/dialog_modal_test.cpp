// The dialog as the program shows it: modal, in its own message loop. The
// test acts from inside that loop, through a timer on the dialog's thread.

#include <gtest/gtest.h>

#include <array>

#include "app/win32/resource_ids.h"
#include "app/win32/window_text.h"
#include "link/memory_port.h"
#include "tests/support/scratch_dir.h"
#include "tests/win32/dialog/dialog_driver.h"

namespace kestrel::test {
namespace {

constexpr wchar_t kScriptProperty[] = L"KestrelTestScript";
constexpr UINT_PTR kScriptTimer = 77;
constexpr int kMaxTicks = 2000;  // a bound no passing run comes near

// What the timer does, step by step, and what it saw.
struct ModalScript {
    std::wstring pcPath;
    PortLog ports;
    std::atomic<bool> portClosed{false};
    bool pressed = false;
    int ticks = 0;
};

bool IsMainDialog(HWND window) {
    std::array<wchar_t, 16> name{};
    GetClassNameW(window, name.data(), static_cast<int>(name.size()));
    return std::wstring(name.data()) == L"#32770" && WindowText(window) == L"KESTREL";
}

HWND MainDialogOfThisThread() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM result) -> BOOL {
            if (!IsMainDialog(window)) return TRUE;
            *reinterpret_cast<HWND*>(result) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Fills the boxes and presses Download; once the port is open, closes the dialog.
void CALLBACK DriveModal(HWND dialog, UINT, UINT_PTR, DWORD) {
    auto* script = static_cast<ModalScript*>(GetPropW(dialog, kScriptProperty));
    if (script == nullptr) return;
    if (!script->pressed) {
        SetDlgItemTextW(dialog, IDC_PC_PATH, script->pcPath.c_str());
        SetDlgItemTextW(dialog, IDC_DEVICE_NAME, L"a.dat");
        SetDlgItemTextW(dialog, IDC_DEVICE_DIRECTORY, L"LavaData");
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_DOWNLOAD, BN_CLICKED), 0);
        script->pressed = true;
        return;
    }
    if (script->ports.Names().empty() && ++script->ticks < kMaxTicks) return;
    KillTimer(dialog, kScriptTimer);
    RemovePropW(dialog, kScriptProperty);
    SendMessageW(dialog, WM_CLOSE, 0, 0);
}

TEST(ModalDialog, EndsOnCloseMidRunOnceThePortIsBack) {
    ScratchDir scratch;
    WriteFileText(scratch / "a.dat", "abc");
    auto line = MakeMemoryPortPair();  // nobody answers on the far end
    ModalScript script;
    script.pcPath = (scratch / "a.dat").native();

    DialogSetup setup;
    setup.transfer.tempDirectory = scratch.Path();
    setup.transfer.openPort = [&](std::string_view name) {
        script.ports.Add(name);
        return OpenedPort{std::make_unique<WatchedPort>(std::move(line.first), script.portClosed),
                          ""};
    };
    setup.pickFile = [](HWND, const std::wstring&) {
        return std::optional<std::filesystem::path>();
    };
    // Asked for while the dialog is being made: the moment to set the timer.
    setup.listPorts = [&script] {
        HWND dialog = MainDialogOfThisThread();
        SetPropW(dialog, kScriptProperty, &script);
        SetTimer(dialog, kScriptTimer, 10, DriveModal);
        return std::vector<std::string>{};
    };

    EXPECT_EQ(RunMainDialog(GetModuleHandleW(nullptr), std::move(setup)), 0);
    EXPECT_EQ(script.ports.Names(), std::vector<std::string>{"COM1"});
    EXPECT_TRUE(script.portClosed) << "the dialog ended before the port was put back";
}

}  // namespace
}  // namespace kestrel::test
