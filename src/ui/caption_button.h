#pragma once
// One button of the skinned caption: close, minimise or maximise.
#include <windows.h>

#include "ui/frame_colors.h"

namespace zx {

struct CaptionButton {
  explicit CaptionButton(int code) : hitCode(code) {}

  bool visible = false;
  RECT rect{};  // window coordinates, origin at the window's top-left corner
  int hitCode;  // HTCLOSE, HTMINBUTTON or HTMAXBUTTON
};

// Face, outline and glyph; hot is the face under the pointer.
void DrawCaptionButton(HDC dc, const CaptionButton& button, const FramePalette& palette,
                       bool hot);

}  // namespace zx
