// SkinFrame: frame layout, non-client painting and the client background.
#include "ui/skin_frame.h"

#include <optional>

#include "ui/caption_layout.h"
#include "ui/gdi_tools.h"

namespace zx {
namespace {

constexpr COLORREF kClientBackground = RGB(239, 249, 255);

bool HasNegativeCoordinate(const RECT& rect) {
  return rect.left < 0 || rect.top < 0 || rect.right < 0 || rect.bottom < 0;
}

RECT ToRect(const PixelRect& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

void FillVerticalGradient(HDC dc, const RECT& rect, COLORREF top, COLORREF bottom) {
  TRIVERTEX vertices[2] = {
      {rect.left, rect.top, static_cast<COLOR16>(GetRValue(top) << 8),
       static_cast<COLOR16>(GetGValue(top) << 8), static_cast<COLOR16>(GetBValue(top) << 8), 0},
      {rect.right, rect.bottom, static_cast<COLOR16>(GetRValue(bottom) << 8),
       static_cast<COLOR16>(GetGValue(bottom) << 8), static_cast<COLOR16>(GetBValue(bottom) << 8),
       0}};
  GRADIENT_RECT span = {0, 1};
  GradientFill(dc, vertices, 2, &span, 1, GRADIENT_FILL_RECT_V);
}

}  // namespace

LRESULT SkinFrame::OnNcCalcSize(WPARAM wParam, LPARAM lParam) {
  const LRESULT result = DefaultHandling(WM_NCCALCSIZE, wParam, lParam);
  const HWND window = Handle();
  if (!wParam || IsIconic(window)) return result;
  RECT& client = reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0];
  const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
  const CaptionLayout layout = LayOutCaptionButtons(
      {m_borderWidth, m_captionHeight}, client.left, client.right,
      {(style & WS_SYSMENU) != 0, (style & WS_MAXIMIZEBOX) != 0, (style & WS_MINIMIZEBOX) != 0});
  const CaptionPlacement placements[] = {layout.close, layout.minimise, layout.maximise};
  for (size_t i = 0; i < m_buttons.size(); ++i) {
    m_buttons[i].visible = placements[i].visible;
    m_buttons[i].rect = ToRect(placements[i].rect);
  }
  if (m_customFrame) {
    client.top += m_captionHeight + m_borderWidth;
    client.left += m_borderWidth;
    client.right -= m_borderWidth;
    client.bottom -= m_borderWidth;
  }
  return result;
}

void SkinFrame::OnNcPaint() {
  const HWND window = Handle();
  UniqueWindowFrameDc dc(window);
  if (!dc.Get()) return;
  RECT bounds;
  GetWindowRect(window, &bounds);
  const LONG width = bounds.right - bounds.left;
  const LONG height = bounds.bottom - bounds.top;
  const int bw = m_borderWidth;

  FrameSolid(dc.Get(), {1, 1, width - 1, height - 1}, m_palette.innerBorder);
  FrameSolid(dc.Get(), {2, 2, width - 2, height - 2}, m_palette.innerBorder);
  FrameSolid(dc.Get(), {0, 0, width, bw}, m_palette.topStrip);
  FrameSolid(dc.Get(), {0, 0, width, height}, m_palette.base);

  const RECT caption = {bw, bw, width - bw, bw + m_captionHeight};
  if (HasNegativeCoordinate(caption)) return;
  OffScreenCanvas canvas(dc.Get(), caption);
  if (!canvas.Dc()) return;
  PaintCaption(canvas.Dc(), caption);
  canvas.CopyToTarget();
}

void SkinFrame::PaintCaption(HDC dc, const RECT& caption) {
  if (m_active) {
    FillVerticalGradient(dc, caption, m_palette.activeTop, m_palette.activeBottom);
  } else {
    FillVerticalGradient(dc, caption, m_palette.inactiveTop, m_palette.inactiveBottom);
  }
  DrawSegments(dc, m_palette.innerBorder,
               {{{caption.left, caption.bottom - 1}, {caption.right, caption.bottom - 1}}});
  PaintCaptionText(dc, PaintCaptionIcon(dc));
  for (const CaptionButton& button : m_buttons) {
    if (button.visible) DrawCaptionButton(dc, button, m_palette, false);
  }
}

int SkinFrame::PaintCaptionIcon(HDC dc) {
  const auto icon = reinterpret_cast<HICON>(SendMessageW(Handle(), WM_GETICON, ICON_SMALL, 0));
  if (!icon) return 6;
  const int iconWidth = GetSystemMetrics(SM_CXSMICON);
  DrawIconEx(dc, 6, 5, icon, iconWidth, GetSystemMetrics(SM_CYSMICON), 0, nullptr, DI_NORMAL);
  return iconWidth + m_borderWidth + 6;
}

void SkinFrame::PaintCaptionText(HDC dc, int left) {
  if (m_captionText.empty()) return;
  const auto font = reinterpret_cast<HFONT>(SendMessageW(Handle(), WM_GETFONT, 0, 0));
  std::optional<SelectedObject> selection;
  if (font) selection.emplace(dc, font);
  SetTextColor(dc, m_palette.base);
  SetBkMode(dc, TRANSPARENT);
  TextOutW(dc, left, 7, m_captionText.c_str(), static_cast<int>(m_captionText.size()));
}

void SkinFrame::OnEraseBackground(HDC dc) {
  RECT client;
  GetClientRect(Handle(), &client);
  if (HasNegativeCoordinate(client)) return;
  OffScreenCanvas canvas(dc, client);
  if (!canvas.Dc()) return;
  FillSolid(canvas.Dc(), client, kClientBackground);
  canvas.CopyToTarget();
}

}  // namespace zx
