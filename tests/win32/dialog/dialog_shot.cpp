// dialog_shot.exe: shows the KESTREL dialog filled with Chinese texts for a
// screenshot. It first checks that the dialog's font has a glyph for every
// character the dialog shows (status 2 names the first text that would not
// show). Once the dialog is drawn it writes "shot-ready" (the dialog's
// screen rectangle: x y width height) into the current folder, and it ends
// when "shot-done" appears there, or after a minute.

#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/win32/dialog_status.h"
#include "app/win32/main_dialog.h"
#include "app/win32/resource_ids.h"
#include "app/win32/window_text.h"
#include "tests/app/user_text.h"
#include "tests/win32/dialog/dialog_driver.h"

namespace kestrel::test {
namespace {

constexpr UINT_PTR kDrawnTimer = 1;
constexpr UINT_PTR kDoneTimer = 2;
constexpr UINT kSettleMs = 500;  // lets Wine's desktop finish drawing
constexpr UINT kPollMs = 100;
constexpr int kMaxPolls = 600;  // a minute

// The first text of the dialog's windows that its font cannot draw whole.
std::optional<std::wstring> TextWithoutGlyphs(HWND dialog) {
    std::vector<HWND> windows{dialog};
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        windows.push_back(child);
    }
    HDC context = GetDC(dialog);
    std::optional<std::wstring> missing;
    for (HWND window : windows) {
        const std::wstring text = WindowText(window);
        if (text.empty() || window == dialog) continue;  // the caption is the system's font
        const auto font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
        HGDIOBJ previous = SelectObject(context, font);
        std::vector<WORD> glyphs(text.size());
        GetGlyphIndicesW(context, text.c_str(), static_cast<int>(text.size()), glyphs.data(),
                         GGI_MARK_NONEXISTING_GLYPHS);
        SelectObject(context, previous);
        for (const WORD glyph : glyphs) {
            if (glyph == 0xFFFF && !missing) missing = text;
        }
    }
    ReleaseDC(dialog, context);
    return missing;
}

void Fill(HWND dialog) {
    const std::wstring picked = User("C:\\文档\\读书笔记.TXT");
    SendMessageW(dialog, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(picked)), 0);
    const std::wstring status = User("传输成功。");
    SendMessageW(dialog, kShowStatusMessage, 0, reinterpret_cast<LPARAM>(&status));
}

void WriteReady(HWND dialog) {
    RECT place{};
    GetWindowRect(dialog, &place);
    std::ofstream ready("shot-ready.part", std::ios::binary);  // no carriage returns for the shell
    ready << place.left << ' ' << place.top << ' ' << place.right - place.left << ' '
          << place.bottom - place.top << '\n';
    ready.close();
    std::filesystem::rename("shot-ready.part", "shot-ready");  // whole, or not at all
}

int Run() {
    DialogSetup setup;
    setup.listPorts = [] { return std::vector<std::string>{}; };
    setup.pickFile = [](HWND, const std::wstring&) {
        return std::optional<std::filesystem::path>();
    };
    std::unique_ptr<MainDialog> dialog = CreateMainDialog(GetModuleHandleW(nullptr), setup);
    if (!dialog) {
        std::fprintf(stderr, "the dialog could not be made\n");
        return 1;
    }
    HWND window = dialog->Window();
    Fill(window);
    if (const auto missing = TextWithoutGlyphs(window)) {
        std::fprintf(stderr, "the dialog's font cannot show a text of %zu characters\n",
                     missing->size());
        return 2;
    }
    SetTimer(window, kDrawnTimer, kSettleMs, nullptr);
    int polls = 0;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER && message.wParam == kDrawnTimer) {
            KillTimer(window, kDrawnTimer);
            GdiFlush();
            WriteReady(window);
            SetTimer(window, kDoneTimer, kPollMs, nullptr);
        } else if (message.message == WM_TIMER && message.wParam == kDoneTimer) {
            if (std::filesystem::exists("shot-done") || ++polls > kMaxPolls) break;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

}  // namespace
}  // namespace kestrel::test

int main() {
    return kestrel::test::Run();
}
