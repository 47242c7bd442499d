// SkinFrame: caption hit-testing, hot tracking, the caption buttons and the
// frame's own maximised state.
#include "ui/skin_frame.h"

#include <commctrl.h>

#include "ui/gdi_tools.h"

namespace zx {

POINT SkinFrame::ToWindowPoint(LPARAM screenPoint) const {
  RECT bounds;
  GetWindowRect(Handle(), &bounds);
  return {static_cast<short>(LOWORD(screenPoint)) - bounds.left,
          static_cast<short>(HIWORD(screenPoint)) - bounds.top};
}

const CaptionButton* SkinFrame::ButtonAt(POINT windowPoint) const {
  for (const CaptionButton& button : m_buttons) {
    if (button.visible && PtInRect(&button.rect, windowPoint)) return &button;
  }
  return nullptr;
}

CaptionButton* SkinFrame::ButtonWithHitCode(int hitCode) {
  for (CaptionButton& button : m_buttons) {
    if (button.hitCode == hitCode) return &button;
  }
  return nullptr;
}

void SkinFrame::RedrawButton(const CaptionButton& button, bool hot) {
  UniqueWindowFrameDc dc(Handle());
  if (dc.Get()) DrawCaptionButton(dc.Get(), button, m_palette, hot);
}

LRESULT SkinFrame::OnNcHitTest(LPARAM lParam) {
  const LRESULT standard = DefaultHandling(WM_NCHITTEST, 0, lParam);
  const POINT point = ToWindowPoint(lParam);
  if (const CaptionButton* button = ButtonAt(point)) return button->hitCode;
  RECT bounds;
  GetWindowRect(Handle(), &bounds);
  const bool inCaptionBand = point.y >= 0 && point.y < m_borderWidth + m_captionHeight &&
                             point.x >= 0 && point.x < bounds.right - bounds.left;
  return inCaptionBand ? HTCAPTION : standard;
}

LRESULT SkinFrame::OnNcMouseMove(WPARAM wParam, LPARAM lParam) {
  const LRESULT result = DefaultHandling(WM_NCMOUSEMOVE, wParam, lParam);
  if (const CaptionButton* hot = ButtonWithHitCode(m_hotHitCode)) RedrawButton(*hot, false);
  m_hotHitCode = 0;
  if (const CaptionButton* button = ButtonAt(ToWindowPoint(lParam))) {
    RedrawButton(*button, true);
    m_hotHitCode = button->hitCode;
    TRACKMOUSEEVENT tracking = {sizeof(tracking), TME_LEAVE | TME_NONCLIENT, Handle(), 0};
    _TrackMouseEvent(&tracking);
  }
  return result;
}

void SkinFrame::OnNcMouseLeave() {
  if (const CaptionButton* hot = ButtonWithHitCode(m_hotHitCode)) RedrawButton(*hot, false);
  m_hotHitCode = 0;
}

void SkinFrame::OnNcLButtonDown(WPARAM hitCode) {
  const CaptionButton* button = ButtonWithHitCode(static_cast<int>(hitCode));
  if (button && button->visible) {
    m_pressedHitCode = button->hitCode;
    RedrawButton(*button, false);
  } else if (hitCode == HTCAPTION && !m_maximised) {
    // The system's move loop, started as if the press had come from the caption.
    DefaultHandling(WM_NCLBUTTONDOWN, HTCAPTION, 0);
  }
}

// A release acts only on the button that took the press. The press is used
// up by the first release, so a later release over a button that was never
// pressed again does nothing.
bool SkinFrame::OnNcLButtonUp(WPARAM hitCode) {
  const int pressed = m_pressedHitCode;
  m_pressedHitCode = 0;
  if (static_cast<int>(hitCode) != pressed) return true;
  const HWND window = Handle();
  switch (pressed) {
    case HTMINBUTTON:
      PostMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
      // Without an owner, a null window would make this a thread message.
      if (const HWND owner = GetParent(window)) {
        PostMessageW(owner, WM_SYSCOMMAND, SC_MINIMIZE, 0);
      }
      return true;
    case HTMAXBUTTON:
      ToggleMaximise();
      return true;
    case HTCLOSE:
      PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
      return true;
    default:
      return false;
  }
}

void SkinFrame::OnNcLButtonDblClk(WPARAM hitCode) {
  if (hitCode == HTCAPTION && (GetWindowLongPtrW(Handle(), GWL_STYLE) & WS_MAXIMIZEBOX)) {
    ToggleMaximise();
  }
}

LRESULT SkinFrame::OnSysCommand(WPARAM command, LPARAM lParam) {
  if (command == SC_MAXIMIZE && !IsIconic(Handle())) {
    ToggleMaximise();
    return 0;
  }
  return DefaultHandling(WM_SYSCOMMAND, command, lParam);
}

// The frame keeps its own maximised state; the system's is never used.
void SkinFrame::ToggleMaximise() {
  const HWND window = Handle();
  if (m_maximised) {
    MoveWindow(window, m_restoreRect.left, m_restoreRect.top,
               m_restoreRect.right - m_restoreRect.left, m_restoreRect.bottom - m_restoreRect.top,
               TRUE);
    m_maximised = false;
    return;
  }
  GetWindowRect(window, &m_restoreRect);
  m_maximised = true;
  RECT workArea;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
  MoveWindow(window, workArea.left, workArea.top, workArea.right - workArea.left,
             workArea.bottom - workArea.top, TRUE);
  InvalidateRect(window, nullptr, TRUE);
}

}  // namespace zx
