#pragma once
// Placing the scan-path dialog when it initialises.
#include <windows.h>

namespace zx {

// Moves the window's top-left corner to (x, y) on the screen or, with
// relativeToParent, to that offset from its parent's top-left corner; the
// size stays. False, leaving the window where it is, when the parent's
// rectangle cannot be read, the window would be on no monitor, or it cannot
// be moved.
bool MoveWindowTo(HWND window, int x, int y, bool relativeToParent);

// Centres the window on its parent when that is visible and not minimised,
// else on the work area, keeping it inside the work area.
void CentreWindow(HWND window);

}  // namespace zx
