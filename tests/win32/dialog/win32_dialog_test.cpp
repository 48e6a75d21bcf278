// KESTREL.exe's dialog as a user drives it, through the virtual handheld: a
// picked text sent and fetched back, then an application image without a
// table, whose long reason the status line cuts visibly and its tooltip
// shows whole. Made from resource 101 of this program, not modal, driven by
// the messages a user's input makes. With KESTREL_SCREENSHOTS=FOLDER it
// photographs the dialog after each run, the tooltip with the long reason.

// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>

#include "app/win32/main_dialog.h"
#include "app/win32/resource_ids.h"
#include "app/win32/window_text.h"
#include "tests/support/gbk.h"
#include "tests/support/scratch_dir.h"

namespace kestrel::test {
namespace {

namespace fs = std::filesystem;

std::wstring W(const char* utf8) {
    return fs::path(std::u8string(reinterpret_cast<const char8_t*>(utf8))).wstring();
}

// Dispatches the thread's messages until `done` holds, or for `limit`.
bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done() && std::chrono::steady_clock::now() < deadline) {
        for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) {
            DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return done();
}

// The status line's tooltip: a window of this thread that the dialog owns.
HWND StatusTip(HWND dialog) {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM out) {
            wchar_t name[64] = {};
            GetClassNameW(window, name, 64);
            if (std::wstring(name) != TOOLTIPS_CLASSW) return TRUE;
            *reinterpret_cast<HWND*>(out) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    EXPECT_EQ(GetWindow(found, GW_OWNER), dialog);
    return found;
}

std::wstring TipText(HWND dialog) {
    std::wstring text(1024, L'\0');
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = dialog;
    tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(dialog, IDC_STATUS));
    tool.lpszText = text.data();
    SendMessageW(StatusTip(dialog), TTM_GETTEXTW, text.size(), reinterpret_cast<LPARAM>(&tool));
    return text.c_str();
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

// The screen under the dialog and what shows over it, as FOLDER/name (a
// bitmap file), when asked; false when a text shown has no glyph.
bool Photograph(HWND dialog, const char* name, HWND over = nullptr) {
    const char* folder = std::getenv("KESTREL_SCREENSHOTS");
    if (folder == nullptr) return true;
    RunUntil([] { return false; }, std::chrono::milliseconds(500));  // drawn
    RECT place{};
    GetWindowRect(dialog, &place);
    RECT tip{};
    if (over != nullptr && IsWindowVisible(over) && GetWindowRect(over, &tip)) {
        UnionRect(&place, &place, &tip);
    }
    const LONG width = place.right - place.left;
    const LONG height = place.bottom - place.top;
    BITMAPINFOHEADER info{sizeof(info), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* pixels = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(memory, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                      &pixels, nullptr, 0);
    SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, place.left, place.top, SRCCOPY);
    GdiFlush();
    const DWORD size = static_cast<DWORD>(width * height * 4);
    const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof(info);
    const BITMAPFILEHEADER header{0x4D42, offset + size, 0, 0, offset};
    std::ofstream out(fs::path(folder) / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&header), sizeof(header));
    out.write(reinterpret_cast<const char*>(&info), sizeof(info));
    out.write(static_cast<const char*>(pixels), size);
    DeleteDC(memory);
    DeleteObject(bitmap);
    ReleaseDC(nullptr, screen);
    return out.good() && Legible(dialog);
}

TEST(Win32Dialog, SendsFetchesAndShowsALongReasonWhole) {
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\KESTREL-tests");
    ScratchDir scratch;
    const Bytes note = FromText(Gbk("读书笔记\r\n第二行\r\n"));
    WriteFileBytes(scratch / W("读书笔记.TXT"), note);
    WriteFileText(scratch / "GAME.BIN", "not decoded without a table");
    std::optional<fs::path> pick;
    DialogSetup setup;
    setup.settingsKey = L"Software\\KESTREL-tests";
    setup.files.handheldRoot = scratch / "handheld";
    setup.files.tempDirectory = scratch.Path();
    setup.files.tableFolders = {scratch / W("程序的数据文件夹")};
    setup.pickFile = [&pick](HWND, const std::wstring&) { return pick; };
    setup.ports.present = [] { return std::vector<std::string>{}; };
    const auto dialog = CreateMainDialog(GetModuleHandleW(nullptr), setup);
    ASSERT_NE(dialog, nullptr);
    HWND window = dialog->Window();
    EXPECT_EQ(ItemText(window, IDC_PORT), W("虚拟文曲星")) << "without a port present";
    EXPECT_EQ(SendDlgItemMessageW(window, IDC_PORT, CB_GETCOUNT, 0, 0), 6) << "COM1 to COM4 too";
    const auto press = [&](int id) {
        SendDlgItemMessageW(window, id, BM_CLICK, 0, 0);
        EXPECT_TRUE(RunUntil([&] { return !dialog->TransferRunning(); }, std::chrono::seconds(20)));
    };

    pick = scratch / W("读书笔记.TXT");
    press(IDC_BROWSE);
    EXPECT_EQ(ItemText(window, IDC_DEVICE_NAME), W("读书笔记.txt"));
    press(IDC_DOWNLOAD);
    EXPECT_TRUE(ItemText(window, IDC_STATUS).ends_with(W("传输成功。")));
    EXPECT_EQ(ReadFileBytes(scratch / "handheld" / W("文本文件") / W("读书笔记.txt")).size(),
              24 + note.size());
    EXPECT_TRUE(Photograph(window, "dialog.bmp"));

    pick = scratch / "BACK.TXT";
    press(IDC_BROWSE);
    HWND name = GetDlgItem(window, IDC_DEVICE_NAME);
    SendMessageW(name, EM_SETSEL, 0, -1);
    for (const wchar_t unit : W("读书笔记.txt")) SendMessageW(name, WM_CHAR, unit, 1);
    press(IDC_UPLOAD);
    EXPECT_TRUE(ItemText(window, IDC_STATUS).ends_with(W("传输成功。")));
    EXPECT_EQ(ReadFileBytes(scratch / "BACK.TXT"), note);

    pick = scratch / "GAME.BIN";
    press(IDC_BROWSE);
    press(IDC_DOWNLOAD);
    const std::wstring reason =
        W("终止传输：没有可用的解码表文件substitution.table（请放在") +
        (scratch / W("程序的数据文件夹")).wstring() + W("）");
    EXPECT_EQ(ItemText(window, IDC_STATUS), reason);
    EXPECT_EQ(TipText(window), reason);
    RECT status{};
    GetWindowRect(GetDlgItem(window, IDC_STATUS), &status);
    SetCursorPos((status.left + status.right) / 2, (status.top + status.bottom) / 2);
    HWND tip = StatusTip(window);
    if (!RunUntil([&] { return IsWindowVisible(tip) != FALSE; }, std::chrono::seconds(2))) {
        SendMessageW(tip, TTM_POPUP, 0, 0);
    }
    EXPECT_TRUE(Photograph(window, "dialog-long-reason.bmp", tip));
}

}  // namespace
}  // namespace kestrel::test

int main(int argc, char* argv[]) {
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
