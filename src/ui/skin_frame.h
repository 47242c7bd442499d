#pragma once
// SkinFrame: the scan-path dialog's own non-client area. It strips the
// system caption and border, reserves a border and a caption band, paints
// them in one blue colour family (gradient caption, icon, caption text,
// caption buttons), hit-tests and runs the caption buttons, maximises to the
// work area itself and paints the client background pale blue.
//
// A dialog derives from it and calls SkinFrame::HandleMessage for every
// message its own map leaves unhandled.
#include <windows.h>

#include <array>
#include <string>

#include "ui/caption_button.h"
#include "ui/frame_colors.h"
#include "ui/modal_dialog.h"

namespace zx {

class SkinFrame : public ModalDialog {
 public:
  explicit SkinFrame(int templateId);

  // The text painted in the caption from the next non-client paint on; the
  // window text itself is left alone.
  void SetCaptionText(std::wstring text);
  // Off by default; the frame reserves and paints its non-client area only
  // when it is on.
  void SetCustomFrame(bool on) { m_customFrame = on; }

 protected:
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  // Layout and painting (skin_frame_paint.cpp).
  LRESULT OnNcCalcSize(WPARAM wParam, LPARAM lParam);
  void OnNcPaint();
  void PaintCaption(HDC dc, const RECT& caption);
  // Draws the small icon, if any; returns where the caption text starts.
  int PaintCaptionIcon(HDC dc);
  void PaintCaptionText(HDC dc, int left);
  void OnEraseBackground(HDC dc);
  // Caption mouse (skin_frame_mouse.cpp).
  LRESULT OnNcHitTest(LPARAM lParam);
  LRESULT OnNcMouseMove(WPARAM wParam, LPARAM lParam);
  void OnNcMouseLeave();
  void OnNcLButtonDown(WPARAM hitCode);
  bool OnNcLButtonUp(WPARAM hitCode);
  void OnNcLButtonDblClk(WPARAM hitCode);
  LRESULT OnSysCommand(WPARAM command, LPARAM lParam);
  void ToggleMaximise();
  CaptionButton* ButtonWithHitCode(int hitCode);
  const CaptionButton* ButtonAt(POINT windowPoint) const;
  void RedrawButton(const CaptionButton& button, bool hot);
  POINT ToWindowPoint(LPARAM screenPoint) const;
  // Window text and activation (skin_frame.cpp).
  LRESULT OnSetFont(WPARAM wParam, LPARAM lParam);
  LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
  void OnActivate(WPARAM wParam);

  FramePalette m_palette;
  RECT m_restoreRect{};
  int m_borderWidth = 3;
  int m_captionHeight = 21;
  bool m_maximised = false;
  bool m_active = false;
  int m_pressedHitCode = 0;
  int m_hotHitCode = 0;
  std::wstring m_captionText;
  // Hit-testing, hot tracking and painting all go in this order.
  std::array<CaptionButton, 3> m_buttons{CaptionButton(HTCLOSE), CaptionButton(HTMINBUTTON),
                                         CaptionButton(HTMAXBUTTON)};
  bool m_customFrame = false;
};

}  // namespace zx
