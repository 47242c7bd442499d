#pragma once
// Small drawing helpers of the skinned controls. Every GDI object they make
// is deleted before they return.
#include <windows.h>

#include <initializer_list>
#include <optional>

#include "common/win_resources.h"

namespace zx {

// Selects a GDI object into a DC for a scope and puts the previous one back.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) noexcept : m_dc(dc), m_previous(SelectObject(dc, object)) {}
  ~SelectedObject() {
    if (m_previous) SelectObject(m_dc, m_previous);
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC m_dc;
  HGDIOBJ m_previous;
};

// The whole-window DC from GetWindowDC, released to the same window.
class UniqueWindowFrameDc {
 public:
  explicit UniqueWindowFrameDc(HWND window) noexcept
      : m_window(window), m_dc(GetWindowDC(window)) {}
  ~UniqueWindowFrameDc() {
    if (m_dc) ReleaseDC(m_window, m_dc);
  }
  UniqueWindowFrameDc(const UniqueWindowFrameDc&) = delete;
  UniqueWindowFrameDc& operator=(const UniqueWindowFrameDc&) = delete;

  HDC Get() const noexcept { return m_dc; }

 private:
  HWND m_window;
  HDC m_dc;
};

// Draws one area off-screen, in the target's own coordinates, and copies it
// to the target in one BitBlt so that repainting does not flicker.
class OffScreenCanvas {
 public:
  OffScreenCanvas(HDC target, const RECT& area) noexcept;
  OffScreenCanvas(const OffScreenCanvas&) = delete;
  OffScreenCanvas& operator=(const OffScreenCanvas&) = delete;

  // Null when no memory DC or bitmap could be made.
  HDC Dc() const noexcept { return m_selection ? m_dc.Get() : nullptr; }
  void CopyToTarget() const noexcept;

 private:
  HDC m_target;
  RECT m_area;
  UniqueMemoryDc m_dc;
  UniqueGdiObject<HBITMAP> m_bitmap;
  std::optional<SelectedObject> m_selection;  // released before the bitmap
};

struct Segment {
  POINT from;
  POINT to;  // excluded, as LineTo draws it
};

void FillSolid(HDC dc, const RECT& rect, COLORREF color);
// A one-pixel outline just inside rect.
void FrameSolid(HDC dc, const RECT& rect, COLORREF color);
void DrawSegments(HDC dc, COLORREF color, std::initializer_list<Segment> segments);

// WM_PAINT and WM_PRINTCLIENT for a control that draws its whole client
// area with paint(HDC); false for any other message.
template <class Paint>
bool HandlePaintMessage(HWND window, UINT message, WPARAM wParam, Paint paint) {
  if (message == WM_PRINTCLIENT) {
    paint(reinterpret_cast<HDC>(wParam));
    return true;
  }
  if (message != WM_PAINT) return false;
  PAINTSTRUCT ps;
  if (HDC dc = BeginPaint(window, &ps)) {
    paint(dc);
    EndPaint(window, &ps);
  }
  return true;
}

}  // namespace zx
