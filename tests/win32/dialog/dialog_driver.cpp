#include "tests/win32/dialog/dialog_driver.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <chrono>
#include <cstring>

#include "app/win32/window_text.h"

namespace kestrel::test {
namespace {

constexpr auto kPatience = std::chrono::seconds(20);

}  // namespace

void PortLog::Add(std::string_view name) {
    std::lock_guard lock(mutex_);
    names_.emplace_back(name);
}

std::vector<std::string> PortLog::Names() const {
    std::lock_guard lock(mutex_);
    return names_;
}

PortOpener RefusingOpener(PortLog& log) {
    return [&log](std::string_view name) {
        log.Add(name);
        return OpenedPort{nullptr, "(test)"};
    };
}

DialogDriver::DialogDriver(DialogSetup setup)
    : dialog_(CreateMainDialog(GetModuleHandleW(nullptr), std::move(setup))) {
    if (!dialog_) ADD_FAILURE() << "the dialog could not be made: " << GetLastError();
}

DialogDriver::DialogDriver(PortOpener opener, StubPicker& picker,
                           std::vector<std::string> presentPorts)
    : DialogDriver([&] {
          DialogSetup setup;
          setup.transfer.openPort = std::move(opener);
          setup.pickFile = [&picker](HWND, const std::wstring& initial) {
              picker.offered.push_back(initial);
              return picker.answer;
          };
          setup.listPorts = [presentPorts] { return presentPorts; };
          return setup;
      }()) {}

std::wstring DialogDriver::Text(int id) const {
    return ItemText(Window(), id);
}

void DialogDriver::SetText(int id, const std::wstring& text) {
    SetItemText(Window(), id, text);
}

void DialogDriver::Press(int id) {
    SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(Item(id)));
}

HWND DialogDriver::EditOf(int id) const {
    HWND item = Item(id);
    HWND inner = FindWindowExW(item, nullptr, L"Edit", nullptr);  // a combo box's edit
    return inner != nullptr ? inner : item;
}

void DialogDriver::Type(int id, std::wstring_view text) {
    HWND edit = EditOf(id);
    for (const wchar_t unit : text) SendMessageW(edit, WM_CHAR, unit, 1);
}

void DialogDriver::Paste(int id, const std::wstring& text) {
    SendMessageW(EditOf(id), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

void DialogDriver::SelectPort(const std::wstring& name) {
    HWND list = Item(1012);
    const LRESULT index = SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(name.c_str()));
    ASSERT_NE(index, CB_ERR) << "no such port in the list";
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

bool DialogDriver::PumpUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            ADD_FAILURE() << "the dialog did not get there";
            return false;
        }
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (!done()) MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

bool DialogDriver::WaitForTransferEnd() {
    return PumpUntil([this] { return !dialog_->TransferRunning(); });
}

HDROP MakeDrop(const std::wstring& path) {
    // DROPFILES, then the NUL-ended wide path, then the NUL ending the list.
    const std::size_t size = sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GHND, size);
    auto* files = static_cast<DROPFILES*>(GlobalLock(memory));
    files->pFiles = sizeof(DROPFILES);
    files->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(files) + sizeof(DROPFILES), path.c_str(),
                path.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

}  // namespace kestrel::test
