#pragma once
// A copy of a window's pixels, frame included, for checking colours at
// fixed points.
#include <windows.h>

#include <functional>
#include <vector>

namespace zx::test {

class WindowImage {
 public:
  // What the window shows now (children included), from its window DC.
  static WindowImage Capture(HWND window);
  // The window's client area painted through WM_PRINTCLIENT over one colour.
  static WindowImage PrintClient(HWND window, COLORREF background);
  // Whatever paint draws on a blank canvas of the given size.
  static WindowImage Draw(int width, int height, const std::function<void(HDC)>& paint);

  int Width() const { return m_width; }
  int Height() const { return m_height; }
  // CLR_INVALID outside the image.
  COLORREF At(int x, int y) const;
  // Pixels of the colour.
  int Count(COLORREF color) const;
  bool operator==(const WindowImage& other) const {
    return m_width == other.m_width && m_pixels == other.m_pixels;
  }

 private:
  int m_width = 0;
  int m_height = 0;
  std::vector<COLORREF> m_pixels;  // rows top-down
};

}  // namespace zx::test
