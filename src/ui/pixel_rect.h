#pragma once
// A rectangle in pixels, laid out like the Win32 RECT (right and bottom
// exclusive), for layout code that builds without <windows.h>.

namespace zx {

struct PixelRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  bool operator==(const PixelRect& other) const {
    return left == other.left && top == other.top && right == other.right &&
           bottom == other.bottom;
  }
};

}  // namespace zx
