#include "window_image.h"

#include <algorithm>

#include "ui/gdi_tools.h"

namespace zx::test {

WindowImage WindowImage::Draw(int width, int height, const std::function<void(HDC)>& paint) {
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  const UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  const UniqueGdiObject<HBITMAP> bitmap(
      CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  WindowImage image;
  if (!bitmap) return image;
  {
    const SelectedObject selection(dc.Get(), bitmap.Get());
    paint(dc.Get());
    GdiFlush();
  }
  image.m_width = width;
  image.m_height = height;
  const auto* pixels = static_cast<const DWORD*>(bits);
  for (int i = 0; i < width * height; ++i) {
    image.m_pixels.push_back(RGB(pixels[i] >> 16 & 0xFF, pixels[i] >> 8 & 0xFF, pixels[i] & 0xFF));
  }
  return image;
}

WindowImage WindowImage::Capture(HWND window) {
  RECT bounds;
  GetWindowRect(window, &bounds);
  const int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
  return Draw(width, height, [&](HDC dc) {
    const UniqueWindowFrameDc source(window);
    BitBlt(dc, 0, 0, width, height, source.Get(), 0, 0, SRCCOPY);
  });
}

WindowImage WindowImage::PrintClient(HWND window, COLORREF background) {
  RECT client;
  GetClientRect(window, &client);
  return Draw(client.right, client.bottom, [&](HDC dc) {
    FillSolid(dc, client, background);
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  });
}

COLORREF WindowImage::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= m_width || y >= m_height) return CLR_INVALID;
  return m_pixels[y * m_width + x];
}

int WindowImage::Count(COLORREF color) const {
  return static_cast<int>(std::count(m_pixels.begin(), m_pixels.end(), color));
}

}  // namespace zx::test
