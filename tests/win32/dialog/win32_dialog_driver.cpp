// KESTREL.exe's dialog under the shared dialog cases: made from resource 101
// of this program, not modal, driven by the messages a user's input makes,
// with the messages dispatched while a case waits.

#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>

#include "app/win32/dialog_controls.h"
#include "app/win32/main_dialog.h"
#include "app/win32/resource_ids.h"
#include "app/win32/window_text.h"
#include "tests/dialog_cases/dialog_cases.h"

namespace kestrel::test {
namespace {

namespace fs = std::filesystem;

constexpr int kFieldIds[] = {IDC_PC_PATH, IDC_DEVICE_NAME, IDC_DEVICE_DIRECTORY, IDC_STATUS, 0,
                             IDC_EXIT,    IDC_PORT};

std::wstring Wide(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end())).wstring();
}

// Whether the dialog's font (every control's) has a glyph for each character shown.
bool Legible(HWND dialog) {
    std::wstring shown;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        shown += WindowText(child);
    }
    HDC context = GetDC(dialog);
    SelectObject(context, reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)));
    std::vector<WORD> glyphs(shown.size());
    GetGlyphIndicesW(context, shown.c_str(), static_cast<int>(shown.size()), glyphs.data(),
                     GGI_MARK_NONEXISTING_GLYPHS);
    ReleaseDC(dialog, context);
    return std::count(glyphs.begin(), glyphs.end(), 0xFFFF) == 0;
}

class Win32Driver final : public DialogDriver {
  public:
    explicit Win32Driver(Rig& rig) {
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\KESTREL-tests");  // a case's own settings
        setup_.settingsKey = L"Software\\KESTREL-tests";
        setup_.files = rig.files;
        setup_.pickFile = [&rig](HWND, const std::wstring&) { return rig.pick; };
        setup_.listPorts = [] { return std::vector<std::string>{}; };
        Open();
    }

    void Open() override {
        dialog_.reset();
        dialog_ = CreateMainDialog(GetModuleHandleW(nullptr), setup_);
        ASSERT_NE(dialog_, nullptr) << "the dialog could not be made";
    }
    void SetText(Field box, const std::string& text) override {
        SetItemText(Window(), kFieldIds[static_cast<int>(box)], Wide(text));
    }
    void Type(Field box, const std::string& text) override {
        HWND item = GetDlgItem(Window(), kFieldIds[static_cast<int>(box)]);
        HWND inner = FindWindowExW(item, nullptr, L"Edit", nullptr);  // a combo box's edit
        for (const wchar_t unit : Wide(text)) SendMessageW(inner ? inner : item, WM_CHAR, unit, 1);
    }
    std::string Text(Field field) override {
        const int id = kFieldIds[static_cast<int>(field)];  // 0: the title
        const std::u8string text =
            fs::path(id ? ItemText(Window(), id) : WindowText(Window())).u8string();
        return {text.begin(), text.end()};
    }
    void ChoosePort(bool silent) override {
        SelectPort(GetDlgItem(Window(), IDC_PORT),
                   silent ? PortChoice{PortChoice::Kind::serial, "COM2"}
                          : PortChoice{PortChoice::Kind::builtInHandheld, {}});
    }
    void Press(Button button) override {
        constexpr int kIds[] = {IDC_DOWNLOAD, IDC_UPLOAD, IDC_EXIT, IDC_BROWSE};
        if (button < Button::escape) {
            SendDlgItemMessageW(Window(), kIds[static_cast<int>(button)], BM_CLICK, 0, 0);
        } else if (button == Button::escape) {  // as a message loop hands it to the dialog manager
            MSG key{GetFocus() ? GetFocus() : Window(), WM_KEYDOWN, VK_ESCAPE, 1, 0, {}};
            IsDialogMessageW(Window(), &key);
        } else {
            SendMessageW(Window(), WM_CLOSE, 0, 0);
        }
    }
    // Drop data as the shell hands it over; the dialog releases it.
    void Drop(const std::vector<fs::path>& files) override {
        std::wstring list;
        for (const fs::path& file : files) list += file.wstring() + L'\0';
        HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + (list.size() + 1) * sizeof(wchar_t));
        auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
        *drop = DROPFILES{sizeof(DROPFILES), {}, FALSE, TRUE};
        std::memcpy(drop + 1, list.c_str(), list.size() * sizeof(wchar_t));
        GlobalUnlock(memory);
        SendMessageW(Window(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
    }
    bool Ended() override { return Window() == nullptr; }
    bool Running() override { return dialog_->TransferRunning(); }
    bool RunUntil(const std::function<bool()>& done) override {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!done() && std::chrono::steady_clock::now() < deadline) {
            for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) {
                DispatchMessageW(&message);
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
        EXPECT_TRUE(done()) << "the dialog did not get there";
        return done();
    }

    // The dialog as the screen shows it, as a bitmap file.
    bool Photograph(const std::string& file) override {
        RECT place{};
        GetWindowRect(Window(), &place);
        const LONG width = place.right - place.left;
        const LONG height = place.bottom - place.top;
        BITMAPINFOHEADER info{sizeof(info), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* pixels = nullptr;
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateDIBSection(memory, reinterpret_cast<BITMAPINFO*>(&info),
                                          DIB_RGB_COLORS, &pixels, nullptr, 0);
        SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, screen, place.left, place.top, SRCCOPY);
        GdiFlush();
        const DWORD size = static_cast<DWORD>(width * height * 4);
        const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof(info);
        const BITMAPFILEHEADER header{0x4D42, offset + size, 0, 0, offset};
        std::ofstream out(fs::path(Wide(file)), std::ios::binary);
        out.write(reinterpret_cast<const char*>(&header), sizeof(header));
        out.write(reinterpret_cast<const char*>(&info), sizeof(info));
        out.write(static_cast<const char*>(pixels), size);
        DeleteDC(memory);
        DeleteObject(bitmap);
        ReleaseDC(nullptr, screen);
        return out.good() && Legible(Window());
    }

  private:
    HWND Window() const { return dialog_->Window(); }

    DialogSetup setup_;
    std::unique_ptr<MainDialog> dialog_;
};

}  // namespace

std::unique_ptr<DialogDriver> MakeDialogDriver(Rig& rig) {
    return std::make_unique<Win32Driver>(rig);
}

}  // namespace kestrel::test

int main(int argc, char* argv[]) {
    ::testing::InitGoogleTest(&argc, argv);
    return kestrel::test::RunCasesOrPhotograph();
}
