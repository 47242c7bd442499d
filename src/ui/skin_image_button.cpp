#include "ui/skin_image_button.h"

#include "ui/gdi_tools.h"

namespace zx {

SkinImageButton::~SkinImageButton() {
  if (m_tooltip) DestroyWindow(m_tooltip);
  if (m_images) ImageList_Destroy(m_images);
}

void SkinImageButton::SetImageList(HIMAGELIST images) {
  if (images != m_images && m_images) ImageList_Destroy(m_images);
  m_images = images;
  if (Handle()) SizeToImage();
}

BOOL SkinImageButton::Attach(HWND button) {
  if (!Subclass(button)) return FALSE;
  m_pointerOver = false;  // left from a window this object drove before
  m_pressed = false;
  SetWindowLongPtrW(button, GWL_STYLE, GetWindowLongPtrW(button, GWL_STYLE) | BS_OWNERDRAW);
  // Owned by the button, so it goes with it even if WM_DESTROY is missed.
  m_tooltip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, 0, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, button, nullptr, nullptr, nullptr);
  SizeToImage();
  return TRUE;
}

int SkinImageButton::CurrentFaceIndex() const {
  int face = m_faces.normal;
  if (!IsWindowEnabled(Handle())) {
    face = m_faces.disabled;
  } else if (m_pressed) {
    face = m_faces.pressed;
  } else if (m_pointerOver) {
    face = m_faces.hover;
  }
  return face == -1 ? m_faces.normal : face;
}

void SkinImageButton::SizeToImage() {
  int width = 0;
  int height = 0;
  if (!m_images || !(m_extendedStyle & kSizeToImage) ||
      !ImageList_GetIconSize(m_images, &width, &height)) {
    return;
  }
  const HWND button = Handle();
  RECT bounds = {0, 0, width, height};
  AdjustWindowRectEx(&bounds, static_cast<DWORD>(GetWindowLongPtrW(button, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(button, GWL_EXSTYLE)));
  SetWindowPos(button, nullptr, 0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top,
               SWP_NOMOVE | SWP_NOZORDER);
}

void SkinImageButton::Paint(HDC dc) const {
  if (m_images) ImageList_Draw(m_images, CurrentFaceIndex(), dc, 0, 0, ILD_NORMAL);
}

void SkinImageButton::Repaint() const {
  InvalidateRect(Handle(), nullptr, TRUE);
  UpdateWindow(Handle());
}

void SkinImageButton::SetPressed(bool pressed) {
  if (pressed == m_pressed) return;
  m_pressed = pressed;
  Repaint();
}

bool SkinImageButton::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (message >= WM_MOUSEFIRST && message <= WM_MOUSEWHEEL && m_tooltip) {
    MSG relayed = {Handle(), message, wParam, lParam, 0, {}};
    SendMessageW(m_tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
  }
  result = 0;
  if (HandlePaintMessage(Handle(), message, wParam, [this](HDC dc) { Paint(dc); })) return true;
  switch (message) {
    case WM_LBUTTONDOWN:
      OnLButtonDown();
      return true;
    case WM_LBUTTONDBLCLK:
      OnLButtonDblClk();
      return true;
    case WM_LBUTTONUP:
      OnLButtonUp();
      return true;
    case WM_MOUSEMOVE:
      OnMouseMove(lParam);
      return false;
    case WM_MOUSELEAVE:
      if (m_pointerOver) {
        m_pointerOver = false;
        Repaint();
      }
      return true;
    case WM_CAPTURECHANGED:
      SetPressed(false);
      return false;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
      Repaint();
      return false;
    case WM_KEYDOWN:
    case WM_KEYUP:
      // The button class would click on a released space; these buttons click
      // only with the mouse (and Enter through the dialog's default id).
      return wParam == VK_SPACE;
    case WM_ERASEBKGND:
      result = 1;
      return true;
    case WM_UPDATEUISTATE:
      return true;
    case WM_DESTROY:
      if (m_tooltip) DestroyWindow(m_tooltip);
      m_tooltip = nullptr;
      return false;
    default:
      return false;
  }
}

// The previous procedure never sees the press: the button class would
// capture, focus and click by its own rules.
void SkinImageButton::OnLButtonDown() {
  SetCapture(Handle());
  if (HoldsCapture()) SetPressed(true);
}

void SkinImageButton::OnLButtonDblClk() {
  if (!HoldsCapture()) SetCapture(Handle());
  SetPressed(true);
}

void SkinImageButton::OnLButtonUp() {
  if (!HoldsCapture()) return;
  const HWND button = Handle();
  if (m_pressed) {
    SendMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
  }
  ReleaseCapture();
}

void SkinImageButton::OnMouseMove(LPARAM lParam) {
  const HWND button = Handle();
  if (HoldsCapture()) {
    POINT cursor = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ClientToScreen(button, &cursor);
    RECT bounds;
    GetWindowRect(button, &bounds);
    SetPressed(PtInRect(&bounds, cursor) != FALSE);
    return;
  }
  if (m_pointerOver || !(m_extendedStyle & kHoverMode)) return;
  m_pointerOver = true;
  Repaint();
  TRACKMOUSEEVENT tracking = {sizeof(tracking), TME_LEAVE, button, 0};
  _TrackMouseEvent(&tracking);
}

}  // namespace zx
