#include "ui/window_placement.h"

#include <climits>
#include <optional>

#include "ui/window_centring.h"

namespace zx {
namespace {

PixelRect ToPixelRect(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

// The window's rectangle moved to (left, top); nothing when that leaves the
// range of screen coordinates.
std::optional<RECT> RectAt(LONGLONG left, LONGLONG top, const RECT& bounds) {
  const LONGLONG right = left + (bounds.right - bounds.left);
  const LONGLONG bottom = top + (bounds.bottom - bounds.top);
  if (left < INT_MIN || top < INT_MIN || right > INT_MAX || bottom > INT_MAX) return std::nullopt;
  return RECT{static_cast<LONG>(left), static_cast<LONG>(top), static_cast<LONG>(right),
              static_cast<LONG>(bottom)};
}

}  // namespace

// A modal dialog on no monitor would block the page where nobody sees it.
bool MoveWindowTo(HWND window, int x, int y, bool relativeToParent) {
  LONGLONG left = x, top = y;
  if (relativeToParent) {
    RECT parent;
    if (!GetWindowRect(GetParent(window), &parent)) return false;
    left += parent.left;
    top += parent.top;
  }
  RECT bounds;
  if (!GetWindowRect(window, &bounds)) return false;
  const std::optional<RECT> target = RectAt(left, top, bounds);
  if (!target || !MonitorFromRect(&*target, MONITOR_DEFAULTTONULL)) return false;
  return SetWindowPos(window, nullptr, target->left, target->top, 0, 0, SWP_NOSIZE) != FALSE;
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
