#include "pickers/window_placement.h"

#include "pickers/window_centring.h"

namespace zx {
namespace {

PixelRect ToPixelRect(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

}  // namespace

bool MoveWindowTo(HWND window, int x, int y, bool relativeToParent) {
  if (relativeToParent) {
    RECT parent;
    if (!GetWindowRect(GetParent(window), &parent)) return false;
    x += parent.left;
    y += parent.top;
  }
  return SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE) != FALSE;
}

void CentreWindow(HWND window) {
  RECT workArea{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
  RECT reference = workArea;
  const HWND parent = GetParent(window);
  if (parent && IsWindowVisible(parent) && !IsIconic(parent)) GetWindowRect(parent, &reference);
  RECT bounds;
  GetWindowRect(window, &bounds);
  const PixelPoint origin = CentredOrigin(ToPixelRect(reference), ToPixelRect(workArea),
                                          bounds.right - bounds.left, bounds.bottom - bounds.top);
  SetWindowPos(window, nullptr, origin.x, origin.y, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace zx
