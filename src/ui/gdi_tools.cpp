#include "ui/gdi_tools.h"

namespace zx {

OffScreenCanvas::OffScreenCanvas(HDC target, const RECT& area) noexcept
    : m_target(target), m_area(area), m_dc(CreateCompatibleDC(target)) {
  if (!m_dc) return;
  m_bitmap.Reset(
      CreateCompatibleBitmap(target, area.right - area.left, area.bottom - area.top));
  if (!m_bitmap) return;
  m_selection.emplace(m_dc.Get(), m_bitmap.Get());
  SetViewportOrgEx(m_dc.Get(), -area.left, -area.top, nullptr);
}

void OffScreenCanvas::CopyToTarget() const noexcept {
  if (!Dc()) return;
  BitBlt(m_target, m_area.left, m_area.top, m_area.right - m_area.left,
         m_area.bottom - m_area.top, m_dc.Get(), m_area.left, m_area.top, SRCCOPY);
}

void FillSolid(HDC dc, const RECT& rect, COLORREF color) {
  UniqueGdiObject<HBRUSH> brush(CreateSolidBrush(color));
  if (brush) FillRect(dc, &rect, brush.Get());
}

void FrameSolid(HDC dc, const RECT& rect, COLORREF color) {
  UniqueGdiObject<HBRUSH> brush(CreateSolidBrush(color));
  if (brush) FrameRect(dc, &rect, brush.Get());
}

void DrawSegments(HDC dc, COLORREF color, std::initializer_list<Segment> segments) {
  UniqueGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, color));
  if (!pen) return;
  SelectedObject selection(dc, pen.Get());
  for (const Segment& segment : segments) {
    MoveToEx(dc, segment.from.x, segment.from.y, nullptr);
    LineTo(dc, segment.to.x, segment.to.y);
  }
}

}  // namespace zx
