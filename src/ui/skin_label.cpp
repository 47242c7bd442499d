#include "ui/skin_label.h"

#include "ui/gdi_tools.h"

namespace zx {

BOOL SkinLabel::Attach(HWND label) {
  if (!Subclass(label)) return FALSE;
  SetWindowLongPtrW(label, GWL_STYLE, GetWindowLongPtrW(label, GWL_STYLE) | SS_SIMPLE);
  GetClientRect(label, &m_textRect);
  return TRUE;
}

bool SkinLabel::HandleMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  result = 0;
  if (HandlePaintMessage(Handle(), message, wParam, [this](HDC dc) { Paint(dc); })) return true;
  switch (message) {
    case WM_ERASEBKGND:  // the parent's background stays
      return true;
    default:
      return false;
  }
}

void SkinLabel::Paint(HDC dc) const {
  wchar_t text[MAX_PATH];
  if (GetWindowTextW(Handle(), text, MAX_PATH) == 0) return;
  const auto font = reinterpret_cast<HFONT>(SendMessageW(Handle(), WM_GETFONT, 0, 0));
  std::optional<SelectedObject> selection;
  if (font) selection.emplace(dc, font);
  const COLORREF previousColor = SetTextColor(dc, RGB(0, 0, 0));
  const int previousMode = SetBkMode(dc, TRANSPARENT);
  RECT rect = m_textRect;
  DrawTextW(dc, text, -1, &rect, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  SetBkMode(dc, previousMode);
  SetTextColor(dc, previousColor);
}

}  // namespace zx
