#include "app/win32/center_window.h"

namespace kestrel {

void CenterWindow(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    const int x = (GetSystemMetrics(SM_CXFULLSCREEN) + rect.left - rect.right) / 2;
    const int y = (GetSystemMetrics(SM_CYFULLSCREEN) + rect.top - rect.bottom) / 2;
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    InvalidateRect(window, nullptr, FALSE);
}

}  // namespace kestrel
