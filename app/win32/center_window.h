#pragma once
// Placing the dialog in the middle of the screen's work area.
//
// Promises: CenterWindow moves the window, neither resizing it nor changing
// its stacking order, to ((full-screen width - its width) / 2, (full-screen
// height - its height) / 2), dividing toward zero, and redraws it without
// erasing.

#include <windows.h>

namespace kestrel {

void CenterWindow(HWND window);

}  // namespace kestrel
