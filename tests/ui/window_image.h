#pragma once
// A copy of a window's pixels, frame included, for checking colours at
// fixed points and for saving screenshots.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace zx::test {

class WindowImage {
 public:
  // Copies what the window shows now (children included) from its window DC.
  static WindowImage Capture(HWND window);
  // Paints the window's client area into the image through WM_PRINTCLIENT,
  // over a background of one colour.
  static WindowImage PrintClient(HWND window, COLORREF background);
  // Whatever paint draws on a blank canvas of the given size.
  static WindowImage Draw(int width, int height, const std::function<void(HDC)>& paint);

  int Width() const { return m_width; }
  int Height() const { return m_height; }
  // CLR_INVALID outside the image.
  COLORREF At(int x, int y) const;
  bool operator==(const WindowImage& other) const;
  // Writes a 24-bit BMP file; false on failure.
  bool SaveBmp(const std::wstring& path) const;

 private:
  int m_width = 0;
  int m_height = 0;
  std::vector<COLORREF> m_pixels;  // rows top-down
};

// "RGB(r, g, b)" for failure messages.
std::string Describe(COLORREF color);
// True when every channel differs by at most tolerance.
bool IsNear(COLORREF actual, COLORREF expected, int tolerance);

}  // namespace zx::test
