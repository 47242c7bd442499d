#include "ui/skin_frame.h"

#include <utility>

namespace zx {
namespace {

constexpr COLORREF kBaseColor = RGB(0, 105, 175);

std::wstring WindowText(HWND window) {
  std::wstring text(GetWindowTextLengthW(window) + 1, L'\0');
  text.resize(GetWindowTextW(window, text.data(), static_cast<int>(text.size())));
  return text;
}

}  // namespace

SkinFrame::SkinFrame(int templateId)
    : ModalDialog(templateId), m_palette(MakeFramePalette(kBaseColor)) {}

void SkinFrame::SetCaptionText(std::wstring text) { m_captionText = std::move(text); }

bool SkinFrame::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  switch (message) {
    case WM_NCCALCSIZE:
      result = OnNcCalcSize(wParam, lParam);
      return true;
    case WM_NCPAINT:
      if (!m_customFrame) return false;
      OnNcPaint();
      return true;
    case WM_NCHITTEST:
      result = OnNcHitTest(lParam);
      return true;
    case WM_NCMOUSEMOVE:
      result = OnNcMouseMove(wParam, lParam);
      return true;
    case WM_NCMOUSELEAVE:
      OnNcMouseLeave();
      return true;
    case WM_NCLBUTTONDOWN:
      OnNcLButtonDown(wParam);
      return true;
    case WM_NCLBUTTONUP:
      return OnNcLButtonUp(wParam);
    case WM_NCLBUTTONDBLCLK:
      OnNcLButtonDblClk(wParam);
      return true;
    case WM_SYSCOMMAND:
      result = OnSysCommand(wParam, lParam);
      return true;
    case WM_SETFONT:
      result = OnSetFont(wParam, lParam);
      return true;
    case WM_SETTEXT:
      result = OnSetText(wParam, lParam);
      return true;
    case WM_ACTIVATE:
      // Left unhandled on purpose: the dialog manager saves and restores the
      // keyboard focus on this message, without which a dialog that is
      // switched away from and back to has no focused control.
      OnActivate(wParam);
      return false;
    case WM_ERASEBKGND:
      OnEraseBackground(reinterpret_cast<HDC>(wParam));
      return true;
    default:
      return false;
  }
}

// The dialog manager sends WM_SETFONT once, before the dialog initialises:
// the moment to take over the frame.
LRESULT SkinFrame::OnSetFont(WPARAM wParam, LPARAM lParam) {
  const HWND window = Handle();
  SetWindowLongPtrW(window, GWL_STYLE,
                    GetWindowLongPtrW(window, GWL_STYLE) & ~(WS_CAPTION | WS_THICKFRAME));
  SetWindowLongPtrW(window, GWL_EXSTYLE,
                    GetWindowLongPtrW(window, GWL_EXSTYLE) & ~WS_EX_DLGMODALFRAME);
  m_captionText = WindowText(window);
  // Setting the same text runs the resize below, which lays out the new frame.
  SetWindowTextW(window, m_captionText.c_str());
  return DefaultHandling(WM_SETFONT, wParam, lParam);
}

// Keeps the client size while the frame around it is recalculated.
LRESULT SkinFrame::OnSetText(WPARAM wParam, LPARAM lParam) {
  const LRESULT result = DefaultHandling(WM_SETTEXT, wParam, lParam);
  const HWND window = Handle();
  RECT client;
  GetClientRect(window, &client);
  SetWindowPos(window, nullptr, 0, 0, client.right + 2 * m_borderWidth,
               client.bottom + m_captionHeight + 2 * m_borderWidth,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED |
                   SWP_NOOWNERZORDER);
  SetWindowPos(window, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
  return result;
}

void SkinFrame::OnActivate(WPARAM wParam) {
  m_active = LOWORD(wParam) != WA_INACTIVE;
  RedrawWindow(Handle(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
}

}  // namespace zx
