#include "window_image.h"

#include <cstdlib>
#include <cstdio>

#include "common/win_resources.h"
#include "ui/gdi_tools.h"

namespace zx::test {
namespace {

// A top-down 32-bit DIB section of the given size, drawn on through dc.
struct Canvas {
  Canvas(int width, int height) : dc(CreateCompatibleDC(nullptr)) {
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    bitmap.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    selection.emplace(dc.Get(), bitmap.Get());
  }

  std::vector<COLORREF> Pixels(size_t count) const {
    GdiFlush();
    const auto* source = static_cast<const DWORD*>(bits);
    std::vector<COLORREF> pixels(count);
    for (size_t i = 0; i < count; ++i) {
      pixels[i] = RGB((source[i] >> 16) & 0xFF, (source[i] >> 8) & 0xFF, source[i] & 0xFF);
    }
    return pixels;
  }

  UniqueMemoryDc dc;
  UniqueGdiObject<HBITMAP> bitmap;
  void* bits = nullptr;
  std::optional<SelectedObject> selection;
};

}  // namespace

WindowImage WindowImage::Draw(int width, int height, const std::function<void(HDC)>& paint) {
  WindowImage image;
  image.m_width = width;
  image.m_height = height;
  Canvas canvas(width, height);
  paint(canvas.dc.Get());
  image.m_pixels = canvas.Pixels(static_cast<size_t>(width) * height);
  return image;
}

WindowImage WindowImage::Capture(HWND window) {
  RECT bounds;
  GetWindowRect(window, &bounds);
  const int width = bounds.right - bounds.left;
  const int height = bounds.bottom - bounds.top;
  return Draw(width, height, [&](HDC dc) {
    UniqueWindowFrameDc source(window);
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

bool WindowImage::operator==(const WindowImage& other) const {
  return m_width == other.m_width && m_height == other.m_height && m_pixels == other.m_pixels;
}

bool WindowImage::SaveBmp(const std::wstring& path) const {
  const int stride = (m_width * 3 + 3) & ~3;
  const DWORD imageSize = stride * m_height;
  BITMAPFILEHEADER file = {0x4D42, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + imageSize,
                           0, 0, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
  BITMAPINFOHEADER info = {sizeof(info), m_width, m_height, 1, 24, BI_RGB, imageSize, 0, 0, 0, 0};
  std::vector<BYTE> rows(imageSize);
  for (int y = 0; y < m_height; ++y) {
    BYTE* row = &rows[(m_height - 1 - y) * stride];
    for (int x = 0; x < m_width; ++x) {
      const COLORREF color = At(x, y);
      row[3 * x] = GetBValue(color);
      row[3 * x + 1] = GetGValue(color);
      row[3 * x + 2] = GetRValue(color);
    }
  }
  FILE* out = _wfopen(path.c_str(), L"wb");
  if (!out) return false;
  const bool written = fwrite(&file, sizeof(file), 1, out) == 1 &&
                       fwrite(&info, sizeof(info), 1, out) == 1 &&
                       fwrite(rows.data(), rows.size(), 1, out) == 1;
  return fclose(out) == 0 && written;
}

std::string Describe(COLORREF color) {
  char text[40];
  std::snprintf(text, sizeof(text), "RGB(%d, %d, %d)", GetRValue(color), GetGValue(color),
                GetBValue(color));
  return text;
}

bool IsNear(COLORREF actual, COLORREF expected, int tolerance) {
  return std::abs(GetRValue(actual) - GetRValue(expected)) <= tolerance &&
         std::abs(GetGValue(actual) - GetGValue(expected)) <= tolerance &&
         std::abs(GetBValue(actual) - GetBValue(expected)) <= tolerance;
}

}  // namespace zx::test
